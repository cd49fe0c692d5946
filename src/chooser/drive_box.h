#pragma once

#include "platform/drives/drive_map.h"

#include <QComboBox>
#include <optional>
#include <vector>

namespace platterly::chooser {

// The drive box of the chooser: one entry per drive of the machine, its letter followed by
// the folder it is mounted on ("C:  /", "E:  /media/cdrom1"); an optical drive without a disc
// shows its letter alone. Only a drive picked by the user reports a change; a drive set by
// the program does not, so the window decides what follows.
class DriveBox : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveBox(QWidget* parent = nullptr);

    // Lists these drives, keeping the drive selected now when it is still among them.
    void setDrives(const std::vector<drives::Drive>& drives);

    // Selects the drive with this letter, in either case, without reporting a change. False,
    // with nothing changed, when the list has no such drive.
    bool setDrive(QChar letter);
    // The letter of the drive selected; empty when the list is empty.
    std::optional<QChar> drive() const;

    // The text of a drive's entry.
    static QString entryText(const drives::Drive& drive);

Q_SIGNALS:
    // The user picked another drive.
    void driveChanged();

private:
    int indexOf(QChar letter) const;
};

} // namespace platterly::chooser
