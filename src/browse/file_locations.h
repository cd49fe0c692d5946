#pragma once

#include "platform/drives/drive_map.h"

#include <QString>
#include <optional>

namespace platterly::browse {

// A stored path moved to the drive the user names now: the drive box's text followed by the
// stored path without its first character ("G" and E:\PHOTOS\2004\ give G:\PHOTOS\2004\).
// Exactly one character is replaced, as the program always did.
QString rerootOnDrive(const QString& driveBoxText, const QString& storedPath);

// Where a drive path lies on this system, or why it cannot be reached: a letter that names
// no drive, or a drive without a medium.
struct NativeLocation
{
    QString path;  // empty when unreachable
    QString error; // why not, in the user's words
};
NativeLocation nativeLocation(const drives::DriveMap& drives, const QString& drivePath);

} // namespace platterly::browse
