#include "maintenance/selected_rows.h"

#include "platform/sql/jet_sql.h"
#include "platform/sql/query_plan.h"

#include <sqlite3.h>

namespace platterly::maintenance {

using sql::SqlError;

namespace {

// The statement's conditions as SQLite sees them, planned the way a recordset plans them, so
// that the rows changed are the rows a recordset of the same statement shows.
std::optional<sql::QueryPlan> planOf(const sql::Database& db, const QString& select,
                                     SqlError* error)
{
    const std::optional<sql::JetSelect> parsed = sql::parseJetSelect(select, error);
    if (!parsed)
        return std::nullopt;
    sql::PlanCache cache;
    return sql::planQuery(db, cache, *parsed, error);
}

SqlError runChange(const sql::Database& db, const QString& statement, const QVariantList& params,
                   qint64* changed)
{
    SqlError error;
    std::optional<sql::Statement> change = db.prepare(statement, &error);
    if (!change)
        return error;
    for (qsizetype i = 0; i < params.size(); ++i)
        change->bind(static_cast<int>(i + 1), params.at(i));
    if (change->step() == sql::Statement::Step::Error)
        return db.lastError();
    if (changed)
        *changed = sqlite3_changes64(db.handle());
    return {};
}

} // namespace

QString rowsOfTitle(const char* table, const QString& title)
{
    return QStringLiteral("SELECT * FROM %1 WHERE CDNAME = '").arg(QLatin1String(table)) +
           sql::quoteSqlText(title) + QStringLiteral("'");
}

SqlError deleteSelectedRows(const sql::Database& db, const QString& select, qint64* changed)
{
    SqlError error;
    const std::optional<sql::QueryPlan> plan = planOf(db, select, &error);
    if (!plan)
        return error;
    return runChange(
        db, QStringLiteral("DELETE FROM ") + sql::quoteName(plan->table.name) + plan->where,
        plan->params, changed);
}

SqlError setFieldOfSelectedRows(const sql::Database& db, const QString& select,
                                const QString& field, const QVariant& value, qint64* changed)
{
    SqlError error;
    const std::optional<sql::QueryPlan> plan = planOf(db, select, &error);
    if (!plan)
        return error;
    const int column = plan->table.columnIndex(field);
    if (column < 0)
        return {sql::ErrorCode::FieldNotFound,
                QStringLiteral("The table %1 has no field %2.").arg(plan->table.name, field)};
    // The new value takes the parameter number after the conditions' own.
    QVariantList params = plan->params;
    params.append(value);
    const QString statement = QStringLiteral("UPDATE ") + sql::quoteName(plan->table.name) +
                              QStringLiteral(" SET ") +
                              sql::quoteName(plan->table.columns.at(column)) +
                              QStringLiteral(" = ?") + QString::number(params.size()) + plan->where;
    return runChange(db, statement, params, changed);
}

} // namespace platterly::maintenance
