#include "maintenance/delete_disc.h"
#include "maintenance/rename_disc.h"
#include "maintenance_fixture.h"

#include <QRegularExpression>

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

QStringList discTitles(const QString& file)
{
    sql::DataControl data;
    data.setDatabaseName(file);
    QStringList titles;
    EXPECT_FALSE(catalogue::readDiscs(data, [&titles](const catalogue::DiscRow& disc) {
        titles.append(disc.title);
        return true;
    }));
    return titles;
}

using RenameDiscTest = MaintenanceTest;

} // namespace

TEST_F(RenameDiscTest, RetitlesEveryRowOfTheDiscAndLeavesTheTotals)
{
    ASSERT_TRUE(addDisc(QStringLiteral("PHOTOS 2004"), 3, 20));
    ASSERT_TRUE(addDisc(QStringLiteral("Music"), 1, 2));
    buildNameIndex();
    const QStringList oldRows = rowsOf("CDS", QStringLiteral("PHOTOS 2004"));
    const QStringList musicRows = rowsOf("CDS", QStringLiteral("Music"));
    const QStringList totalsBefore =
        snapshot().filter(QRegularExpression(QStringLiteral("^TOTALS\\|")));

    const maintenance::RenameResult result =
        renameIn(file(), QStringLiteral("photos 2004"), QStringLiteral("HOLIDAY"));
    ASSERT_EQ(result.outcome, RenameOutcome::Renamed) << result.message.toStdString();
    EXPECT_EQ(result.rows, 24);

    // Every row keeps its place and its other fields; the title row's name and path keep the
    // old title.
    QStringList expected;
    for (const QString& row : oldRows)
        expected.append(QStringLiteral("CDS|HOLIDAY|") + row.section(QLatin1Char('|'), 2));
    EXPECT_EQ(rowsOf("CDS", QStringLiteral("HOLIDAY")), expected);
    EXPECT_EQ(expected.first(), QStringLiteral("CDS|HOLIDAY|PHOTOS 2004|PHOTOS 2004|1|99"));
    EXPECT_TRUE(rowsOf("CDS", QStringLiteral("PHOTOS 2004")).isEmpty());
    EXPECT_EQ(rowsOf("TOTAL", QStringLiteral("HOLIDAY")),
              QStringList{QStringLiteral("TOTAL|HOLIDAY|2006-03-05|3|20")});
    EXPECT_EQ(rowsOf("CDS", QStringLiteral("Music")), musicRows);
    EXPECT_EQ(snapshot().filter(QRegularExpression(QStringLiteral("^TOTALS\\|"))), totalsBefore);
    EXPECT_EQ(discTitles(file()),
              (QStringList{QStringLiteral("HOLIDAY"), QStringLiteral("Music")}));

    // A search of the renamed disc finds its rows at once, through the name index.
    bool answeredByIndex = false;
    const QStringList found =
        searchResults(QStringLiteral("song"), QStringLiteral("holiday"), &answeredByIndex);
    EXPECT_TRUE(answeredByIndex);
    EXPECT_EQ(found.size(), 20);
    EXPECT_EQ(found.filter(QRegularExpression(QStringLiteral("^HOLIDAY\\|song"))), found);
    EXPECT_TRUE(searchResults(QStringLiteral("song"), QStringLiteral("PHOTOS 2004")).isEmpty());
    EXPECT_EQ(searchResults(QStringLiteral("song")), cdsRowsMatching(QStringLiteral("song")));
}

