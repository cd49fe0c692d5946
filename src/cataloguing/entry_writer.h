#pragma once

#include "platform/sql/recordset.h"
#include "platform/sql/sqlite_db.h"

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

// The names the recordset's table gives CDNAME, FNAME, PATH, LEVEL, TYPE, SIZE and MODIFIED,
// in that order, as an EntryWriter takes them; empty when the table lacks one of them.
QStringList entryWriterFields(const sql::Recordset& cds);

} // namespace platterly::cataloguing
