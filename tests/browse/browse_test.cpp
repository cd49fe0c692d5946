#include "browse/disc_list.h"
#include "browse/disc_tree_model.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/entry_details.h"
#include "cataloguing/cataloguing_run.h"
#include "support/temp_tree.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <gtest/gtest.h>

using namespace platterly;

namespace {

class BrowseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_file = m_dir.filePath(QStringLiteral("db.db2"));
        ASSERT_FALSE(catalogue::createEmptyCatalogue(m_file));
        m_data.setDatabaseName(m_file);
    }

    void catalogue(const QString& title, const test::TempTree& tree, QDate date = {})
    {
        const cataloguing::CataloguingRequest request{title, tree.root(), QStringLiteral("E:\\"),
                                                      date};
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
            lines.append(QString(depth * 2, QLatin1Char(' ')) + index.data().toString() +
                         QStringLiteral(" [%1]").arg(
                             index.data(browse::DiscTreeModel::IconNumberRole).toInt()));
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
    music.addFile(QStringLiteral("a.mp3"));
    music.addFolder(QStringLiteral("Rock"));
    test::TempTree empty;
    catalogue(QStringLiteral("Music"), music, QDate(2006, 3, 5));
    catalogue(QStringLiteral("Empty"), empty, QDate(2026, 12, 25));

    const browse::DiscListResult result = browse::readDiscList(m_data);
    ASSERT_EQ(result.status, browse::DiscListStatus::Listed);
    EXPECT_EQ(result.listing.titles,
              QStringList({QStringLiteral("Music"), QStringLiteral("Empty")}));
    EXPECT_EQ(result.listing.dirs, QStringList({QStringLiteral("1"), QStringLiteral("0")}));
    EXPECT_EQ(result.listing.files, QStringList({QStringLiteral("1"), QStringLiteral("0")}));
    EXPECT_EQ(browse::discDateLine(result.listing.dates[0]),
              QStringLiteral("This CD Created on : 5/3/2006"));
    EXPECT_EQ(browse::discDateLine(result.listing.dates[1]),
              QStringLiteral("This CD Created on : 25/12/2026"));
    EXPECT_EQ(browse::discCountsLine(result.listing.dirs[0], result.listing.files[0]),
              QStringLiteral("Directories: 1 Files: 1"));
    const auto& totals = result.listing.totals;
    EXPECT_EQ(browse::totalsLine(totals.files, totals.dirs, totals.discs),
              QStringLiteral(":: Total ::  1 Files   &&  1 Folders  in    :::  2  :::CDs"));
}

