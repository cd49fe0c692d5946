#include "search/name_query.h"

#include "catalogue/name_index.h"
#include "platform/sql/casefold.h"

namespace platterly::search {

namespace {

bool isField(const sql::JetCondition& condition, QStringView field)
{
    return sql::equalsFolded(condition.field, field);
}

// "*literal*" with at least one star on each side and nothing but literal characters
// between: then any text holding the literal matches, and no name needs a full match.
bool isLiteralBetweenStars(const QString& pattern, const QString& foldedLiteral)
{
    qsizetype begin = 0;
    qsizetype end = pattern.size();
    while (begin < end && pattern.at(begin) == QLatin1Char('*'))
        ++begin;
    while (end > begin && pattern.at(end - 1) == QLatin1Char('*'))
        --end;
    if (begin == 0 || end == pattern.size() || begin == end)
        return false;
    const QStringView middle = QStringView(pattern).mid(begin, end - begin);
    for (const QChar c : middle)
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#') ||
            c == QLatin1Char('['))
            return false;
    return sql::foldCase(middle) == foldedLiteral;
}

} // namespace

std::optional<NameQuery> recogniseNameQuery(const sql::JetSelect& select)
{
    if (!sql::equalsFolded(select.table, u"CDS") || select.descending)
        return std::nullopt;
    std::optional<QString> pattern;
    std::optional<NameQuery> query;
    NameQuery::TypeTest typeTest = NameQuery::TypeTest::Any;
    qint64 typeValue = 0;
    std::optional<QString> title;
    std::vector<sql::JetCondition> rowConditions;
    for (const sql::JetCondition& condition : select.conditions) {
        const bool text = condition.value.typeId() == QMetaType::QString;
        if (condition.op == sql::JetCondition::Op::Like && isField(condition, u"FNAME") && text &&
            !pattern) {
            pattern = condition.value.toString();
        } else if (isField(condition, u"TYPE") && typeTest == NameQuery::TypeTest::Any &&
                   condition.value.typeId() == QMetaType::LongLong &&
                   (condition.op == sql::JetCondition::Op::Equal ||
                    condition.op == sql::JetCondition::Op::NotEqual)) {
            typeTest = condition.op == sql::JetCondition::Op::Equal ? NameQuery::TypeTest::Equal
                                                                    : NameQuery::TypeTest::NotEqual;
            typeValue = condition.value.toLongLong();
        } else if (isField(condition, u"CDNAME") && text && !title &&
                   condition.op == sql::JetCondition::Op::Equal) {
            title = condition.value.toString();
        } else if ((isField(condition, u"SIZE") || isField(condition, u"MODIFIED")) &&
                   condition.value.typeId() == QMetaType::LongLong &&
                   condition.op != sql::JetCondition::Op::Like) {
            rowConditions.push_back(condition);
        } else {
            return std::nullopt;
        }
    }
    // Type codes beyond the one-byte codes of the index are left to SQLite.
    if (!pattern || typeValue < 0 || typeValue >= catalogue::kTypeNull)
        return std::nullopt;
    NameQuery::Order order;
    if (sql::equalsFolded(select.orderBy, u"CDNAME"))
        order = NameQuery::Order::ByTitle;
    else if (sql::equalsFolded(select.orderBy, u"FNAME"))
        order = NameQuery::Order::ByName;
    else
        return std::nullopt;
    auto compiled = sql::JetLikePattern::compile(*pattern);
    if (!compiled)
        return std::nullopt;
    query.emplace(NameQuery{std::move(*compiled),
                            {},
                            false,
                            typeTest,
                            static_cast<std::uint8_t>(typeValue),
                            title,
                            order,
                            std::move(rowConditions)});
    query->literal = query->pattern.requiredLiteral().toUtf8();
    query->literalOnly = isLiteralBetweenStars(*pattern, query->pattern.requiredLiteral());
    return query;
}

} // namespace platterly::search
