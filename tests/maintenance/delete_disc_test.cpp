#include "maintenance/delete_disc.h"
#include "maintenance_fixture.h"

using namespace platterly;
using maintenance::DeleteOutcome;
using maintenance::test::MaintenanceTest;

namespace {

maintenance::DeleteResult deleteFrom(const QString& file, const QString& title)
{
    sql::DataControl data;
    data.setDatabaseName(file);
    return maintenance::deleteDisc(data, title);
}

using DeleteDiscTest = MaintenanceTest;

} // namespace

TEST_F(DeleteDiscTest, RemovesEveryRowOfTheDiscAndTakesItsCountsOffTheTotals)
{
    ASSERT_TRUE(addDisc(QStringLiteral("Photos"), 3, 20));
    ASSERT_TRUE(addDisc(QStringLiteral("Music"), 2, 5));
    buildNameIndex();
    const QStringList musicRows = rowsOf("CDS", QStringLiteral("Music"));
    const QStringList musicDisc = rowsOf("TOTAL", QStringLiteral("Music"));
    const catalogue::Totals before = totals();

    // Titles are compared without regard to letter case, as every statement compares them.
    const maintenance::DeleteResult result = deleteFrom(file(), QStringLiteral("PHOTOS"));
    ASSERT_EQ(result.outcome, DeleteOutcome::Deleted) << result.message.toStdString();
    EXPECT_EQ(result.rows, 24); // the title row, 3 folders and 20 files

    EXPECT_TRUE(rowsOf("CDS", QStringLiteral("Photos")).isEmpty());
    EXPECT_TRUE(rowsOf("TOTAL", QStringLiteral("Photos")).isEmpty());
    EXPECT_EQ(rowsOf("CDS", QStringLiteral("Music")), musicRows);
    EXPECT_EQ(rowsOf("TOTAL", QStringLiteral("Music")), musicDisc);
    const catalogue::Totals after = totals();
    EXPECT_EQ(after.discs, before.discs - 1);
    EXPECT_EQ(after.dirs, before.dirs - 3);
    EXPECT_EQ(after.files, before.files - 20);
    EXPECT_EQ(snapshot().size(), musicRows.size() + 2);
    // The name index was kept in step within the deletion: it still answers, and agrees with
    // CDS.
    bool answeredByIndex = false;
    const QStringList found = searchResults(QStringLiteral("song"), {}, &answeredByIndex);
    EXPECT_TRUE(answeredByIndex);
    EXPECT_EQ(found.size(), 5);
    EXPECT_EQ(found, cdsRowsMatching(QStringLiteral("song")));
    EXPECT_TRUE(searchResults(QStringLiteral("song"), QStringLiteral("Photos")).isEmpty());

    // The last disc gone leaves zero totals and no discs.
    ASSERT_TRUE(deleteFrom(file(), QStringLiteral("Music")).ok());
    EXPECT_EQ(snapshot(), QStringList{QStringLiteral("TOTALS|0|0|0")});
}

TEST_F(DeleteDiscTest, RefusalsChangeNothing)
{
    ASSERT_TRUE(addDisc(QStringLiteral("Photos"), 1, 3));
    ASSERT_TRUE(addDisc(QStringLiteral("Music"), 1, 1));
    // What an interrupted cataloguing of an older program left: rows, but no TOTAL row.
    foreignSql(QStringLiteral("DELETE FROM TOTAL WHERE CDNAME = 'Music'"));
    QStringList before = snapshot();

    const maintenance::DeleteResult none = deleteFrom(file(), QString());
    EXPECT_EQ(none.outcome, DeleteOutcome::NoDiscChosen);
    EXPECT_EQ(none.message, QStringLiteral("Select CD to Delete And Press the Button"));
    EXPECT_EQ(deleteFrom(file(), QStringLiteral("Photo")).outcome, DeleteOutcome::NotFound);
    const maintenance::DeleteResult noDiscRow = deleteFrom(file(), QStringLiteral("Music"));
    EXPECT_EQ(noDiscRow.outcome, DeleteOutcome::NoDiscRow);
    EXPECT_TRUE(noDiscRow.message.contains(QLatin1String("Music")));
    EXPECT_EQ(snapshot(), before);

    // A lost totals row fails the whole deletion.
    foreignSql(QStringLiteral("DELETE FROM TOTALS"));
    before = snapshot();
    const maintenance::DeleteResult noTotals = deleteFrom(file(), QStringLiteral("Photos"));
    EXPECT_EQ(noTotals.outcome, DeleteOutcome::Failed);
    EXPECT_TRUE(noTotals.message.contains(QLatin1String("totals row")));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(DeleteDiscTest, AFailureAtAnyStepLeavesTheDiscWhole)
{
    ASSERT_TRUE(addDisc(QStringLiteral("Photos"), 3, 20));
    ASSERT_TRUE(addDisc(QStringLiteral("Music"), 2, 5));
    buildNameIndex();
    const QStringList before = snapshot();
    const QStringList foundBefore = searchResults(QStringLiteral("song"));

    // Each trigger makes one step of the deletion fail, the last one inside the name index.
    const QStringList failingSteps = {
        QStringLiteral("BEFORE DELETE ON CDS"),
        QStringLiteral("BEFORE DELETE ON TOTAL"),
        QStringLiteral("BEFORE UPDATE ON TOTALS"),
        QStringLiteral("BEFORE DELETE ON NAMEINDEX"),
    };
    // One data control throughout, as a window keeps one: a failed deletion must not leave
    // it believing in rows that the rollback brought back.
    sql::DataControl data;
    data.setDatabaseName(file());
    for (const QString& step : failingSteps) {
        SCOPED_TRACE(step.toStdString());
        injectFailure(data, step);
        const maintenance::DeleteResult result =
            maintenance::deleteDisc(data, QStringLiteral("Photos"));
        EXPECT_EQ(result.outcome, DeleteOutcome::Failed);
        EXPECT_TRUE(result.message.contains(QLatin1String("injected failure")))
            << result.message.toStdString();
        removeInjectedFailure(data);
        EXPECT_EQ(snapshot(), before);
        bool answeredByIndex = false;
        EXPECT_EQ(searchResults(QStringLiteral("song"), {}, &answeredByIndex), foundBefore);
        EXPECT_TRUE(answeredByIndex);
    }

    const maintenance::DeleteResult result =
        maintenance::deleteDisc(data, QStringLiteral("Photos"));
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    EXPECT_EQ(result.rows, 24);
    EXPECT_TRUE(rowsOf("CDS", QStringLiteral("Photos")).isEmpty());
}
