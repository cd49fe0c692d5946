// The search command, run as a user runs it.
#include "search_fixture.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::search::test {
namespace {

struct Outcome
{
    int status = -1;
    QStringList lines; // standard output
    QString err;
};

class SearchCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tree.addFile(u"Alpha.txt"_s);
        tree.addFile(u"beta.MP3"_s);
        tree.addFile(u"it's here.jpg"_s);
        tree.addFile(u"sub/Gamma.txt"_s);
        tree.addFolder(u"Holidays"_s);
        ASSERT_TRUE(catalogue.addDisc(u"Disc A"_s, tree.root()));
        // A copy of the program in a folder of its own, with its catalogue beside it: that
        // folder is its application folder, where the search history goes.
        program = folder.path(u"platterly-cli"_s);
        ASSERT_TRUE(QFile::copy(QStringLiteral(PLATTERLY_CLI), program));
        ASSERT_TRUE(QFile::copy(catalogue.path(), folder.path(u"db.db2"_s)));
    }

    Outcome cli(const QStringList& args)
    {
        QProcess process;
        process.start(program, args);
        EXPECT_TRUE(process.waitForFinished(60000));
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        return {process.exitCode(), out.split(u'\n', Qt::SkipEmptyParts),
                QString::fromUtf8(process.readAllStandardError()).trimmed()};
    }

    platterly::test::TempTree tree;
    platterly::test::TempTree folder;
    CatalogueOnDisk catalogue;
    QString program;
};

TEST_F(SearchCommand, PrintsTheRowsAndTheMessage)
{
    const Outcome found = cli({u"search"_s, u"TXT"_s});
    EXPECT_EQ(found.status, 0);
    EXPECT_EQ(found.lines,
              QStringList({u"Disc A\tAlpha.txt\tD:\\"_s, u"Disc A\tGamma.txt\tD:\\sub\\"_s}));
    EXPECT_EQ(found.err, u"Files Found 2 (2)"_s);

    const Outcome none = cli({u"search"_s, u"nowhere"_s});
    EXPECT_EQ(none.status, 0);
    EXPECT_TRUE(none.lines.isEmpty());
    EXPECT_EQ(none.err, u"No Files Found"_s);
}

TEST_F(SearchCommand, CategoryScopeAndLimit)
{
    const Outcome folders =
        cli({u"search"_s, u"*.*"_s, u"--category"_s, u"Folders Only"_s, u"--disc"_s, u"disc a"_s});
    EXPECT_EQ(folders.lines, QStringList({u"Disc A\tHolidays\tD:\\"_s, u"Disc A\tsub\tD:\\"_s}));
    EXPECT_EQ(folders.err, u"Files Found 2 (2)"_s);

    const Outcome music = cli({u"search"_s, u"a"_s, u"--category"_s, u"Music Files"_s});
    EXPECT_EQ(music.lines, QStringList({u"Disc A\tbeta.MP3\tD:\\"_s}));
    EXPECT_EQ(music.err, u"Only 1 File Found"_s);

    const Outcome limited = cli({u"search"_s, u"a"_s, u"--limit"_s, u"2"_s});
    EXPECT_EQ(limited.lines.size(), 2);
    EXPECT_EQ(limited.err, u"Files Found 2 (4)"_s);

    const Outcome apostrophe = cli({u"search"_s, u"it's"_s, u"--json"_s});
    ASSERT_EQ(apostrophe.lines.size(), 1);
    const QJsonObject row = QJsonDocument::fromJson(apostrophe.lines[0].toUtf8()).object();
    EXPECT_EQ(row.value(u"CDNAME"_s).toString(), u"Disc A"_s);
    EXPECT_EQ(row.value(u"FNAME"_s).toString(), u"it's here.jpg"_s);
    EXPECT_EQ(row.value(u"PATH"_s).toString(), u"D:\\"_s);
}

TEST_F(SearchCommand, RemembersThePatternOnlyWhenAsked)
{
    const QString settings = folder.path(u"settings.ini"_s);
    cli({u"search"_s, u"alpha"_s});
    EXPECT_FALSE(QFile::exists(settings));
    cli({u"search"_s, u"*.*"_s, u"--category"_s, u"Folders Only"_s, u"--remember"_s});
    cli({u"search"_s, u"alpha"_s, u"--remember"_s});
    QFile file(settings);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "[Strings]\nTotal=2\ns1=alpha\ns2=*\n");
}

TEST_F(SearchCommand, AHistoryThatCannotBeSavedIsReported)
{
    // The settings file is a folder: the rows come all the same, then the failure.
    const QString settings = folder.path(u"settings.ini"_s);
    ASSERT_TRUE(QDir().mkpath(settings));
    const Outcome onFolder = cli({u"search"_s, u"alpha"_s, u"--remember"_s});
    EXPECT_EQ(onFolder.status, 1);
    EXPECT_EQ(onFolder.lines, QStringList{u"Disc A\tAlpha.txt\tD:\\"_s});
    EXPECT_EQ(onFolder.err, u"Only 1 File Found\nplatterly-cli: The search history could not be "
                            u"saved in %1: it is a folder."_s.arg(settings));

    // The disk is full (a file-size limit of 0 makes every write fail as a full disk does).
    ASSERT_TRUE(QDir(settings).removeRecursively());
    QProcess process;
    process.start(u"bash"_s, {u"-c"_s, u"trap '' XFSZ; ulimit -f 0; exec \"$0\" \"$@\""_s, program,
                              u"search"_s, u"alpha"_s, u"--remember"_s});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError())
                    .contains(u"The search history could not be saved in %1: "_s.arg(settings)));
    EXPECT_FALSE(QFile::exists(settings));
}

TEST_F(SearchCommand, APatternErrorCountsTheCharactersTyped)
{
    const Outcome open = cli({u"search"_s, u"a[b"_s});
    EXPECT_EQ(open.status, 1);
    EXPECT_EQ(open.err, u"platterly-cli: Invalid pattern string: the '[' at position 2 has no "
                        u"closing ']'"_s);
    // Blanks typed before the pattern are characters typed all the same.
    const Outcome blanks = cli({u"search"_s, u"  x[y"_s, u"--category"_s, u"any text"_s});
    EXPECT_TRUE(blanks.err.endsWith(u"the '[' at position 4 has no closing ']'"_s))
        << blanks.err.toStdString();
}

TEST_F(SearchCommand, FailuresAndWrongUsage)
{
    platterly::test::TempTree other;
    other.addFile(u"not a catalogue.db2"_s, "just text");
    const Outcome failed =
        cli({u"--catalogue"_s, other.path(u"not a catalogue.db2"_s), u"search"_s, u"a"_s});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.err.startsWith(u"platterly-cli: "_s)) << failed.err.toStdString();

    EXPECT_EQ(cli({u"search"_s}).status, 2);
    EXPECT_EQ(cli({u"search"_s, u"a"_s, u"b"_s}).status, 2);
    EXPECT_EQ(cli({u"search"_s, u"a"_s, u"--limit"_s, u"some"_s}).status, 2);
    EXPECT_EQ(cli({u"search"_s, u"a"_s, u"--sort"_s}).status, 2);
    EXPECT_EQ(cli({u"search"_s, u"a"_s, u"--disc"_s}).status, 2);
    // After "--" a pattern may begin with dashes.
    EXPECT_EQ(cli({u"search"_s, u"--"_s, u"--x"_s}).status, 0);
}

} // namespace
} // namespace platterly::search::test
