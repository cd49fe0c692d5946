// Finding catalogued files again from the command line, and names that are not plain text.
#include "platform/drives/system_volume_source.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

extern char** environ;

namespace {

class CliLocateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_catalogue = QFile::encodeName(m_dir.filePath(u"cat.db2"_s));
        ASSERT_EQ(run({"init", m_catalogue}).first, 0);
        tree.addFile(u"Share/Doc/ReadMe.txt"_s);
        tree.addFile(u"Share/Doc/x\\..\\..\\ReadMe.txt"_s);
        tree.addFile(u"Share/Doc/two\nlines\x1b[2J.txt"_s);
        m_raw = {tree.addRawFile(u"Share/Doc"_s, "caf\xe9.txt"),
                 tree.addRawFile(u"Share/Doc"_s, "caf\xe8.txt")};
    }

    QByteArray doc() const { return QFile::encodeName(tree.path(u"Share/Doc"_s)); }

    // Runs the program on the catalogue with arguments as raw bytes; status and output.
    std::pair<int, QByteArray> run(QList<QByteArray> args)
    {
        if (args.first() != "init")
            args = QList<QByteArray>{"--catalogue", m_catalogue} + args;
        QStringList texts;
        for (const QByteArray& arg : args)
            texts.append(QString::fromUtf8(arg));
        QProcess process;
        process.start(QStringLiteral(PLATTERLY_CLI), texts);
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitCode(), process.readAllStandardOutput()};
    }

    // Runs the program with its standard output on a terminal; what the terminal got.
    QByteArray runOnTerminal(const QList<QByteArray>& args)
    {
        int master = -1;
        int slave = -1;
        EXPECT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        QList<QByteArray> all = QList<QByteArray>{PLATTERLY_CLI, "--catalogue", m_catalogue} + args;
        std::vector<char*> argv;
        for (QByteArray& arg : all)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, slave, STDOUT_FILENO);
        pid_t child = 0;
        EXPECT_EQ(::posix_spawn(&child, PLATTERLY_CLI, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(slave);
        QByteArray got;
        char buffer[4096];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            got.append(buffer, n);
        ::close(master);
        int status = 0;
        ::waitpid(child, &status, 0);
        return got;
    }

    static QJsonObject json(const QByteArray& line)
    {
        return QJsonDocument::fromJson(line).object();
    }

    QTemporaryDir m_dir;
    QByteArray m_catalogue;
    platterly::test::TempTree tree;
    QList<QByteArray> m_raw;
};

} // namespace

TEST_F(CliLocateTest, AFolderAddedThroughItsCapitalisedDrivePathIsLocated)
{
    // As the folder picker would store it: capitals that name no folder on this system.
    const auto drivePath = platterly::drives::systemDriveMap().toDrivePath(tree.root());
    ASSERT_TRUE(drivePath);
    const QByteArray typed = (*drivePath + u"\\SHARE"_s).toUpper().toUtf8();
    const auto added = run({"add", typed, "Docs"});
    ASSERT_EQ(added.first, 0) << added.second.constData();

    // Plain output: the location is the last field, as the file system's bytes.
    QList<QByteArray> rows = run({"search", "caf", "--locate"}).second.split('\n');
    rows.removeAll(QByteArray());
    ASSERT_EQ(rows.size(), 2);
    // CDNAME, FNAME, PATH, SIZE, MODIFIED, then LOCATION.
    EXPECT_EQ(rows[0].split('\t').size(), 6);
    QList<QByteArray> locations = {rows[0].split('\t').last(), rows[1].split('\t').last()};
    std::sort(locations.begin(), locations.end());
    QList<QByteArray> expected = m_raw;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(locations, expected);

    // A name with backslashes and ".." locates to itself, inside its folder.
    const QByteArray odd = run({"search", "x\\*", "--locate"}).second;
    EXPECT_TRUE(odd.endsWith("\t" + doc() + "/x\\..\\..\\ReadMe.txt\n")) << odd.constData();

    // JSON is UTF-8: bytes that are not show as replacement characters.
    const QList<QByteArray> lines = run({"search", "caf", "--locate", "--json"}).second.split('\n');
    EXPECT_TRUE(json(lines[0])[u"LOCATION"_s].toString().contains(u'\uFFFD'));

    // The folder gone, no location: empty last field, null in JSON.
    ASSERT_TRUE(QDir(tree.root()).rename(u"Share"_s, u"Gone"_s));
    const QByteArray gone = run({"search", "ReadMe", "--locate"}).second;
    EXPECT_TRUE(gone.contains("\\Doc\\\t") && gone.endsWith("\t\n")) << gone.constData();
    EXPECT_TRUE(
        json(run({"search", "ReadMe", "--locate", "--json"}).second.split('\n')[0])[u"LOCATION"_s]
            .isNull());
    ASSERT_TRUE(QDir(tree.root()).rename(u"Gone"_s, u"Share"_s));
}

TEST_F(CliLocateTest, ATerminalGetsControlCharactersEscapedAPipeGetsTheBytes)
{
    ASSERT_EQ(run({"add", QFile::encodeName(tree.root()), "Docs"}).first, 0);
    const QByteArray piped = run({"tree", "Docs"}).second;
    EXPECT_TRUE(piped.contains("two\nlines\x1b[2J.txt"));
    EXPECT_TRUE(piped.contains("caf\xe9.txt"));

    const QByteArray shown = runOnTerminal({"tree", "Docs"});
    EXPECT_TRUE(shown.contains("two?lines?[2J.txt")) << shown.constData();
    EXPECT_TRUE(shown.contains("caf?.txt"));
    EXPECT_FALSE(shown.contains('\x1b'));
    EXPECT_FALSE(shown.contains("\xe9"));
}
