#pragma once

#include "cataloguing/scan_folder.h"
#include "platform/sql/sqlite_db.h"

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace platterly::cataloguing {

// Appends a disc's entry rows to CDS at the speed of the file: one prepared INSERT whose
// title is bound once and whose folder is bound once per folder, not once per row, with the
// text handed to SQLite without a copy.
class EntryWriter
{
public:
    // `fields` are the names CDS gives CDNAME, FNAME, PATH, LEVEL and TYPE, in that order.
    EntryWriter(const sql::Database& db, const QString& table, const QStringList& fields,
                const QString& title);

    const sql::SqlError& error() const { return m_error; }
    sql::SqlError append(const WalkRow& row);

private:
    const sql::Database& m_db;
    std::optional<sql::Statement> m_insert;
    QByteArray m_title;
    QString m_path;
    QByteArray m_pathUtf8;
    QByteArray m_name;
    sql::SqlError m_error;
};

} // namespace platterly::cataloguing
