// The search command, run as a user runs it.
#include "catalogue/entry_details.h"
#include "search_fixture.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::search::test {
namespace {

// Times of change the tree is given: noon of 15 June 2020 (local time) for one file, a time
// in 2023 for the other entries.
const qint64 kSummerNoon = QDate(2020, 6, 15).startOfDay().addSecs(12 * 3600).toSecsSinceEpoch();
constexpr qint64 kChanged = 1700000000;

// SIZE and MODIFIED as the plain lines end.
QString details(const QString& size, qint64 modified)
{
    return u'\t' + size + u'\t' + catalogue::modifiedIso(modified);
}

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
        tree.setSize(u"Alpha.txt"_s, 1500);
        tree.setSize(u"beta.MP3"_s, 3 << 20);
        tree.setAllModified(kChanged);
        tree.setModified(u"beta.MP3"_s, kSummerNoon);
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
              QStringList({u"Disc A\tAlpha.txt\tD:\\"_s + details(u"1500"_s, kChanged),
                           u"Disc A\tGamma.txt\tD:\\sub\\"_s + details(u"0"_s, kChanged)}));
    EXPECT_EQ(found.err, u"Files Found 2 (2)"_s);

    const Outcome none = cli({u"search"_s, u"nowhere"_s});
    EXPECT_TRUE(none.status == 0 && none.lines.isEmpty());
    EXPECT_EQ(none.err, u"No Files Found"_s);
}

TEST_F(SearchCommand, CategoryScopeAndLimit)
{
    const Outcome folders =
        cli({u"search"_s, u"*.*"_s, u"--category"_s, u"Folders Only"_s, u"--disc"_s, u"disc a"_s});
    EXPECT_EQ(folders.lines, QStringList({u"Disc A\tHolidays\tD:\\"_s + details({}, kChanged),
                                          u"Disc A\tsub\tD:\\"_s + details({}, kChanged)}));
    EXPECT_EQ(folders.err, u"Files Found 2 (2)"_s);

    const Outcome music = cli({u"search"_s, u"a"_s, u"--category"_s, u"Music Files"_s});
    EXPECT_EQ(music.lines,
              QStringList({u"Disc A\tbeta.MP3\tD:\\"_s + details(u"3145728"_s, kSummerNoon)}));
    EXPECT_EQ(music.err, u"Only 1 File Found"_s);

    const Outcome limited = cli({u"search"_s, u"a"_s, u"--limit"_s, u"2"_s});
    EXPECT_EQ(limited.lines.size(), 2);
    EXPECT_EQ(limited.err, u"Files Found 2 (4)"_s);

    const Outcome json = cli({u"search"_s, u"[hi][ot]"_s, u"--json"_s});
    ASSERT_EQ(json.lines.size(), 2);
    const QJsonObject folderRow = QJsonDocument::fromJson(json.lines[0].toUtf8()).object();
    EXPECT_TRUE(folderRow.value(u"SIZE"_s).isNull());
    const QJsonObject fileRow = QJsonDocument::fromJson(json.lines[1].toUtf8()).object();
    EXPECT_EQ(fileRow.value(u"FNAME"_s).toString() + fileRow.value(u"MODIFIED"_s).toString(),
              u"it's here.jpg"_s + catalogue::modifiedIso(kChanged));
}

