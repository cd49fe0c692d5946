#include "browse/disc_list.h"
#include "browse/disc_tree_model.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/entry_details.h"
#include "cataloguing/cataloguing_run.h"
#include "support/temp_tree.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

using namespace platterly;

namespace {

class BrowseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_file = m_dir.filePath(u"db.db2"_s);
        ASSERT_FALSE(catalogue::createEmptyCatalogue(m_file));
        m_data.setDatabaseName(m_file);
    }

    void catalogue(const QString& title, const test::TempTree& tree, QDate date = {})
    {
        const cataloguing::CataloguingRequest request{title, tree.root(), u"E:\\"_s, date};
        ASSERT_EQ(cataloguing::runCataloguing(m_data, request).outcome,
                  cataloguing::RunOutcome::Finished);
    }

    // The tree as indented text: one line per node, two blanks per level, icon in brackets.
    static QStringList outline(const QAbstractItemModel& model, const QModelIndex& parent = {},
                               int depth = 0)
    {
        QStringList lines;
        for (int row = 0; row < model.rowCount(parent); ++row) {
            const QModelIndex index = model.index(row, 0, parent);
            lines.append(QString(depth * 2, u' ') + index.data().toString() +
                         u" [%1]"_s.arg(index.data(browse::DiscTreeModel::IconNumberRole).toInt()));
            lines.append(outline(model, index, depth + 1));
        }
        return lines;
    }

    QTemporaryDir m_dir;
    QString m_file;
    sql::DataControl m_data;
};

} // namespace

TEST_F(BrowseTest, DiscListAndTotalsLine)
{
    test::TempTree music;
    music.addFile(u"a.mp3"_s);
    music.addFolder(u"Rock"_s);
    test::TempTree empty;
    catalogue(u"Music"_s, music, QDate(2006, 3, 5));
    catalogue(u"Empty"_s, empty, QDate(2026, 12, 25));

    const browse::DiscListResult result = browse::readDiscList(m_data);
    ASSERT_EQ(result.status, browse::DiscListStatus::Listed);
    EXPECT_EQ(result.listing.titles, QStringList({u"Music"_s, u"Empty"_s}));
    EXPECT_EQ(result.listing.dirs, QStringList({u"1"_s, u"0"_s}));
    EXPECT_EQ(result.listing.files, QStringList({u"1"_s, u"0"_s}));
    EXPECT_EQ(browse::discDateLine(result.listing.dates[0]), u"This CD Created on : 5/3/2006"_s);
    EXPECT_EQ(browse::discDateLine(result.listing.dates[1]), u"This CD Created on : 25/12/2026"_s);
    EXPECT_EQ(browse::discCountsLine(result.listing.dirs[0], result.listing.files[0]),
              u"Directories: 1 Files: 1"_s);
    const auto& totals = result.listing.totals;
    EXPECT_EQ(browse::totalsLine(totals.files, totals.dirs, totals.discs),
              u":: Total ::  1 Files   &&  1 Folders  in    :::  2  :::CDs"_s);
}

TEST_F(BrowseTest, FilesThatAreNotCataloguesAreToldApart)
{
    sql::SqlError error;
    sql::Database::open(m_file, &error)->exec(u"DROP TABLE TOTALS"_s);
    EXPECT_EQ(browse::readDiscList(m_data).status, browse::DiscListStatus::NotACatalogue);

    test::TempTree folder;
    folder.addFile(u"text.db2"_s, QByteArray(2048, 'a'));
    sql::DataControl notDatabase;
    notDatabase.setDatabaseName(folder.path(u"text.db2"_s));
    EXPECT_EQ(browse::readDiscList(notDatabase).status, browse::DiscListStatus::Unusable);
}

TEST_F(BrowseTest, TreeFollowsStoredOrderWithRootEntriesBesideTheTitle)
{
    test::TempTree disc;
    disc.addFile(u"A.TXT"_s);
    disc.addFile(u"MUSIC/B.MP3"_s);
    disc.addFile(u"MUSIC/Live/c.wav"_s);
    disc.addFile(u"Video/Live/d.avi"_s); // a second folder named Live
    disc.setSize(u"A.TXT"_s, 1536);
    disc.setAllModified(1'600'000'000);
    catalogue(u"Disc"_s, disc);
    disc.addFile(u"settings.ini"_s, "[Extensions]\ntxt=5\nmp3=7\n(Default)=3\n");

    browse::DiscTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    m_data.setRecordSource(catalogue::discEntriesStatement(u"disc"_s));
    ASSERT_FALSE(m_data.refresh());
    ASSERT_FALSE(
        model.load(m_data, u"Disc"_s, browse::settingsIconLookup(disc.path(u"settings.ini"_s))));
    EXPECT_EQ(outline(model), QStringList({
                                  u"Disc [1]"_s,
                                  u"A.TXT [5]"_s,
                                  u"MUSIC [2]"_s,
                                  u"  B.MP3 [7]"_s,
                                  u"  Live [2]"_s,
                                  u"    c.wav [3]"_s,
                                  u"Video [2]"_s,
                                  u"  Live [2]"_s,
                                  u"    d.avi [3]"_s,
                              }));

    // A node's tooltip tells the entry's size (none for a folder) and time of change.
    const QString changed = catalogue::modifiedForDisplay(1'600'000'000);
    EXPECT_EQ(model.index(1, 0).data(Qt::ToolTipRole).toString(),
              u"A.TXT\nSize: %1\nModified: %2"_s.arg(catalogue::sizeForDisplay(1536), changed));
    EXPECT_EQ(model.index(2, 0).data(Qt::ToolTipRole).toString(), u"MUSIC\nModified: "_s + changed);
    EXPECT_EQ(model.index(0, 0).data(Qt::ToolTipRole).toString(), u"Disc"_s);

    // Rows of another letter case belong to another disc as far as the tree goes.
    ASSERT_FALSE(model.load(m_data, u"DISC"_s, {}));
    EXPECT_EQ(model.rowCount(), 0);
    model.clear();
    EXPECT_EQ(model.nodeCount(), 0);
}

TEST_F(BrowseTest, RowsThatCannotBePlacedAreSkipped)
{
    sql::SqlError error;
    auto db = sql::Database::open(m_file, &error);
    // An orphan of level 4 comes before any folder of level 3, and a second title row.
    ASSERT_FALSE(db->exec(u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) VALUES "
                          u"('T', 'T', 'T', 1, 99), ('T', 'orphan', 'E:\\x\\y\\', 4, 0), "
                          u"('T', 'T', 'T', 1, 99), ('T', 'x', 'E:\\', 2, 100), "
                          u"('T', 'y', 'E:\\x\\', 3, 100)"_s));
    db.reset();
    browse::DiscTreeModel model;
    m_data.setRecordSource(catalogue::discEntriesStatement(u"T"_s));
    ASSERT_FALSE(m_data.refresh());
    ASSERT_FALSE(model.load(m_data, u"T"_s, [](const QString&) { return 9; }));
    EXPECT_EQ(outline(model), QStringList({u"T [1]"_s, u"x [9]"_s, u"  y [9]"_s}));

    // A disc listed in TOTAL without any CDS row: an empty tree, no error.
    m_data.setRecordSource(catalogue::discEntriesStatement(u"nothing"_s));
    ASSERT_FALSE(m_data.refresh());
    EXPECT_FALSE(model.load(m_data, u"nothing"_s, {}));
    EXPECT_EQ(model.rowCount(), 0);
}
