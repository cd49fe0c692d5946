#include "search/row_filter.h"

#include "platform/sql/casefold.h"

#include <sqlite3.h>

namespace platterly::search {

namespace {

// A lookup by rowid descends the table's tree; reading a range steps from row to row. Below
// one hit in this many rows of the range, the lookups cost less.
constexpr qint64 kRowsPerLookup = 16;

RowFilter::Value valueAt(sqlite3_stmt* row, int column)
{
    using Kind = RowFilter::Value::Kind;
    switch (sqlite3_column_type(row, column)) {
    case SQLITE_INTEGER:
        return {Kind::Number, static_cast<long double>(sqlite3_column_int64(row, column))};
    case SQLITE_FLOAT:
        return {Kind::Number, static_cast<long double>(sqlite3_column_double(row, column))};
    case SQLITE_NULL:
        return {};
    default:
        return {Kind::Text, 0};
    }
}

bool holds(sql::JetCondition::Op op, const RowFilter::Value& value, qint64 limit)
{
    using Op = sql::JetCondition::Op;
    if (value.kind == RowFilter::Value::Kind::Null)
        return false;
    if (value.kind == RowFilter::Value::Kind::Text)
        return op == Op::NotEqual || op == Op::Greater || op == Op::GreaterOrEqual;
    const long double bound = static_cast<long double>(limit);
    switch (op) {
    case Op::Equal:
        return value.number == bound;
    case Op::NotEqual:
        return value.number != bound;
    case Op::Less:
        return value.number < bound;
    case Op::Greater:
        return value.number > bound;
    case Op::LessOrEqual:
        return value.number <= bound;
    case Op::GreaterOrEqual:
        return value.number >= bound;
    case Op::Like:
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

bool RowFilter::passes(const Value& size, const Value& modified) const
{
    for (const Limit& limit : m_limits)
        if (!holds(limit.op, limit.onSize ? size : modified, limit.value))
            return false;
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
            verdicts[next++] = passes(valueAt(row, 1), valueAt(row, 2)) ? 1 : 0;
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
            verdicts[i] = passes(valueAt(row, 0), valueAt(row, 1)) ? 1 : 0;
    }
    m_one->reset();
}

} // namespace platterly::search
