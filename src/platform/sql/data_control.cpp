#include "platform/sql/data_control.h"

namespace platterly::sql {

DataControl::~DataControl()
{
    close();
}

void DataControl::setDatabaseName(const QString& path)
{
    if (path != m_databaseName)
        close();
    m_databaseName = path;
}

void DataControl::close()
{
    m_recordset.reset();
    m_db.reset();
    m_cache = PlanCache();
}

Database* DataControl::database(SqlError* error)
{
    if (!m_db) {
        SqlError failure;
        if (m_databaseName.isEmpty())
            failure = {ErrorCode::FileNotFound, QStringLiteral("No catalogue file is chosen.")};
        else
            m_db = Database::open(m_databaseName, &failure);
        if (failure) {
            m_lastError = failure;
            if (error)
                *error = failure;
            return nullptr;
        }
    }
    return m_db.get();
}

SqlError DataControl::refresh()
{
    m_recordset.reset();
    m_lastError = {};
    SqlError error;
    Database* db = database(&error);
    if (!db)
        return m_lastError = error;
    auto select = parseJetSelect(m_recordSource, &error);
    if (!select)
        return m_lastError = error;
    // Planning, counting and the first row under one read lock.
    const ReadScope readScope(*db);
    auto plan = answeredPlan(*db, *select);
    if (!plan)
        plan = planQuery(*db, m_cache, *select, &error, m_planner.get());
    if (!plan)
        return m_lastError = error;
    m_recordset = std::make_unique<Recordset>(*db, std::move(*plan));
    error = m_recordset->moveFirst();
    if (error) {
        m_recordset.reset();
        return m_lastError = error;
    }
    return {};
}

const RowidAnswer* DataControl::rowidAnswer() const
{
    return m_recordset ? m_recordset->plan().answer.get() : nullptr;
}

std::optional<QueryPlan> DataControl::answeredPlan(const Database& db, const JetSelect& select)
{
    if (!m_planner)
        return std::nullopt;
    std::shared_ptr<const RowidAnswer> answer = m_planner->answer(db, select);
    if (!answer)
        return std::nullopt;
    // Should the answer fail to become a plan, SQLite answers the statement itself.
    SqlError ignored;
    if (registerRowidTable(db))
        return std::nullopt;
    auto table = m_cache.table(db, select.table, &ignored);
    if (!table)
        return std::nullopt;
    QueryPlan plan;
    plan.table = std::move(*table);
    plan.answer = std::move(answer);
    return plan;
}

SqlError query(DataControl& data, const QString& statement)
{
    data.setRecordSource(statement);
    return data.refresh();
}

} // namespace platterly::sql
