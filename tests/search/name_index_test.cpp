// The name index in the catalogue file: kept current by the program's own changes, found
// stale after anyone else's, rebuilt on open, and never trusted when in doubt.
#include "catalogue/name_index.h"
#include "platform/sql/data_control.h"
#include "search/name_index_planner.h"
#include "search/search_run.h"
#include "search/statement_builder.h"
#include "search_fixture.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using platterly::catalogue::NameIndexStatus;

namespace platterly::search::test {
namespace {

NameIndexStatus statusOf(const QString& file)
{
    sql::SqlError error;
    auto db = sql::Database::open(file, &error);
    return db ? catalogue::nameIndexStatus(*db) : NameIndexStatus::Missing;
}

sql::SqlError prepare(const QString& file, const catalogue::NameIndexProgress& progress = {})
{
    sql::SqlError error;
    auto db = sql::Database::open(file, &error);
    return db ? prepareNameIndex(*db, progress) : error;
}

QString allFiles(const QString& pattern)
{
    return buildSearchStatement({pattern, u"All Files"_s, false, {}}).statement;
}

// A catalogue of two discs, with a few names the tests look for.
class NameIndexFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        NameMaker names(3);
        fillTree(first, names, 400);
        first.addFile(u"deep/er/Zebra Crossing.TXT"_s);
        fillTree(second, names, 150);
        second.addFile(u"Zebra song.mp3"_s);
        ASSERT_TRUE(catalogue.addDisc(u"First"_s, first.root()));
        ASSERT_TRUE(catalogue.addDisc(u"Second"_s, second.root()));
    }

    void expectSearchAgrees(const QString& pattern, bool byIndex)
    {
        const SearchRows rows = searchRows(catalogue.path(), allFiles(pattern), true);
        EXPECT_EQ(rows.answeredByIndex, byIndex) << pattern.toStdString();
        Expectation expectation{u'*' + pattern + u'*', NameQuery::TypeTest::NotEqual, 99, {}, {}};
        EXPECT_EQ(rows.rows, expectedRows(catalogue.path(), expectation)) << pattern.toStdString();
    }

    platterly::test::TempTree first;
    platterly::test::TempTree second;
    CatalogueOnDisk catalogue;
};

TEST_F(NameIndexFile, CataloguingKeepsItCurrentDiscAfterDisc)
{
    EXPECT_EQ(statusOf(catalogue.path()), NameIndexStatus::Current);
    const SearchRows rows = searchRows(catalogue.path(), allFiles(u"zebra"_s), true);
    EXPECT_TRUE(rows.answeredByIndex);
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[0].name, u"Zebra Crossing.TXT"_s);
    EXPECT_EQ(rows.rows[1].name, u"Zebra song.mp3"_s);
    for (const QString& pattern : {u"a"_s, u"é"_s, u"ab?"_s, u"*.mp3"_s, u"[!x]#"_s})
        expectSearchAgrees(pattern, true);
}

TEST_F(NameIndexFile, ItsTablesArePlainForOtherTools)
{
    catalogue.foreignSql(u"CREATE TABLE probe AS SELECT count(*) AS n FROM NAMEINDEX"
                         u" JOIN NAMEINDEX_GRAMS JOIN NAMEINDEX_STATE LIMIT 1;"
                         u" DROP TABLE probe;"_s);
    // Another tool's change, even one that leaves CDS alone, makes the index stale.
    EXPECT_EQ(statusOf(catalogue.path()), NameIndexStatus::Stale);
}

TEST_F(NameIndexFile, AnotherProgramsChangeIsSeenAndTheIndexRebuiltOnOpen)
{
    catalogue.foreignSql(u"UPDATE CDS SET FNAME = 'Quagga.txt' WHERE FNAME = 'Zebra song.mp3'"_s);
    EXPECT_EQ(statusOf(catalogue.path()), NameIndexStatus::Stale);
    // Until the next open rebuilds it, searches read CDS, and see the change.
    expectSearchAgrees(u"quagga"_s, false);
    expectSearchAgrees(u"zebra"_s, false);

    qint64 lastDone = 0;
    const sql::SqlError error = prepare(catalogue.path(), [&](qint64 done, qint64 total) {
        EXPECT_LE(done, total);
        lastDone = done;
        return true;
    });
    EXPECT_FALSE(error) << error.message.toStdString();
    EXPECT_GT(lastDone, 500);
    EXPECT_EQ(statusOf(catalogue.path()), NameIndexStatus::Current);
    expectSearchAgrees(u"quagga"_s, true);
    expectSearchAgrees(u"zebra"_s, true);
}

