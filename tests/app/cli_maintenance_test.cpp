// delete, rename, backup and export, run as a user runs them.
#include "cli_process.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Outcome = platterly::test::CliOutcome;

// A portable copy of the program: its own folder holds db.db2, so that folder is the
// application folder where backups go.
class CliMaintenanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_program = m_dir.filePath(QStringLiteral("platterly-cli"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(PLATTERLY_CLI), m_program));
        m_catalogue = m_dir.filePath(QStringLiteral("db.db2"));
        ASSERT_EQ(run({QStringLiteral("init"), m_catalogue}).status, 0);
        m_tree.addFile(QStringLiteral("song1.mp3"));
        m_tree.addFile(QStringLiteral("Music/song2.mp3"));
        m_tree.addFile(QStringLiteral("Music/Old/song3.wav"));
        m_tree.addFile(QStringLiteral("notes.txt"));
        ASSERT_EQ(run({QStringLiteral("add"), m_tree.root(), QStringLiteral("Bob's CD")}).status,
                  0);
        ASSERT_EQ(run({QStringLiteral("add"), m_tree.root(), QStringLiteral("Second")}).status, 0);
    }

    // Runs the program in its folder, through `shell` when one is given.
    Outcome run(const QStringList& args, const QString& shell = {})
    {
        return platterly::test::runCli(args, m_dir.path(), shell, m_program);
    }

    QStringList folderEntries() const
    {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir m_dir;
    QString m_program;
    QString m_catalogue;
    platterly::test::TempTree m_tree;
};

QString lastLine(const QString& text)
{
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last();
}

} // namespace

TEST_F(CliMaintenanceTest, RenameAndDeleteADisc)
{
    Outcome renamed =
        run({QStringLiteral("rename"), QStringLiteral("bob's cd"), QStringLiteral("Ann's CD")});
    ASSERT_EQ(renamed.status, 0) << renamed.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("discs")}).out.section(QLatin1Char('\t'), 0, 0),
              QStringLiteral("Ann's CD"));

    const Outcome deleted = run({QStringLiteral("delete"), QStringLiteral("Ann's CD")});
    ASSERT_EQ(deleted.status, 0) << deleted.err.toStdString();
    EXPECT_EQ(deleted.out,
              QStringLiteral("Deleted Ann's CD: 7 rows; the totals are lower by 1 disc, "
                             "2 folders and 4 files\n"));
    EXPECT_EQ(run({QStringLiteral("totals")}).out, QStringLiteral("1 discs, 2 folders, 4 files\n"));
}

TEST_F(CliMaintenanceTest, BackupPrintsTheBackupFileAloneOnTheLastLine)
{
    const Outcome named = run({QStringLiteral("backup"), QStringLiteral("mine")});
    ASSERT_EQ(named.status, 0) << named.err.toStdString();
    const QString backup = m_dir.filePath(QStringLiteral("mine.DB2"));
    EXPECT_EQ(lastLine(named.out), backup);
    EXPECT_TRUE(
        named.out.startsWith(QStringLiteral("Back-up File Stored in the application folder\n\n(") +
                             m_dir.path() + QStringLiteral("/) as\n\n\tmine.DB2\n")))
        << named.out.toStdString();
    EXPECT_EQ(run({QStringLiteral("--catalogue"), backup, QStringLiteral("totals")}).out,
              QStringLiteral("2 discs, 4 folders, 8 files\n"));
    // Without a name the backup still gets one (the day's date).
    const Outcome dated = run({QStringLiteral("backup")});
    ASSERT_EQ(dated.status, 0) << dated.err.toStdString();
    EXPECT_TRUE(QFile::exists(lastLine(dated.out))) << dated.out.toStdString();
}

TEST_F(CliMaintenanceTest, ABackupThatRunsOutOfRoomLeavesNothingBehind)
{
    QFile older(m_dir.filePath(QStringLiteral("full.DB2")));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    older.write("the older backup");
    older.close();
    const QStringList before = folderEntries();

    // A file-size limit of 8 KiB makes every write past it fail as a full disk does.
    const Outcome full = run({QStringLiteral("backup"), QStringLiteral("full")},
                             QStringLiteral("trap '' XFSZ; ulimit -f 8; exec \"$0\" \"$@\""));
    EXPECT_EQ(full.status, 1) << full.out.toStdString();
    EXPECT_TRUE(full.err.contains(QLatin1String("full.DB2"))) << full.err.toStdString();
    EXPECT_EQ(folderEntries(), before);
    ASSERT_TRUE(older.open(QIODevice::ReadOnly));
    EXPECT_EQ(older.readAll(), QByteArray("the older backup"));
}

TEST_F(CliMaintenanceTest, ExportWritesTheSearchResultsDocument)
{
    const Outcome exported =
        run({QStringLiteral("export"), QStringLiteral("results.docx"), QStringLiteral("song"),
             QStringLiteral("--category"), QStringLiteral("Music Files"), QStringLiteral("--disc"),
             QStringLiteral("second")});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    const QString document = m_dir.filePath(QStringLiteral("results.docx"));
    EXPECT_EQ(exported.out, document + QLatin1Char('\n'));
    EXPECT_EQ(exported.err, QStringLiteral("Files Found 3 (3)\n"));
}

TEST_F(CliMaintenanceTest, ExportReplacesAnExistingFileOnlyWithOverwrite)
{
    QFile notes(m_dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("my notes");
    notes.close();
    const Outcome refused =
        run({QStringLiteral("export"), QStringLiteral("notes.txt"), QStringLiteral("song")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, QStringLiteral("platterly-cli: notes.txt already exists; it was left "
                                          "as it is. Give --overwrite to replace it.\n"));
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), QByteArray("my notes"));
    notes.close();
    // A link that leads nowhere is a name taken all the same.
    ASSERT_TRUE(QFile::link(m_dir.filePath(QStringLiteral("gone")),
                            m_dir.filePath(QStringLiteral("link.docx"))));
    EXPECT_EQ(
        run({QStringLiteral("export"), QStringLiteral("link.docx"), QStringLiteral("song")}).status,
        1);

    const Outcome replaced = run({QStringLiteral("export"), QStringLiteral("notes.txt"),
                                  QStringLiteral("song"), QStringLiteral("--overwrite")});
    EXPECT_EQ(replaced.status, 0) << replaced.err.toStdString();
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_TRUE(notes.readAll().startsWith("PK")); // a zip archive: the document
}

TEST_F(CliMaintenanceTest, AnExportThatRunsOutOfRoomFailsAndLeavesNoDocument)
{
    const QStringList before = folderEntries();
    // A file-size limit of 1 KiB makes the document's write fail as a full disk does.
    const Outcome full =
        run({QStringLiteral("export"), QStringLiteral("full.docx"), QStringLiteral("song")},
            QStringLiteral("trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\""));
    EXPECT_EQ(full.status, 1) << full.out.toStdString();
    EXPECT_TRUE(full.err.contains(QLatin1String("full.docx could not be written")))
        << full.err.toStdString();
    EXPECT_TRUE(full.out.isEmpty()) << full.out.toStdString();
    EXPECT_EQ(folderEntries(), before);
}
