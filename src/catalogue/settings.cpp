#include "catalogue/settings.h"

#include "platform/system/application_folder.h"

#include <algorithm>
#include <limits>

namespace platterly::catalogue {

QString settingsFile()
{
    return system::appFile(QStringLiteral("settings.ini"));
}

QString settings::historyKey(int position)
{
    return QLatin1Char('s') + QString::number(position);
}

int integerPart(const QString& text)
{
    qsizetype pos = 0;
    while (pos < text.size() &&
           (text.at(pos) == QLatin1Char(' ') || text.at(pos) == QLatin1Char('\t')))
        ++pos;
    bool negative = false;
    if (pos < text.size() &&
        (text.at(pos) == QLatin1Char('-') || text.at(pos) == QLatin1Char('+'))) {
        negative = text.at(pos) == QLatin1Char('-');
        ++pos;
    }
    constexpr long long kLowest = std::numeric_limits<int>::min();
    constexpr long long kHighest = std::numeric_limits<int>::max();
    long long magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const char16_t c = text.at(pos).unicode();
        if (c < u'0' || c > u'9')
            break;
        // Once past the range of int, further digits cannot change the clamped result.
        if (magnitude <= kHighest)
            magnitude = magnitude * 10 + (c - u'0');
    }
    return static_cast<int>(std::clamp(negative ? -magnitude : magnitude, kLowest, kHighest));
}

} // namespace platterly::catalogue
