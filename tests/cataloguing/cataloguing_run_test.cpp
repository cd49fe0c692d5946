#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_reader.h"
#include "cataloguing/cataloguing_run.h"
#include "support/catalogue_rows.h"
#include "support/damaged_catalogue.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace platterly;
using namespace Qt::StringLiterals;
using cataloguing::RunOutcome;

namespace {

// Lists through the real file system, but can fail chosen folders or stop the run when a
// chosen folder is reached.
class ScriptedLister : public cataloguing::FolderLister
{
public:
    QByteArray failFolder;
    QByteArray cancelAt;
    std::atomic<bool>* cancel = nullptr;

    cataloguing::ListOutcome list(const QByteArray& path, const cataloguing::ListOptions& options,
                                  cataloguing::FolderListing& listing) override
    {
        if (!cancelAt.isEmpty() && path.endsWith(cancelAt) && cancel)
            *cancel = true;
        if (!failFolder.isEmpty() && path.endsWith(failFolder)) {
            listing.clear();
            return {cataloguing::ListStatus::Unreadable, QStringLiteral("Permission denied")};
        }
        return m_real.list(path, options, listing);
    }

private:
    cataloguing::SystemFolderLister m_real;
};

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
        sql::SqlError error;
        auto db = sql::Database::open(m_file, &error);
        EXPECT_TRUE(db) << error.message.toStdString();
        for (const char* table : {"CDS", "TOTAL", "TOTALS"}) {
            auto rows = db->prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                                        .arg(platterly::test::snapshotFields(QLatin1String(table)),
                                             QLatin1String(table)),
                                    &error);
            while (rows && rows->step() == sql::Statement::Step::Row) {
                QStringList cells;
                for (int i = 0; i < rows->columnCount(); ++i)
                    cells.append(rows->value(i).toString());
                lines.append(QLatin1String(table) + QLatin1Char('|') +
                             cells.join(QLatin1Char('|')));
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
        auto result = run(title, m_tree.root());
        ASSERT_EQ(result.outcome, RunOutcome::Finished) << title.toStdString();
        EXPECT_EQ(run(title.toLower(), m_tree.root()).outcome, RunOutcome::TitleExists);
        sql::DataControl data;
        data.setDatabaseName(m_file);
        int rows = 0;
        ASSERT_FALSE(catalogue::readDiscEntries(data, title, [&](const catalogue::EntryRow& row) {
            EXPECT_EQ(row.title, title);
            ++rows;
            return true;
        }));
        EXPECT_EQ(rows, 8) << title.toStdString();
    }
    sql::DataControl data;
    data.setDatabaseName(m_file);
    catalogue::Totals totals;
    ASSERT_FALSE(catalogue::readTotals(data, &totals));
    EXPECT_EQ(totals.discs, titles.size());
    EXPECT_EQ(totals.dirs, 3 * titles.size());
    EXPECT_EQ(totals.files, 4 * titles.size());
}

TEST_F(CataloguingRunTest, PathsThatCannotBeListedAreRefusedNotCataloguedEmpty)
{
    const QStringList before = snapshot();
    auto result = run(QStringLiteral("Ghost"), m_tree.path(QStringLiteral("no such folder")));
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_FALSE(result.message.isEmpty());
    result = run(QStringLiteral("Ghost"), m_tree.path(QStringLiteral("A.TXT")));
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(CataloguingRunTest, UnreadableFolderIsRecordedAndTheRunGoesOn)
{
    ScriptedLister lister;
    lister.failFolder = "/MUSIC";
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
    ScriptedLister lister;
    lister.cancelAt = "/Old";
    lister.cancel = &cancel;
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
    sql::SqlError error;
    ASSERT_FALSE(sql::Database::open(m_file, &error)->exec(QStringLiteral("DELETE FROM TOTALS")));
    const QStringList before = snapshot();
    auto result = run(QStringLiteral("NoTotals"), m_tree.root());
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(snapshot(), before);

    ASSERT_FALSE(sql::Database::open(m_file, &error)->exec(QStringLiteral("DROP TABLE TOTAL")));
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
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
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

TEST_F(CataloguingRunTest, CatalogueStaysReadableByTheStockShell)
{
    ASSERT_EQ(run(QStringLiteral("Shell"), m_tree.root()).outcome, RunOutcome::Finished);
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty())
        GTEST_SKIP() << "the sqlite3 shell is not installed";
    QProcess process;
    process.start(shell, {m_file, QStringLiteral("PRAGMA integrity_check; SELECT count(*), "
                                                 "sum(TYPE = 100) FROM CDS WHERE CDNAME = 'Shell';"
                                                 "SELECT TCDS, TDIRS, TFILES FROM TOTALS;")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()),
              QStringLiteral("ok\n8|3\n1|3|4\n"));
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
    const auto counted = [this](const QString& title, qint64* dirs, qint64* files) {
        sql::DataControl data;
        data.setDatabaseName(m_file);
        const QString quoted = sql::quoteSqlText(title);
        ASSERT_FALSE(sql::query(data, u"SELECT * FROM CDS WHERE CDNAME= '"_s + quoted + u'\''));
        data.recordset()->moveLast();
        const qint64 rows = data.recordset()->absolutePosition() + 1;
        ASSERT_FALSE(
            sql::query(data, u"SELECT * FROM CDS WHERE TYPE=100 AND CDNAME= '"_s + quoted + u'\''));
        *dirs = data.recordset()->recordCount();
        *files = rows - 1 - *dirs; // the title row is neither
    };
    for (const QString& title : {u"First"_s, u"Ann's second"_s, u"After the last rowid"_s}) {
        if (title.startsWith(u"After")) {
            // With the largest rowid taken, SQLite picks rowids at random.
            sql::SqlError error;
            ASSERT_FALSE(sql::Database::open(m_file, &error)
                             ->exec(u"INSERT INTO CDS (_rowid_, CDNAME, FNAME, PATH, LEVEL, "
                                    "TYPE) VALUES (9223372036854775807, 'First', 'x', 'D:\\', "
                                    "2, 2)"_s));
        }
        const auto result = run(title, m_tree.root());
        ASSERT_EQ(result.outcome, RunOutcome::Finished) << result.message.toStdString();
        qint64 dirs = -1;
        qint64 files = -1;
        counted(title, &dirs, &files);
        EXPECT_EQ(result.dirs, dirs) << title.toStdString();
        EXPECT_EQ(result.files, files) << title.toStdString();
        EXPECT_GT(dirs, 90);
        EXPECT_TRUE(snapshot().contains(
            u"TOTAL|%1|2006-03-05|%2|%3"_s.arg(title).arg(result.dirs).arg(result.files)));
    }
}
