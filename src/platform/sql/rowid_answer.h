#pragma once

#include "platform/sql/jet_sql.h"
#include "platform/sql/query_plan.h"
#include "platform/sql/sqlite_db.h"

#include <memory>
#include <optional>

namespace platterly::sql {

// Statements that an index of a higher layer can answer faster than SQLite scanning the table
// are answered as a list of rowids in the statement's order. The recordset then reads just
// those rows, by rowid, as it reads any other result: the windows see no difference.

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

// Keeps an answer reachable by the statements of one query plan; the plan's statements find
// no rows once its ticket is gone.
class AnswerTicket
{
public:
    explicit AnswerTicket(std::shared_ptr<const RowidAnswer> answer);
    ~AnswerTicket();
    AnswerTicket(const AnswerTicket&) = delete;
    AnswerTicket& operator=(const AnswerTicket&) = delete;

    qint64 id() const { return m_id; }
    const RowidAnswer& answer() const { return *m_answer; }

private:
    qint64 m_id;
    std::shared_ptr<const RowidAnswer> m_answer;
};

// The query plan that reads the rows of `table` named by the ticket's answer, in its order:
// every field of the table, as planQuery() gives them, so the recordset cannot tell the two
// apart. Adding, changing and deleting rows work as on any other plan. A rowid whose row is
// gone from the table is skipped; the recordset's own count reads the answer through, row by
// row, where RowidAnswer::count() is usually quicker.
std::optional<QueryPlan> planAnsweredQuery(const Database& db, PlanCache& cache,
                                           const QString& table, const AnswerTicket& ticket,
                                           SqlError* error);

// The answer of a ticket id, while its ticket lives; for the table function that reads it.
std::shared_ptr<const RowidAnswer> findAnswer(qint64 id);

// Makes the table function "platterly_rowids" known to the connection (once per connection).
SqlError registerRowidTable(const Database& db);

} // namespace platterly::sql
