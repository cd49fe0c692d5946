#include "cataloguing/entry_writer.h"

namespace platterly::cataloguing {

namespace {

QString quoteName(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

EntryWriter::EntryWriter(const sql::Database& db, const QString& table, const QStringList& fields,
                         const QString& title)
    : m_db(db), m_title(title.toUtf8())
{
    QStringList names;
    for (const QString& field : fields)
        names.append(quoteName(field));
    m_insert = db.prepare(QStringLiteral("INSERT INTO ") + quoteName(table) + QStringLiteral(" (") +
                              names.join(QLatin1String(", ")) +
                              QStringLiteral(") VALUES (?1, ?2, ?3, ?4, ?5)"),
                          &m_error);
    if (m_insert)
        m_insert->bindUtf8(1, m_title);
}

sql::SqlError EntryWriter::append(const WalkRow& row)
{
    if (!m_insert)
        return m_error;
    // Rows of one folder share one path string: convert and bind it when the folder changes.
    if (row.path.constData() != m_path.constData() && row.path != m_path) {
        m_path = row.path;
        m_pathUtf8 = m_path.toUtf8();
        m_insert->bindUtf8(3, m_pathUtf8);
    } else if (m_pathUtf8.isNull()) {
        m_pathUtf8 = m_path.toUtf8();
        m_insert->bindUtf8(3, m_pathUtf8);
    }
    m_name = row.name.toUtf8();
    m_insert->bindUtf8(2, m_name);
    m_insert->bindInt(4, row.level);
    m_insert->bindInt(5, row.type);
    const sql::Statement::Step step = m_insert->step();
    m_insert->reset();
    if (step == sql::Statement::Step::Error)
        m_error = m_db.lastError();
    return m_error;
}

} // namespace platterly::cataloguing
