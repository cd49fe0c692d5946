// The command line under load and on bad ground: programs racing for one catalogue, a disk
// that runs out of room, files and folders that are not what they should be.
#include "cli_process.h"
#include "platform/sql/sqlite_db.h"
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

using namespace platterly;

namespace {

using Outcome = test::CliOutcome;
using test::finishCli;

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CliFaultsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_catalogue = m_dir.filePath(QStringLiteral("cat.db2"));
        m_tree.addFile(QStringLiteral("a.txt"));
        m_tree.addFile(QStringLiteral("Music/b.mp3"));
    }

    // Starts the program on the catalogue, through `shell` when one is given.
    void start(QProcess& process, const QStringList& args, const QString& shell = {})
    {
        test::startCli(process, QStringList{QStringLiteral("--catalogue"), m_catalogue} + args,
                       m_dir.path(), shell);
    }

    Outcome run(const QStringList& args, const QString& shell = {})
    {
        QProcess process;
        start(process, args, shell);
        return finishCli(process);
    }

    void makeCatalogue() { ASSERT_EQ(run({QStringLiteral("init"), m_catalogue}).status, 0); }

    QTemporaryDir m_dir;
    test::TempTree m_tree;
    QString m_catalogue;
};

// Whether the process has `path` open.
bool holdsOpen(qint64 pid, const QString& path)
{
    const QString target = QFileInfo(path).canonicalFilePath();
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
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
    start(first, {QStringLiteral("add"), m_tree.root(), QStringLiteral("Music")});
    start(second, {QStringLiteral("add"), m_tree.root(), QStringLiteral("MUSIC")});
    for (int wait = 0; wait < 1000; ++wait) {
        if (holdsOpen(first.processId(), m_catalogue) && holdsOpen(second.processId(), m_catalogue))
            break;
        QThread::msleep(10);
    }
    QThread::msleep(300);
    writing.reset();
    writer.reset();

    const Outcome outcomes[] = {finishCli(first), finishCli(second)};
    int finished = 0;
    for (const Outcome& outcome : outcomes) {
        if (outcome.status == 0) {
            ++finished;
            EXPECT_TRUE(outcome.out.startsWith(QStringLiteral("Finished: ")))
                << outcome.out.toStdString();
        } else {
            EXPECT_EQ(outcome.err, QStringLiteral("platterly-cli: CD Title Already Exists Please "
                                                  "Enter Another Title \n"));
        }
    }
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(run({QStringLiteral("discs")}).out.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(run({QStringLiteral("totals")}).out, QStringLiteral("1 discs, 1 folders, 2 files\n"));
    EXPECT_EQ(run({QStringLiteral("tree"), QStringLiteral("music")}).out.count(QLatin1Char('\n')),
              4);
}

TEST_F(CliFaultsTest, TwoInitsOfOneFileAtOnceMakeOneCatalogue)
{
    for (int round = 0; round < 4; ++round) {
        QFile::remove(m_catalogue);
        QProcess first;
        QProcess second;
        start(first, {QStringLiteral("init"), m_catalogue});
        start(second, {QStringLiteral("init"), m_catalogue});
        const Outcome outcomes[] = {finishCli(first), finishCli(second)};
        int made = 0;
        for (const Outcome& outcome : outcomes) {
            if (outcome.status == 0)
                ++made;
            else
                EXPECT_EQ(outcome.err, QStringLiteral("platterly-cli: %1 already exists; it was "
                                                      "left as it is.\n")
                                           .arg(m_catalogue));
        }
        EXPECT_EQ(made, 1);
        EXPECT_EQ(run({QStringLiteral("totals")}).out,
                  QStringLiteral("0 discs, 0 folders, 0 files\n"));
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("cat.db2")});
    }
}

TEST_F(CliFaultsTest, AnAddThatRunsOutOfRoomLeavesTheFileAsItWas)
{
    makeCatalogue();
    ASSERT_EQ(run({QStringLiteral("add"), m_tree.root(), QStringLiteral("First")}).status, 0);
    const QByteArray before = contents(m_catalogue);
    // More rows than SQLite keeps in memory, so that it writes pages into the file before the
    // end and the disk runs out of room half-way.
    test::TempTree big;
    for (int i = 0; i < 20000; ++i) {
        QFile file(
            big.path(QStringLiteral("f%1 with a name long enough to fill pages.txt").arg(i)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    // A file-size limit of 1 MiB makes every write past it fail as a full disk does.
    const Outcome full = run({QStringLiteral("add"), big.root(), QStringLiteral("Big")},
                             QStringLiteral("trap '' XFSZ; ulimit -f 1024; exec \"$0\" \"$@\""));
    EXPECT_EQ(full.status, 1);
    EXPECT_TRUE(full.err.contains(QLatin1String("cat.db2"))) << full.err.toStdString();
    EXPECT_EQ(contents(m_catalogue), before);
    EXPECT_FALSE(QFile::exists(m_catalogue + QStringLiteral("-journal")));
}

TEST_F(CliFaultsTest, MessagesNameTheFileAndTheCause)
{
    const QString fifo = m_dir.filePath(QStringLiteral("pipe.db2"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    m_catalogue = fifo;
    EXPECT_EQ(run({QStringLiteral("discs")}).err,
              QStringLiteral("platterly-cli: %1 is not a catalogue file: it is a named pipe "
                             "(FIFO), not a file.\n")
                  .arg(fifo));

    // A catalogue that can be written in a folder that cannot: reading works, adding says why
    // not. (Root writes in any folder it may not: for it the folder is made immutable.)
    const QString folder = m_dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    m_catalogue = folder + QStringLiteral("/cat.db2");
    makeCatalogue();
    const bool root = ::geteuid() == 0;
    const QString chattr = QStandardPaths::findExecutable(QStringLiteral("chattr"));
    if (root &&
        (chattr.isEmpty() || QProcess::execute(chattr, {QStringLiteral("+i"), folder}) != 0)) {
        GTEST_SKIP() << "as root, a folder can be locked only with chattr +i";
    }
    if (!root) {
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    const Outcome totals = run({QStringLiteral("totals")});
    const Outcome added = run({QStringLiteral("add"), m_tree.root(), QStringLiteral("Disc")});
    if (root)
        QProcess::execute(chattr, {QStringLiteral("-i"), folder});
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
