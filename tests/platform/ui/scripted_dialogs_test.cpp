#include "platform/ui/ui_test_support.h"
#include "platform/ui/widget_dialogs.h"
#include "support/doubles/scripted_dialogs.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::ui {
namespace {

const QString kNoTitle;
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
        EXPECT_EQ(messageBox(nullptr, u"Finished"_s), Answer::Ok);
        // The short form is a plain box: one OK button, no icon, the application title.
        EXPECT_EQ(script.shown()[0].buttons, Buttons::Ok);
        EXPECT_EQ(script.shown()[0].icon, Icon::None);
        EXPECT_EQ(script.shown()[0].caption, u"PLATTERLY"_s);
        // Callers that treat Cancel like an empty entry get "" either way; an empty text
        // typed with OK is an answer, not a cancel.
        EXPECT_EQ(inputBox(nullptr, u"p"_s, kNoTitle, u"d"_s), QString());
        EXPECT_EQ(dialogs().input(nullptr, u"p"_s, kNoTitle, u"d"_s),
                  std::optional<QString>(QString()));
        EXPECT_FALSE(script.failed()) << script.failures().toStdString();
    }
    EXPECT_EQ(&dialogs(), &real);
    EXPECT_NE(dynamic_cast<WidgetDialogs*>(&real), nullptr);
}

} // namespace
} // namespace platterly::ui
