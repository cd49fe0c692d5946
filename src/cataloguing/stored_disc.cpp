#include "cataloguing/stored_disc.h"

#include "catalogue/name_index.h"
#include "platform/sql/casefold.h"

#include <limits>
#include <sqlite3.h>

namespace platterly::cataloguing {

namespace {

constexpr int kChunkRows = 4096;

std::optional<qint64> integerAt(sqlite3_stmt* row, int column)
{
    if (sqlite3_column_type(row, column) != SQLITE_INTEGER)
        return std::nullopt;
    return sqlite3_column_int64(row, column);
}

} // namespace

StoredDisc::StoredDisc(const sql::Database& db, const QString& title)
    : m_db(db), m_title(title.toUtf8())
{
    const auto ranges = catalogue::discRowRanges(db, catalogue::IndexReading::AsCommitted);
    if (!ranges) {
        m_values = {title};
        m_condition = QStringLiteral("CDNAME = ?1 COLLATE JETNOCASE");
        return;
    }
    QStringList slots;
    qint64 first = 0;
    qint64 last = -1;
    for (const catalogue::DiscRowRange& disc : *ranges) {
        if (!sql::equalsFolded(disc.title, title))
            continue;
        first = slots.isEmpty() ? disc.first : std::min(first, disc.first);
        last = slots.isEmpty() ? disc.last : std::max(last, disc.last);
        m_values.append(disc.title);
        slots.append(u'?' + QString::number(m_values.size() + 2));
    }
    if (slots.isEmpty()) {
        m_condition = QStringLiteral("0");
        return;
    }
    m_values.prepend(last);
    m_values.prepend(first);
    m_ranged = true;
    m_condition = QStringLiteral("_rowid_ BETWEEN ?1 AND ?2 AND CDNAME IN (") +
                  slots.join(QLatin1String(", ")) + u')';
}

std::optional<sql::Statement> StoredDisc::prepare(const QString& select)
{
    auto statement = m_db.prepare(select, &m_error);
    if (statement)
        for (qsizetype i = 0; i < m_values.size(); ++i)
            statement->bind(static_cast<int>(i + 1), m_values.at(i));
    return statement;
}

bool StoredDisc::readChunk()
{
    // One lower bound of the rowid only, so that SQLite seeks to where the last chunk ended
    // rather than reading the disc from its start again: within a known range, the range's
    // own, moved on.
    const QString after = u'?' + QString::number(m_values.size() + 1);
    const QString title = u'?' + QString::number(m_values.size() + 2);
    auto chunk = prepare(QStringLiteral("SELECT _rowid_, FNAME, PATH, LEVEL, TYPE, SIZE, MODIFIED,"
                                        " CDNAME IS %1 FROM CDS WHERE %2%3"
                                        " ORDER BY _rowid_ LIMIT %4")
                             .arg(title, m_condition,
                                  m_ranged ? QString() : QStringLiteral(" AND _rowid_ > ") + after)
                             .arg(kChunkRows));
    if (!chunk)
        return false;
    if (m_ranged && m_started)
        chunk->bindInt(1, m_after + 1);
    else if (!m_ranged)
        chunk->bindInt(int(m_values.size() + 1),
                       m_started ? m_after : std::numeric_limits<qint64>::min());
    chunk->bindUtf8(int(m_values.size() + 2), m_title);
    m_started = true;
    m_rows.clear();
    m_offsets.clear();
    m_bytes.clear();
    m_next = 0;
    sqlite3_stmt* row = chunk->handle();
    sql::Statement::Step step;
    while ((step = chunk->step()) == sql::Statement::Step::Row) {
        Offsets at{};
        at.name = m_bytes.size();
        at.nameLength = static_cast<std::size_t>(sqlite3_column_bytes(row, 1));
        if (const auto* name = sqlite3_column_text(row, 1))
            m_bytes.append(reinterpret_cast<const char*>(name), at.nameLength);
        at.path = m_bytes.size();
        at.pathLength = static_cast<std::size_t>(sqlite3_column_bytes(row, 2));
        if (const auto* path = sqlite3_column_text(row, 2))
            m_bytes.append(reinterpret_cast<const char*>(path), at.pathLength);
        m_offsets.push_back(at);
        m_rows.push_back({sqlite3_column_int64(row, 0),
                          {},
                          {},
                          integerAt(row, 3),
                          integerAt(row, 4),
                          integerAt(row, 5),
                          integerAt(row, 6),
                          sqlite3_column_int(row, 7) != 0});
        m_after = m_rows.back().rowid;
    }
    if (step == sql::Statement::Step::Error) {
        m_error = m_db.lastError();
        return false;
    }
    // The texts are pointed at once the chunk's buffer no longer grows.
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        m_rows[i].name =
            QByteArrayView(m_bytes.data() + m_offsets[i].name, qsizetype(m_offsets[i].nameLength));
        m_rows[i].path =
            QByteArrayView(m_bytes.data() + m_offsets[i].path, qsizetype(m_offsets[i].pathLength));
    }
    m_exhausted = m_rows.size() < std::size_t{kChunkRows};
    return !m_rows.empty();
}

const StoredRow* StoredDisc::next()
{
    if (m_next == m_rows.size()) {
        if ((m_started && m_exhausted) || m_error || !readChunk())
            return nullptr;
    }
    return &m_rows[m_next++];
}

QByteArray StoredDisc::root()
{
    auto first = prepare(QStringLiteral("SELECT PATH FROM CDS WHERE %1 AND LEVEL = 2"
                                        " ORDER BY _rowid_ LIMIT 1")
                             .arg(m_condition));
    if (!first || first->step() != sql::Statement::Step::Row)
        return {};
    int length = 0;
    const char* text = first->utf8(0, &length);
    return text ? QByteArray(text, length) : QByteArray();
}

QStringList StoredDisc::rootNames(int most)
{
    auto names = prepare(QStringLiteral("SELECT FNAME FROM CDS WHERE %1 AND LEVEL = 2"
                                        " ORDER BY _rowid_ LIMIT %2")
                             .arg(m_condition)
                             .arg(most));
    QStringList found;
    while (names && names->step() == sql::Statement::Step::Row)
        found.append(names->text(0));
    return found;
}

qint64 StoredDisc::rowCount()
{
    auto count = prepare(QStringLiteral("SELECT count(*) FROM CDS WHERE %1").arg(m_condition));
    return count && count->step() == sql::Statement::Step::Row ? count->integer(0) : 0;
}

qint64 StoredDisc::lastRowid()
{
    auto last = prepare(QStringLiteral("SELECT max(_rowid_) FROM CDS WHERE %1").arg(m_condition));
    return last && last->step() == sql::Statement::Step::Row ? last->integer(0) : 0;
}

} // namespace platterly::cataloguing
