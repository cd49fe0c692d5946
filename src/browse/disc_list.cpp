#include "browse/disc_list.h"

#include <QDateTime>

namespace platterly::browse {

DiscListResult readDiscList(sql::DataControl& data)
{
    DiscListResult result;
    auto classify = [&](const sql::SqlError& error) {
        result.error = error;
        result.status = error.code == sql::ErrorCode::TableNotFound ? DiscListStatus::NotACatalogue
                                                                    : DiscListStatus::Unusable;
        return result;
    };
    if (sql::SqlError error = catalogue::readTotals(data, &result.listing.totals))
        return classify(error);
    DiscListing& listing = result.listing;
    const sql::SqlError error = catalogue::readDiscs(data, [&](const catalogue::DiscRow& disc) {
        listing.titles.append(disc.title);
        listing.dirs.append(disc.dirs.toString());
        listing.files.append(disc.files.toString());
        listing.dates.append(disc.date.toString());
        return true;
    });
    if (error)
        return classify(error);
    return result;
}

QString totalsLine(qint64 files, qint64 dirs, qint64 discs)
{
    return QStringLiteral(":: Total ::  %1 Files   &&  %2 Folders  in    :::  %3  :::CDs")
        .arg(files)
        .arg(dirs)
        .arg(discs);
}

QString discCountsLine(const QString& dirs, const QString& files)
{
    return QStringLiteral("Directories: ") + dirs + QStringLiteral(" Files: ") + files;
}

QDate parseStoredDate(const QString& storedDate)
{
    // This program writes YYYY-MM-DD; other tools may have written a date and time, or the
    // day first.
    const QString text = storedDate.trimmed();
    QDate date = QDate::fromString(text.left(10), Qt::ISODate);
    if (!date.isValid())
        date = QDate::fromString(text, QStringLiteral("d/M/yyyy"));
    if (!date.isValid())
        date = QDateTime::fromString(text, Qt::ISODate).date();
    return date;
}

QString discDateLine(const QString& storedDate)
{
    const QDate date = parseStoredDate(storedDate);
    QString when;
    if (date.isValid())
        when = QStringLiteral("%1/%2/%3").arg(date.day()).arg(date.month()).arg(date.year());
    return QStringLiteral("This CD Created on : ") + when;
}

} // namespace platterly::browse
