#pragma once

#include "platform/sql/sql_error.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

namespace platterly::sql {

// The subset of Jet SQL the program issues:
//   SELECT * FROM table [WHERE condition {AND condition}] [ORDER BY field [ASC|DESC]]
// with conditions   field op value   (op one of = <> < > <= >=)   or   field LIKE 'pattern'.
// Values are 'text' (an apostrophe doubled inside) or numbers. Keywords, table and field
// names are case-blind; blanks between the parts are free. Anything else is refused.
struct JetCondition
{
    enum class Op
    {
        Equal,
        NotEqual,
        Less,
        Greater,
        LessOrEqual,
        GreaterOrEqual,
        Like
    };

    QString field;
    Op op = Op::Equal;
    QVariant value; // QString for text, qint64 or double for numbers
};

struct JetSelect
{
    QString table;
    std::vector<JetCondition> conditions;
    QString orderBy; // empty: stored order
    bool descending = false;
};

// Parses one statement; a statement outside the subset gives an error (code Syntax) that
// quotes the place where it went wrong.
std::optional<JetSelect> parseJetSelect(const QString& text, SqlError* error);

} // namespace platterly::sql
