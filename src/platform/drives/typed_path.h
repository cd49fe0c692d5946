#pragma once

#include "platform/drives/drive_map.h"

#include <QString>

namespace platterly::drives {

// A path typed by the user, in both forms, or why it cannot be used.
struct TypedPath
{
    QString drivePath;  // "C:\home\ann\Pictures"; the root of a drive ends in '\'
    QString nativePath; // "/home/ann/Pictures"
    QString error;      // empty when the path was understood

    bool ok() const { return error.isEmpty(); }
};

// Understands what a user types for a folder:
// - a drive path, "c:\data", "C:/data" or "C:data", letter in either case;
// - a native path, absolute or relative to `currentFolder`; "~" is a name like any other.
// The native form is cleaned, and symbolic links in it are followed when the path exists, so
// that a link into a mounted volume gives that volume's drive. Whether the path exists is
// left to the caller. Blanks are kept: they may begin or end a name.
TypedPath resolveTypedPath(const DriveMap& drives, const QString& typed,
                           const QString& currentFolder);

} // namespace platterly::drives
