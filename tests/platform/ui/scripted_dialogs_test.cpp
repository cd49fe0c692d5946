#include "platform/ui/ui_test_support.h"
#include "platform/ui/widget_dialogs.h"
#include "support/doubles/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace platterly::ui {
namespace {

const QString kNoTitle;

// The window tests rely on the script: answers go to the boxes in order, and a box the
// script did not expect fails the test instead of passing by chance.
TEST(ScriptedDialogs, AnswersInOrderAndFailsOnABoxWithoutAFittingAnswer)
{
    ScriptedDialogs script;
    script.type(QStringLiteral("Holidays"));
    script.answer(Answer::Yes); // but the box only has OK
    script.answer(Answer::Cancel);

    EXPECT_EQ(script.input(nullptr, QStringLiteral("New name"), QStringLiteral("Rename"),
                           QStringLiteral("Old")),
              QStringLiteral("Holidays"));
    EXPECT_FALSE(script.failed()) << script.failures().toStdString();
    EXPECT_EQ(script.message(nullptr, QStringLiteral("one"), kNoTitle, Buttons::Ok, Icon::None),
              Answer::Ok);
    EXPECT_EQ(
        script.message(nullptr, QStringLiteral("two"), kNoTitle, Buttons::OkCancel, Icon::None),
        Answer::Cancel);
    // Nothing left in the queue: the safest choice.
    EXPECT_EQ(
        script.message(nullptr, QStringLiteral("three"), kNoTitle, Buttons::YesNo, Icon::Question),
        Answer::No);

    EXPECT_EQ(script.failures().split(QLatin1Char('\n')).size(), 2);
    EXPECT_EQ(script.shownTexts(), (QStringList{QStringLiteral("New name"), QStringLiteral("one"),
                                                QStringLiteral("two"), QStringLiteral("three")}));
    EXPECT_EQ(script.shown()[0].defaultText, QStringLiteral("Old"));
    // An empty caption is recorded as the application title the real box shows.
    EXPECT_EQ(script.shown()[3].caption, QStringLiteral("PLATTERLY"));
}

TEST(ScriptedDialogs, InstalledDialogsAnswerTheShortFormsUntilTheGuardEnds)
{
    Dialogs& real = dialogs();
    {
        ScriptedDialogs script;
        DialogsOverride installed(script);
        EXPECT_EQ(&dialogs(), &script);
        script.answer(Answer::Ok);
        script.cancelInput();
        script.type(QString());
        EXPECT_EQ(messageBox(nullptr, QStringLiteral("Finished")), Answer::Ok);
        // The short form is a plain box: one OK button, no icon, the application title.
        EXPECT_EQ(script.shown()[0].buttons, Buttons::Ok);
        EXPECT_EQ(script.shown()[0].icon, Icon::None);
        EXPECT_EQ(script.shown()[0].caption, QStringLiteral("PLATTERLY"));
        // Callers that treat Cancel like an empty entry get "" either way; an empty text
        // typed with OK is an answer, not a cancel.
        EXPECT_EQ(inputBox(nullptr, QStringLiteral("p"), kNoTitle, QStringLiteral("d")), QString());
        EXPECT_EQ(dialogs().input(nullptr, QStringLiteral("p"), kNoTitle, QStringLiteral("d")),
                  std::optional<QString>(QString()));
        EXPECT_FALSE(script.failed()) << script.failures().toStdString();
    }
    EXPECT_EQ(&dialogs(), &real);
    EXPECT_NE(dynamic_cast<WidgetDialogs*>(&real), nullptr);
}

} // namespace
} // namespace platterly::ui
