#include "search/search_filters.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace platterly::search {

QString SearchFilters::conditions() const
{
    QString text;
    const auto add = [&text](const char* condition, const std::optional<qint64>& value) {
        if (value)
            text += QLatin1String(condition) + QString::number(*value);
    };
    add(" AND SIZE > ", largerThan);
    add(" AND SIZE < ", smallerThan);
    add(" AND MODIFIED >= ", modifiedFrom);
    add(" AND MODIFIED < ", modifiedBefore);
    return text;
}

std::optional<qint64> parseSizeText(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*(\\d+)(?:\\.(\\d+))?\\s*([KkMmGg]?)\\s*$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString unit = match.captured(3).toUpper();
    const int shift = unit == u"K" ? 10 : unit == u"M" ? 20 : unit == u"G" ? 30 : 0;
    const QString fraction = match.captured(2);
    bool ok = false;
    const qint64 whole = match.captured(1).toLongLong(&ok);
    // A fraction of a byte means nothing: "1.5" alone is not a size.
    if (!ok || (shift == 0 && !fraction.isEmpty()) ||
        whole > (std::numeric_limits<qint64>::max() >> shift))
        return std::nullopt;
    qint64 bytes = whole << shift;
    if (!fraction.isEmpty())
        bytes += static_cast<qint64>(std::floor((QStringLiteral("0.") + fraction).toDouble() *
                                                static_cast<double>(qint64{1} << shift)));
    return bytes;
}

std::optional<qint64> startOfLocalDay(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^\\s*\\d{4}-\\d{2}-\\d{2}\\s*$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    const QDate day = QDate::fromString(text.trimmed(), Qt::ISODate);
    if (!day.isValid())
        return std::nullopt;
    return day.startOfDay().toSecsSinceEpoch();
}

} // namespace platterly::search
