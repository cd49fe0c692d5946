#pragma once

#include "platform/sql/jet_sql.h"
#include "platform/sql/sqlite_db.h"

#include <memory>
#include <optional>

namespace platterly::sql {

// Statements that an index of a higher layer can answer faster than SQLite scanning the table
// are answered as a list of rowids in the statement's order. The recordset then reads just
// those rows, by rowid, as it reads any other result: the windows see no difference. The
// rowids reach SQLite through the table function "platterly_rowids", joined with the table in
// one statement, so that SQLite keeps one cursor on the table for all of them (bench/README.md
// has the figures against a lookup statement per row).

// Produces the rowids of one answer, in order, one at a time, so that the first rows reach
// the reader before the whole answer is worked out.
class RowidCursor
{
public:
    virtual ~RowidCursor() = default;
    // The next rowid; false at the end.
    virtual bool next(qint64* rowid) = 0;
};

class RowidAnswer
{
public:
    virtual ~RowidAnswer() = default;
    // A fresh cursor at the first rowid; every statement run over the answer takes one.
    virtual std::unique_ptr<RowidCursor> open() const = 0;
    // The number of rowids the answer holds.
    virtual qint64 count() const = 0;
};

// A planner of a higher layer. It is asked about every statement a data control runs and
// must decline quickly (nullptr) what it cannot answer, or when its index may disagree with
// the tables; a declined statement runs on SQLite as usual.
class StatementPlanner
{
public:
    virtual ~StatementPlanner() = default;
    virtual std::shared_ptr<const RowidAnswer> answer(const Database& db,
                                                      const JetSelect& select) = 0;

    // For a case-blind `column = value` on a column SQLite has no index for: the stored
    // spellings that equal `value` and a range of rowids that holds every row having one of
    // them, so that SQLite reads that range instead of the whole table. Nothing when the
    // planner does not know.
    struct RowRange
    {
        QStringList values;
        qint64 first = 0;
        qint64 last = -1;
    };
    virtual std::optional<RowRange> rowRange(const Database& db, const QString& table,
                                             const QString& column, const QString& value)
    {
        Q_UNUSED(db);
        Q_UNUSED(table);
        Q_UNUSED(column);
        Q_UNUSED(value);
        return std::nullopt;
    }

    // Whether a condition on a field that `table` lacks reads the field as unknown (NULL, so
    // the condition holds for no row) instead of being an error: for fields that a higher
    // layer adds to files made before they existed.
    virtual bool readsMissingFieldAsNull(const QString& table, const QString& field)
    {
        Q_UNUSED(table);
        Q_UNUSED(field);
        return false;
    }
};

// What the table function takes as its argument: a RowidAnswer bound as a pointer of this
// type (see QueryPlan::answer), never a value a statement's text could forge.
inline constexpr char kRowidAnswerPointerType[] = "platterly::sql::RowidAnswer";

// Makes the table function "platterly_rowids" known to the connection (once per connection).
SqlError registerRowidTable(const Database& db);

} // namespace platterly::sql
