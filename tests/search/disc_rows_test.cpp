// The rows of one disc read by the range of rowids the name index records for its title, with
// the same answers as SQLite reading the whole table.
#include "catalogue/name_index.h"
#include "platform/sql/data_control.h"
#include "search/name_index_planner.h"
#include "search_fixture.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;
using platterly::catalogue::NameIndexStatus;

namespace platterly::search::test {
namespace {

// What one statement gives through a data control: its rows (rowid and name) and its count.
struct StatementResult
{
    std::vector<std::pair<qint64, QString>> rows;
    qint64 count = -1;
    QString where; // of the SQL the recordset ran
};

StatementResult readStatement(sql::DataControl& data, const QString& statement)
{
    StatementResult result;
    data.setRecordSource(statement);
    const sql::SqlError error = data.refresh();
    EXPECT_FALSE(error) << error.message.toStdString();
    if (error)
        return result;
    sql::Recordset& rows = *data.recordset();
    result.where = rows.plan().where;
    for (; !rows.eof(); rows.moveNext())
        result.rows.emplace_back(rows.field(0).toLongLong(), rows.field(u"FNAME").toString());
    rows.moveLast();
    result.count = rows.absolutePosition() + 1;
    return result;
}

StatementResult readStatement(const QString& file, const QString& statement, bool useIndex)
{
    sql::DataControl data;
    data.setDatabaseName(file);
    if (useIndex)
        useNameIndex(data);
    return readStatement(data, statement);
}

// The index's blocks as a comparable text: per title, in block order, the names, types and
// rowid runs of its rows.
QByteArray blockDump(const QString& file)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* blocks = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT CDNAME, ENTRIES, NAMES, TYPES, ROWIDS FROM NAMEINDEX"
                       " ORDER BY CDNAME, BLOCK",
                       -1, &blocks, nullptr);
    QByteArray dump;
    while (sqlite3_step(blocks) == SQLITE_ROW) {
        for (int column = 0; column < 5; ++column) {
            dump.append(static_cast<const char*>(sqlite3_column_blob(blocks, column)),
                        sqlite3_column_bytes(blocks, column));
            dump.append('|');
        }
        dump.append('\n');
    }
    sqlite3_finalize(blocks);
    sqlite3_close(db);
    return dump;
}

void rebuildIndex(const QString& file)
{
    sql::SqlError error;
    auto db = sql::Database::open(file, &error);
    ASSERT_TRUE(db) << error.message.toStdString();
    sql::Transaction transaction(*db);
    ASSERT_FALSE(catalogue::buildNameIndex(*db));
    ASSERT_FALSE(transaction.commit());
}

class DiscRows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        NameMaker names(11);
        fillTree(first, names, 300);
        fillTree(second, names, 120);
        second.addFolder(u"Only Folder"_s);
        ASSERT_TRUE(catalogue.addDisc(u"First"_s, first.root()));
        ASSERT_TRUE(catalogue.addDisc(u"Sécond"_s, second.root()));
    }

    // Every one-disc statement of the windows gives the same rows and count with the index
    // as SQLite gives reading the whole table.
    void expectAgreement(bool rangeUsed)
    {
        for (const QString& title : {u"First"_s, u"FIRST"_s, u"sÉcond"_s, u"Third"_s}) {
            for (const QString& statement :
                 {u"SELECT * FROM CDS WHERE CDNAME = '%1'"_s,
                  u"SELECT * FROM CDS WHERE CDNAME= '%1'"_s,
                  u"SELECT * FROM CDS WHERE TYPE=100 AND CDNAME= '%1'"_s}) {
                const QString text = statement.arg(title);
                const StatementResult plain = readStatement(catalogue.path(), text, false);
                const StatementResult indexed = readStatement(catalogue.path(), text, true);
                EXPECT_EQ(indexed.rows, plain.rows) << text.toStdString();
                EXPECT_EQ(indexed.count, plain.count) << text.toStdString();
                EXPECT_EQ(qint64(plain.rows.size()), plain.count) << text.toStdString();
                EXPECT_EQ(indexed.where.contains(u"_rowid_ BETWEEN"_s) ||
                              indexed.where.endsWith(u" 0"_s),
                          rangeUsed)
                    << text.toStdString() << indexed.where.toStdString();
            }
        }
    }

    platterly::test::TempTree first;
    platterly::test::TempTree second;
    CatalogueOnDisk catalogue;
};

TEST_F(DiscRows, BlocksCutDuringTheWalkEqualTheBlocksOfARebuild)
{
    const QByteArray walked = blockDump(catalogue.path());
    EXPECT_GT(walked.count('\n'), 1);
    rebuildIndex(catalogue.path());
    EXPECT_EQ(blockDump(catalogue.path()), walked);
}

