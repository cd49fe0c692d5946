#include "platform/ui/ui_test_support.h"
#include "platform/ui/widget_dialogs.h"
#include "support/doubles/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace platterly::ui {
namespace {

const QString kNoTitle;

TEST(ScriptedDialogs, GivesQueuedAnswersInOrderAndRecordsEveryBox)
{
    ScriptedDialogs script;
    script.answer(Answer::Yes);
    script.type(QStringLiteral("Holidays"));

    EXPECT_EQ(script.message(nullptr, QStringLiteral("Delete?"), kNoTitle, Buttons::YesNo,
                             Icon::Question),
              Answer::Yes);
    EXPECT_EQ(script.input(nullptr, QStringLiteral("New name"), QStringLiteral("Rename"),
                           QStringLiteral("Old")),
              QStringLiteral("Holidays"));

    EXPECT_FALSE(script.failed()) << script.failures().toStdString();
    ASSERT_EQ(script.shown().size(), 2u);
    // An empty caption is recorded as the application title the real box shows.
    EXPECT_EQ(script.shown()[0].caption, QStringLiteral("PLATTERLY"));
    EXPECT_EQ(script.shown()[0].icon, Icon::Question);
    EXPECT_EQ(script.shown()[1].caption, QStringLiteral("Rename"));
    EXPECT_EQ(script.shown()[1].defaultText, QStringLiteral("Old"));
    EXPECT_EQ(script.shownTexts(),
              QStringList({QStringLiteral("Delete?"), QStringLiteral("New name")}));
}

TEST(ScriptedDialogs, CancelledInputGivesNothingOrAnEmptyText)
{
    ScriptedDialogs script;
    DialogsOverride installed(script);
    script.cancelInput();
    script.cancelInput();
    script.type(QString());

    EXPECT_EQ(dialogs().input(nullptr, QStringLiteral("p"), kNoTitle, QStringLiteral("d")),
              std::nullopt);
    // Callers that treat Cancel like an empty entry get "" either way.
    EXPECT_EQ(inputBox(nullptr, QStringLiteral("p"), kNoTitle, QStringLiteral("d")), QString());
    // An empty text typed with OK is an answer, not a cancel.
    const std::optional<QString> typed =
        dialogs().input(nullptr, QStringLiteral("p"), kNoTitle, QStringLiteral("d"));
    ASSERT_TRUE(typed.has_value());
    EXPECT_TRUE(typed->isEmpty());
    EXPECT_EQ(script.shown()[0].answer, Answer::Cancel);
    EXPECT_FALSE(script.failed());
}

TEST(ScriptedDialogs, ABoxWithoutAFittingAnswerGetsTheSafestChoiceAndFailsTheScript)
{
    ScriptedDialogs script;
    script.answer(Answer::Yes);           // but the box only has OK
    script.type(QStringLiteral("typed")); // but a message box comes
    script.answer(Answer::No);            // but a text-input dialog comes
    script.answer(Answer::Cancel);        // fits the next box

    EXPECT_EQ(script.message(nullptr, QStringLiteral("one"), kNoTitle, Buttons::Ok, Icon::None),
              Answer::Ok);
    EXPECT_EQ(script.message(nullptr, QStringLiteral("two"), kNoTitle, Buttons::YesNo, Icon::None),
              Answer::No);
    EXPECT_EQ(script.input(nullptr, QStringLiteral("three"), kNoTitle, {}), std::nullopt);
    EXPECT_EQ(
        script.message(nullptr, QStringLiteral("four"), kNoTitle, Buttons::OkCancel, Icon::None),
        Answer::Cancel);
    // Nothing left in the queue.
    EXPECT_EQ(script.message(nullptr, QStringLiteral("five"), kNoTitle, Buttons::RetryCancel,
                             Icon::Warning),
              Answer::Cancel);

    EXPECT_EQ(script.failures().split(QLatin1Char('\n')).size(), 4);
    EXPECT_TRUE(script.failures().contains(QStringLiteral("five")));
    ASSERT_EQ(script.shown().size(), 5u);
    EXPECT_TRUE(script.shown()[3].expected);
    EXPECT_FALSE(script.shown()[4].expected);
}

TEST(ScriptedDialogs, InstalledDialogsAnswerTheShortFormsUntilTheGuardEnds)
{
    Dialogs& real = dialogs();
    {
        ScriptedDialogs script;
        DialogsOverride installed(script);
        EXPECT_EQ(&dialogs(), &script);
        script.answer(Answer::Ok);
        EXPECT_EQ(messageBox(nullptr, QStringLiteral("Finished")), Answer::Ok);
        ASSERT_EQ(script.shown().size(), 1u);
        // The short form is a plain box: one OK button, no icon, the application title.
        EXPECT_EQ(script.shown()[0].buttons, Buttons::Ok);
        EXPECT_EQ(script.shown()[0].icon, Icon::None);
        EXPECT_EQ(script.shown()[0].caption, QStringLiteral("PLATTERLY"));
    }
    EXPECT_EQ(&dialogs(), &real);
    EXPECT_NE(dynamic_cast<WidgetDialogs*>(&real), nullptr);
}

} // namespace
} // namespace platterly::ui
