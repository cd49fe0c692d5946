// Running a search: rows in order to a consumer that may stop, the counts and the message;
// and the data control's hook that lets an index answer a statement with rowids.
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
    EXPECT_EQ(resultMessage(0, 0), u"No Files Found"_s);
    EXPECT_EQ(resultMessage(0, 215), u"No Files Found"_s);
    EXPECT_EQ(resultMessage(1, 1), u"Only 1 File Found"_s);
    EXPECT_EQ(resultMessage(12, 12), u"Files Found 12 (12)"_s);
    EXPECT_EQ(resultMessage(40, 215), u"Files Found 40 (215)"_s);
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

TEST_P(StoppedSearch, AFinishedSearchHandsOverEveryRowInOrder)
{
    QStringList names;
    const SearchOutcome outcome = run([&](const ResultRow& row) {
        EXPECT_EQ(row.title, u"Hits"_s);
        EXPECT_TRUE(row.path.startsWith(u"D:\\folder "_s)) << row.path.toStdString();
        names.append(row.name);
        return true;
    });
    EXPECT_FALSE(outcome.error);
    EXPECT_EQ(outcome.found, 215);
    EXPECT_EQ(outcome.total, 215);
    EXPECT_EQ(names.size(), 215);
    EXPECT_EQ(data.rowidAnswer() != nullptr, GetParam());
}

TEST_P(StoppedSearch, AConsumerThatStopsGetsNoMoreRowsAndTheTotalIsCounted)
{
    int given = 0;
    const SearchOutcome outcome = run([&](const ResultRow&) { return ++given < 40; });
    EXPECT_EQ(given, 40);
    EXPECT_EQ(outcome.found, 40);
    EXPECT_EQ(outcome.total, 215);
    EXPECT_EQ(resultMessage(outcome.found, outcome.total), u"Files Found 40 (215)"_s);
}

TEST_P(StoppedSearch, TheStopFlagIsReadBeforeEachRow)
{
    std::atomic<bool> stop = false;
    int given = 0;
    SearchOutcome outcome = run(
        [&](const ResultRow&) {
            if (++given == 5)
                stop = true; // the Stop button, pressed while row 5 is shown
            return true;
        },
        &stop);
    EXPECT_EQ(outcome.found, 5);
    EXPECT_EQ(outcome.total, 215);

    stop = true;
    given = 0;
    outcome = run([&](const ResultRow&) { return ++given, true; }, &stop);
    EXPECT_EQ(given, 0);
    EXPECT_EQ(outcome.found, 0);
    EXPECT_EQ(outcome.total, 215);
    EXPECT_EQ(resultMessage(outcome.found, outcome.total), u"No Files Found"_s);
}

TEST_P(StoppedSearch, AFileThatIsNotACatalogueIsAnError)
{
    platterly::test::TempTree folder;
    const QString file = folder.path(u"plain.db2"_s);
    {
        sql::SqlError error;
        auto db = sql::Database::create(file, &error);
        ASSERT_TRUE(db);
        ASSERT_FALSE(db->exec(u"CREATE TABLE other (x)"_s));
    }
    sql::DataControl other;
    other.setDatabaseName(file);
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
        sql::SqlError error;
        auto db = sql::Database::open(catalogue.path(), &error);
        ASSERT_TRUE(db);
        ASSERT_FALSE(prepareNameIndex(*db));
        auto blocks = db->prepare(u"SELECT count(*) FROM NAMEINDEX"_s, &error);
        ASSERT_TRUE(blocks && blocks->step() == sql::Statement::Step::Row);
        ASSERT_GE(blocks->integer(0), 600);
    }
    // Limits on size and time are tested on the rows of the hits: the total too.
    SearchFilters limits;
    limits.largerThan = 250;
    limits.modifiedBefore = 150000;
    const std::tuple<QString, QString, SearchFilters> searches[] = {
        {u"1"_s, u"All Files"_s, {}},     {u"12"_s, u"All Files"_s, {}},
        {u"e 12"_s, u"Anything"_s, {}},   {u".mp3"_s, u"Music Files"_s, {}},
        {u"*"_s, u"Music Files"_s, {}},   {u"99?"_s, u"Documents"_s, {}},
        {u"1"_s, u"All Files"_s, limits}, {u"*"_s, u"Music Files"_s, limits}};
    for (const auto& [pattern, category, filters] : searches) {
        const QString statement =
            buildSearchStatement({pattern, category, false, {}}, filters).statement;
        qint64 everyRow = 0;
        for (const bool byIndex : {false, true}) {
            sql::DataControl data;
            data.setDatabaseName(catalogue.path());
            if (byIndex)
                useNameIndex(data);
            const SearchOutcome all =
                runSearch(data, statement, [](const ResultRow&) { return true; });
            if (!byIndex)
                everyRow = all.found;
            int given = 0;
            const SearchOutcome stopped =
                runSearch(data, statement, [&](const ResultRow&) { return ++given < 10; });
            EXPECT_EQ(data.rowidAnswer() != nullptr, byIndex);
            EXPECT_EQ(stopped.found, 10);
            EXPECT_EQ(stopped.total, everyRow) << pattern.toStdString();
            EXPECT_EQ(all.found, everyRow) << pattern.toStdString();
        }
        EXPECT_GT(everyRow, 1000) << pattern.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(IndexAndScan, StoppedSearch, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? "ByIndex" : "ByScan";
                         });