TEST_F(DiscRows, OneDiscIsReadByItsRange)
{
    expectAgreement(true);
    // The disc's folder count, as the cataloguing took it from its rows, matches the count of
    // its folders' rows.
    const StatementResult folders = readStatement(
        catalogue.path(), u"SELECT * FROM CDS WHERE TYPE=100 AND CDNAME= 'sécond'"_s, true);
    const StatementResult totals =
        readStatement(catalogue.path(), u"SELECT * FROM TOTAL WHERE CDNAME = 'Sécond'"_s, true);
    ASSERT_EQ(totals.count, 1);
    sql::DataControl data;
    data.setDatabaseName(catalogue.path());
    data.setRecordSource(u"SELECT * FROM TOTAL WHERE CDNAME = 'Sécond'"_s);
    ASSERT_FALSE(data.refresh());
    EXPECT_EQ(data.recordset()->field(u"DIRS").toLongLong(), folders.count);
}

TEST_F(DiscRows, AfterAnotherProgramsChangeTheWholeTableIsRead)
{
    // A row of the first disc added at the end, past its range, by another program.
    catalogue.foreignSql(u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE)"
                         u" VALUES ('First', 'late.txt', 'D:\\', 2, 2)"_s);
    EXPECT_EQ(catalogue::nameIndexStatus(*sql::Database::open(catalogue.path(), nullptr)),
              NameIndexStatus::Stale);
    expectAgreement(false);
    const StatementResult rows =
        readStatement(catalogue.path(), u"SELECT * FROM CDS WHERE CDNAME = 'first'"_s, true);
    ASSERT_FALSE(rows.rows.empty());
    EXPECT_EQ(rows.rows.back().second, u"late.txt"_s);

    // Rebuilt, the index knows the row, and the range covers it again.
    rebuildIndex(catalogue.path());
    expectAgreement(true);
}

TEST_F(DiscRows, ARowWithoutANameKeepsTheRangeOutOfUse)
{
    // Such a row is in no block, so the blocks cannot say where all rows of the title lie.
    catalogue.foreignSql(u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE)"
                         u" VALUES ('First', NULL, 'D:\\', 2, 2)"_s);
    rebuildIndex(catalogue.path());
    EXPECT_EQ(catalogue::nameIndexStatus(*sql::Database::open(catalogue.path(), nullptr)),
              NameIndexStatus::Current);
    expectAgreement(false);
}

TEST_F(DiscRows, InsideATransactionRowsNotYetIndexedAreFound)
{
    sql::DataControl data;
    data.setDatabaseName(catalogue.path());
    useNameIndex(data);
    const qint64 before = readStatement(data, u"SELECT * FROM CDS WHERE CDNAME = 'First'"_s).count;
    sql::Transaction transaction(*data.database());
    data.setRecordSource(u"SELECT * FROM CDS"_s);
    ASSERT_FALSE(data.refresh());
    sql::Recordset& cds = *data.recordset();
    cds.addNew();
    cds.setField(u"CDNAME", u"First"_s);
    cds.setField(u"FNAME", u"pending.txt"_s);
    ASSERT_FALSE(cds.update());
    const StatementResult inside =
        readStatement(data, u"SELECT * FROM CDS WHERE CDNAME = 'First'"_s);
    EXPECT_EQ(inside.count, before + 1);
    ASSERT_FALSE(inside.rows.empty());
    EXPECT_EQ(inside.rows.back().second, u"pending.txt"_s);
    EXPECT_FALSE(inside.where.contains(u"BETWEEN"_s));
}

TEST_F(DiscRows, RowidsOutOfOrderAreIndexedByReadingTheRowsBack)
{
    // With the largest rowid taken, SQLite picks new rowids at random: the blocks cut during
    // the walk for consecutive rowids would be wrong, so the disc is indexed from its rows.
    catalogue.foreignSql(u"INSERT INTO CDS (_rowid_, CDNAME, FNAME, PATH, LEVEL, TYPE) VALUES"
                         u" (9223372036854775807, 'Top', 'Top', 'Top', 1, 99);"
                         u"INSERT INTO TOTAL VALUES ('Top', '2026-01-01', 0, 0);"_s);
    rebuildIndex(catalogue.path());
    platterly::test::TempTree third;
    NameMaker names(5);
    fillTree(third, names, 80);
    third.addFile(u"Needle in the haystack.txt"_s);
    ASSERT_TRUE(catalogue.addDisc(u"Third"_s, third.root()));

    EXPECT_EQ(catalogue::nameIndexStatus(*sql::Database::open(catalogue.path(), nullptr)),
              NameIndexStatus::Current);
    const QByteArray added = blockDump(catalogue.path());
    rebuildIndex(catalogue.path());
    EXPECT_EQ(blockDump(catalogue.path()), added);

    const StatementResult plain =
        readStatement(catalogue.path(), u"SELECT * FROM CDS WHERE CDNAME = 'third'"_s, false);
    const StatementResult indexed =
        readStatement(catalogue.path(), u"SELECT * FROM CDS WHERE CDNAME = 'third'"_s, true);
    EXPECT_EQ(indexed.rows, plain.rows);
    EXPECT_EQ(indexed.count, plain.count);
    EXPECT_GT(plain.count, 80);
}

} // namespace
} // namespace platterly::search::test
