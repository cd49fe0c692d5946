// Sizes and times of change: what cataloguing records for each entry, and catalogues made
// before they were recorded.
#include "catalogue/catalogue_file.h"
#include "cataloguing/cataloguing_run.h"
#include "platform/sql/sqlite_db.h"
#include "search/name_index_planner.h"
#include "search/search_run.h"
#include "search/statement_builder.h"
#include "search_fixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace platterly;
using namespace Qt::StringLiterals;

namespace {

cataloguing::RunResult catalogueTree(const QString& file, const QString& title, const QString& root)
{
    sql::DataControl data;
    data.setDatabaseName(file);
    return cataloguing::runCataloguing(data, {title, root, u"D:\\"_s, {}});
}

// The rows a search finds, as "name|size|time" with "-" for what is unknown.
QStringList found(const QString& file, const QString& pattern, const search::SearchFilters& limits)
{
    sql::DataControl data;
    search::useCatalogue(data, file);
    QStringList rows;
    const search::SearchOutcome outcome = search::runSearch(
        data, search::buildSearchStatement({pattern, u"All Files"_s, false, {}}, limits).statement,
        [&rows](const search::ResultRow& row) {
            rows.append(row.name + u'|' + (row.size ? QString::number(*row.size) : u"-"_s) + u'|' +
                        (row.modified ? QString::number(*row.modified) : u"-"_s));
            return true;
        });
    EXPECT_FALSE(outcome.error) << outcome.error.message.toStdString();
    return rows;
}

search::SearchFilters belowAGigabyte()
{
    search::SearchFilters limits;
    limits.smallerThan = qint64{1} << 30;
    return limits;
}

} // namespace

TEST(EntryDetails, EveryEntryHasTheSizeAndTimeLstatGivesIt)
{
    test::TempTree tree;
    tree.addFile(u"small.txt"_s, "hello");
    tree.addFile(u"Music/song.mp3"_s);
    tree.setSize(u"Music/song.mp3"_s, 4'500'000);
    tree.addFile(u"image.iso"_s);
    tree.setSize(u"image.iso"_s, qint64{5} << 30); // beyond 32 bits, a hole on disc
    tree.addSymlink(u"link to small"_s, u"small.txt"_s);
    tree.addSymlink(u"Music/nowhere"_s, u"/no/such/target"_s);
    tree.addFolder(u"Empty folder"_s);
    tree.setAllModified(1'500'000'000);
    tree.setModified(u"small.txt"_s, -315'619'200);       // 1960: before 1970
    tree.setModified(u"link to small"_s, 1'000'000'000);  // the link itself, not its target
    tree.setModified(u"Music/song.mp3"_s, 4'102'444'800); // 2100: beyond 32 bits
    search::test::CatalogueOnDisk catalogue;
    ASSERT_TRUE(catalogue.addDisc(u"Disc"_s, tree.root()));
    auto db = sql::Database::open(catalogue.path(), nullptr);
    auto rows = db->prepare(u"SELECT FNAME, PATH, LEVEL, SIZE, MODIFIED FROM CDS ORDER BY rowid"_s,
                            nullptr);
    ASSERT_EQ(rows->step(), sql::Statement::Step::Row); // the title row knows neither
    EXPECT_TRUE(rows->isNull(3) && rows->isNull(4));
    int entries = 0;
    while (rows->step() == sql::Statement::Step::Row) {
        ++entries;
        const QString relative = rows->text(1).mid(3).replace(u'\\', u'/') + rows->text(0);
        struct stat info;
        ASSERT_EQ(::lstat(QFile::encodeName(tree.path(relative)).constData(), &info), 0);
        SCOPED_TRACE(relative.toStdString());
        if (S_ISDIR(info.st_mode))
            EXPECT_TRUE(rows->isNull(3));
        else
            EXPECT_EQ(rows->value(3), QVariant(qint64{info.st_size}));
        EXPECT_EQ(rows->value(4), QVariant(qint64{info.st_mtim.tv_sec}));
    }
    EXPECT_EQ(entries, 7);
}

TEST(EntryDetails, AnOlderCatalogueSearchesAndTakesNewDiscsWithSizes)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(u"old.db2"_s);
    ASSERT_FALSE(
        sql::Database::create(file, nullptr)
            ->exec(u"CREATE TABLE CDS (CDNAME TEXT, FNAME TEXT, PATH TEXT, LEVEL INTEGER,"
                   u" TYPE INTEGER);"
                   u"CREATE TABLE TOTAL (CDNAME TEXT, DATE TEXT, DIRS INTEGER, FILES INTEGER);"
                   u"CREATE TABLE TOTALS (TCDS INTEGER, TDIRS INTEGER, TFILES INTEGER);"
                   u"INSERT INTO CDS VALUES ('Old', 'Old', 'Old', 1, 99),"
                   u" ('Old', 'old song.mp3', 'E:\\', 2, 4);"
                   u"INSERT INTO TOTAL VALUES ('Old', '2001-02-03', 0, 1);"
                   u"INSERT INTO TOTALS VALUES (1, 0, 1);"_s));

    // Its entries' sizes and times are unknown: they pass no limit, and a limit is no error.
    EXPECT_EQ(found(file, u"song"_s, {}), QStringList({u"old song.mp3|-|-"_s}));
    EXPECT_EQ(found(file, u"song"_s, belowAGigabyte()), QStringList());

    test::TempTree tree;
    tree.addFile(u"new song.mp3"_s, "la la");
    tree.setAllModified(1'600'000'000);
    ASSERT_EQ(catalogueTree(file, u"New"_s, tree.root()).outcome,
              cataloguing::RunOutcome::Finished);
    EXPECT_EQ(found(file, u"song"_s, {}).last(), u"old song.mp3|-|-"_s);
    EXPECT_EQ(found(file, u"song"_s, belowAGigabyte()),
              QStringList({u"new song.mp3|5|1600000000"_s}));
}

TEST(EntryDetails, ValuesOtherToolsWroteCompareAsSQLiteComparesThem)
{
    search::test::CatalogueOnDisk catalogue;
    test::TempTree tree;
    tree.addFile(u"plain.txt"_s, "twelve bytes");
    ASSERT_TRUE(catalogue.addDisc(u"Disc"_s, tree.root()));
    catalogue.foreignSql(
        u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE, SIZE, MODIFIED) VALUES"
        u" ('Disc', 'real.txt', 'D:\\', 2, 2, 100.5, 1.5e9),"
        u" ('Disc', 'text.txt', 'D:\\', 2, 2, 'big', 'late'),"
        u" ('Disc', 'blob.txt', 'D:\\', 2, 2, X'00', NULL);"_s);
    ASSERT_FALSE(search::prepareNameIndex(*sql::Database::open(catalogue.path(), nullptr)));
    // A number in another form compares as that number; a text or a blob after every number.
    using Limits = search::SearchFilters;
    for (const Limits& limits : {Limits{100, {}, {}, {}}, Limits{{}, 101, {}, {}},
                                 Limits{11, 13, {}, {}}, Limits{{}, {}, 1'400'000'000, {}}}) {
        const QString statement =
            search::buildSearchStatement({u"*"_s, u"All Files"_s, false, {}}, limits).statement;
        const auto indexed = search::test::searchRows(catalogue.path(), statement, true);
        EXPECT_TRUE(indexed.answeredByIndex);
        EXPECT_EQ(indexed.rows, search::test::searchRows(catalogue.path(), statement, false).rows)
            << statement.toStdString();
        EXPECT_FALSE(indexed.rows.empty()) << statement.toStdString();
    }
}
