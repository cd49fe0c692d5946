#include "cataloguing/row_replacer.h"

#include <limits>

namespace platterly::cataloguing {

namespace {

using sql::SqlError;

const QString kFields = QStringLiteral("CDNAME, FNAME, PATH, LEVEL, TYPE, SIZE, MODIFIED");

bool sameEntry(const StoredRow& stored, const FreshRow& row)
{
    return stored.exactTitle && stored.level == row.level && stored.type == row.type &&
           stored.name == row.name && stored.path == QByteArrayView(*row.path);
}

QVariant valueOf(const std::optional<qint64>& value)
{
    return value ? QVariant(*value) : QVariant();
}

EntryDiff::Entry entryOf(QByteArrayView folder, QByteArrayView name, std::optional<qint64> type,
                         std::optional<qint64> size, std::optional<qint64> modified)
{
    return {folder, name, type, size, modified};
}

} // namespace

RowReplacer::RowReplacer(const sql::Database& db, StoredDisc& stored, EntryWriter& writer,
                         QByteArray storedRoot, QByteArray freshRoot)
    : m_db(db), m_stored(stored), m_writer(writer), m_storedRoot(std::move(storedRoot)),
      m_freshRoot(std::move(freshRoot))
{
}

qint64 RowReplacer::added() const
{
    return m_diff.added();
}

qint64 RowReplacer::removed() const
{
    return m_diff.removed() + m_keptRemoved;
}

qint64 RowReplacer::changed() const
{
    return m_diff.changed() + m_keptChanged;
}

SqlError RowReplacer::run(const QString& statement, const QVariantList& values)
{
    SqlError error;
    auto change = m_db.prepare(statement, &error);
    if (!change)
        return error;
    for (qsizetype i = 0; i < values.size(); ++i)
        change->bind(static_cast<int>(i + 1), values.at(i));
    return change->step() == sql::Statement::Step::Error ? m_db.lastError() : SqlError{};
}

SqlError RowReplacer::take(const FreshRow& row)
{
    if (m_rewriting)
        return append(row);
    const StoredRow* stored = m_stored.next();
    if (m_stored.error())
        return m_stored.error();
    if (stored && sameEntry(*stored, row))
        return keep(*stored, row);
    if (stored && row.level == 1 && stored->level == 1 && stored->type == row.type) {
        // The title row of a disc renamed since it was catalogued still bears the old title.
        m_namesChanged = true;
        return run(QStringLiteral("UPDATE CDS SET CDNAME = ?1, FNAME = ?1, PATH = ?1,"
                                  " SIZE = NULL, MODIFIED = NULL WHERE _rowid_ = ?2"),
                   {QString::fromUtf8(row.name), stored->rowid});
    }
    if (SqlError error = startRewriting(stored))
        return error;
    return append(row);
}

SqlError RowReplacer::keep(const StoredRow& stored, const FreshRow& row)
{
    if (stored.size == row.size && stored.modified == row.modified)
        return {};
    if (row.level > 1)
        ++m_keptChanged;
    SqlError error;
    if (!m_setDetails)
        m_setDetails = m_db.prepare(
            QStringLiteral("UPDATE CDS SET SIZE = ?1, MODIFIED = ?2 WHERE _rowid_ = ?3"), &error);
    if (!m_setDetails)
        return error;
    m_setDetails->reset();
    m_setDetails->bind(1, valueOf(row.size));
    m_setDetails->bind(2, valueOf(row.modified));
    m_setDetails->bindInt(3, stored.rowid);
    return m_setDetails->step() == sql::Statement::Step::Error ? m_db.lastError() : SqlError{};
}

SqlError RowReplacer::startRewriting(const StoredRow* stored)
{
    m_rewriting = true;
    m_lastStored = m_stored.lastRowid();
    // The stored entries from here on, to compare the fresh ones with; they stay in CDS, and
    // untouched, until finish().
    const qint64 firstReplaced = stored ? stored->rowid : m_lastStored + 1;
    for (const StoredRow* row = stored; row; row = m_stored.next())
        if (row->level.value_or(0) > 1)
            m_diff.addOld(entryOf(belowRoot(row->path, m_storedRoot), row->name, row->type,
                                  row->size, row->modified));
    if (m_stored.error())
        return m_stored.error();
    m_deleteFrom = firstReplaced;
    SqlError error;
    auto tableEnd = m_db.prepare(QStringLiteral("SELECT max(_rowid_) FROM CDS"), &error);
    if (!tableEnd || tableEnd->step() != sql::Statement::Step::Row)
        return tableEnd ? m_db.lastError() : error;
    if (m_lastStored == 0 || tableEnd->integer(0) == m_lastStored)
        return {}; // the fresh rows follow the disc's own
    // Other discs' rows follow: the rows kept so far go to the end of CDS before the fresh
    // ones, and all the stored rows go at the end.
    QVariantList values = m_stored.conditionValues();
    values.append(firstReplaced);
    m_deleteFrom = std::numeric_limits<qint64>::min();
    return run(QStringLiteral("INSERT INTO CDS (%1) SELECT %1 FROM CDS WHERE %2 AND _rowid_ < ?%3"
                              " ORDER BY _rowid_")
                   .arg(kFields, m_stored.condition())
                   .arg(values.size()),
               values);
}

SqlError RowReplacer::append(const FreshRow& row)
{
    if (row.path != m_folder) {
        m_folder = row.path;
        m_writer.setFolder(*row.path);
    }
    if (SqlError error = m_writer.append(row.name, row.level, row.type, row.size, row.modified))
        return error;
    if (row.level > 1)
        m_diff.addNew(
            entryOf(belowRoot(*row.path, m_freshRoot), row.name, row.type, row.size, row.modified));
    return {};
}

SqlError RowReplacer::finish()
{
    QVariantList values = m_stored.conditionValues();
    if (!m_rewriting) {
        // Stored rows after the last fresh row: entries that are gone.
        const StoredRow* left = m_stored.next();
        if (!left)
            return m_stored.error();
        values.append(left->rowid);
        for (; left; left = m_stored.next())
            if (left->level.value_or(0) > 1)
                ++m_keptRemoved;
        m_namesChanged = true;
        return run(QStringLiteral("DELETE FROM CDS WHERE %1 AND _rowid_ >= ?%2")
                       .arg(m_stored.condition())
                       .arg(values.size()),
                   values);
    }
    if (m_lastStored == 0)
        return {};
    values.append(m_deleteFrom);
    values.append(m_lastStored);
    return run(QStringLiteral("DELETE FROM CDS WHERE %1 AND _rowid_ BETWEEN ?%2 AND ?%3")
                   .arg(m_stored.condition())
                   .arg(values.size() - 1)
                   .arg(values.size()),
               values);
}

} // namespace platterly::cataloguing