TEST_F(RenameDiscTest, TakesOneToFifteenCharactersAsTheyAre)
{
    ASSERT_TRUE(addDisc(QStringLiteral("Photos"), 1, 2));
    const QStringList before = snapshot();
    for (const QString& refused : {QString(), QStringLiteral("Sixteen letters!")}) {
        const maintenance::RenameResult result =
            renameIn(file(), QStringLiteral("Photos"), refused);
        EXPECT_EQ(result.outcome, RenameOutcome::Refused);
        EXPECT_FALSE(result.message.isEmpty());
    }
    EXPECT_EQ(snapshot(), before);

    // Blanks around the new title stay part of it.
    const QString fifteen = QStringLiteral(" Fifteen chars ");
    ASSERT_EQ(fifteen.size(), 15);
    ASSERT_TRUE(renameIn(file(), QStringLiteral("Photos"), fifteen).ok());
    EXPECT_EQ(discTitles(file()), QStringList{fifteen});
    EXPECT_EQ(rowsOf("CDS", fifteen).size(), 4);
}

TEST_F(RenameDiscTest, ApostrophesAreCharactersAndATitleInUseIsShared)
{
    ASSERT_TRUE(addDisc(QStringLiteral("Bob's CD"), 1, 2));
    ASSERT_TRUE(addDisc(QStringLiteral("Music"), 2, 3));
    const QStringList before = snapshot();
    EXPECT_EQ(renameIn(file(), QStringLiteral("Bob"), QStringLiteral("Other")).outcome,
              RenameOutcome::NotFound);
    EXPECT_EQ(snapshot(), before);

    ASSERT_TRUE(renameIn(file(), QStringLiteral("bob's cd"), QStringLiteral("Ann's 'best'")).ok());
    EXPECT_EQ(rowsOf("CDS", QStringLiteral("Ann's 'best'")).size(), 4);
    ASSERT_TRUE(renameIn(file(), QStringLiteral("Music"), QStringLiteral("Ann's 'best'")).ok());
    EXPECT_EQ(rowsOf("CDS", QStringLiteral("Ann's 'best'")).size(), 4 + 6);
    EXPECT_EQ(rowsOf("TOTAL", QStringLiteral("Ann's 'best'")).size(), 2);
    EXPECT_EQ(snapshot().filter(QRegularExpression(QStringLiteral("^TOTALS\\|"))),
              before.filter(QRegularExpression(QStringLiteral("^TOTALS\\|"))));

    // Discs that a rename made one are deleted together.
    sql::DataControl data;
    data.setDatabaseName(file());
    const maintenance::DeleteResult deleted =
        maintenance::deleteDisc(data, QStringLiteral("Ann's 'best'"));
    EXPECT_TRUE(deleted.ok());
    EXPECT_EQ(deleted.discs, 2);
    EXPECT_EQ(deleted.rows, 4 + 6);
    EXPECT_EQ(snapshot(), QStringList{QStringLiteral("TOTALS|0|0|0")});
}

TEST_F(RenameDiscTest, AFailureAtAnyStepLeavesEveryRowWithTheOldTitle)
{
    ASSERT_TRUE(addDisc(QStringLiteral("Photos"), 3, 20));
    ASSERT_TRUE(addDisc(QStringLiteral("Music"), 1, 2));
    buildNameIndex();
    const QStringList before = snapshot();

    sql::DataControl data;
    data.setDatabaseName(file());
    for (const QString& step :
         {QStringLiteral("BEFORE UPDATE ON CDS"), QStringLiteral("BEFORE UPDATE ON TOTAL"),
          QStringLiteral("BEFORE UPDATE ON NAMEINDEX")}) {
        SCOPED_TRACE(step.toStdString());
        injectFailure(data, step);
        const maintenance::RenameResult result =
            maintenance::renameDisc(data, QStringLiteral("Photos"), QStringLiteral("Holiday"));
        EXPECT_EQ(result.outcome, RenameOutcome::Failed);
        EXPECT_TRUE(result.message.contains(QLatin1String("injected failure")))
            << result.message.toStdString();
        removeInjectedFailure(data);
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(searchResults(QStringLiteral("song"), QStringLiteral("Photos")).size(), 20);
    }

    // The same data control still finds the disc under its old title.
    const maintenance::RenameResult result =
        maintenance::renameDisc(data, QStringLiteral("Photos"), QStringLiteral("Holiday"));
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    EXPECT_EQ(result.rows, 24);
}