TEST_F(BrowseTest, FilesThatAreNotCataloguesAreToldApart)
{
    sql::SqlError error;
    sql::Database::open(m_file, &error)->exec(QStringLiteral("DROP TABLE TOTALS"));
    EXPECT_EQ(browse::readDiscList(m_data).status, browse::DiscListStatus::NotACatalogue);

    sql::DataControl missing;
    missing.setDatabaseName(m_dir.filePath(QStringLiteral("gone.db2")));
    auto result = browse::readDiscList(missing);
    EXPECT_EQ(result.status, browse::DiscListStatus::Unusable);
    EXPECT_EQ(result.error.code, sql::ErrorCode::FileNotFound);

    QFile text(m_dir.filePath(QStringLiteral("text.db2")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray(2048, 'a'));
    text.close();
    sql::DataControl notDatabase;
    notDatabase.setDatabaseName(text.fileName());
    EXPECT_EQ(browse::readDiscList(notDatabase).status, browse::DiscListStatus::Unusable);
}

TEST_F(BrowseTest, TreeFollowsStoredOrderWithRootEntriesBesideTheTitle)
{
    test::TempTree disc;
    disc.addFile(QStringLiteral("A.TXT"));
    disc.addFile(QStringLiteral("MUSIC/B.MP3"));
    disc.addFile(QStringLiteral("MUSIC/Live/c.wav"));
    disc.addFile(QStringLiteral("Video/Live/d.avi")); // a second folder named Live
    disc.setSize(QStringLiteral("A.TXT"), 1536);
    disc.setAllModified(1'600'000'000);
    catalogue(QStringLiteral("Disc"), disc);
    QFile settings(m_dir.filePath(QStringLiteral("settings.ini")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Extensions]\ntxt=5\nmp3=7\n(Default)=3\n");
    settings.close();

    browse::DiscTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    m_data.setRecordSource(catalogue::discEntriesStatement(QStringLiteral("disc")));
    ASSERT_FALSE(m_data.refresh());
    ASSERT_FALSE(model.load(m_data, QStringLiteral("Disc"),
                            browse::settingsIconLookup(settings.fileName())));
    EXPECT_EQ(outline(model), QStringList({
                                  QStringLiteral("Disc [1]"),
                                  QStringLiteral("A.TXT [5]"),
                                  QStringLiteral("MUSIC [2]"),
                                  QStringLiteral("  B.MP3 [7]"),
                                  QStringLiteral("  Live [2]"),
                                  QStringLiteral("    c.wav [3]"),
                                  QStringLiteral("Video [2]"),
                                  QStringLiteral("  Live [2]"),
                                  QStringLiteral("    d.avi [3]"),
                              }));

    // A node's tooltip tells the entry's size (none for a folder) and time of change.
    const QString changed = catalogue::modifiedForDisplay(1'600'000'000);
    EXPECT_EQ(model.index(1, 0).data(Qt::ToolTipRole).toString(),
              QStringLiteral("A.TXT\nSize: %1\nModified: %2")
                  .arg(catalogue::sizeForDisplay(1536), changed));
    EXPECT_EQ(model.index(2, 0).data(Qt::ToolTipRole).toString(),
              QStringLiteral("MUSIC\nModified: ") + changed);
    EXPECT_EQ(model.index(0, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("Disc"));

    // Rows of another letter case belong to another disc as far as the tree goes.
    ASSERT_FALSE(model.load(m_data, QStringLiteral("DISC"), {}));
    EXPECT_EQ(model.rowCount(), 0);
    model.clear();
    EXPECT_EQ(model.nodeCount(), 0);
}

TEST_F(BrowseTest, RowsThatCannotBePlacedAreSkipped)
{
    sql::SqlError error;
    auto db = sql::Database::open(m_file, &error);
    ASSERT_FALSE(db->exec(QStringLiteral("INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) "
                                         "VALUES ('T', 'T', 'T', 1, 99);"
                                         "INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) "
                                         "VALUES ('T', 'orphan', 'E:\\x\\y\\', "
                                         "4, 0);" // no level-3 folder yet
                                         "INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) "
                                         "VALUES ('T', 'T', 'T', 1, 99);" // a
                                                                          // second
                                                                          // title
                                                                          // row
                                         "INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) "
                                         "VALUES ('T', 'x', 'E:\\', 2, 100);"
                                         "INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) "
                                         "VALUES ('T', 'y', 'E:\\x\\', 3, "
                                         "100);")));
    db.reset();
    browse::DiscTreeModel model;
    m_data.setRecordSource(catalogue::discEntriesStatement(QStringLiteral("T")));
    ASSERT_FALSE(m_data.refresh());
    ASSERT_FALSE(model.load(m_data, QStringLiteral("T"), [](const QString&) { return 9; }));
    EXPECT_EQ(outline(model), QStringList({QStringLiteral("T [1]"), QStringLiteral("x [9]"),
                                           QStringLiteral("  y [9]")}));

    // A disc listed in TOTAL without any CDS row: an empty tree, no error.
    m_data.setRecordSource(catalogue::discEntriesStatement(QStringLiteral("nothing")));
    ASSERT_FALSE(m_data.refresh());
    EXPECT_FALSE(model.load(m_data, QStringLiteral("nothing"), {}));
    EXPECT_EQ(model.rowCount(), 0);
}
