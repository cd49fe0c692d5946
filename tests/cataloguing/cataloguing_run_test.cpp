#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_reader.h"
#include "cataloguing/cataloguing_run.h"
#include "cataloguing/fake_lister.h"
#include "support/catalogue_rows.h"
#include "support/damaged_catalogue.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace platterly;
using namespace Qt::StringLiterals;
using cataloguing::RunOutcome;

namespace {

class CataloguingRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_file = m_dir.filePath(u"db.db2"_s);
        ASSERT_FALSE(catalogue::createEmptyCatalogue(m_file));
        m_tree.addFile(u"A.TXT"_s);
        m_tree.addFile(u"MUSIC/B.MP3"_s);
        m_tree.addFile(u"MUSIC/Old/README"_s);
        m_tree.addFile(u"Setup.1/install.exe"_s);
        m_tree.addFile(u".hidden/secret.txt"_s);
    }

    cataloguing::RunResult run(const QString& title, const QString& root,
                               cataloguing::FolderLister* lister = nullptr,
                               std::atomic<bool>* cancel = nullptr)
    {
        sql::DataControl data;
        data.setDatabaseName(m_file);
        const cataloguing::CataloguingRequest request{title, root, u"D:\\"_s, QDate(2006, 3, 5)};
        if (lister)
            return cataloguing::runCataloguing(data, request, *lister, {}, cancel);
        return cataloguing::runCataloguing(data, request, {}, cancel);
    }

    // The whole catalogue as text, read from the file afresh: rows, discs and totals.
    QStringList snapshot()
    {
        QStringList lines;
        auto db = sql::Database::open(m_file, nullptr);
        for (const char* table : {"CDS", "TOTAL", "TOTALS"}) {
            auto rows = db->prepare(
                u"SELECT %1 FROM %2 ORDER BY rowid"_s.arg(
                    platterly::test::snapshotFields(QLatin1String(table)), QLatin1String(table)),
                nullptr);
            while (rows && rows->step() == sql::Statement::Step::Row) {
                QString line = QLatin1String(table);
                for (int i = 0; i < rows->columnCount(); ++i)
                    line += u'|' + rows->value(i).toString();
                lines.append(line);
            }
        }
        return lines;
    }

    QTemporaryDir m_dir;
    test::TempTree m_tree;
    QString m_file;
};

} // namespace

TEST_F(CataloguingRunTest, WritesTitleRowEntriesDiscRowAndTotals)
{
    const auto result = run(u"  Photos  "_s, m_tree.root());
    ASSERT_EQ(result.outcome, RunOutcome::Finished) << result.message.toStdString();
    // A folder with a dot counts as a file, a file without one as a folder.
    EXPECT_EQ(result.dirs, 3);  // MUSIC, Old, README
    EXPECT_EQ(result.files, 4); // A.TXT, B.MP3, Setup.1, install.exe
    const QStringList expected = {
        u"CDS|Photos|Photos|Photos|1|99"_s,    u"CDS|Photos|A.TXT|D:\\|2|2"_s,
        u"CDS|Photos|MUSIC|D:\\|2|100"_s,      u"CDS|Photos|B.MP3|D:\\MUSIC\\|3|4"_s,
        u"CDS|Photos|Old|D:\\MUSIC\\|3|100"_s, u"CDS|Photos|README|D:\\MUSIC\\Old\\|4|100"_s,
        u"CDS|Photos|Setup.1|D:\\|2|0"_s,      u"CDS|Photos|install.exe|D:\\Setup.1\\|3|5"_s,
        u"TOTAL|Photos|2006-03-05|3|4"_s,      u"TOTALS|1|3|4"_s,
    };
    EXPECT_EQ(snapshot(), expected);

    test::TempTree empty;
    ASSERT_EQ(run(u"Empty"_s, empty.root()).outcome, RunOutcome::Finished);
    const QStringList after = snapshot();
    EXPECT_TRUE(after.contains(u"CDS|Empty|Empty|Empty|1|99"_s));
    EXPECT_TRUE(after.contains(u"TOTAL|Empty|2006-03-05|0|0"_s));
    EXPECT_EQ(after.last(), u"TOTALS|2|3|4"_s);
}

