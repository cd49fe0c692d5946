#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace platterly::ui {

// Every message box, text-input and file dialog of the program goes through the Dialogs interface,
// so that window tests can answer them (Yes, No, Retry, Cancel, a typed text) without a
// person. Windows call dialogs() (or the messageBox / inputBox helpers below); the program
// uses the real boxes, a test installs a ScriptedDialogs with setDialogs().

// Which buttons a message box offers. The first button of each set is the default one.
enum class Buttons
{
    Ok,
    OkCancel,
    YesNo,
    RetryCancel,
};

// The picture shown beside the message.
enum class Icon
{
    None,
    Information,
    Question,
    Warning,
    Critical,
};

// The button that closed a message box.
enum class Answer
{
    Ok,
    Cancel,
    Yes,
    No,
    Retry,
};

// The caption a box shows when its caller names none: the application's title.
inline constexpr char16_t kApplicationTitle[] = u"PLATTERLY";

// The caption a box really shows for the given one: `caption`, or the application title
// when it is empty.
QString displayedCaption(const QString& caption);

// Whether `answer` is one of the buttons of `buttons`.
bool offers(Buttons buttons, Answer answer);

// The answer that changes nothing: Cancel where there is a Cancel button, No for Yes/No, and
// Ok for a box with a single OK button. Used when a box is closed without a button.
Answer safestAnswer(Buttons buttons);

class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // Shows a modal message box and returns the button the user chose. An empty caption
    // shows the application title.
    virtual Answer message(QWidget* parent, const QString& text, const QString& caption,
                           Buttons buttons, Icon icon) = 0;

    // Shows a modal text-input dialog preset with `defaultText`. The typed text on OK
    // (possibly empty), nothing on Cancel. An empty caption shows the application title.
    virtual std::optional<QString> input(QWidget* parent, const QString& prompt,
                                         const QString& caption, const QString& defaultText) = 0;

    // Shows a modal dialog for choosing one existing file, opened on `folder` and showing the
    // files `filter` names ("Disc images (*.iso *.zip);;All files (*)"). The chosen file as a
    // native path in the text form of native names; nothing on Cancel.
    virtual std::optional<QString> openFileName(QWidget* parent, const QString& caption,
                                                const QString& folder, const QString& filter) = 0;
};

// The dialogs the program uses now: the one installed with setDialogs(), or else the real
// boxes.
Dialogs& dialogs();

// Installs `replacement` as the process-wide dialogs (nullptr goes back to the real boxes)
// and returns the one installed before (nullptr for the real boxes). The caller keeps
// ownership and must uninstall it before destroying it.
Dialogs* setDialogs(Dialogs* replacement);

// Short forms for callers, through dialogs(). A box with no arguments but its text has a
// single OK button, no icon and the application title, like a plain message box of the
// platform.
Answer messageBox(QWidget* parent, const QString& text, Buttons buttons = Buttons::Ok,
                  Icon icon = Icon::None, const QString& caption = {});

// The text-input dialog for callers that treat Cancel like an empty entry: the typed text,
// or an empty text on Cancel.
QString inputBox(QWidget* parent, const QString& prompt, const QString& caption,
                 const QString& defaultText = {});

} // namespace platterly::ui
