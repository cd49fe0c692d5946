#pragma once

#include "platform/drives/drive_map.h"

#include <QChar>
#include <QString>
#include <vector>

namespace platterly::cataloguing {

// The drives that hold discs: element 0 is empty, elements 1..n are the roots ("D:\") of the
// optical drives, with or without a disc, and of the mounted disc images, in letter order.
// Empty when the machine has neither.
std::vector<QString> CDDriveList(const drives::DriveMap& drives);

// The volume label of the medium in the drive with this root ("D:\", "d:" or "D:/"), leading
// blanks removed and trailing blanks kept. Empty when the drive is unknown, holds no mounted
// medium or the medium has no label.
QString DriveLabel(const drives::DriveMap& drives, const QString& root);

// One line of the command line's drive listing.
struct DriveRow
{
    QChar letter;
    QString root;       // "D:\"
    QString mountPoint; // empty for an optical drive without a mounted medium
    QString kind;       // "root", "optical", "image" or "other"
    QString label;
};

// Every drive, in letter order.
std::vector<DriveRow> listDrives(const drives::DriveMap& drives);

} // namespace platterly::cataloguing
