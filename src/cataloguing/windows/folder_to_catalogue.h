#pragma once

#include "cataloguing/disc_image.h"
#include "platform/drives/drive_map.h"

#include <QString>
#include <optional>

namespace platterly::cataloguing {

// The rules behind the new-disc window's path and title boxes, free of any window so that
// they can be tried on their own.

// A folder confirmed in the folder picker, in both its forms. On a file system that tells
// letter case apart the capitals of the drive form may name no folder at all, so the folder
// itself travels with it.
struct ChosenFolder
{
    QString drivePath;  // "C:\HOME\ANN\MUSIC\": capitals and a final backslash, shown and stored
    QString nativePath; // "/home/ann/Music": the folder as the file system spells it
};

// The title proposed for a chosen folder: its last name ("C:\DATA\MUSIC\" gives "MUSIC"),
// or for the root of a drive its letter and " Drive" ("D:\" gives "D Drive").
QString proposedTitle(const QString& drivePath);

// The folder a cataloguing run walks, in both forms, or why it cannot be walked.
struct FolderToCatalogue
{
    QString nativeRoot; // the folder to list: "/home/ann/Music"
    QString driveRoot;  // what the rows record: "C:\HOME\ANN\MUSIC\", always with a final "\"
    QString error;      // the message for the user; empty when the folder can be walked
    // When the path names a disc image or archive instead: the image, catalogued as a disc.
    std::optional<DiscImage> image = std::nullopt;

    bool ok() const { return error.isEmpty(); }
};

// The folder named by the text of the path box: a drive path ("D:\", "c:\data") or a native
// path ("/home/ann/Music", or relative to `currentFolder`). When the text is the drive form of
// the folder last chosen in the picker, that very folder is used. A drive path whose letter
// case differs from the names on disk finds the folder without regard to case; the rows then
// record the path as it was given. A file is taken for a disc image or archive. Refused, each
// with a message of its own: an empty text, an unknown drive, a drive without a medium, a path
// that does not exist, and a file that is no image or archive that can be read.
FolderToCatalogue locateFolderToCatalogue(const drives::DriveMap& drives, const QString& typed,
                                          const std::optional<ChosenFolder>& chosen,
                                          const QString& currentFolder);

} // namespace platterly::cataloguing
