#include "platform/sql/rowid_answer.h"

#include <mutex>
#include <unordered_map>

namespace platterly::sql {

namespace {

// Answers are found by number from inside SQLite, where no C++ object can be handed over:
// a statement's parameters are plain values. The registry holds no answer alive by itself.
struct AnswerRegistry
{
    std::mutex mutex;
    std::unordered_map<qint64, std::weak_ptr<const RowidAnswer>> answers;
    qint64 nextId = 1;
};

AnswerRegistry& registry()
{
    static AnswerRegistry answers;
    return answers;
}

} // namespace

AnswerTicket::AnswerTicket(std::shared_ptr<const RowidAnswer> answer) : m_answer(std::move(answer))
{
    AnswerRegistry& answers = registry();
    const std::lock_guard lock(answers.mutex);
    m_id = answers.nextId++;
    answers.answers.emplace(m_id, m_answer);
}

AnswerTicket::~AnswerTicket()
{
    AnswerRegistry& answers = registry();
    const std::lock_guard lock(answers.mutex);
    answers.answers.erase(m_id);
}

std::shared_ptr<const RowidAnswer> findAnswer(qint64 id)
{
    AnswerRegistry& answers = registry();
    const std::lock_guard lock(answers.mutex);
    const auto found = answers.answers.find(id);
    return found == answers.answers.end() ? nullptr : found->second.lock();
}

std::optional<QueryPlan> planAnsweredQuery(const Database& db, PlanCache& cache,
                                           const QString& table, const AnswerTicket& ticket,
                                           SqlError* error)
{
    if (SqlError failure = registerRowidTable(db)) {
        *error = failure;
        return std::nullopt;
    }
    auto info = cache.table(db, table, error);
    if (!info)
        return std::nullopt;
    QueryPlan plan;
    plan.table = *info;
    plan.params.append(QVariant(ticket.id()));
    // The recordset puts the table's name, then `where`, then `order` after "FROM": the table
    // is joined here with the answer's rowids, which SQLite reads first and in their own
    // order, looking each row up by rowid. The table function has no rowid of its own, so
    // "_rowid_" and the field names still mean the table's.
    plan.where = QStringLiteral(" AS platterly_row, platterly_rowids(?1) AS platterly_hit"
                                " WHERE platterly_row._rowid_ = platterly_hit.hit_rowid");
    plan.order = QStringLiteral(" ORDER BY platterly_hit.hit_order");
    return plan;
}

} // namespace platterly::sql
