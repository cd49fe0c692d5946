#pragma once

#include "platform/sql/jet_sql.h"
#include "platform/sql/sqlite_db.h"

#include <optional>
#include <vector>

namespace platterly::search {

// Tests rows of CDS against comparisons of SIZE and MODIFIED with whole numbers, for a name
// search whose names the name index has matched: the index holds neither value, so they are
// read from CDS. The rows of one block of the index lie close together: when the hits of a
// block are many for the rows it spans, those rows are read as one range of rowids, otherwise
// each hit is looked up by its rowid. Either way no row is read twice, so a filter with a
// pattern that every name matches reads CDS once, as a scan would.
// A row whose value is NULL (a folder has no size), or a file that lacks the field (made
// before sizes were recorded), passes no condition on it; every value compares as SQLite
// compares it, so that a search gives the same rows whether the index answers it or not.
class RowFilter
{
public:
    RowFilter(const sql::Database& db, const std::vector<sql::JetCondition>& conditions);
    RowFilter(const RowFilter&) = delete;
    RowFilter& operator=(const RowFilter&) = delete;

    // Sets verdicts[i] to 1 when the row of rowids[i] (ascending) passes, else 0; a row that
    // is gone does not pass.
    void test(const std::vector<qint64>& rowids, std::vector<char>& verdicts);

    // A value as SQLite compares it with a number: NULL matches nothing, and a text or a blob
    // (which another program may have written) sorts after every number.
    struct Value
    {
        enum class Kind
        {
            Null,
            Number,
            Text
        };
        Kind kind = Kind::Null;
        long double number = 0; // exact for every 64-bit integer
    };
    // Whether a row with these values passes every condition.
    bool passes(const Value& size, const Value& modified) const;

private:
    void prepare();
    void testByRange(const std::vector<qint64>& rowids, std::vector<char>& verdicts);
    void testOneByOne(const std::vector<qint64>& rowids, std::vector<char>& verdicts);

    struct Limit
    {
        bool onSize; // else on MODIFIED
        sql::JetCondition::Op op;
        qint64 value;
    };
    const sql::Database& m_db;
    std::vector<Limit> m_limits;
    bool m_prepared = false;
    std::optional<sql::Statement> m_range;
    std::optional<sql::Statement> m_one;
};

} // namespace platterly::search
