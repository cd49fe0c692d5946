#pragma once

#include "platform/sql/sqlite_db.h"

#include <QString>
#include <QVariant>

namespace platterly::maintenance {

// "SELECT * FROM <table> WHERE CDNAME = '<title>'", the title quoted: the statement that
// selects one disc's rows of CDS or TOTAL.
QString rowsOfTitle(const char* table, const QString& title);

// Changes every row that a statement of the program's Jet subset ("SELECT * FROM CDS WHERE
// CDNAME = '...'") selects, choosing the rows exactly as a recordset of that statement
// would: text compared case-blind, through the CDNAME index where the table has one. It is
// one SQLite statement instead of one recordset step per row, so a disc of a million rows
// costs one pass over the index. `changed` receives the number of rows changed.
sql::SqlError deleteSelectedRows(const sql::Database& db, const QString& select,
                                 qint64* changed = nullptr);
sql::SqlError setFieldOfSelectedRows(const sql::Database& db, const QString& select,
                                     const QString& field, const QVariant& value,
                                     qint64* changed = nullptr);

} // namespace platterly::maintenance