TEST_F(NameIndexFile, ARowChangedBehindSQLitesBackIsNotDeliveredForItsOldName)
{
    // A name changed in the file itself, bytes for bytes of the same length: SQLite's change
    // counter stays as it was, and so the index looks current while it names the old name.
    QFile file(catalogue.path());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    const qsizetype at = bytes.indexOf("Zebra song.mp3");
    ASSERT_GE(at, 0);
    ASSERT_EQ(bytes.indexOf("Zebra song.mp3", at + 1), -1);
    ASSERT_TRUE(file.seek(at));
    ASSERT_EQ(file.write("Qebra"), 5);
    file.close();
    ASSERT_EQ(statusOf(catalogue.path()), NameIndexStatus::Current);

    const SearchRows rows = searchRows(catalogue.path(), allFiles(u"zebra"_s), true);
    EXPECT_TRUE(rows.answeredByIndex);
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(rows.rows[0].name, u"Zebra Crossing.TXT"_s);
    // A narrower search (one disc, one category) drops it as well.
    const QString oneDisc =
        buildSearchStatement({u"zebra"_s, u"Music Files"_s, true, u"second"_s}).statement;
    const SearchRows narrow = searchRows(catalogue.path(), oneDisc, true);
    EXPECT_TRUE(narrow.answeredByIndex);
    EXPECT_TRUE(narrow.rows.empty());
}

TEST_F(NameIndexFile, AMissingIndexIsBuiltOnOpenAndACancelLeavesItMissing)
{
    catalogue.foreignSql(
        u"DROP TABLE NAMEINDEX; DROP TABLE NAMEINDEX_GRAMS; DROP TABLE NAMEINDEX_STATE;"_s);
    EXPECT_EQ(statusOf(catalogue.path()), NameIndexStatus::Missing);
    expectSearchAgrees(u"zebra"_s, false);

    EXPECT_TRUE(prepare(catalogue.path(), [](qint64, qint64) { return false; }));
    EXPECT_EQ(statusOf(catalogue.path()), NameIndexStatus::Missing);

    EXPECT_FALSE(prepare(catalogue.path()));
    EXPECT_EQ(statusOf(catalogue.path()), NameIndexStatus::Current);
    expectSearchAgrees(u"zebra"_s, true);
    expectSearchAgrees(u"e"_s, true);
}

TEST_F(NameIndexFile, DropAndRenameInsideTheCallersTransactionKeepItCurrent)
{
    {
        sql::SqlError error;
        auto db = sql::Database::open(catalogue.path(), &error);
        ASSERT_TRUE(db);
        sql::Transaction transaction(*db);
        ASSERT_FALSE(db->exec(u"DELETE FROM CDS WHERE CDNAME = 'Second'"_s));
        ASSERT_FALSE(catalogue::dropTitleFromNameIndex(*db, u"SECOND"_s));
        ASSERT_FALSE(db->exec(u"UPDATE CDS SET CDNAME = 'Renamed' WHERE CDNAME = 'First'"_s));
        ASSERT_FALSE(catalogue::renameTitleInNameIndex(*db, u"first"_s, u"Renamed"_s));
        ASSERT_FALSE(transaction.commit());
    }
    EXPECT_EQ(statusOf(catalogue.path()), NameIndexStatus::Current);
    const SearchRows rows = searchRows(catalogue.path(), allFiles(u"zebra"_s), true);
    EXPECT_TRUE(rows.answeredByIndex);
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(rows.rows[0].title, u"Renamed"_s);
    const QString oneDisc =
        buildSearchStatement({u"a"_s, u"All Files"_s, true, u"renamed"_s}).statement;
    const SearchRows disc = searchRows(catalogue.path(), oneDisc, true);
    EXPECT_TRUE(disc.answeredByIndex);
    EXPECT_EQ(disc.rows,
              expectedRows(catalogue.path(),
                           {u"*a*"_s, NameQuery::TypeTest::NotEqual, 99, u"Renamed"_s, {}}));
    expectSearchAgrees(u"e"_s, true);
}

