#pragma once

#include "platform/sql/jet_sql.h"
#include "platform/sql/sqlite_db.h"

#include <QHash>
#include <QStringList>
#include <QVariantList>
#include <memory>

namespace platterly::sql {

// What a table holds, as stored in the file (names keep the file's own spelling).
struct TableInfo
{
    QString name;
    QStringList columns;
    QStringList columnTypes;

    int columnIndex(QStringView field) const; // case-blind; -1 when missing
};

// Facts about a file that are costly to find and rarely change: the tables, and the distinct
// values of indexed text columns, kept until the file's contents change.
class PlanCache
{
public:
    std::optional<TableInfo> table(const Database& db, const QString& name, SqlError* error);
    // The stored values of `column` that equal `value` case-blind, found through the
    // column's index without reading the table; nothing when the column has no index.
    std::optional<QStringList> caseVariants(const Database& db, const TableInfo& table,
                                            const QString& column, const QString& value);

private:
    void dropIfStale(const Database& db);

    const Database* m_db = nullptr;
    qint64 m_version = -1;
    qint64 m_schema = -1;
    QHash<QString, TableInfo> m_tables;
    QHash<QString, std::optional<QStringList>> m_distinct;
};

class RowidAnswer;

// A Jet statement translated to SQLite: the row query returns the rowid first and then the
// table's fields in table order; parameters are bound in order.
struct QueryPlan
{
    TableInfo table;
    QString where; // "" or " WHERE ..."
    QString order; // " ORDER BY ..."; stored order (rowid) when the statement names none
    QVariantList params;
    // When set, the rows are instead those the answer names, in its order (`where`, `order`
    // and `params` are empty): the table joined with the table function that reads the
    // answer, which is bound as parameter 1. A rowid whose row is gone is skipped.
    std::shared_ptr<const RowidAnswer> answer;

    QString rowsSql() const;
    QString countSql() const;
    // The parameters of rowsSql() and countSql(): how many, and their values bound in order.
    int parameterCount() const;
    void bindTo(Statement& statement) const;
};

class StatementPlanner;
// `planner`, when given, is asked where the rows of a case-blind equality lie (see
// StatementPlanner::rowRange).
std::optional<QueryPlan> planQuery(const Database& db, PlanCache& cache, const JetSelect& select,
                                   SqlError* error, StatementPlanner* planner = nullptr);

} // namespace platterly::sql
