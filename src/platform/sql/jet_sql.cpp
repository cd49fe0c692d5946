#include "platform/sql/jet_sql.h"

#include <QChar>

namespace platterly::sql {

namespace {

// A hand-written scanner: the grammar is tiny, and a parser of our own lets every statement
// outside it be refused with a message instead of being passed on to SQLite.
class Scanner
{
public:
    explicit Scanner(const QString& text) : m_text(text) {}

    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
    }

    bool atEnd()
    {
        skipBlanks();
        return m_pos >= m_text.size();
    }

    // Accepts a keyword (case-blind) that is not followed by a letter or digit.
    bool keyword(QLatin1String word)
    {
        skipBlanks();
        if (m_text.size() - m_pos < word.size())
            return false;
        if (QStringView(m_text).mid(m_pos, word.size()).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        const qsizetype after = m_pos + word.size();
        if (after < m_text.size() && isNameChar(m_text.at(after)))
            return false;
        m_pos = after;
        return true;
    }

    bool symbol(QLatin1String text)
    {
        skipBlanks();
        if (QStringView(m_text).mid(m_pos).startsWith(text)) {
            m_pos += text.size();
            return true;
        }
        return false;
    }

    // A name: letters, digits and '_', or a name in brackets [like this].
    std::optional<QString> name()
    {
        skipBlanks();
        if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('[')) {
            const qsizetype close = m_text.indexOf(QLatin1Char(']'), m_pos + 1);
            if (close < 0)
                return std::nullopt;
            QString result = m_text.mid(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
            return result;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && isNameChar(m_text.at(m_pos)))
            ++m_pos;
        if (m_pos == start || m_text.at(start).isDigit())
            return std::nullopt;
        return m_text.mid(start, m_pos - start);
    }

    // 'text' with '' standing for one apostrophe, or "text" with "" for one quote.
    std::optional<QString> quoted()
    {
        skipBlanks();
        if (m_pos >= m_text.size())
            return std::nullopt;
        const QChar quote = m_text.at(m_pos);
        if (quote != QLatin1Char('\'') && quote != QLatin1Char('"'))
            return std::nullopt;
        QString result;
        qsizetype i = m_pos + 1;
        while (i < m_text.size()) {
            if (m_text.at(i) == quote) {
                if (i + 1 < m_text.size() && m_text.at(i + 1) == quote) {
                    result.append(quote);
                    i += 2;
                    continue;
                }
                m_pos = i + 1;
                return result;
            }
            result.append(m_text.at(i));
            ++i;
        }
        return std::nullopt; // no closing quote
    }

    std::optional<QVariant> number()
    {
        skipBlanks();
        qsizetype i = m_pos;
        if (i < m_text.size() &&
            (m_text.at(i) == QLatin1Char('-') || m_text.at(i) == QLatin1Char('+')))
            ++i;
        const qsizetype digitsStart = i;
        bool dot = false;
        while (i < m_text.size() &&
               (m_text.at(i).isDigit() || (!dot && m_text.at(i) == QLatin1Char('.')))) {
            dot = dot || m_text.at(i) == QLatin1Char('.');
            ++i;
        }
        if (i == digitsStart || (i < m_text.size() && isNameChar(m_text.at(i))))
            return std::nullopt;
        const QString digits = m_text.mid(m_pos, i - m_pos);
        bool ok = false;
        QVariant value;
        if (dot)
            value = digits.toDouble(&ok);
        else
            value = digits.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        m_pos = i;
        return value;
    }

    QString rest() const { return m_text.mid(m_pos, 30); }

private:
    static bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

    const QString& m_text;
    qsizetype m_pos = 0;
};

SqlError syntaxError(const QString& statement, const QString& what, const Scanner& at)
{
    const QString place = at.rest().isEmpty()
                              ? QStringLiteral("the end")
                              : QStringLiteral("\"") + at.rest() + QStringLiteral("\"");
    return {ErrorCode::Syntax,
            QStringLiteral("The statement \"%1\" cannot be run: %2 expected at %3.")
                .arg(statement, what, place)};
}

std::optional<JetCondition::Op> comparison(Scanner& in)
{
    using Op = JetCondition::Op;
    if (in.symbol(QLatin1String("<>")))
        return Op::NotEqual;
    if (in.symbol(QLatin1String("<=")))
        return Op::LessOrEqual;
    if (in.symbol(QLatin1String(">=")))
        return Op::GreaterOrEqual;
    if (in.symbol(QLatin1String("=")))
        return Op::Equal;
    if (in.symbol(QLatin1String("<")))
        return Op::Less;
    if (in.symbol(QLatin1String(">")))
        return Op::Greater;
    if (in.keyword(QLatin1String("LIKE")))
        return Op::Like;
    return std::nullopt;
}

} // namespace

std::optional<JetSelect> parseJetSelect(const QString& text, SqlError* error)
{
    Scanner in(text);
    JetSelect select;
    if (!in.keyword(QLatin1String("SELECT")) || !in.symbol(QLatin1String("*")) ||
        !in.keyword(QLatin1String("FROM"))) {
        *error = syntaxError(text, QStringLiteral("SELECT * FROM"), in);
        return std::nullopt;
    }
    auto table = in.name();
    if (!table) {
        *error = syntaxError(text, QStringLiteral("a table name"), in);
        return std::nullopt;
    }
    select.table = *table;

    if (in.keyword(QLatin1String("WHERE"))) {
        do {
            JetCondition condition;
            auto field = in.name();
            if (!field) {
                *error = syntaxError(text, QStringLiteral("a field name"), in);
                return std::nullopt;
            }
            condition.field = *field;
            auto op = comparison(in);
            if (!op) {
                *error = syntaxError(text, QStringLiteral("a comparison"), in);
                return std::nullopt;
            }
            condition.op = *op;
            if (auto quotedText = in.quoted()) {
                condition.value = *quotedText;
            } else if (auto number = in.number(); number && *op != JetCondition::Op::Like) {
                condition.value = *number;
            } else {
                *error = syntaxError(text, QStringLiteral("a value"), in);
                return std::nullopt;
            }
            select.conditions.push_back(std::move(condition));
        } while (in.keyword(QLatin1String("AND")));
    }

    if (in.keyword(QLatin1String("ORDER"))) {
        if (!in.keyword(QLatin1String("BY"))) {
            *error = syntaxError(text, QStringLiteral("BY"), in);
            return std::nullopt;
        }
        auto field = in.name();
        if (!field) {
            *error = syntaxError(text, QStringLiteral("a field name"), in);
            return std::nullopt;
        }
        select.orderBy = *field;
        if (in.keyword(QLatin1String("DESC")))
            select.descending = true;
        else
            in.keyword(QLatin1String("ASC"));
    }

    if (!in.atEnd()) {
        *error = syntaxError(text, QStringLiteral("the end of the statement"), in);
        return std::nullopt;
    }
    return select;
}

} // namespace platterly::sql
