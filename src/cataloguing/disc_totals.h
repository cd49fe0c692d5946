#pragma once

#include "platform/sql/data_control.h"

#include <QDate>
#include <QString>

namespace platterly::cataloguing {

// What cataloguing and updating a disc write besides its rows, and the check both make before
// they write; each inside the caller's write transaction.

struct DiscCounts
{
    qint64 dirs = 0; // rows of TYPE 100
    qint64 files = 0;
};

// New rows go into pages SQLite believes free: in a damaged file those may still hold other
// rows, which the disc would overwrite. Empty when the file passes SQLite's quick integrity
// check; otherwise the message, ending with `consequence`.
QString damageOf(const sql::Database& db, const QString& consequence);

// Appends the disc's TOTAL row, dated `day` (today when not valid), and adds it to TOTALS.
sql::SqlError appendDiscTotals(sql::DataControl& data, const QString& title, const QDate& day,
                               DiscCounts counts);

// Gives the disc's TOTAL row its new counts and date, in its place, and moves TOTALS by the
// difference.
sql::SqlError rewriteDiscTotals(sql::DataControl& data, const QString& title, const QDate& day,
                                DiscCounts before, DiscCounts after);

} // namespace platterly::cataloguing
