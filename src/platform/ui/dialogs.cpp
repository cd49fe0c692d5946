#include "platform/ui/dialogs.h"

#include "platform/ui/widget_dialogs.h"

#include <utility>

namespace platterly::ui {

namespace {

// Only the window thread shows boxes, so a plain pointer is enough.
Dialogs* g_installed = nullptr;

Dialogs& realDialogs()
{
    static WidgetDialogs instance;
    return instance;
}

} // namespace

QString displayedCaption(const QString& caption)
{
    return caption.isEmpty() ? QString::fromUtf16(kApplicationTitle) : caption;
}

bool offers(Buttons buttons, Answer answer)
{
    switch (buttons) {
    case Buttons::Ok:
        return answer == Answer::Ok;
    case Buttons::OkCancel:
        return answer == Answer::Ok || answer == Answer::Cancel;
    case Buttons::YesNo:
        return answer == Answer::Yes || answer == Answer::No;
    case Buttons::RetryCancel:
        return answer == Answer::Retry || answer == Answer::Cancel;
    }
    return false;
}

Answer safestAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::RetryCancel:
        return Answer::Cancel;
    }
    return Answer::Cancel;
}

Dialogs& dialogs()
{
    return g_installed ? *g_installed : realDialogs();
}

Dialogs* setDialogs(Dialogs* replacement)
{
    return std::exchange(g_installed, replacement);
}

Answer messageBox(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                  const QString& caption)
{
    return dialogs().message(parent, text, caption, buttons, icon);
}

QString inputBox(QWidget* parent, const QString& prompt, const QString& caption,
                 const QString& defaultText)
{
    return dialogs().input(parent, prompt, caption, defaultText).value_or(QString());
}

} // namespace platterly::ui
