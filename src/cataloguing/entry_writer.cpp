#include "cataloguing/entry_writer.h"

#include <sqlite3.h>

namespace platterly::cataloguing {

EntryWriter::EntryWriter(const sql::Database& db, const QString& table, const QStringList& fields,
                         const QString& title)
    : m_db(db), m_title(title.toUtf8())
{
    QStringList names;
    for (const QString& field : fields)
        names.append(sql::quoteName(field));
    m_insert = db.prepare(QStringLiteral("INSERT INTO ") + sql::quoteName(table) +
                              QStringLiteral(" (") + names.join(QLatin1String(", ")) +
                              QStringLiteral(") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"),
                          &m_error);
    if (m_insert)
        m_insert->bindUtf8(1, m_title);
}

void EntryWriter::setFolder(const QByteArray& pathUtf8)
{
    if (m_insert)
        m_insert->bindUtf8(3, pathUtf8);
}

sql::SqlError EntryWriter::append(QByteArrayView nameUtf8, int level, int type,
                                  std::optional<qint64> size, std::optional<qint64> modified)
{
    if (!m_insert)
        return m_error;
    sqlite3_stmt* insert = m_insert->handle();
    sqlite3_bind_text(insert, 2, nameUtf8.data(), static_cast<int>(nameUtf8.size()), SQLITE_STATIC);
    sqlite3_bind_int(insert, 4, level);
    sqlite3_bind_int(insert, 5, type);
    if (size)
        sqlite3_bind_int64(insert, 6, *size);
    else
        sqlite3_bind_null(insert, 6);
    if (modified)
        sqlite3_bind_int64(insert, 7, *modified);
    else
        sqlite3_bind_null(insert, 7);
    if (sqlite3_step(insert) != SQLITE_DONE)
        m_error = m_db.lastError();
    sqlite3_reset(insert);
    return m_error;
}

qint64 EntryWriter::lastRowid() const
{
    return sqlite3_last_insert_rowid(m_db.handle());
}

sql::SqlError openEntryWriter(sql::DataControl& data, const QString& title,
                              std::optional<EntryWriter>& writer)
{
    if (sql::SqlError error = query(data, QStringLiteral("SELECT * FROM CDS")))
        return error;
    const sql::Recordset& cds = *data.recordset();
    QStringList fields;
    for (const char16_t* field :
         {u"CDNAME", u"FNAME", u"PATH", u"LEVEL", u"TYPE", u"SIZE", u"MODIFIED"}) {
        const int index = cds.fieldIndex(QStringView(field));
        if (index < 0)
            return {sql::ErrorCode::FieldNotFound,
                    QStringLiteral("The table CDS of this file lacks the catalogue's fields.")};
        fields.append(cds.fieldNames().at(index));
    }
    writer.emplace(*data.database(), cds.tableName(), fields, title);
    return writer->error();
}

} // namespace platterly::cataloguing
