#pragma once

#include <QString>

namespace platterly::catalogue {

// An entry's size as a file manager shows it, in units of 1024: "512 bytes", "1.5 KB",
// "12.0 MB", "1.2 GB", with the decimal sign of the user's language.
QString sizeForDisplay(qint64 bytes);

// An entry's time of change (seconds since 1970, UTC) as local time: "2024-03-05 14:07" for
// the windows, and "2024-03-05T14:07:09" where programs read it (the command line).
QString modifiedForDisplay(qint64 secondsSinceEpoch);
QString modifiedIso(qint64 secondsSinceEpoch);

} // namespace platterly::catalogue
