// Running a search: rows in order to a consumer that may stop, the counts and the message.
#include "platform/sql/data_control.h"
#include "search/name_index_planner.h"
#include "search/search_run.h"
#include "search/statement_builder.h"
#include "search_fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::search::test {
namespace {

TEST(ResultMessage, SaysHowManyRowsWereFoundOfHowMany)
{
    EXPECT_EQ(resultMessage(0, 215), u"No Files Found"_s);
    EXPECT_EQ(resultMessage(1, 1), u"Only 1 File Found"_s);
    EXPECT_EQ(resultMessage(1234567, 2345678), u"Files Found 1234567 (2345678)"_s);
}

// 215 names holding "hit" on one disc, among others.
class StoppedSearch : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        platterly::test::TempTree tree;
        for (int i = 0; i < 215; ++i)
            tree.addFile(u"folder %1/hit %2.txt"_s.arg(i % 7).arg(i));
        for (int i = 0; i < 100; ++i)
            tree.addFile(u"other %1.txt"_s.arg(i));
        ASSERT_TRUE(catalogue.addDisc(u"Hits"_s, tree.root()));
        data.setDatabaseName(catalogue.path());
        if (GetParam())
            useNameIndex(data);
    }

    SearchOutcome run(const ResultConsumer& consumer, const std::atomic<bool>* stop = nullptr)
    {
        return runSearch(data, statement, consumer, stop);
    }

    CatalogueOnDisk catalogue;
    sql::DataControl data;
    const QString statement = buildSearchStatement({u"hit"_s, u"All Files"_s, false, {}}).statement;
};

TEST_P(StoppedSearch, AConsumerOrTheStopFlagStopsTheRowsAndTheTotalIsCounted)
{
    QStringList names;
    const SearchOutcome all = run([&](const ResultRow& row) {
        EXPECT_EQ(row.title, u"Hits"_s);
        EXPECT_TRUE(row.path.startsWith(u"D:\\folder "_s)) << row.path.toStdString();
        names.append(row.name);
        return true;
    });
    EXPECT_FALSE(all.error);
    EXPECT_EQ(names.size(), 215);
    EXPECT_EQ(all.found, 215);
    EXPECT_EQ(all.total, 215);
    EXPECT_EQ(data.rowidAnswer() != nullptr, GetParam());

    int given = 0;
    SearchOutcome outcome = run([&](const ResultRow&) { return ++given < 40; });
    EXPECT_EQ(given, 40);
    EXPECT_EQ(outcome.found, 40);
    EXPECT_EQ(outcome.total, 215);

    // The stop flag is read before each row.
    std::atomic<bool> stop = false;
    given = 0;
    outcome = run(
        [&](const ResultRow&) {
            if (++given == 5)
                stop = true; // the Stop button, pressed while row 5 is shown
            return true;
        },
        &stop);
    EXPECT_EQ(outcome.found, 5);
    EXPECT_EQ(outcome.total, 215);
    // Stopped before the first row.
    outcome = run([&](const ResultRow&) { return ++given, true; }, &stop);
    EXPECT_EQ(given, 5);
    EXPECT_EQ(outcome.found, 0);
    EXPECT_EQ(outcome.total, 215);
}

TEST_P(StoppedSearch, AFileThatIsNotACatalogueIsAnError)
{
    CatalogueOnDisk plain;
    plain.foreignSql(u"DROP TABLE CDS"_s);
    sql::DataControl other;
    other.setDatabaseName(plain.path());
    if (GetParam())
        useNameIndex(other);
    const SearchOutcome outcome =
        runSearch(other, statement, [](const ResultRow&) { return true; });
    EXPECT_EQ(outcome.error.code, sql::ErrorCode::TableNotFound);
    EXPECT_EQ(outcome.found, 0);
}

TEST(LargeSearch, TheTotalOfAStoppedSearchOverManyBlocksIsExact)
{
    // Enough names for hundreds of blocks of the index: a stopped search's total is then
    // counted on two threads, the second with a connection of its own.
    CatalogueOnDisk catalogue;
    catalogue.foreignSql(
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000)"
        u" INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE, SIZE, MODIFIED) SELECT 'Bulk',"
        u" 'file ' || i || CASE WHEN i % 3 = 0 THEN '.mp3' ELSE '.txt' END, 'B:\\', 2,"
        u" CASE WHEN i % 3 = 0 THEN 4 ELSE 2 END, i % 1000, i FROM n"_s);
    {
        auto db = sql::Database::open(catalogue.path(), nullptr);
        ASSERT_FALSE(prepareNameIndex(*db));
        auto blocks = db->prepare(u"SELECT count(*) FROM NAMEINDEX"_s, nullptr);
        ASSERT_EQ(blocks->step(), sql::Statement::Step::Row);
        ASSERT_GE(blocks->integer(0), 600);
    }
    // Limits on size and time are tested on the rows of the hits: the total too.
    SearchFilters limits;
    limits.largerThan = 250;
    limits.modifiedBefore = 150000;
    for (const auto& [pattern, category, filters] :
         {std::tuple<QString, QString, SearchFilters>{u"e 12"_s, u"Anything"_s, {}},
          {u"*"_s, u"Music Files"_s, {}},
          {u"1"_s, u"All Files"_s, limits}}) {
        const QString statement =
            buildSearchStatement({pattern, category, false, {}}, filters).statement;
        const qint64 everyRow = qint64(searchRows(catalogue.path(), statement, false).rows.size());
        EXPECT_EQ(qint64(searchRows(catalogue.path(), statement, true).rows.size()), everyRow);
        for (const bool byIndex : {false, true}) {
            sql::DataControl data;
            data.setDatabaseName(catalogue.path());
            if (byIndex)
                useNameIndex(data);
            int given = 0;
            const SearchOutcome stopped =
                runSearch(data, statement, [&](const ResultRow&) { return ++given < 10; });
            EXPECT_EQ(data.rowidAnswer() != nullptr, byIndex);
            EXPECT_EQ(stopped.found, 10);
            EXPECT_EQ(stopped.total, everyRow) << pattern.toStdString();
        }
        EXPECT_GT(everyRow, 1000);
    }
}

INSTANTIATE_TEST_SUITE_P(IndexAndScan, StoppedSearch, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "ByIndex" : "ByScan";
                         });

} // namespace
} // namespace platterly::search::test
