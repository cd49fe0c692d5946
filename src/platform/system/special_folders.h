#pragma once

#include <QString>

namespace platterly::system {

// The shell folder numbers the program asks for.
inline constexpr int kSpecialFolderDocuments = 5;
inline constexpr int kSpecialFolderDesktop = 16;

// The path of a special folder of the user, without a trailing separator: 16 is the desktop
// folder, 5 the documents folder, both as the XDG user directories name them
// ($XDG_CONFIG_HOME/user-dirs.dirs, read at each call). The empty string for any other number
// and for a folder that does not exist; that is the only way a failure shows.
QString GetSpecialFolder(int folder);

} // namespace platterly::system
