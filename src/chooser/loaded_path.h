#pragma once

#include "platform/drives/drive_map.h"

#include <QChar>
#include <QString>
#include <optional>

namespace platterly::chooser {

// The chooser remembers the folder of the catalogue last opened in the settings file as a
// drive path in capitals with a final backslash ("C:\HOME\ANN\CATALOGS\"), the form the
// program keeps on every system. These routines turn that text back into a folder of this
// machine and a folder into that text; they need no window.

// Why a list of the chooser could not be moved to a folder.
enum class ListError
{
    None,
    // The folder does not exist (any more).
    PathNotFound,
    // The drive is unknown or holds no medium.
    DeviceUnavailable,
};

// The folder on disk that `nativePath` names when letter case is disregarded, as the names
// are really spelt: "/HOME/ANN/CATALOGS" -> "/home/ann/Catalogs". A name spelt exactly as
// given wins over one that differs in case only. nullopt for a relative path or when some
// part is no folder.
std::optional<QString> findFolderCaseBlind(const QString& nativePath);

// Where the chooser's lists go for a remembered LoadedPath text.
struct LoadedPlace
{
    // The drive to select; empty when the text names no drive that is ready.
    std::optional<QChar> drive;
    // The native folder, when `error` is None.
    QString folder;
    ListError error = ListError::None;
};

// Reads a LoadedPath text: a drive path in any letter case, or an absolute native path (the
// application folder, which is the default the setting is read with). Anything else, "APP"
// included, names no drive: DeviceUnavailable. A drive that is known and ready with a folder
// that is gone gives the drive and PathNotFound.
LoadedPlace locateLoadedPath(const QString& loadedPath, const drives::DriveMap& map);

// The LoadedPath text for a native folder: its drive form in capitals, ending in a backslash.
// A folder without a drive form (its name holds a backslash) is kept as its native path in
// capitals, which locateLoadedPath reads back as well.
QString loadedPathFor(const QString& nativeFolder, const drives::DriveMap& map);

} // namespace platterly::chooser
