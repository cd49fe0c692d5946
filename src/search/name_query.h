#pragma once

#include "catalogue/name_index.h"
#include "platform/sql/jet_like.h"
#include "platform/sql/jet_sql.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace platterly::search {

// What a name search statement asks for, in the terms of the name index:
//   SELECT * FROM CDS WHERE FNAME LIKE 'pattern' [AND TYPE = n | AND TYPE <> n]
//     [AND CDNAME = 'title'] {AND SIZE op n | AND MODIFIED op n} ORDER BY CDNAME | FNAME
// with the conditions in any order. Other statements are not name searches.
struct NameQuery
{
    enum class TypeTest
    {
        Any,
        Equal,
        NotEqual
    };
    enum class Order
    {
        ByTitle,
        ByName
    };

    sql::JetLikePattern pattern;
    QByteArray literal;       // the pattern's required literal, folded UTF-8
    bool literalOnly = false; // the pattern is "*literal*": every occurrence is a match
    TypeTest typeTest = TypeTest::Any;
    std::uint8_t typeCode = 0;
    std::optional<QString> title; // one disc, titles compared case-blind
    Order order = Order::ByTitle;
    // Comparisons of SIZE or MODIFIED with whole numbers, which the index does not hold: the
    // rows whose names match are read from CDS and tested (see RowFilter).
    std::vector<sql::JetCondition> rowConditions;

    // Whether an entry of this type code (see catalogue::kTypeNull) passes the TYPE test,
    // with SQL's meaning: a NULL passes neither = nor <>.
    bool acceptsType(std::uint8_t code) const
    {
        if (typeTest == TypeTest::Any)
            return true;
        if (typeTest == TypeTest::Equal)
            return code == typeCode;
        return code != typeCode && code != catalogue::kTypeNull;
    }
};

// The name search a statement makes, or nothing when it is another kind of statement (or
// holds a pattern Jet refuses, which SQLite then reports).
std::optional<NameQuery> recogniseNameQuery(const sql::JetSelect& select);

} // namespace platterly::search
