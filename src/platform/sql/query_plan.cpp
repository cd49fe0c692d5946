#include "platform/sql/query_plan.h"

#include "platform/sql/casefold.h"
#include "platform/sql/rowid_answer.h"

namespace platterly::sql {

namespace {

const char* sqlOperator(JetCondition::Op op)
{
    switch (op) {
    case JetCondition::Op::Equal:
        return "=";
    case JetCondition::Op::NotEqual:
        return "<>";
    case JetCondition::Op::Less:
        return "<";
    case JetCondition::Op::Greater:
        return ">";
    case JetCondition::Op::LessOrEqual:
        return "<=";
    case JetCondition::Op::GreaterOrEqual:
        return ">=";
    case JetCondition::Op::Like:
        break;
    }
    return "";
}

bool hasIndexOn(const Database& db, const QString& table, const QString& column)
{
    SqlError ignored;
    auto list =
        db.prepare(QStringLiteral("PRAGMA index_list(") + quoteName(table) + u')', &ignored);
    if (!list)
        return false;
    while (list->step() == Statement::Step::Row) {
        const QString index = list->text(1);
        auto info =
            db.prepare(QStringLiteral("PRAGMA index_xinfo(") + quoteName(index) + u')', &ignored);
        if (!info)
            continue;
        // The first column of the index must be the column itself, in plain byte order.
        if (info->step() == Statement::Step::Row && equalsFolded(info->text(2), column) &&
            info->text(4).compare(QLatin1String("BINARY"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

int TableInfo::columnIndex(QStringView field) const
{
    for (int i = 0; i < columns.size(); ++i)
        if (equalsFolded(columns.at(i), field))
            return i;
    return -1;
}

void PlanCache::dropIfStale(const Database& db)
{
    const qint64 version = db.contentVersion();
    // A column added by this connection changes no row, so the content version stays: the
    // schema's own counter tells.
    qint64 schema = -1;
    SqlError ignored;
    if (auto cookie = db.prepare(QStringLiteral("PRAGMA schema_version"), &ignored);
        cookie && cookie->step() == Statement::Step::Row)
        schema = cookie->integer(0);
    if (m_db != &db || m_version != version || m_schema != schema) {
        m_db = &db;
        m_version = version;
        m_schema = schema;
        m_tables.clear();
        m_distinct.clear();
    }
}

std::optional<TableInfo> PlanCache::table(const Database& db, const QString& name, SqlError* error)
{
    dropIfStale(db);
    const QString key = foldCase(name);
    if (auto found = m_tables.constFind(key); found != m_tables.constEnd())
        return *found;
    TableInfo info;
    if (!db.tableExists(name, &info.name)) {
        *error = {ErrorCode::TableNotFound,
                  QStringLiteral("The file %1 holds no table %2: it is not a catalogue file.")
                      .arg(db.path(), name)};
        return std::nullopt;
    }
    auto columns =
        db.prepare(QStringLiteral("PRAGMA table_info(") + quoteName(info.name) + u')', error);
    if (!columns)
        return std::nullopt;
    while (columns->step() == Statement::Step::Row) {
        info.columns.append(columns->text(1));
        info.columnTypes.append(columns->text(2));
    }
    m_tables.insert(key, info);
    return info;
}

std::optional<QStringList> PlanCache::caseVariants(const Database& db, const TableInfo& table,
                                                   const QString& column, const QString& value)
{
    dropIfStale(db);
    const QString key = foldCase(table.name) + u'\n' + foldCase(column);
    auto found = m_distinct.find(key);
    if (found == m_distinct.end()) {
        std::optional<QStringList> distinct;
        if (hasIndexOn(db, table.name, column)) {
            // Hop from one distinct value to the next through the index: one seek per value,
            // so a catalogue of millions of rows and a thousand titles costs a thousand seeks.
            distinct.emplace();
            SqlError ignored;
            const QString col = quoteName(column);
            const QString from = quoteName(table.name);
            auto first = db.prepare(QStringLiteral("SELECT ") + col + QStringLiteral(" FROM ") +
                                        from + QStringLiteral(" WHERE typeof(") + col +
                                        QStringLiteral(") = 'text' ORDER BY ") + col +
                                        QStringLiteral(" LIMIT 1"),
                                    &ignored);
            auto next =
                db.prepare(QStringLiteral("SELECT ") + col + QStringLiteral(" FROM ") + from +
                               QStringLiteral(" WHERE ") + col + QStringLiteral(" > ?1 ORDER BY ") +
                               col + QStringLiteral(" LIMIT 1"),
                           &ignored);
            if (first && next && first->step() == Statement::Step::Row) {
                QString current = first->text(0);
                for (;;) {
                    distinct->append(current);
                    next->reset();
                    next->bindText(1, current);
                    if (next->step() != Statement::Step::Row)
                        break;
                    current = next->text(0);
                }
            }
        }
        found = m_distinct.insert(key, distinct);
    }
    if (!found->has_value())
        return std::nullopt;
    QStringList variants;
    for (const QString& candidate : **found)
        if (equalsFolded(candidate, value))
            variants.append(candidate);
    return variants;
}

namespace {

// The table joined with the answer's rowids, which SQLite reads first and in their own order,
// looking each row up by rowid. The table function has no rowid of its own, so "_rowid_" and
// the field names still mean the table's.
const QLatin1String kAnswerJoin(" AS platterly_row, platterly_rowids(?1) AS platterly_hit"
                                " WHERE platterly_row._rowid_ = platterly_hit.hit_rowid");

} // namespace

QString QueryPlan::rowsSql() const
{
    QStringList fields;
    for (const QString& column : table.columns)
        fields.append(quoteName(column));
    const QString select = QStringLiteral("SELECT _rowid_, ") + fields.join(QLatin1String(", ")) +
                           QStringLiteral(" FROM ") + quoteName(table.name);
    if (answer)
        return select + kAnswerJoin + QStringLiteral(" ORDER BY platterly_hit.hit_order");
    return select + where + order;
}

QString QueryPlan::countSql() const
{
    return QStringLiteral("SELECT count(*) FROM ") + quoteName(table.name) +
           (answer ? QString(kAnswerJoin) : where);
}

int QueryPlan::parameterCount() const
{
    return answer ? 1 : static_cast<int>(params.size());
}

void QueryPlan::bindTo(Statement& statement) const
{
    if (answer) {
        statement.bindPointer(1, const_cast<RowidAnswer*>(answer.get()), kRowidAnswerPointerType);
        return;
    }
    for (int i = 0; i < params.size(); ++i)
        statement.bind(i + 1, params.at(i));
}

std::optional<QueryPlan> planQuery(const Database& db, PlanCache& cache, const JetSelect& select,
                                   SqlError* error, StatementPlanner* planner)
{
    auto table = cache.table(db, select.table, error);
    if (!table)
        return std::nullopt;
    QueryPlan plan;
    plan.table = *table;

    QStringList terms;
    for (const JetCondition& condition : select.conditions) {
        const int index = table->columnIndex(condition.field);
        if (index < 0 && planner &&
            planner->readsMissingFieldAsNull(table->name, condition.field)) {
            terms.append(QStringLiteral("NULL"));
            continue;
        }
        if (index < 0) {
            *error = {
                ErrorCode::FieldNotFound,
                QStringLiteral("The table %1 has no field %2.").arg(table->name, condition.field)};
            return std::nullopt;
        }
        const QString field = quoteName(table->columns.at(index));
        const bool text = condition.value.typeId() == QMetaType::QString;
        if (condition.op == JetCondition::Op::Like) {
            plan.params.append(condition.value);
            terms.append(QStringLiteral("jet_like(") + field + QStringLiteral(", ?") +
                         QString::number(plan.params.size()) + u')');
        } else if (condition.op == JetCondition::Op::Equal && text) {
            // Case-blind equality that still uses the index: look up which stored spellings
            // fold to the same text, then ask for exactly those.
            const QString value = condition.value.toString();
            auto variants = cache.caseVariants(db, *table, table->columns.at(index), value);
            std::optional<StatementPlanner::RowRange> range;
            if (!variants && planner)
                range = planner->rowRange(db, table->name, table->columns.at(index), value);
            if (range) {
                if (range->values.isEmpty() || range->first > range->last) {
                    terms.append(QStringLiteral("0"));
                } else {
                    // SQLite reads the range by rowid and compares bytes within it.
                    plan.params.append(range->first);
                    plan.params.append(range->last);
                    QString term = QStringLiteral("_rowid_ BETWEEN ?%1 AND ?%2 AND ")
                                       .arg(plan.params.size() - 1)
                                       .arg(plan.params.size());
                    QStringList slots;
                    for (const QString& variant : range->values) {
                        plan.params.append(variant);
                        slots.append(u'?' + QString::number(plan.params.size()));
                    }
                    terms.append(term + field + QStringLiteral(" IN (") +
                                 slots.join(QLatin1String(", ")) + u')');
                }
            } else if (!variants) {
                plan.params.append(value);
                terms.append(field + QStringLiteral(" = ?") + QString::number(plan.params.size()) +
                             QStringLiteral(" COLLATE JETNOCASE"));
            } else if (variants->isEmpty()) {
                terms.append(QStringLiteral("0"));
            } else {
                QStringList slots;
                for (const QString& variant : *variants) {
                    plan.params.append(variant);
                    slots.append(u'?' + QString::number(plan.params.size()));
                }
                terms.append(field + QStringLiteral(" IN (") + slots.join(QLatin1String(", ")) +
                             u')');
            }
        } else {
            plan.params.append(condition.value);
            terms.append(field + u' ' + QLatin1String(sqlOperator(condition.op)) +
                         QStringLiteral(" ?") + QString::number(plan.params.size()) +
                         (text ? QStringLiteral(" COLLATE JETNOCASE") : QString()));
        }
    }
    if (!terms.isEmpty())
        plan.where = QStringLiteral(" WHERE ") + terms.join(QLatin1String(" AND "));

    if (select.orderBy.isEmpty()) {
        plan.order = QStringLiteral(" ORDER BY _rowid_");
    } else {
        const int index = table->columnIndex(select.orderBy);
        if (index < 0) {
            *error = {
                ErrorCode::FieldNotFound,
                QStringLiteral("The table %1 has no field %2.").arg(table->name, select.orderBy)};
            return std::nullopt;
        }
        // Names in the order a reader expects (sql::compareNameOrder); rows with equal keys
        // keep their stored order.
        plan.order = QStringLiteral(" ORDER BY ") + quoteName(table->columns.at(index)) +
                     QStringLiteral(" COLLATE NAMEORDER") +
                     (select.descending ? QStringLiteral(" DESC") : QStringLiteral("")) +
                     QStringLiteral(", _rowid_");
    }
    return plan;
}

} // namespace platterly::sql
