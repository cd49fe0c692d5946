#include "catalogue/entry_details.h"

#include <QLocale>
#include <cstdio>
#include <ctime>

namespace platterly::catalogue {

namespace {

// The C library's conversion, not QDateTime's: a search may print a million times, and this
// one keeps the time zone it has read.
QString localTime(qint64 secondsSinceEpoch, const char* format)
{
    const auto seconds = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (!::localtime_r(&seconds, &local))
        return {};
    char text[64];
    const int length =
        std::snprintf(text, sizeof text, format, local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return QString::fromLatin1(text, length);
}

} // namespace

QString sizeForDisplay(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

QString modifiedForDisplay(qint64 secondsSinceEpoch)
{
    return localTime(secondsSinceEpoch, "%04d-%02d-%02d %02d:%02d");
}

QString modifiedIso(qint64 secondsSinceEpoch)
{
    return localTime(secondsSinceEpoch, "%04d-%02d-%02dT%02d:%02d:%02d");
}

} // namespace platterly::catalogue