// A planner that answers every statement with the rowids it was given, and notes how far its
// cursors have been read.
class ListPlanner : public sql::StatementPlanner
{
public:
    struct Answer : sql::RowidAnswer
    {
        class Cursor : public sql::RowidCursor
        {
        public:
            explicit Cursor(const Answer& answer) : m_answer(answer) {}
            bool next(qint64* rowid) override
            {
                if (m_at == m_answer.rowids.size())
                    return false;
                ++m_answer.handedOut;
                *rowid = m_answer.rowids[m_at++];
                return true;
            }

        private:
            const Answer& m_answer;
            std::size_t m_at = 0;
        };
        std::unique_ptr<sql::RowidCursor> open() const override
        {
            return std::make_unique<Cursor>(*this);
        }
        qint64 count() const override { return qint64(rowids.size()); }

        std::vector<qint64> rowids;
        mutable int handedOut = 0;
    };

    std::shared_ptr<const sql::RowidAnswer> answer(const sql::Database&,
                                                   const sql::JetSelect& select) override
    {
        if (select.table != u"CDS"_s)
            return nullptr;
        last = std::make_shared<Answer>();
        last->rowids = rowids;
        return last;
    }

    std::vector<qint64> rowids;
    std::shared_ptr<Answer> last;
};

TEST(AnsweredStatement, TheRecordsetReadsTheAnswersRowsInItsOrder)
{
    platterly::test::TempTree tree;
    for (int i = 0; i < 50; ++i)
        tree.addFile(u"f%1.txt"_s.arg(i, 2, 10, QLatin1Char('0')));
    CatalogueOnDisk catalogue;
    ASSERT_TRUE(catalogue.addDisc(u"List"_s, tree.root()));
    auto planner = std::make_shared<ListPlanner>();
    // Row 1 is the title row; 52 is no row at all and is skipped.
    planner->rowids = {4, 2, 52, 3, 40};
    sql::DataControl data;
    data.setDatabaseName(catalogue.path());
    data.setPlanner(planner);

    data.setRecordSource(u"SELECT * FROM CDS WHERE FNAME = 'ignored'"_s);
    ASSERT_FALSE(data.refresh());
    ASSERT_NE(data.rowidAnswer(), nullptr);
    sql::Recordset& rows = *data.recordset();
    // The first row is there after reading the first rowid, not the whole answer.
    EXPECT_LE(planner->last->handedOut, 2);
    QStringList names;
    for (; !rows.eof(); rows.moveNext())
        names.append(rows.field(u"FNAME").toString());
    EXPECT_EQ(names, QStringList({u"f02.txt"_s, u"f00.txt"_s, u"f01.txt"_s, u"f38.txt"_s}));
    EXPECT_EQ(rows.recordCount(), 4);

    // A row of the answer can be changed through the recordset like any other.
    ASSERT_FALSE(rows.moveFirst());
    ASSERT_FALSE(rows.edit());
    ASSERT_FALSE(rows.setField(u"FNAME", u"changed.txt"_s));
    ASSERT_FALSE(rows.update());
    ASSERT_FALSE(rows.moveFirst());
    EXPECT_EQ(rows.field(u"FNAME").toString(), u"changed.txt"_s);

    // Statements of other tables are left to SQLite.
    data.setRecordSource(u"SELECT * FROM TOTAL"_s);
    ASSERT_FALSE(data.refresh());
    EXPECT_EQ(data.rowidAnswer(), nullptr);
    EXPECT_EQ(data.recordset()->field(u"CDNAME").toString(), u"List"_s);
}

} // namespace
} // namespace platterly::search::test
