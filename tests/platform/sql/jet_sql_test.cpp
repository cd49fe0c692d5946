#include "platform/sql/jet_sql.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace platterly::sql;

namespace {

JetSelect parse(const char* text)
{
    SqlError error;
    auto select = parseJetSelect(QString::fromUtf8(text), &error);
    EXPECT_TRUE(select.has_value()) << error.message.toStdString();
    return select.value_or(JetSelect{});
}

} // namespace

TEST(JetSqlParser, DoubledApostrophesAndQuotesStandForOne)
{
    JetSelect select = parse("SELECT * FROM TOTAL WHERE CDNAME = 'Ann''s ''best'''");
    EXPECT_EQ(select.conditions[0].value.toString(), u"Ann's 'best'"_s);
    select = parse("SELECT * FROM TOTAL WHERE CDNAME = \"say \"\"hi\"\"\"");
    EXPECT_EQ(select.conditions[0].value.toString(), u"say \"hi\""_s);
    select = parse("SELECT * FROM CDS WHERE FNAME LIKE '*%_[*]é*'");
    EXPECT_EQ(select.conditions[0].value.toString(), u"*%_[*]é*"_s);
}

TEST(JetSqlParser, RefusesEverythingOutsideTheSubset)
{
    const QStringList refused =
        QStringLiteral("|DELETE FROM CDS|SELECT CDNAME FROM CDS|SELECT * FROM CDS; DROP TABLE CDS|"
                       "SELECT * FROM CDS WHERE CDNAME = 'unclosed|SELECT * FROM CDS WHERE CDNAME "
                       "= 'a' OR 1=1|SELECT * FROM CDS WHERE FNAME LIKE 5|SELECT * FROM CDS WHERE|"
                       "SELECT * FROM CDS ORDER CDNAME|SELECT * FROM CDS WHERE TYPE = 1 AND|"
                       "SELECT * FROM CDS, TOTAL")
            .split(u'|');
    for (const QString& text : refused) {
        SqlError error;
        EXPECT_FALSE(parseJetSelect(text, &error).has_value()) << text.toStdString();
        EXPECT_EQ(error.code, ErrorCode::Syntax);
        EXPECT_FALSE(error.message.isEmpty());
    }
}
