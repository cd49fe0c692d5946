// Updating a disc: its rows afterwards are what cataloguing the same tree writes.
#include "catalogue/catalogue_file.h"
#include "catalogue/catalogue_reader.h"
#include "catalogue/disc_volumes.h"
#include "catalogue/name_index.h"
#include "cataloguing/disc_update.h"
#include "platform/drives/volume_source.h"
#include "support/damaged_catalogue.h"
#include "support/temp_tree.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platterly;
using namespace Qt::StringLiterals;
using cataloguing::UpdateOutcome;

namespace {

const QDate kLaterDay(2024, 5, 6);

class DiscUpdateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_file = m_dir.filePath(u"db.db2"_s);
        ASSERT_FALSE(catalogue::createEmptyCatalogue(m_file));
        tree.addFile(u"a.txt"_s, "alpha");
        tree.addFile(u"Music/b.mp3"_s);
        tree.setSize(u"Music/b.mp3"_s, 3'000'000);
        tree.addFile(u"Music/Old/c.mp3"_s, "c");
        tree.addFile(u"Music/Old/d.mp3"_s, "dd");
        tree.addFile(u"zz last.doc"_s, "z");
        tree.addFolder(u"Empty"_s);
        tree.setAllModified(1'600'000'000);
    }

    // Adds a disc; with `recorded`, its volume is recorded as a cataloguing run records it.
    cataloguing::RunResult add(const QString& file, const QString& title, const QString& root,
                               const QString& driveRoot = u"D:\\"_s, bool recorded = false)
    {
        sql::DataControl data;
        data.setDatabaseName(file);
        cataloguing::CataloguingRequest request{title, root, driveRoot, kLaterDay};
        if (recorded)
            request.volume = drives::describeVolume(drives::DriveMap(), root, driveRoot);
        return cataloguing::runCataloguing(data, request);
    }

    // Updates a disc from `root`, or without one from where it is found on `drives`.
    cataloguing::UpdateResult update(const QString& title, const QString& root,
                                     const QString& driveRoot = u"D:\\"_s,
                                     const drives::DriveMap& drives = {})
    {
        sql::DataControl data;
        data.setDatabaseName(m_file);
        return cataloguing::runUpdate(data, {title, root, driveRoot, kLaterDay, drives, {}});
    }

    // A disc's rows, every field, in stored order.
    static QStringList rowsOf(const QString& file, const QString& title)
    {
        auto db = sql::Database::open(file, nullptr);
        auto rows = db->prepare(u"SELECT CDNAME, FNAME, PATH, LEVEL, TYPE, SIZE, MODIFIED FROM CDS"
                                u" WHERE CDNAME = ?1 ORDER BY rowid"_s,
                                nullptr);
        rows->bindText(1, title);
        QStringList lines;
        while (rows->step() == sql::Statement::Step::Row) {
            QStringList cells;
            for (int i = 0; i < 7; ++i)
                cells.append(rows->isNull(i) ? u"-"_s : rows->text(i));
            lines.append(cells.join(u'|'));
        }
        return lines;
    }

    // What cataloguing the tree as it is now writes, in a catalogue of its own.
    QStringList freshRows(const QString& title)
    {
        const QString fresh = m_dir.filePath(u"fresh %1.db2"_s.arg(++m_fresh));
        EXPECT_FALSE(catalogue::createEmptyCatalogue(fresh));
        EXPECT_EQ(add(fresh, title, tree.root()).outcome, cataloguing::RunOutcome::Finished);
        return rowsOf(fresh, title);
    }

    QStringList discsAndTotals()
    {
        sql::DataControl data;
        data.setDatabaseName(m_file);
        QStringList lines;
        EXPECT_FALSE(catalogue::readDiscs(data, [&lines](const catalogue::DiscRow& disc) {
            lines.append(u"%1|%2|%3|%4"_s.arg(disc.title, disc.date.toString(),
                                              disc.dirs.toString(), disc.files.toString()));
            return true;
        }));
        catalogue::Totals totals;
        EXPECT_FALSE(catalogue::readTotals(data, &totals));
        lines.append(u"%1|%2|%3"_s.arg(totals.discs).arg(totals.dirs).arg(totals.files));
        return lines;
    }

    void expectIndexCoversDisc(const QString& title)
    {
        auto db = sql::Database::open(m_file, nullptr);
        EXPECT_EQ(catalogue::nameIndexStatus(*db), catalogue::NameIndexStatus::Current);
        EXPECT_EQ(catalogue::countTitleRows(*db, {title}, std::nullopt),
                  qint64(rowsOf(m_file, title).size()));
    }