TEST_F(NameIndexFile, RowsOfOtherToolsAreOrderedAsSQLiteOrdersThem)
{
    // Titles that differ only in letter case, a NULL title, rows of one title between those
    // of another, NULL names and odd TYPE values: all of it written behind the program's back.
    catalogue.foreignSql(
        u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) VALUES ('first', 'late Zebra.txt', "
        u"'X:\\', 2, 2);"
        u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) VALUES (NULL, 'untitled zebra', "
        u"'X:\\', 2, 100);"
        u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) VALUES ('Second', 'zebra again.txt', "
        u"'X:\\', 2, NULL);"
        u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) VALUES ('Second', NULL, 'X:\\', 2, 2);"
        u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) VALUES ('Third', 'zebra typed.txt', "
        u"'X:\\', 2, 'odd');"
        u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) VALUES ('first', 'Zebra first.txt', "
        u"'X:\\', 2, 99);"
        u"DELETE FROM CDS WHERE rowid = 200;"
        u"INSERT INTO CDS (rowid, CDNAME, FNAME, PATH, LEVEL, TYPE)"
        u" VALUES (200, 'first', 'zebra between.txt', 'X:\\', 2, 2);"_s);
    ASSERT_FALSE(prepare(catalogue.path()));
    ASSERT_EQ(statusOf(catalogue.path()), NameIndexStatus::Current);
    QStringList categories = searchCategories();
    categories << u"Anything"_s;
    for (const QString& category : categories)
        for (const QString& pattern : {u"zebra"_s, u"a"_s, u"*"_s}) {
            for (const bool oneDisc : {false, true}) {
                const SearchRequest request{pattern, category, oneDisc, u"FIRST"_s};
                const SearchRows rows =
                    searchRows(catalogue.path(), buildSearchStatement(request).statement, true);
                EXPECT_TRUE(rows.answeredByIndex);
                const SearchRows scanned =
                    searchRows(catalogue.path(), buildSearchStatement(request).statement, false);
                EXPECT_EQ(rows.rows, scanned.rows)
                    << category.toStdString() << " " << pattern.toStdString() << " " << oneDisc;
            }
        }
    expectSearchAgrees(u"zebra"_s, true);
}

TEST_F(NameIndexFile, NamesItCannotHoldLeaveSearchesToSQLite)
{
    catalogue.foreignSql(u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) VALUES ('First', "
                         u"CAST(X'5A65627261FF' AS TEXT),"
                         u" 'X:\\', 2, 2);"_s);
    ASSERT_FALSE(prepare(catalogue.path()));
    EXPECT_EQ(statusOf(catalogue.path()), NameIndexStatus::Unusable);
    const SearchRows rows = searchRows(catalogue.path(), allFiles(u"crossing"_s), true);
    EXPECT_FALSE(rows.answeredByIndex);
    ASSERT_EQ(rows.rows.size(), 1u);
    // Cataloguing another disc tries again, and finds the same row in the way.
    platterly::test::TempTree third;
    third.addFile(u"one.txt"_s);
    ASSERT_TRUE(catalogue.addDisc(u"Third"_s, third.root()));
    EXPECT_EQ(statusOf(catalogue.path()), NameIndexStatus::Unusable);
}

TEST_F(NameIndexFile, AFileInWalModeIsSearchedBySQLite)
{
    catalogue.foreignSql(u"PRAGMA journal_mode = WAL"_s);
    EXPECT_EQ(statusOf(catalogue.path()), NameIndexStatus::Unverifiable);
    expectSearchAgrees(u"zebra"_s, false);
    catalogue.foreignSql(u"PRAGMA journal_mode = DELETE"_s);
}

TEST_F(NameIndexFile, ALargeTransactionStillStampsTheIndexRight)
{
    // Enough rows for SQLite to write pages out before the commit, with a small cache.
    sql::SqlError error;
    auto db = sql::Database::open(catalogue.path(), &error);
    ASSERT_TRUE(db);
    ASSERT_FALSE(db->exec(u"PRAGMA cache_size = 20"_s));
    {
        sql::Transaction transaction(*db);
        ASSERT_FALSE(db->exec(
            u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30000)"
            u" INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) SELECT 'Bulk', 'bulk file ' || i || '.txt', 'B:\\', 2, 2 FROM n"_s));
        ASSERT_FALSE(catalogue::indexTitle(*db, u"Bulk"_s));
        ASSERT_FALSE(transaction.commit());
    }
    EXPECT_EQ(catalogue::nameIndexStatus(*db), NameIndexStatus::Current);
    db.reset();
    const SearchRows rows = searchRows(catalogue.path(), allFiles(u"file 2999"_s), true);
    EXPECT_TRUE(rows.answeredByIndex);
    EXPECT_EQ(rows.rows.size(), 11u); // 2999 and 29990 .. 29999
}

} // namespace
} // namespace platterly::search::test
