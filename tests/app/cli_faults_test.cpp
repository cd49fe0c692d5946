// The command line under load and on bad ground: programs racing for one catalogue, a disk
// that runs out of room, files and folders that are not what they should be.
#include "cli_process.h"
#include "platform/sql/sqlite_db.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using namespace platterly;

namespace {

using Outcome = test::CliOutcome;
using test::finishCli;

class CliFaultsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_catalogue = m_dir.filePath(u"cat.db2"_s);
        m_tree.addFile(u"a.txt"_s);
        m_tree.addFile(u"Music/b.mp3"_s);
    }

    // Starts the program on the catalogue, through `shell` when one is given.
    void start(QProcess& process, const QStringList& args, const QString& shell = {})
    {
        test::startCli(process, QStringList{u"--catalogue"_s, m_catalogue} + args, m_dir.path(),
                       shell);
    }

    Outcome run(const QStringList& args, const QString& shell = {})
    {
        return test::runCli(QStringList{u"--catalogue"_s, m_catalogue} + args, m_dir.path(), shell);
    }

    void makeCatalogue() { ASSERT_EQ(run({u"init"_s, m_catalogue}).status, 0); }

    QTemporaryDir m_dir;
    test::TempTree m_tree;
    QString m_catalogue;
};

// Whether the process has `path` open.
bool holdsOpen(qint64 pid, const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir fds(u"/proc/%1/fd"_s.arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::AllEntries | QDir::System))
        if (fd.symLinkTarget() == target)
            return true;
    return false;
}

} // namespace

TEST_F(CliFaultsTest, TwoAddsOfOneTitleAtOnceAddItOnce)
{
    makeCatalogue();
    // Another program writes to the catalogue while both adds start, so that each has opened
    // the file and come as far as it can before either may write.
    sql::SqlError error;
    auto writer = sql::Database::open(m_catalogue, &error);
    ASSERT_TRUE(writer) << error.message.toStdString();
    auto writing = std::make_unique<sql::Transaction>(*writer);
    ASSERT_FALSE(writing->beginError());

    QProcess first;
    QProcess second;
    start(first, {u"add"_s, m_tree.root(), u"Music"_s});
    start(second, {u"add"_s, m_tree.root(), u"MUSIC"_s});
    for (int wait = 0; wait < 1000; ++wait) {
        if (holdsOpen(first.processId(), m_catalogue) && holdsOpen(second.processId(), m_catalogue))
            break;
        QThread::msleep(10);
    }
    QThread::msleep(300);
    writing.reset();
    writer.reset();

    int finished = 0;
    for (const Outcome& outcome : {finishCli(first), finishCli(second)}) {
        finished += outcome.status == 0;
        if (outcome.status != 0) {
            EXPECT_EQ(outcome.err,
                      u"platterly-cli: CD Title Already Exists Please Enter Another Title \n"_s);
        }
    }
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(run({u"discs"_s}).out.count(u'\n'), 1);
    EXPECT_EQ(run({u"totals"_s}).out, u"1 discs, 1 folders, 2 files\n"_s);
    EXPECT_EQ(run({u"tree"_s, u"music"_s}).out.count(u'\n'), 4);
}

TEST_F(CliFaultsTest, TwoInitsOfOneFileAtOnceMakeOneCatalogue)
{
    for (int round = 0; round < 4; ++round) {
        QFile::remove(m_catalogue);
        QProcess first;
        QProcess second;
        start(first, {u"init"_s, m_catalogue});
        start(second, {u"init"_s, m_catalogue});
        int made = 0;
        for (const Outcome& outcome : {finishCli(first), finishCli(second)}) {
            made += outcome.status == 0;
            if (outcome.status != 0) {
                EXPECT_EQ(outcome.err,
                          u"platterly-cli: %1 already exists; it was left as it is.\n"_s.arg(
                              m_catalogue));
            }
        }
        EXPECT_EQ(made, 1);
        EXPECT_EQ(run({u"totals"_s}).out, u"0 discs, 0 folders, 0 files\n"_s);
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{u"cat.db2"_s});
    }
}

TEST_F(CliFaultsTest, AnAddThatRunsOutOfRoomLeavesTheFileAsItWas)
{
    makeCatalogue();
    ASSERT_EQ(run({u"add"_s, m_tree.root(), u"First"_s}).status, 0);
    const QByteArray before = test::readBytes(m_catalogue);
    // More rows than SQLite keeps in memory, so that it writes pages into the file before the
    // end and the disk runs out of room half-way.
    test::TempTree big;
    for (int i = 0; i < 20000; ++i) {
        QFile file(big.path(u"f%1 with a name long enough to fill pages.txt"_s.arg(i)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    // A file-size limit of 1 MiB makes every write past it fail as a full disk does.
    const Outcome full = run({u"add"_s, big.root(), u"Big"_s},
                             u"trap '' XFSZ; ulimit -f 1024; exec \"$0\" \"$@\""_s);
    EXPECT_EQ(full.status, 1);
    EXPECT_TRUE(full.err.contains(u"cat.db2"_s)) << full.err.toStdString();
    EXPECT_EQ(test::readBytes(m_catalogue), before);
    EXPECT_FALSE(QFile::exists(m_catalogue + u"-journal"_s));
}

TEST_F(CliFaultsTest, MessagesNameTheFileAndTheCause)
{
    const QString fifo = m_dir.filePath(u"pipe.db2"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    m_catalogue = fifo;
    EXPECT_EQ(run({u"discs"_s}).err,
              QStringLiteral("platterly-cli: %1 is not a catalogue file: it is a named pipe "
                             "(FIFO), not a file.\n")
                  .arg(fifo));

    // A catalogue that can be written in a folder that cannot: reading works, adding says why
    // not. (Root writes in any folder it may not: for it the folder is made immutable.)
    const QString folder = m_dir.filePath(u"locked"_s);
    ASSERT_TRUE(QDir().mkpath(folder));
    m_catalogue = folder + u"/cat.db2"_s;
    makeCatalogue();
    const bool root = ::geteuid() == 0;
    const QString chattr = QStandardPaths::findExecutable(u"chattr"_s);
    if (root && (chattr.isEmpty() || QProcess::execute(chattr, {u"+i"_s, folder}) != 0))
        GTEST_SKIP() << "as root, a folder can be locked only with chattr +i";
    if (!root) {
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    const Outcome totals = run({u"totals"_s});
    const Outcome added = run({u"add"_s, m_tree.root(), u"Disc"_s});
    if (root)
        QProcess::execute(chattr, {u"-i"_s, folder});
    else
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
    EXPECT_EQ(totals.status, 0) << totals.err.toStdString();
    EXPECT_EQ(added.status, 1);
    EXPECT_EQ(added.err, QStringLiteral("platterly-cli: The catalogue file cat.db2 can be read but "
                                        "not changed: its folder %1 is not writable, and changing "
                                        "the file needs a journal file beside it. Nothing was "
                                        "changed.\n")
                             .arg(folder));
}