    QTemporaryDir m_dir;
    QString m_file;
    int m_fresh = 0;
    test::TempTree tree;
};

} // namespace

TEST_F(DiscUpdateTest, ALargeDiscUnchangedOrChangedIsComparedAFewThousandRowsAtATime)
{
    // More rows than one reading takes (4096), made the quick way.
    tree.addFolder(u"many"_s);
    for (int i = 0; i < 4200; ++i)
        QFile(tree.path(u"many/file %1.txt"_s.arg(i, 4, 10, QLatin1Char('0'))))
            .open(QIODevice::WriteOnly);
    tree.setAllModified(1'600'000'000);
    ASSERT_EQ(add(m_file, u"Disc"_s, tree.root()).outcome, cataloguing::RunOutcome::Finished);
    const QStringList before = rowsOf(m_file, u"Disc"_s);
    // Unchanged, the disc (named in any letter case) keeps its rows as they were.
    const cataloguing::UpdateResult unchanged = update(u"disc"_s, tree.root());
    ASSERT_EQ(unchanged.outcome, UpdateOutcome::Updated) << unchanged.message.toStdString();
    EXPECT_EQ(unchanged.title, u"Disc"_s);
    EXPECT_EQ(unchanged.added + unchanged.removed + unchanged.changed, 0);
    EXPECT_EQ(rowsOf(m_file, u"Disc"_s), before);
    expectIndexCoversDisc(u"Disc"_s);

    tree.setSize(u"many/file 4150.txt"_s, 7);
    tree.setModified(u"many/file 4150.txt"_s, 1'600'000'000);
    const cataloguing::UpdateResult result = update(u"Disc"_s, tree.root());
    ASSERT_EQ(result.outcome, UpdateOutcome::Updated) << result.message.toStdString();
    EXPECT_EQ(result.changed, 1);
    EXPECT_EQ(result.added + result.removed, 0);
    EXPECT_EQ(rowsOf(m_file, u"Disc"_s), freshRows(u"Disc"_s));
}

TEST_F(DiscUpdateTest, AChangedDiscGetsTheRowsOfAFreshCatalogueAndTheTotalsMove)
{
    // The disc between two others, so that its rows cannot simply grow at the end of CDS.
    test::TempTree other;
    other.addFile(u"other.txt"_s);
    ASSERT_EQ(add(m_file, u"First"_s, other.root()).outcome, cataloguing::RunOutcome::Finished);
    ASSERT_EQ(add(m_file, u"Disc"_s, tree.root()).outcome, cataloguing::RunOutcome::Finished);
    ASSERT_EQ(add(m_file, u"Last"_s, other.root()).outcome, cataloguing::RunOutcome::Finished);
    const QStringList lastRows = rowsOf(m_file, u"Last"_s);

    tree.setSize(u"a.txt"_s, 10);                        // changed
    tree.setModified(u"Music/b.mp3"_s, 1'700'000'000);   // changed
    tree.addFile(u"Music/New/e.mp3"_s);                  // added twice: a folder and a file
    QDir(tree.path(u"Music/Old"_s)).removeRecursively(); // removed: a folder and three entries
    tree.addFile(u"zz last.doc.bak"_s);                  // added
    const cataloguing::UpdateResult result = update(u"Disc"_s, tree.root());
    ASSERT_EQ(result.outcome, UpdateOutcome::Updated) << result.message.toStdString();
    EXPECT_EQ(result.added, 3);
    EXPECT_EQ(result.removed, 3);
    EXPECT_EQ(result.changed, 3); // a.txt, b.mp3, and Music, whose contents changed
    EXPECT_EQ(rowsOf(m_file, u"Disc"_s), freshRows(u"Disc"_s));
    EXPECT_EQ(rowsOf(m_file, u"Last"_s), lastRows);
    // Its rows stay together, after the other discs' now.
    auto db = sql::Database::open(m_file, nullptr);
    auto apart = db->prepare(u"SELECT count(*) FROM CDS WHERE CDNAME <> 'Disc' AND rowid >"
                             u" (SELECT min(rowid) FROM CDS WHERE CDNAME = 'Disc')"_s,
                             nullptr);
    ASSERT_EQ(apart->step(), sql::Statement::Step::Row);
    EXPECT_EQ(apart->integer(0), 0);
    apart.reset();
    db.reset();
    // The disc keeps its place in the list; its counts and date are new, and so are the totals.
    EXPECT_EQ(discsAndTotals(), QStringList({u"First|2024-05-06|0|1"_s, u"Disc|2024-05-06|3|5"_s,
                                             u"Last|2024-05-06|0|1"_s, u"3|3|7"_s}));
    expectIndexCoversDisc(u"Disc"_s);
    expectIndexCoversDisc(u"Last"_s);

    // Entries gone from the end, with the disc last in CDS.
    QFile::remove(tree.path(u"zz last.doc.bak"_s));
    QFile::remove(tree.path(u"zz last.doc"_s));
    const cataloguing::UpdateResult shorter = update(u"Disc"_s, tree.root());
    ASSERT_EQ(shorter.outcome, UpdateOutcome::Updated) << shorter.message.toStdString();
    EXPECT_EQ(shorter.removed, 2);
    EXPECT_EQ(rowsOf(m_file, u"Disc"_s), freshRows(u"Disc"_s));
    expectIndexCoversDisc(u"Disc"_s);
}

TEST_F(DiscUpdateTest, ADiscReadFromAnotherPlaceOrRenamedIsWrittenAfresh)
{
    ASSERT_EQ(add(m_file, u"Disc"_s, tree.root()).outcome, cataloguing::RunOutcome::Finished);
    ASSERT_FALSE(sql::Database::open(m_file, nullptr)
                     ->exec(u"UPDATE CDS SET CDNAME = 'Renamed'; UPDATE TOTAL SET CDNAME ="
                            u" 'Renamed'; DELETE FROM NAMEINDEX_STATE"_s));
    const cataloguing::UpdateResult result = update(u"Renamed"_s, tree.root(), u"E:\\copy\\"_s);
    ASSERT_EQ(result.outcome, UpdateOutcome::Updated) << result.message.toStdString();
    // The same entries, found below another root: nothing came, went or changed.
    EXPECT_EQ(result.added + result.removed + result.changed, 0);
    QStringList expected = freshRows(u"Renamed"_s);
    expected.replaceInStrings(u"|D:\\"_s, u"|E:\\copy\\"_s);
    EXPECT_EQ(rowsOf(m_file, u"Renamed"_s), expected);
}

TEST_F(DiscUpdateTest, ADiscIsFoundWhereItWasCataloguedAndItsPlaceRecordedAnew)
{
    ASSERT_EQ(add(m_file, u"Disc"_s, tree.root(), u"D:\\"_s, true).outcome,
              cataloguing::RunOutcome::Finished);
    tree.addFile(u"new.txt"_s, "new");
    const cataloguing::UpdateResult found = update(u"Disc"_s, QString());
    ASSERT_EQ(found.outcome, UpdateOutcome::Updated) << found.message.toStdString();
    EXPECT_EQ(found.added, 1);
    EXPECT_EQ(rowsOf(m_file, u"Disc"_s), freshRows(u"Disc"_s));

    // Where it was is gone: refused, nothing changed. Read from where it is now, that place is
    // recorded, and the next update finds it there.
    ASSERT_FALSE(sql::Database::open(m_file, nullptr)
                     ->exec(u"UPDATE VOLUMES SET ROOT = '%1'"_s.arg(tree.path(u"gone"_s))));
    const QStringList rows = rowsOf(m_file, u"Disc"_s);
    const cataloguing::UpdateResult lost = update(u"Disc"_s, QString());
    EXPECT_EQ(lost.outcome, UpdateOutcome::Absent);
    EXPECT_TRUE(lost.message.contains(u"was not found"_s)) << lost.message.toStdString();
    EXPECT_EQ(rowsOf(m_file, u"Disc"_s), rows);
    ASSERT_EQ(update(u"Disc"_s, tree.root(), u"E:\\"_s).outcome, UpdateOutcome::Updated);
    const auto volume = catalogue::readDiscVolume(*sql::Database::open(m_file, nullptr), u"Disc"_s);
    ASSERT_TRUE(volume);
    EXPECT_EQ(volume->root + volume->driveRoot, tree.root() + u"E:\\"_s);
    EXPECT_EQ(update(u"Disc"_s, QString()).outcome, UpdateOutcome::Updated);
}

TEST_F(DiscUpdateTest, AnAbsentFolderOrMediumOrDiscIsRefusedWithNothingChanged)
{
    ASSERT_EQ(add(m_file, u"Disc"_s, tree.root()).outcome, cataloguing::RunOutcome::Finished);
    ASSERT_EQ(add(m_file, u"Twin"_s, tree.root()).outcome, cataloguing::RunOutcome::Finished);
    const QStringList rows = rowsOf(m_file, u"Disc"_s);
    const QStringList discs = discsAndTotals();

    const cataloguing::UpdateResult gone = update(u"Disc"_s, tree.path(u"nowhere"_s));
    EXPECT_EQ(gone.outcome, UpdateOutcome::Absent);
    EXPECT_TRUE(gone.message.contains(u"does not exist"_s)) << gone.message.toStdString();
    test::TempTree emptyMountPoint;
    const cataloguing::UpdateResult empty = update(u"Disc"_s, emptyMountPoint.root());
    EXPECT_EQ(empty.outcome, UpdateOutcome::Absent);
    EXPECT_TRUE(empty.message.contains(u"is the disc in its drive"_s));
    EXPECT_EQ(update(u"Nope"_s, tree.root()).outcome, UpdateOutcome::NotFound);
    EXPECT_EQ(rowsOf(m_file, u"Disc"_s), rows);
    EXPECT_EQ(discsAndTotals(), discs);

    // A damaged file is not written to: its free pages may still hold rows.
    const auto bytes = [this] {
        QFile file(m_file);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray sound = bytes();
    test::orphanFreePages(m_file);
    const QByteArray damaged = bytes();
    const cataloguing::UpdateResult refused = update(u"Disc"_s, tree.root());
    EXPECT_EQ(refused.outcome, UpdateOutcome::Failed);
    EXPECT_TRUE(refused.message.contains(u"integrity check"_s)) << refused.message.toStdString();
    EXPECT_EQ(bytes(), damaged);
    QFile file(m_file);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(sound) == sound.size());
    file.close();

    // After a rename gave two discs one title, which one to update cannot be told.
    ASSERT_FALSE(sql::Database::open(m_file, nullptr)->exec(u"UPDATE TOTAL SET CDNAME = 'Disc'"_s));
    const cataloguing::UpdateResult twice = update(u"Disc"_s, tree.root());
    EXPECT_EQ(twice.outcome, UpdateOutcome::Ambiguous);
    EXPECT_EQ(rowsOf(m_file, u"Disc"_s), rows);
}

TEST_F(DiscUpdateTest, TheDiscsOfAnOlderCatalogueGainSizes)
{
    // An older catalogue, five fields in CDS, holding the disc as an older program wrote it.
    const QString older = m_dir.filePath(u"older.db2"_s);
    const QString cRoot = u"C:"_s + QString(tree.root()).replace(u'/', u'\\') + u'\\';
    ASSERT_EQ(add(m_file, u"Disc"_s, tree.root(), cRoot).outcome,
              cataloguing::RunOutcome::Finished);
    ASSERT_FALSE(sql::Database::create(older, nullptr)
                     ->exec(u"CREATE TABLE CDS (CDNAME TEXT, FNAME TEXT, PATH TEXT,"
                            u" LEVEL INTEGER, TYPE INTEGER);"
                            u"CREATE TABLE TOTAL (CDNAME TEXT, DATE TEXT, DIRS INTEGER,"
                            u" FILES INTEGER);"
                            u"CREATE TABLE TOTALS (TCDS INTEGER, TDIRS INTEGER, TFILES INTEGER);"
                            u"ATTACH '%1' AS made;"
                            u"INSERT INTO CDS SELECT CDNAME, FNAME, PATH, LEVEL, TYPE"
                            u" FROM made.CDS ORDER BY rowid;"
                            u"INSERT INTO TOTAL SELECT * FROM made.TOTAL;"
                            u"INSERT INTO TOTALS SELECT * FROM made.TOTALS;"_s.arg(m_file)));
    m_file = older;

    // With no volume recorded, the disc is found by its stored root on the drive its letter
    // names now: C: is the root file system.
    const drives::DriveMap drives(
        drives::FixedVolumeSource("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"_ba));
    const cataloguing::UpdateResult result = update(u"Disc"_s, QString(), {}, drives);
    ASSERT_EQ(result.outcome, UpdateOutcome::Updated) << result.message.toStdString();
    EXPECT_EQ(result.changed, 8); // every entry: its size and time became known
    QStringList expected = freshRows(u"Disc"_s);
    expected.replaceInStrings(u"|D:\\"_s, u"|"_s + cRoot);
    EXPECT_EQ(rowsOf(m_file, u"Disc"_s), expected);
    expectIndexCoversDisc(u"Disc"_s);
}
