#include "search/row_filter.h"

#include "platform/sql/casefold.h"

#include <sqlite3.h>

namespace platterly::search {

namespace {

// A lookup by rowid descends the table's tree; reading a range steps from row to row. Below
// one hit in this many rows of the range, the lookups cost less.
constexpr qint64 kRowsPerLookup = 16;

std::optional<qint64> integerAt(sqlite3_stmt* row, int column)
{
    if (sqlite3_column_type(row, column) != SQLITE_INTEGER)
        return std::nullopt;
    return sqlite3_column_int64(row, column);
}

bool holds(sql::JetCondition::Op op, qint64 value, qint64 limit)
{
    switch (op) {
    case sql::JetCondition::Op::Equal:
        return value == limit;
    case sql::JetCondition::Op::NotEqual:
        return value != limit;
    case sql::JetCondition::Op::Less:
        return value < limit;
    case sql::JetCondition::Op::Greater:
        return value > limit;
    case sql::JetCondition::Op::LessOrEqual:
        return value <= limit;
    case sql::JetCondition::Op::GreaterOrEqual:
        return value >= limit;
    case sql::JetCondition::Op::Like:
        break;
    }
    return false;
}

} // namespace

RowFilter::RowFilter(const sql::Database& db, const std::vector<sql::JetCondition>& conditions)
    : m_db(db)
{
    for (const sql::JetCondition& condition : conditions)
        m_limits.push_back({sql::equalsFolded(condition.field, u"SIZE"), condition.op,
                            condition.value.toLongLong()});
}

void RowFilter::prepare()
{
    m_prepared = true;
    // A file without the fields cannot prepare these; its rows then pass nothing.
    sql::SqlError ignored;
    m_range = m_db.prepare(QStringLiteral("SELECT _rowid_, SIZE, MODIFIED FROM CDS"
                                          " WHERE _rowid_ BETWEEN ?1 AND ?2 ORDER BY _rowid_"),
                           &ignored);
    m_one =
        m_db.prepare(QStringLiteral("SELECT SIZE, MODIFIED FROM CDS WHERE _rowid_ = ?1"), &ignored);
}

bool RowFilter::passes(std::optional<qint64> size, std::optional<qint64> modified) const
{
    for (const Limit& limit : m_limits) {
        const std::optional<qint64>& value = limit.onSize ? size : modified;
        if (!value || !holds(limit.op, *value, limit.value))
            return false;
    }
    return true;
}

void RowFilter::test(const std::vector<qint64>& rowids, std::vector<char>& verdicts)
{
    verdicts.assign(rowids.size(), 0);
    if (rowids.empty())
        return;
    if (!m_prepared)
        prepare();
    if (!m_range || !m_one)
        return;
    const qint64 span = rowids.back() - rowids.front() + 1;
    if (static_cast<qint64>(rowids.size()) * kRowsPerLookup >= span)
        testByRange(rowids, verdicts);
    else
        testOneByOne(rowids, verdicts);
}

void RowFilter::testByRange(const std::vector<qint64>& rowids, std::vector<char>& verdicts)
{
    m_range->reset();
    m_range->bindInt(1, rowids.front());
    m_range->bindInt(2, rowids.back());
    sqlite3_stmt* row = m_range->handle();
    std::size_t next = 0;
    while (next < rowids.size() && m_range->step() == sql::Statement::Step::Row) {
        const qint64 rowid = sqlite3_column_int64(row, 0);
        while (next < rowids.size() && rowids[next] < rowid)
            ++next; // a hit whose row is gone
        if (next < rowids.size() && rowids[next] == rowid)
            verdicts[next++] = passes(integerAt(row, 1), integerAt(row, 2)) ? 1 : 0;
    }
    m_range->reset();
}

void RowFilter::testOneByOne(const std::vector<qint64>& rowids, std::vector<char>& verdicts)
{
    sqlite3_stmt* row = m_one->handle();
    for (std::size_t i = 0; i < rowids.size(); ++i) {
        m_one->reset();
        m_one->bindInt(1, rowids[i]);
        if (m_one->step() == sql::Statement::Step::Row)
            verdicts[i] = passes(integerAt(row, 0), integerAt(row, 1)) ? 1 : 0;
    }
    m_one->reset();
}

} // namespace platterly::search
