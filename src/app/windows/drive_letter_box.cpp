#include "app/windows/drive_letter_box.h"

#include "browse/entry_locator.h"
#include "platform/system/native_name.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace platterly::app {

namespace {

QString textOfDrive(const drives::Drive& drive)
{
    const QString place =
        drive.hasMedium() ? system::displayedText(drive.mountPoint) : QStringLiteral("(no disc)");
    return QString(drive.letter) + QStringLiteral(":  ") + place;
}

} // namespace

DriveLetterBox::DriveLetterBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    // What is typed is used as typed: no completion from the list, nothing added to it.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (m_typing)
            return;
        const QVariant letter = itemData(index);
        if (letter.isValid())
            Q_EMIT letterChosen(letter.toChar());
    });
}

void DriveLetterBox::setDrives(const std::vector<drives::Drive>& drives)
{
    const QString shown = currentText();
    clear();
    QString taken;
    for (const drives::Drive& drive : drives) {
        addItem(textOfDrive(drive), drive.letter);
        taken += drive.letter;
    }
    // The letters from C: on, as drives are lettered; a stored A: or B: is shown as typed.
    for (char16_t letter = u'C'; letter <= u'Z'; ++letter) {
        if (!taken.contains(QChar(letter)))
            addItem(QString(QChar(letter)) + u':', QChar(letter));
    }
    showText(shown);
}

void DriveLetterBox::showText(const QString& text)
{
    const std::optional<QChar> letter = browse::driveLetterOfBoxText(text);
    const int index = letter ? findData(*letter) : -1;
    if (index >= 0) {
        setCurrentIndex(index);
        setEditText(itemText(index));
    } else {
        setCurrentIndex(-1);
        setEditText(text);
    }
}

std::optional<QChar> DriveLetterBox::letter() const
{
    return browse::driveLetterOfBoxText(currentText());
}

QString DriveLetterBox::letterText() const
{
    const std::optional<QChar> named = letter();
    return named ? QString(*named) : currentText();
}

void DriveLetterBox::keyPressEvent(QKeyEvent* event)
{
    const bool handsTextOver = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QScopedValueRollback typing(m_typing, m_typing || handsTextOver);
    QComboBox::keyPressEvent(event);
}

void DriveLetterBox::focusOutEvent(QFocusEvent* event)
{
    const QScopedValueRollback typing(m_typing, true);
    QComboBox::focusOutEvent(event);
}

} // namespace platterly::app
