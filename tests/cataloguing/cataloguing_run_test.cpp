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
        m_file = m_dir.filePath(QStringLiteral("db.db2"));
        ASSERT_FALSE(catalogue::createEmptyCatalogue(m_file));
        m_tree.addFile(QStringLiteral("A.TXT"));
        m_tree.addFile(QStringLiteral("MUSIC/B.MP3"));
        m_tree.addFile(QStringLiteral("MUSIC/Old/README"));
        m_tree.addFile(QStringLiteral("Setup.1/install.exe"));
        m_tree.addFile(QStringLiteral(".hidden/secret.txt"));
    }

    cataloguing::RunResult run(const QString& title, const QString& root,
                               cataloguing::FolderLister* lister = nullptr,
                               std::atomic<bool>* cancel = nullptr)
    {
        sql::DataControl data;
        data.setDatabaseName(m_file);
        const cataloguing::CataloguingRequest request{title, root, QStringLiteral("D:\\"),
                                                      QDate(2006, 3, 5)};
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
            auto rows = db->prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                                        .arg(platterly::test::snapshotFields(QLatin1String(table)),
                                             QLatin1String(table)),
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
    const auto result = run(QStringLiteral("  Photos  "), m_tree.root());
    ASSERT_EQ(result.outcome, RunOutcome::Finished) << result.message.toStdString();
    // A folder with a dot counts as a file, a file without one as a folder.
    EXPECT_EQ(result.dirs, 3);  // MUSIC, Old, README
    EXPECT_EQ(result.files, 4); // A.TXT, B.MP3, Setup.1, install.exe
    const QStringList expected = {
        QStringLiteral("CDS|Photos|Photos|Photos|1|99"),
        QStringLiteral("CDS|Photos|A.TXT|D:\\|2|2"),
        QStringLiteral("CDS|Photos|MUSIC|D:\\|2|100"),
        QStringLiteral("CDS|Photos|B.MP3|D:\\MUSIC\\|3|4"),
        QStringLiteral("CDS|Photos|Old|D:\\MUSIC\\|3|100"),
        QStringLiteral("CDS|Photos|README|D:\\MUSIC\\Old\\|4|100"),
        QStringLiteral("CDS|Photos|Setup.1|D:\\|2|0"),
        QStringLiteral("CDS|Photos|install.exe|D:\\Setup.1\\|3|5"),
        QStringLiteral("TOTAL|Photos|2006-03-05|3|4"),
        QStringLiteral("TOTALS|1|3|4"),
    };
    EXPECT_EQ(snapshot(), expected);

    test::TempTree empty;
    ASSERT_EQ(run(QStringLiteral("Empty"), empty.root()).outcome, RunOutcome::Finished);
    const QStringList after = snapshot();
    EXPECT_TRUE(after.contains(QStringLiteral("CDS|Empty|Empty|Empty|1|99")));
    EXPECT_TRUE(after.contains(QStringLiteral("TOTAL|Empty|2006-03-05|0|0")));
    EXPECT_EQ(after.last(), QStringLiteral("TOTALS|2|3|4"));
}

