#include "platform/ui/ui_test_support.h"
#include "platform/ui/widget_dialogs.h"
#include "support/doubles/scripted_dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::ui {
namespace {

// Runs `act` on the dialog of type T as soon as it is the active modal window, from inside
// its own event loop; `act` must close it. Waiting on events rather than a time keeps the
// test independent of the machine's speed.
template <class T>
void whenShown(std::function<void(T&)> act)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*dialog);
        }
    });
    poll->start();
}

struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    Qt::TextFormat format = Qt::AutoText;
};

// Notes what the box shows, then closes it with `press` (or with Escape when NoButton).
SeenBox showAndPress(const QString& text, const QString& caption, Buttons buttons, Icon icon,
                     QMessageBox::StandardButton press, Answer* answer)
{
    SeenBox seen;
    whenShown<QMessageBox>([&seen, press](QMessageBox& box) {
        seen = {box.windowTitle(),
                box.text(),
                box.icon(),
                box.standardButtons(),
                box.standardButton(box.defaultButton()),
                box.textFormat()};
        if (press == QMessageBox::NoButton) {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&box, &escape);
        } else {
            box.button(press)->click();
        }
    });
    WidgetDialogs real;
    *answer = real.message(nullptr, text, caption, buttons, icon);
    return seen;
}

TEST(WidgetDialogs, AMessageBoxShowsItsTextsAndReturnsTheButtonPressed)
{
    Answer answer = Answer::Ok;
    SeenBox seen = showAndPress(u"Device is not ready"_s, u"Quenlo"_s, Buttons::RetryCancel,
                                Icon::Warning, QMessageBox::Retry, &answer);
    EXPECT_EQ(answer, Answer::Retry);
    EXPECT_EQ(seen.title, u"Quenlo"_s);
    EXPECT_EQ(seen.text, u"Device is not ready"_s);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Retry | QMessageBox::Cancel);
    EXPECT_EQ(seen.defaultButton, QMessageBox::Retry);

    // Escape on a Yes/No box answers No.
    showAndPress(u"Delete?"_s, {}, Buttons::YesNo, Icon::Question, QMessageBox::NoButton, &answer);
    EXPECT_EQ(answer, Answer::No);

    // Without a caption the application title shows; markup in a disc title is shown as
    // typed, and the line break is a line break.
    seen = showAndPress(u"Please Insert CD : <b>Photos</b> or\r\nCheck the File"_s, {}, Buttons::Ok,
                        Icon::Question, QMessageBox::Ok, &answer);
    EXPECT_EQ(answer, Answer::Ok);
    EXPECT_EQ(seen.title, u"PLATTERLY"_s);
    EXPECT_EQ(seen.format, Qt::PlainText);
    EXPECT_EQ(seen.text, u"Please Insert CD : <b>Photos</b> or\nCheck the File"_s);
}

TEST(WidgetDialogs, TheInputDialogGivesTheTypedTextOrNothingOnCancel)
{
    WidgetDialogs real;
    QString title;
    QString label;
    QString preset;
    whenShown<QInputDialog>([&](QInputDialog& dialog) {
        title = dialog.windowTitle();
        label = dialog.labelText();
        preset = dialog.textValue();
        dialog.findChild<QLineEdit*>()->setText(u"Summer 2004"_s);
        dialog.accept();
    });
    EXPECT_EQ(real.input(nullptr, u"Enter New CD Name(uptp 15 letters only)"_s,
                         u"Rename CD Collection"_s, u"Photos"_s),
              u"Summer 2004"_s);
    EXPECT_EQ(title, u"Rename CD Collection"_s);
    EXPECT_EQ(label, u"Enter New CD Name(uptp 15 letters only)"_s);
    EXPECT_EQ(preset, u"Photos"_s);

    whenShown<QInputDialog>([&](QInputDialog& dialog) {
        title = dialog.windowTitle();
        dialog.reject();
    });
    EXPECT_EQ(real.input(nullptr, u"Name"_s, {}, u"Photos"_s), std::nullopt);
    EXPECT_EQ(title, u"PLATTERLY"_s);
}

// The window tests install scripted dialogs in place of these.
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
        EXPECT_EQ(inputBox(nullptr, u"p"_s, QString(), u"d"_s), QString());
        EXPECT_EQ(dialogs().input(nullptr, u"p"_s, QString(), u"d"_s),
                  std::optional<QString>(QString()));
        EXPECT_FALSE(script.failed()) << script.failures().toStdString();
    }
    EXPECT_EQ(&dialogs(), &real);
    EXPECT_NE(dynamic_cast<WidgetDialogs*>(&real), nullptr);
}

} // namespace
} // namespace platterly::ui
