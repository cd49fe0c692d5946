// delete, rename, backup and export, run as a user runs them.
#include "cli_process.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Outcome = platterly::test::CliOutcome;
using platterly::test::readBytes;

// A portable copy of the program: its own folder holds db.db2, so that folder is the
// application folder where backups go.
class CliMaintenanceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(PLATTERLY_CLI), m_program));
        ASSERT_EQ(run({u"init"_s, m_dir.path(u"db.db2"_s)}).status, 0);
        for (const QString& file :
             {u"song1.mp3"_s, u"Music/song2.mp3"_s, u"Music/Old/song3.wav"_s, u"notes.txt"_s})
            m_tree.addFile(file);
        ASSERT_EQ(run({u"add"_s, m_tree.root(), u"Bob's CD"_s}).status, 0);
        ASSERT_EQ(run({u"add"_s, m_tree.root(), u"Second"_s}).status, 0);
    }

    // Runs the program in its folder, through `shell` when one is given.
    Outcome run(const QStringList& args, const QString& shell = {})
    {
        return platterly::test::runCli(args, m_dir.root(), shell, m_program);
    }

    QStringList folderEntries() const
    {
        return QDir(m_dir.root()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    platterly::test::TempTree m_dir;
    QString m_program = m_dir.path(u"platterly-cli"_s);
    platterly::test::TempTree m_tree;
};

} // namespace

TEST_F(CliMaintenanceTest, RenameAndDeleteADisc)
{
    Outcome renamed = run({u"rename"_s, u"bob's cd"_s, u"Ann's CD"_s});
    ASSERT_EQ(renamed.status, 0) << renamed.err.toStdString();
    EXPECT_EQ(run({u"discs"_s}).out.section(u'\t', 0, 0), u"Ann's CD"_s);

    const Outcome deleted = run({u"delete"_s, u"Ann's CD"_s});
    ASSERT_EQ(deleted.status, 0) << deleted.err.toStdString();
    EXPECT_EQ(deleted.out, u"Deleted Ann's CD: 7 rows; the totals are lower by 1 disc, "
                           u"2 folders and 4 files\n"_s);
    EXPECT_EQ(run({u"totals"_s}).out, u"1 discs, 2 folders, 4 files\n"_s);
}

TEST_F(CliMaintenanceTest, BackupPrintsTheBackupFileAloneOnTheLastLine)
{
    const Outcome named = run({u"backup"_s, u"mine"_s});
    ASSERT_EQ(named.status, 0) << named.err.toStdString();
    const QString backup = m_dir.path(u"mine.DB2"_s);
    EXPECT_EQ(named.out.section(u'\n', -2, -2), backup); // alone on the last line
    EXPECT_TRUE(named.out.startsWith(u"Back-up File Stored in the application folder\n\n("_s +
                                     m_dir.root() + u"/) as\n\n\tmine.DB2\n"_s))
        << named.out.toStdString();
    EXPECT_EQ(run({u"--catalogue"_s, backup, u"totals"_s}).out, u"2 discs, 4 folders, 8 files\n"_s);
    // Without a name the backup still gets one (the day's date).
    const Outcome dated = run({u"backup"_s});
    ASSERT_EQ(dated.status, 0) << dated.err.toStdString();
    EXPECT_TRUE(QFile::exists(dated.out.section(u'\n', -2, -2))) << dated.out.toStdString();
}

TEST_F(CliMaintenanceTest, ABackupThatRunsOutOfRoomLeavesNothingBehind)
{
    m_dir.addFile(u"full.DB2"_s, "the older backup");
    const QStringList before = folderEntries();

    // A file-size limit of 8 KiB makes every write past it fail as a full disk does.
    const Outcome full =
        run({u"backup"_s, u"full"_s}, u"trap '' XFSZ; ulimit -f 8; exec \"$0\" \"$@\""_s);
    EXPECT_EQ(full.status, 1) << full.out.toStdString();
    EXPECT_TRUE(full.err.contains(u"full.DB2"_s)) << full.err.toStdString();
    EXPECT_EQ(folderEntries(), before);
    EXPECT_EQ(readBytes(m_dir.path(u"full.DB2"_s)), "the older backup");
}

TEST_F(CliMaintenanceTest, ExportWritesTheDocumentAndReplacesAFileOnlyWithOverwrite)
{
    const Outcome exported = run({u"export"_s, u"results.docx"_s, u"song"_s, u"--category"_s,
                                  u"Music Files"_s, u"--disc"_s, u"second"_s});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, m_dir.path(u"results.docx"_s) + u'\n');
    EXPECT_EQ(exported.err, u"Files Found 3 (3)\n"_s);

    m_dir.addFile(u"notes.txt"_s, "my notes");
    const Outcome refused = run({u"export"_s, u"notes.txt"_s, u"song"_s});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, u"platterly-cli: notes.txt already exists; it was left "
                           u"as it is. Give --overwrite to replace it.\n"_s);
    EXPECT_EQ(readBytes(m_dir.path(u"notes.txt"_s)), "my notes");
    // A link that leads nowhere is a name taken all the same.
    m_dir.addSymlink(u"link.docx"_s, m_dir.path(u"gone"_s));
    EXPECT_EQ(run({u"export"_s, u"link.docx"_s, u"song"_s}).status, 1);

    const Outcome replaced = run({u"export"_s, u"notes.txt"_s, u"song"_s, u"--overwrite"_s});
    EXPECT_EQ(replaced.status, 0) << replaced.err.toStdString();
    EXPECT_TRUE(readBytes(m_dir.path(u"notes.txt"_s)).startsWith("PK")); // the document
}

TEST_F(CliMaintenanceTest, AnExportThatRunsOutOfRoomFailsAndLeavesNoDocument)
{
    const QStringList before = folderEntries();
    // A file-size limit of 1 KiB makes the document's write fail as a full disk does.
    const Outcome full = run({u"export"_s, u"full.docx"_s, u"song"_s},
                             u"trap '' XFSZ; ulimit -f 1; exec \"$0\" \"$@\""_s);
    EXPECT_EQ(full.status, 1) << full.out.toStdString();
    EXPECT_TRUE(full.err.contains(u"full.docx could not be written"_s)) << full.err.toStdString();
    EXPECT_TRUE(full.out.isEmpty()) << full.out.toStdString();
    EXPECT_EQ(folderEntries(), before);
}
