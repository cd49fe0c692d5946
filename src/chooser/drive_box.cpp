#include "chooser/drive_box.h"

#include <QSignalBlocker>

namespace platterly::chooser {

DriveBox::DriveBox(QWidget* parent) : QComboBox(parent)
{
    // Only changes made by the user reach the window: setDrive() and setDrives() block this.
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            Q_EMIT driveChanged();
    });
}

QString DriveBox::entryText(const drives::Drive& drive)
{
    const QString letter = QString(drive.letter) + QLatin1Char(':');
    return drive.hasMedium() ? letter + QStringLiteral("  ") + drive.mountPoint : letter;
}

void DriveBox::setDrives(const std::vector<drives::Drive>& drives)
{
    const std::optional<QChar> selected = drive();
    const QSignalBlocker quiet(this);
    clear();
    for (const drives::Drive& each : drives)
        addItem(entryText(each), QVariant::fromValue(each.letter));
    if (selected) {
        const int index = indexOf(*selected);
        if (index >= 0)
            setCurrentIndex(index);
    }
}

bool DriveBox::setDrive(QChar letter)
{
    const int index = indexOf(letter);
    if (index < 0)
        return false;
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
    return true;
}

std::optional<QChar> DriveBox::drive() const
{
    if (currentIndex() < 0)
        return std::nullopt;
    return currentData().value<QChar>();
}

int DriveBox::indexOf(QChar letter) const
{
    const QChar wanted = letter.toUpper();
    for (int i = 0; i < count(); ++i) {
        if (itemData(i).value<QChar>().toUpper() == wanted)
            return i;
    }
    return -1;
}

} // namespace platterly::chooser
