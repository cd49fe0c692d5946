#pragma once

#include "platform/sql/data_control.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <optional>

namespace platterly::cataloguing {

// Appends a disc's entry rows to CDS at the speed of the file: one prepared INSERT whose
// title is bound once and whose folder is bound once per folder, not once per row, with the
// text handed to SQLite without a copy.
class EntryWriter
{
public:
    // `fields` are the names CDS gives CDNAME, FNAME, PATH, LEVEL, TYPE, SIZE and MODIFIED, in
    // that order.
    EntryWriter(const sql::Database& db, const QString& table, const QStringList& fields,
                const QString& title);

    const sql::SqlError& error() const { return m_error; }

    // The folder (PATH, UTF-8) of the rows that follow; it must stay unchanged while they
    // are written.
    void setFolder(const QByteArray& pathUtf8);
    // One row; the name's bytes are needed only during the call. SIZE and MODIFIED are NULL
    // when not given.
    sql::SqlError append(QByteArrayView nameUtf8, int level, int type,
                         std::optional<qint64> size = {}, std::optional<qint64> modified = {});
    // The rowid SQLite gave the row written last.
    qint64 lastRowid() const;

private:
    const sql::Database& m_db;
    std::optional<sql::Statement> m_insert;
    QByteArray m_title;
    sql::SqlError m_error;
};

// Opens "SELECT * FROM CDS" on `data` and makes the writer of the disc's rows for the fields
// CDS has; an error when it lacks one of them.
sql::SqlError openEntryWriter(sql::DataControl& data, const QString& title,
                              std::optional<EntryWriter>& writer);

} // namespace platterly::cataloguing
