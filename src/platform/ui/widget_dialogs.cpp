#include "platform/ui/widget_dialogs.h"

#include "platform/system/native_name.h"

#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace platterly::ui {

namespace {

QMessageBox::StandardButtons standardButtons(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// The button a platform message box has focused when it opens: the first of its set.
QMessageBox::StandardButton defaultButton(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
    case Buttons::OkCancel:
        return QMessageBox::Ok;
    case Buttons::YesNo:
        return QMessageBox::Yes;
    case Buttons::RetryCancel:
        return QMessageBox::Retry;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

// A box closed without one of its buttons (the window's close button, or Escape where no
// Cancel exists) gives the answer that changes nothing.
Answer answerFor(int clicked, Buttons buttons)
{
    switch (clicked) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    default:
        return safestAnswer(buttons);
    }
}

// The program's texts use "\r\n" between lines; a plain-text label would show the '\r'.
QString shownText(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

} // namespace

Answer WidgetDialogs::message(QWidget* parent, const QString& text, const QString& caption,
                              Buttons buttons, Icon icon)
{
    QMessageBox box(boxIcon(icon), displayedCaption(caption), shownText(text),
                    standardButtons(buttons), parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton(buttons));
    const int clicked = box.exec();
    QAbstractButton* chosen = box.clickedButton();
    return chosen ? answerFor(box.standardButton(chosen), buttons) : answerFor(clicked, buttons);
}

std::optional<QString> WidgetDialogs::input(QWidget* parent, const QString& prompt,
                                            const QString& caption, const QString& defaultText)
{
    QInputDialog dialog(parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(displayedCaption(caption));
    dialog.setLabelText(shownText(prompt));
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> WidgetDialogs::openFileName(QWidget* parent, const QString& caption,
                                                   const QString& folder, const QString& filter)
{
    const QString chosen =
        QFileDialog::getOpenFileName(parent, displayedCaption(caption), folder, filter);
    if (chosen.isEmpty())
        return std::nullopt;
    // Qt names a file whose name is not UTF-8 in a form of its own; the program's is made
    // from the very bytes.
    return system::textFromNativeBytes(QFile::encodeName(chosen));
}

} // namespace platterly::ui