TEST_F(CataloguingRunTest, RefusedTitlesWriteNothing)
{
    ASSERT_EQ(run(u"Ärzte Live"_s, m_tree.root()).outcome, RunOutcome::Finished);
    const QStringList before = snapshot();

    auto result = run(QString(), m_tree.root());
    EXPECT_EQ(result.outcome, RunOutcome::EmptyTitle);
    EXPECT_EQ(result.message, u"Enter CD Title"_s);
    EXPECT_EQ(run(u"   "_s, m_tree.root()).outcome, RunOutcome::EmptyTitle);

    for (const QString& same : {u"ÄRZTE LIVE"_s, u"ärzte live "_s, u"Ärzte Live"_s}) {
        result = run(same, m_tree.root());
        EXPECT_EQ(result.outcome, RunOutcome::TitleExists) << same.toStdString();
        EXPECT_EQ(result.message, u"CD Title Already Exists Please Enter Another Title "_s);
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CataloguingRunTest, TitlesWithSqlCharactersAreCataloguedCheckedAndFound)
{
    const QStringList titles = {u"Ann's \"best\""_s, u"100% _done_"_s, u"*[a-c]?#"_s,
                                u"Ωmega ÉTÉ"_s, u"1234567890123456789012345"_s};
    for (const QString& title : titles) {
        ASSERT_EQ(run(title, m_tree.root()).outcome, RunOutcome::Finished) << title.toStdString();
        EXPECT_EQ(run(title.toLower(), m_tree.root()).outcome, RunOutcome::TitleExists);
        sql::DataControl data;
        data.setDatabaseName(m_file);
        int rows = 0;
        // A row of another title stops the reading short.
        ASSERT_FALSE(catalogue::readDiscEntries(data, title, [&](const catalogue::EntryRow& row) {
            return ++rows, row.title == title;
        }));
        EXPECT_EQ(rows, 8) << title.toStdString();
    }
}

TEST_F(CataloguingRunTest, PathsThatCannotBeListedAreRefusedNotCataloguedEmpty)
{
    const QStringList before = snapshot();
    for (const QString& path : {u"no such folder"_s, u"A.TXT"_s}) {
        const auto result = run(u"Ghost"_s, m_tree.path(path));
        EXPECT_EQ(result.outcome, RunOutcome::Failed);
        EXPECT_FALSE(result.message.isEmpty());
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CataloguingRunTest, UnreadableFolderIsRecordedAndTheRunGoesOn)
{
    test::ScriptedLister lister;
    lister.fail(m_tree.path(u"MUSIC"_s), cataloguing::ListStatus::Unreadable);
    const auto result = run(u"Partly"_s, m_tree.root(), &lister);
    ASSERT_EQ(result.outcome, RunOutcome::Finished);
    EXPECT_EQ(result.unreadableFolderCount, 1);
    ASSERT_EQ(result.unreadableFolders.size(), 1);
    EXPECT_EQ(result.unreadableFolders[0].path, u"D:\\MUSIC\\"_s);
    EXPECT_EQ(result.dirs, 1);  // MUSIC itself
    EXPECT_EQ(result.files, 3); // A.TXT, Setup.1, install.exe
}

TEST_F(CataloguingRunTest, CancelLeavesTheCatalogueAsItWas)
{
    for (int i = 0; i < 300; ++i)
        m_tree.addFile(u"MUSIC/Old/track%1.mp3"_s.arg(i));
    const QStringList before = snapshot();
    std::atomic<bool> cancel = false;
    test::ScriptedLister lister;
    lister.beforeListing = [&cancel](const QByteArray& path) {
        if (path.endsWith("/Old"))
            cancel = true;
    };
    const auto result = run(u"Stopped"_s, m_tree.root(), &lister, &cancel);
    EXPECT_EQ(result.outcome, RunOutcome::Cancelled);
    EXPECT_EQ(snapshot(), before);
    // The file is usable afterwards: the same title can be catalogued.
    EXPECT_EQ(run(u"Stopped"_s, m_tree.root()).outcome, RunOutcome::Finished);
}

TEST_F(CataloguingRunTest, FullDiskRollsTheWholeRunBack)
{
    for (int i = 0; i < 3000; ++i)
        m_tree.addFile(u"MUSIC/a rather long file name number %1.mp3"_s.arg(i));
    const QStringList before = snapshot();
    sql::DataControl data;
    data.setDatabaseName(m_file);
    sql::Database* db = data.database();
    ASSERT_NE(db, nullptr);
    // Let the file grow by a few pages only, as a nearly full disk would.
    auto pages = db->prepare(u"PRAGMA page_count"_s, nullptr);
    ASSERT_TRUE(pages && pages->step() == sql::Statement::Step::Row);
    ASSERT_FALSE(db->exec(u"PRAGMA max_page_count = %1"_s.arg(pages->integer(0) + 4)));
    const cataloguing::CataloguingRequest request{u"Too big"_s, m_tree.root(), u"D:\\"_s, {}};
    const auto result = cataloguing::runCataloguing(data, request);
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_TRUE(result.message.contains(u"no room"_s)) << result.message.toStdString();
    data.close();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CataloguingRunTest, FilesThatAreNotCataloguesAreRefused)
{
    ASSERT_FALSE(sql::Database::open(m_file, nullptr)->exec(u"DELETE FROM TOTALS"_s));
    const QStringList before = snapshot();
    auto result = run(u"NoTotals"_s, m_tree.root());
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(snapshot(), before);

    ASSERT_FALSE(sql::Database::open(m_file, nullptr)->exec(u"DROP TABLE TOTAL"_s));
    result = run(u"NoTotal"_s, m_tree.root());
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_TRUE(result.message.contains(u"TOTAL"_s));
}

TEST_F(CataloguingRunTest, ADamagedCatalogueTakesNoDisc)
{
    ASSERT_EQ(run(u"Before"_s, m_tree.root()).outcome, RunOutcome::Finished);
    test::orphanFreePages(m_file);
    const auto bytes = [this] {
        QFile file(m_file);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    const auto result = run(u"After"_s, m_tree.root());
    EXPECT_TRUE(result.message.startsWith(
        QStringLiteral("The catalogue file db.db2 is damaged: it fails SQLite's integrity check "
                       "(Page ")))
        << result.message.toStdString();
    EXPECT_TRUE(result.message.endsWith(
        QStringLiteral(" is never used). A disc added to it could overwrite what it still holds, "
                       "so nothing was added.")))
        << result.message.toStdString();
    EXPECT_EQ(bytes(), before);
}

// The run counts folders and files from the rows as they pass; the statements that count a
// disc's rows in the file must agree, also when SQLite hands out rowids out of order.
TEST_F(CataloguingRunTest, CountsOfThePassingRowsAgreeWithCountingStatements)
{
    for (int i = 0; i < 600; ++i)
        m_tree.addFile(u"deep/f%1/%2/item%3%4"_s.arg(i % 7).arg(i % 13).arg(i).arg(
            i % 3 == 0 ? u".mp3"_s : QString()));
    for (const QString& title : {u"First"_s, u"Ann's second"_s, u"After the last rowid"_s}) {
        if (title.startsWith(u"After")) {
            // With the largest rowid taken, SQLite picks rowids at random.
            ASSERT_FALSE(sql::Database::open(m_file, nullptr)
                             ->exec(u"INSERT INTO CDS (_rowid_, CDNAME, FNAME, PATH, LEVEL, "
                                    "TYPE) VALUES (9223372036854775807, 'First', 'x', 'D:\\', "
                                    "2, 2)"_s));
        }
        const auto result = run(title, m_tree.root());
        ASSERT_EQ(result.outcome, RunOutcome::Finished) << result.message.toStdString();
        sql::DataControl data;
        data.setDatabaseName(m_file);
        const QString where = u" CDNAME= '"_s + sql::quoteSqlText(title) + u'\'';
        ASSERT_FALSE(sql::query(data, u"SELECT * FROM CDS WHERE TYPE=100 AND"_s + where));
        EXPECT_EQ(data.recordset()->recordCount(), result.dirs) << title.toStdString();
        ASSERT_FALSE(sql::query(data, u"SELECT * FROM CDS WHERE"_s + where));
        data.recordset()->moveLast(); // the title row is neither a folder nor a file
        EXPECT_EQ(data.recordset()->absolutePosition(), result.dirs + result.files);
        EXPECT_GT(result.dirs, 90);
        EXPECT_TRUE(snapshot().contains(
            u"TOTAL|%1|2006-03-05|%2|%3"_s.arg(title).arg(result.dirs).arg(result.files)));
    }
}
