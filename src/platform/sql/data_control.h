#pragma once

#include "platform/sql/query_plan.h"
#include "platform/sql/recordset.h"
#include "platform/sql/rowid_answer.h"
#include "platform/sql/sqlite_db.h"

#include <memory>

namespace platterly::sql {

// The bridge between a window and its catalogue file: it is given the file (database name)
// and a statement (record source); refresh() opens the file when needed, runs the statement
// and offers its rows as a recordset standing on the first row.
class DataControl
{
public:
    DataControl() = default;
    ~DataControl();
    DataControl(const DataControl&) = delete;
    DataControl& operator=(const DataControl&) = delete;

    // Setting another file closes the one open; an empty name closes it.
    void setDatabaseName(const QString& path);
    const QString& databaseName() const { return m_databaseName; }

    void setRecordSource(const QString& statement) { m_recordSource = statement; }
    const QString& recordSource() const { return m_recordSource; }

    // Runs the record source. On failure the recordset is gone and the error says why
    // (a file that is missing, not a database, damaged or locked; a table the file lacks,
    // code 3078; a statement outside the supported subset).
    SqlError refresh();

    // The recordset of the last successful refresh, or nullptr.
    Recordset* recordset() const { return m_recordset.get(); }

    // The open connection (opening the file when needed), for work a recordset does not
    // cover: transactions, and statements of the program's own.
    Database* database(SqlError* error = nullptr);
    void close();

    const SqlError& lastError() const { return m_lastError; }

    // Answers from an index of a higher layer. A planner, when set, is asked first about each
    // statement; the rows it answers are read by rowid in its order, and what it declines
    // runs as usual. rowidAnswer() is the answer behind the current recordset, or nullptr.
    void setPlanner(std::shared_ptr<StatementPlanner> planner) { m_planner = std::move(planner); }
    const RowidAnswer* rowidAnswer() const;

private:
    std::optional<QueryPlan> answeredPlan(const Database& db, const JetSelect& select);

    QString m_databaseName;
    QString m_recordSource;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<Recordset> m_recordset;
    PlanCache m_cache;
    SqlError m_lastError;
    std::shared_ptr<StatementPlanner> m_planner;
};

// Sets the record source of `data` to `statement` and refreshes it: how the program asks the
// catalogue each of its questions.
SqlError query(DataControl& data, const QString& statement);

} // namespace platterly::sql
