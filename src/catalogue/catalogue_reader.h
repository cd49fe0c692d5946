#pragma once

#include "platform/sql/data_control.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

namespace platterly::catalogue {

struct Totals
{
    qint64 discs = 0; // TCDS
    qint64 dirs = 0;  // TDIRS
    qint64 files = 0; // TFILES
};

struct DiscRow
{
    QString title; // CDNAME
    QVariant dirs;
    QVariant files;
    QVariant date; // YYYY-MM-DD as this program writes it
};

struct EntryRow
{
    QString title; // CDNAME
    QString name;  // FNAME
    QString path;  // PATH
    qint64 level = 0;
    qint64 type = 0;
    std::optional<qint64> size;     // SIZE: bytes; nothing for a folder, or when unknown
    std::optional<qint64> modified; // MODIFIED: seconds since 1970 (UTC); nothing when unknown
};

// The single TOTALS row; all three 0 when the table holds no row.
sql::SqlError readTotals(sql::DataControl& data, Totals* totals);

// Every TOTAL row in stored order; the visitor returns false to stop.
sql::SqlError readDiscs(sql::DataControl& data, const std::function<bool(const DiscRow&)>& visit);

// The CDS rows of one disc (title compared case-blind) in stored order: the title row first,
// then the entries in walk order.
sql::SqlError readDiscEntries(sql::DataControl& data, const QString& title,
                              const std::function<bool(const EntryRow&)>& visit);

// The statement that selects one disc's CDS rows.
QString discEntriesStatement(const QString& title);

} // namespace platterly::catalogue
