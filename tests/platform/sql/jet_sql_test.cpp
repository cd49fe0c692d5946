#include "platform/sql/jet_sql.h"

#include <gtest/gtest.h>

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

TEST(JetSqlParser, ReadsTheStatementsTheProgramIssues)
{
    JetSelect select = parse("SELECT * FROM TOTAL WHERE CDNAME = 'Disc 1'");
    EXPECT_EQ(select.table, QStringLiteral("TOTAL"));
    ASSERT_EQ(select.conditions.size(), 1u);
    EXPECT_EQ(select.conditions[0].field, QStringLiteral("CDNAME"));
    EXPECT_EQ(select.conditions[0].op, JetCondition::Op::Equal);
    EXPECT_EQ(select.conditions[0].value.toString(), QStringLiteral("Disc 1"));

    select = parse("SELECT * FROM CDS WHERE TYPE=100 AND CDNAME= 'x'");
    ASSERT_EQ(select.conditions.size(), 2u);
    EXPECT_EQ(select.conditions[0].value.toLongLong(), 100);
    EXPECT_EQ(select.conditions[0].value.typeId(), QMetaType::LongLong);
    EXPECT_EQ(select.conditions[1].value.toString(), QStringLiteral("x"));

    select = parse("SELECT * FROM CDS WHERE FNAME LIKE  '*abc*' AND TYPE<>99 ORDER BY CDNAME ");
    ASSERT_EQ(select.conditions.size(), 2u);
    EXPECT_EQ(select.conditions[0].op, JetCondition::Op::Like);
    EXPECT_EQ(select.conditions[0].value.toString(), QStringLiteral("*abc*"));
    EXPECT_EQ(select.conditions[1].op, JetCondition::Op::NotEqual);
    EXPECT_EQ(select.orderBy, QStringLiteral("CDNAME"));

    select =
        parse("select * from cds where type = 1   and fname like '**.txt*' order by fname desc");
    EXPECT_EQ(select.table, QStringLiteral("cds"));
    EXPECT_TRUE(select.descending);
}

TEST(JetSqlParser, DoubledApostrophesAndQuotesStandForOne)
{
    JetSelect select = parse("SELECT * FROM TOTAL WHERE CDNAME = 'Ann''s ''best'''");
    EXPECT_EQ(select.conditions[0].value.toString(), QStringLiteral("Ann's 'best'"));
    select = parse("SELECT * FROM TOTAL WHERE CDNAME = \"say \"\"hi\"\"\"");
    EXPECT_EQ(select.conditions[0].value.toString(), QStringLiteral("say \"hi\""));
    select = parse("SELECT * FROM CDS WHERE FNAME LIKE '*%_[*]é*'");
    EXPECT_EQ(select.conditions[0].value.toString(), QStringLiteral("*%_[*]é*"));
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
