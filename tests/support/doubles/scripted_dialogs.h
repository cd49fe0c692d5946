#pragma once

#include "platform/ui/dialogs.h"
#include "support/doubles/service_override.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

namespace platterly::ui {

// One box as the user would have seen it.
struct ShownDialog
{
    enum class Kind
    {
        Message,
        Input,
        File,
    };
    Kind kind = Kind::Message;
    // The message, the prompt of a text-input dialog, or the caption of a file dialog.
    QString text;
    // The caption shown: the application title when the caller gave none.
    QString caption;
    // For a message box; a text-input dialog records OkCancel and no icon.
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    // The preset text of a text-input dialog; the folder a file dialog opened on.
    QString defaultText;
    // The answer given; for a text-input dialog Ok or Cancel.
    Answer answer = Answer::Ok;
    // The text a text-input dialog, or the file a file dialog, gave back on Ok.
    QString typedText;
};

// Dialogs for tests: answers prepared in advance are given in order, and every box shown is
// recorded so the test can check its exact text, caption, buttons and icon.
//
// A box for which no answer fits — the queue is empty, or the next answer is not one of the
// box's buttons, or a text is queued for a message box or the reverse — is still recorded,
// gets the answer that changes nothing (Cancel, No, or Ok for a single-button box; Cancel
// for a text-input dialog) and marks the script as failed. The unfitting queued answer is
// used up, so later boxes do not all fail after one mistake.
class ScriptedDialogs final : public Dialogs
{
public:
    // The next message box is answered with `answer`.
    void answer(Answer answer) { m_queue.push_back({Reply::Kind::Button, answer, {}}); }
    // The next text-input dialog is answered with OK after typing `text`.
    void type(const QString& text) { m_queue.push_back({Reply::Kind::Typed, Answer::Ok, text}); }
    // The next text-input dialog is cancelled.
    void cancelInput() { m_queue.push_back({Reply::Kind::Cancelled, Answer::Cancel, {}}); }
    // The next file dialog chooses `nativePath`; cancelInput() cancels one.
    void chooseFile(const QString& nativePath) { type(nativePath); }

    Answer message(QWidget* parent, const QString& text, const QString& caption, Buttons buttons,
                   Icon icon) override;
    std::optional<QString> input(QWidget* parent, const QString& prompt, const QString& caption,
                                 const QString& defaultText) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& caption,
                                        const QString& folder, const QString& filter) override;

    // Every box shown so far, in order.
    const std::vector<ShownDialog>& shown() const { return m_shown; }
    // The texts (messages and prompts) of the boxes shown so far, in order.
    QStringList shownTexts() const;
    // Whether some box got no fitting scripted answer.
    bool failed() const { return !m_failures.isEmpty(); }
    // One line per unfitting box, for the test's failure message.
    QString failures() const { return m_failures.join(QLatin1Char('\n')); }
    // Forgets the boxes shown, the queued answers and the failures.
    void clear();

private:
    struct Reply
    {
        enum class Kind
        {
            Button,
            Typed,
            Cancelled,
        };
        Kind kind;
        Answer button;
        QString text;
    };

    void fail(const ShownDialog& box, const QString& why);
    // A text-input or file dialog: answered with a queued text, or cancelled.
    std::optional<QString> textReply(ShownDialog::Kind kind, const QString& text,
                                     const QString& caption, const QString& defaultText);

    std::deque<Reply> m_queue;
    std::vector<ShownDialog> m_shown;
    QStringList m_failures;
};

// Installs a ScriptedDialogs (or any Dialogs) for the life of the guard.
using DialogsOverride = ServiceOverride<Dialogs, &setDialogs>;

} // namespace platterly::ui
