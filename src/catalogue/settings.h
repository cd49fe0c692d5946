#pragma once

#include <QLatin1String>
#include <QString>

namespace platterly::catalogue {

// The program's settings file, settings.ini in the application folder, read and written
// through system::ReadINI and system::WriteINI. It holds no state in memory: each setting is
// read when it is needed and written as soon as it changes.

// The settings file: the application folder followed by "/settings.ini".
QString settingsFile();

// Sections of the settings file and their keys, spelt as they are stored. Key names match
// case-blind, so a key written as "path" is the key Path.
namespace settings {

inline constexpr QLatin1String kSectionSettings{"Settings"};
// "1": show the database chooser at start; "0": open the default catalogue.
inline constexpr QLatin1String kKeyLoadWind{"loadwind"};
// "1": play the start-up sounds; "0": start silently.
inline constexpr QLatin1String kKeyPlaySound{"PlaySound"};
// The letter of the disc drive to open or copy from.
inline constexpr QLatin1String kKeyDriveLetter{"DriveLetter"};

inline constexpr QLatin1String kSectionPaths{"Paths"};
// Folder of the catalogue last chosen, upper case with a final "\"; "APP" for the
// application folder.
inline constexpr QLatin1String kKeyLoadedPath{"LoadedPath"};
inline constexpr QLatin1String kLoadedPathApplicationFolder{"APP"};
// Folder last picked to be catalogued.
inline constexpr QLatin1String kKeyPath{"Path"};
// Folder last picked as a copy destination.
inline constexpr QLatin1String kKeyCopyPath{"CopyPath"};
// What Path and CopyPath hold before any folder was picked.
inline constexpr QLatin1String kNoFolderYet{"0"};

inline constexpr QLatin1String kSectionStrings{"Strings"};
// The number of search-history entries; keys s1 .. s<Total> are valid, s1 the most recent.
inline constexpr QLatin1String kKeyTotal{"Total"};
inline constexpr int kHistoryLength = 8;

inline constexpr QLatin1String kSectionExtensions{"Extensions"};
// The icon number of extensions without a key of their own.
inline constexpr QLatin1String kKeyDefaultExtension{"(Default)"};
inline constexpr QLatin1String kDefaultIcon{"1"};

// The key of search-history entry `position` (1 is the most recent): "s1" .. "s8".
QString historyKey(int position);

} // namespace settings

// The integer part of a number written as text, read the way the old BASIC Val did: leading
// blanks skipped, an optional sign, digits; a decimal part is dropped and reading stops at the
// first other character. 0 when there is no number ("abc", ""); values beyond the range of int
// are clamped to it. Settings that must be numbers go through this, so a value that is not a
// number counts as 0.
int integerPart(const QString& text);

} // namespace platterly::catalogue
