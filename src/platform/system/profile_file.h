#pragma once

#include <QString>

namespace platterly::system {

// Profile (INI) files in the Windows profile format: UTF-8 text, or UTF-16 (either byte order)
// or UTF-8 with a byte order mark, as Windows editors save them. A write keeps the file's
// encoding and its mark.
//
// A line "[name]" opens a section; a line "key=value" inside a section holds one value; lines
// whose first non-blank character is ';' are comments. Section and key names match case-blind,
// and blanks around section names, key names and values are ignored. When a section or key
// occurs twice, the first one counts. Nothing is kept in memory between calls: every read and
// every write goes to the file on disk at that moment.

// The longest value ReadINI gives back, in characters; longer values are cut.
inline constexpr qsizetype kProfileValueLimit = 254;

// The value of `key` in `section` of `file`, without blanks around it and without one matching
// pair of double or single quotes wrapped around it. `defaultValue` when the file, the section
// or the key is missing. The result is cut to kProfileValueLimit characters.
QString ReadINI(const QString& file, const QString& section, const QString& key,
                const QString& defaultValue);

// Sets `key` in `section` of `file` to `value`. The first write creates the file (with "\n"
// line ends), the section (appended at the end of the file) and the key (appended after the
// last key line of its section). An existing key keeps its line: only its value is replaced.
// Every other byte of the file stays as it was, including its line ends. Line breaks in
// `value` are written as blanks, since they would end the line. The file is replaced as a
// whole through a temporary file, so a failed write leaves the old file intact.
// Returns false when the file cannot be written, or when the section or key name is empty or
// holds a character that would make the line mean something else; `why`, when given, then
// says which (the system's reason for a file that could not be written).
bool WriteINI(const QString& file, const QString& section, const QString& key, const QString& value,
              QString* why = nullptr);

} // namespace platterly::system