TEST_F(CataloguingRunTest, RefusedTitlesWriteNothing)
{
    ASSERT_EQ(run(QStringLiteral("Ärzte Live"), m_tree.root()).outcome, RunOutcome::Finished);
    const QStringList before = snapshot();

    auto result = run(QString(), m_tree.root());
    EXPECT_EQ(result.outcome, RunOutcome::EmptyTitle);
    EXPECT_EQ(result.message, QStringLiteral("Enter CD Title"));
    EXPECT_EQ(run(QStringLiteral("   "), m_tree.root()).outcome, RunOutcome::EmptyTitle);

    for (const QString& same : {QStringLiteral("ÄRZTE LIVE"), QStringLiteral("ärzte live "),
                                QStringLiteral("Ärzte Live")}) {
        result = run(same, m_tree.root());
        EXPECT_EQ(result.outcome, RunOutcome::TitleExists) << same.toStdString();
        EXPECT_EQ(result.message,
                  QStringLiteral("CD Title Already Exists Please Enter Another Title "));
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CataloguingRunTest, TitlesWithSqlCharactersAreCataloguedCheckedAndFound)
{
    const QStringList titles = {QStringLiteral("Ann's \"best\""), QStringLiteral("100% _done_"),
                                QStringLiteral("*[a-c]?#"), QStringLiteral("Ωmega ÉTÉ"),
                                QStringLiteral("1234567890123456789012345")};
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
    for (const QString& path : {QStringLiteral("no such folder"), QStringLiteral("A.TXT")}) {
        const auto result = run(QStringLiteral("Ghost"), m_tree.path(path));
        EXPECT_EQ(result.outcome, RunOutcome::Failed);
        EXPECT_FALSE(result.message.isEmpty());
    }
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CataloguingRunTest, UnreadableFolderIsRecordedAndTheRunGoesOn)
{
    test::ScriptedLister lister;
    lister.fail(m_tree.path(QStringLiteral("MUSIC")), cataloguing::ListStatus::Unreadable);
    const auto result = run(QStringLiteral("Partly"), m_tree.root(), &lister);
    ASSERT_EQ(result.outcome, RunOutcome::Finished);
    EXPECT_EQ(result.unreadableFolderCount, 1);
    ASSERT_EQ(result.unreadableFolders.size(), 1);
    EXPECT_EQ(result.unreadableFolders[0].path, QStringLiteral("D:\\MUSIC\\"));
    EXPECT_EQ(result.dirs, 1);  // MUSIC itself
    EXPECT_EQ(result.files, 3); // A.TXT, Setup.1, install.exe
}

TEST_F(CataloguingRunTest, CancelLeavesTheCatalogueAsItWas)
{
    for (int i = 0; i < 300; ++i)
        m_tree.addFile(QStringLiteral("MUSIC/Old/track%1.mp3").arg(i));
    const QStringList before = snapshot();
    std::atomic<bool> cancel = false;
    test::ScriptedLister lister;
    lister.beforeListing = [&cancel](const QByteArray& path) {
        if (path.endsWith("/Old"))
            cancel = true;
    };
    const auto result = run(QStringLiteral("Stopped"), m_tree.root(), &lister, &cancel);
    EXPECT_EQ(result.outcome, RunOutcome::Cancelled);
    EXPECT_EQ(snapshot(), before);
    // The file is usable afterwards: the same title can be catalogued.
    EXPECT_EQ(run(QStringLiteral("Stopped"), m_tree.root()).outcome, RunOutcome::Finished);
}

TEST_F(CataloguingRunTest, FullDiskRollsTheWholeRunBack)
{
    for (int i = 0; i < 3000; ++i)
        m_tree.addFile(QStringLiteral("MUSIC/a rather long file name number %1.mp3").arg(i));
    const QStringList before = snapshot();
    sql::DataControl data;
    data.setDatabaseName(m_file);
    sql::Database* db = data.database();
    ASSERT_NE(db, nullptr);
    // Let the file grow by a few pages only, as a nearly full disk would.
    auto pages = db->prepare(QStringLiteral("PRAGMA page_count"), nullptr);
    ASSERT_TRUE(pages && pages->step() == sql::Statement::Step::Row);
    ASSERT_FALSE(db->exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages->integer(0) + 4)));
    const cataloguing::CataloguingRequest request{
        QStringLiteral("Too big"), m_tree.root(), QStringLiteral("D:\\"), {}};
    const auto result = cataloguing::runCataloguing(data, request);
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_TRUE(result.message.contains(QStringLiteral("no room"))) << result.message.toStdString();
    data.close();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CataloguingRunTest, FilesThatAreNotCataloguesAreRefused)
{
    ASSERT_FALSE(sql::Database::open(m_file, nullptr)->exec(QStringLiteral("DELETE FROM TOTALS")));
    const QStringList before = snapshot();
    auto result = run(QStringLiteral("NoTotals"), m_tree.root());
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(snapshot(), before);

    ASSERT_FALSE(sql::Database::open(m_file, nullptr)->exec(QStringLiteral("DROP TABLE TOTAL")));
    result = run(QStringLiteral("NoTotal"), m_tree.root());
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_TRUE(result.message.contains(QStringLiteral("TOTAL")));
}

TEST_F(CataloguingRunTest, ADamagedCatalogueTakesNoDisc)
{
    ASSERT_EQ(run(QStringLiteral("Before"), m_tree.root()).outcome, RunOutcome::Finished);
    test::orphanFreePages(m_file);
    const auto bytes = [this] {
        QFile file(m_file);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    const auto result = run(QStringLiteral("After"), m_tree.root());
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
        m_tree.addFile(QStringLiteral("deep/f%1/%2/item%3%4")
                           .arg(i % 7)
                           .arg(i % 13)
                           .arg(i)
                           .arg(i % 3 == 0 ? QStringLiteral(".mp3") : QString()));
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
