#pragma once

#include <QString>

namespace platterly::catalogue {

// Routines on catalogue paths. A catalogue path has the drive form on every platform: a drive
// designator, a colon, backslashes, and a final backslash for a folder ("C:\DATA\").

// The name of the last folder of a folder path ending in "\": "C:\Data\Music\" gives "Music";
// a drive root "C:\" gives "C:". A path without its final "\" is taken as if it had one.
// An empty path gives an empty name.
QString LastFolderName(const QString& path);

// The folder part of a path: everything up to and including its last "\" ("C:\DATA\a.jpg"
// gives "C:\DATA\"); empty when the path holds no "\".
QString RemoveFname(const QString& path);

// The icon number for a file or folder name in the disc contents tree: 2 for a name without
// a dot (read as a folder) without looking at the settings; otherwise the number the section
// Extensions of `settingsFile` gives the extension (the text after the last dot, in lower
// case), or the number of its "(Default)" key, or 1 when that is missing too. A value that is
// not a number counts as 0.
int IconForFile(const QString& settingsFile, const QString& name);

// The same with the program's own settings file.
int IconForFile(const QString& name);

} // namespace platterly::catalogue