TEST_F(SearchCommand, FiltersBySizeAndDay)
{
    const auto names = [this](const QStringList& args) {
        QStringList found;
        for (const QString& line : cli(QStringList{u"search"_s, u"*"_s} + args).lines)
            found.append(line.section(u'\t', 1, 1));
        return found;
    };
    // Folders have no size, so they pass no size limit.
    EXPECT_EQ(names({u"--larger"_s, u"1K"_s}), QStringList({u"Alpha.txt"_s, u"beta.MP3"_s}));
    EXPECT_EQ(names({u"--larger"_s, u"1000"_s, u"--smaller"_s, u"3M"_s}),
              QStringList({u"Alpha.txt"_s}));
    EXPECT_EQ(names({u"--smaller"_s, u"1"_s}), QStringList({u"it's here.jpg"_s, u"Gamma.txt"_s}));
    // --after is on or after the day, --before strictly before it.
    EXPECT_EQ(names({u"--before"_s, u"2021-01-01"_s}), QStringList({u"beta.MP3"_s}));
    EXPECT_EQ(names({u"--after"_s, u"2020-06-15"_s, u"--before"_s, u"2020-06-16"_s}),
              QStringList({u"beta.MP3"_s}));
    EXPECT_EQ(names({u"--after"_s, u"2020-06-16"_s, u"--category"_s, u"Folders Only"_s}),
              QStringList({u"Holidays"_s, u"sub"_s}));

    for (const QStringList& wrong :
         {QStringList{u"--larger"_s, u"1.5"_s}, QStringList{u"--smaller"_s, u"ten"_s},
          QStringList{u"--after"_s, u"2020-13-01"_s}, QStringList{u"--before"_s}})
        EXPECT_EQ(cli(QStringList{u"search"_s, u"*"_s} + wrong).status, 2);
}

TEST_F(SearchCommand, DuplicatesAreListedLargestWasteFirst)
{
    platterly::test::TempTree copy;
    copy.addFile(u"backup/ALPHA.TXT"_s);
    copy.setSize(u"backup/ALPHA.TXT"_s, 1500);
    copy.addFile(u"beta.mp3"_s); // a size of its own
    ASSERT_TRUE(catalogue.addDisc(u"Disc B"_s, copy.root()));
    const QStringList onCatalogue = {u"--catalogue"_s, catalogue.path(), u"duplicates"_s};

    const Outcome json = cli(onCatalogue + QStringList{u"--json"_s});
    ASSERT_EQ(json.lines.size(), 1) << json.err.toStdString();
    const QJsonObject group = QJsonDocument::fromJson(json.lines[0].toUtf8()).object();
    EXPECT_EQ(group.value(u"FNAME"_s).toString(), u"Alpha.txt"_s);
    EXPECT_EQ(group.value(u"SIZE"_s).toInteger(), 1500);
    const QJsonObject second = group.value(u"COPIES"_s).toArray().last().toObject();
    EXPECT_EQ(group.value(u"COPIES"_s).toArray().size(), 2);
    EXPECT_EQ(second.value(u"CDNAME"_s).toString() + second.value(u"PATH"_s).toString(),
              u"Disc BD:\\backup\\"_s);
    EXPECT_EQ(json.err, u"1 group of duplicates, 1500 bytes in the copies beyond the first"_s);

    const Outcome plain = cli(onCatalogue);
    EXPECT_EQ(plain.lines, QStringList({u"Alpha.txt\t1500"_s, u"\tDisc A\tD:\\"_s,
                                        u"\tDisc B\tD:\\backup\\"_s}));
    EXPECT_TRUE(cli(onCatalogue + QStringList{u"--min-size"_s, u"2K"_s}).lines.isEmpty());
    EXPECT_EQ(cli(onCatalogue + QStringList{u"--min-size"_s, u"big"_s}).status, 2);
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
    ASSERT_EQ(onFolder.lines.size(), 1);
    EXPECT_TRUE(onFolder.lines[0].startsWith(u"Disc A\tAlpha.txt\tD:\\\t"_s));
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

    for (const QStringList& wrong : {QStringList{},
                                     {u"a"_s, u"b"_s},
                                     {u"a"_s, u"--sort"_s},
                                     {u"a"_s, u"--limit"_s, u"some"_s},
                                     {u"a"_s, u"--disc"_s}})
        EXPECT_EQ(cli(QStringList{u"search"_s} + wrong).status, 2);
    // After "--" a pattern may begin with dashes.
    EXPECT_EQ(cli({u"search"_s, u"--"_s, u"--x"_s}).status, 0);
}

} // namespace
} // namespace platterly::search::test
