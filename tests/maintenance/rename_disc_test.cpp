#include "catalogue/disc_volumes.h"
#include "maintenance/delete_disc.h"
#include "maintenance/rename_disc.h"
#include "maintenance_fixture.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

using namespace platterly;
using maintenance::RenameOutcome;
using maintenance::test::MaintenanceTest;

namespace {

maintenance::RenameResult renameIn(const QString& file, const QString& from, const QString& to)
{
    sql::DataControl data;
    data.setDatabaseName(file);
    return maintenance::renameDisc(data, from, to);
}

using RenameDiscTest = MaintenanceTest;

} // namespace

TEST_F(RenameDiscTest, RetitlesEveryRowOfTheDiscAndLeavesTheTotals)
{
    ASSERT_TRUE(addDisc(u"PHOTOS 2004"_s, 3, 20));
    ASSERT_TRUE(addDisc(u"Music"_s, 1, 2));
    buildNameIndex();
    // Every row keeps its place and its other fields; the title row's name and path keep the
    // old title; the totals stay.
    QStringList expected = snapshot();
    expected.replaceInStrings(QRegularExpression(u"^(CDS|TOTAL)\\|PHOTOS 2004\\|"_s),
                              u"\\1|HOLIDAY|"_s);
    ASSERT_EQ(expected.first(), u"CDS|HOLIDAY|PHOTOS 2004|PHOTOS 2004|1|99"_s);

    const maintenance::RenameResult result = renameIn(file(), u"photos 2004"_s, u"HOLIDAY"_s);
    ASSERT_EQ(result.outcome, RenameOutcome::Renamed) << result.message.toStdString();
    EXPECT_EQ(result.rows, 24);
    EXPECT_EQ(snapshot(), expected);

    // A search of the renamed disc finds its rows at once, through the name index.
    bool answeredByIndex = false;
    const QStringList found = searchResults(u"song"_s, u"holiday"_s, &answeredByIndex);
    EXPECT_TRUE(answeredByIndex);
    EXPECT_EQ(found.size(), 20);
    EXPECT_EQ(found.filter(QRegularExpression(u"^HOLIDAY\\|song"_s)), found);
    EXPECT_EQ(searchResults(u"song"_s), cdsRowsMatching(u"song"_s));
}

TEST_F(RenameDiscTest, TitlesOfOneToFifteenCharactersAreTakenAsTheyAreEvenWhenInUse)
{
    ASSERT_TRUE(addDisc(u"Bob's CD"_s, 1, 2));
    ASSERT_TRUE(addDisc(u"Music"_s, 2, 3));
    const QStringList before = snapshot();
    for (const QString& refused : {QString(), u"Sixteen letters!"_s})
        EXPECT_EQ(renameIn(file(), u"Music"_s, refused).outcome, RenameOutcome::Refused);
    EXPECT_EQ(renameIn(file(), u"Bob"_s, u"Other"_s).outcome, RenameOutcome::NotFound);
    EXPECT_EQ(snapshot(), before);

    // Apostrophes are characters, and blanks around the new title stay part of it.
    const QString fifteen = u" Ann's 'best'  "_s;
    ASSERT_EQ(fifteen.size(), 15);
    // The volume the disc was catalogued from follows the rename, and goes with the delete.
    sql::DataControl data;
    data.setDatabaseName(file());
    drives::VolumeRecord stick;
    stick.label = u"STICK"_s;
    ASSERT_FALSE(catalogue::writeDiscVolume(*data.database(), u"Bob's CD"_s, stick));
    ASSERT_TRUE(maintenance::renameDisc(data, u"bob's cd"_s, fifteen).ok());
    EXPECT_FALSE(catalogue::readDiscVolume(*data.database(), u"Bob's CD"_s));
    EXPECT_EQ(catalogue::readDiscVolume(*data.database(), fifteen)->label, u"STICK");
    EXPECT_EQ(rowsOf("CDS", fifteen).size(), 4);
    // A title in use is shared: the discs are deleted together.
    ASSERT_TRUE(maintenance::renameDisc(data, u"Music"_s, fifteen).ok());
    EXPECT_EQ(rowsOf("CDS", fifteen).size(), 4 + 6);
    EXPECT_EQ(rowsOf("TOTAL", fifteen).size(), 2);
    EXPECT_EQ(snapshot().last(), before.last());
    const maintenance::DeleteResult deleted = maintenance::deleteDisc(data, fifteen);
    EXPECT_EQ(deleted.discs, 2);
    EXPECT_EQ(deleted.rows, 4 + 6);
    EXPECT_EQ(snapshot(), QStringList{u"TOTALS|0|0|0"_s});
    EXPECT_FALSE(catalogue::readDiscVolume(*data.database(), fifteen));
}

TEST_F(RenameDiscTest, AFailureAtAnyStepLeavesEveryRowWithTheOldTitle)
{
    ASSERT_TRUE(addDisc(u"Photos"_s, 3, 20));
    ASSERT_TRUE(addDisc(u"Music"_s, 1, 2));
    buildNameIndex();
    const QStringList before = snapshot();

    sql::DataControl data;
    data.setDatabaseName(file());
    for (const QString& step : {u"BEFORE UPDATE ON CDS"_s, u"BEFORE UPDATE ON TOTAL"_s,
                                u"BEFORE UPDATE ON NAMEINDEX"_s}) {
        SCOPED_TRACE(step.toStdString());
        EXPECT_TRUE(failingAt(data, step, [&data] {
                        const auto result =
                            maintenance::renameDisc(data, u"Photos"_s, u"Holiday"_s);
                        return result.outcome == RenameOutcome::Failed ? result.message : QString();
                    }).contains(u"injected failure"_s));
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(searchResults(u"song"_s, u"Photos"_s).size(), 20);
    }

    // The same data control still finds the disc under its old title.
    const maintenance::RenameResult result =
        maintenance::renameDisc(data, u"Photos"_s, u"Holiday"_s);
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    EXPECT_EQ(result.rows, 24);
}
