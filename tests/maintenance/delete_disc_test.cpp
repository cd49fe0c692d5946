#include "maintenance/delete_disc.h"
#include "maintenance_fixture.h"

using namespace Qt::StringLiterals;

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
    ASSERT_TRUE(addDisc(u"Photos"_s, 3, 20));
    ASSERT_TRUE(addDisc(u"Music"_s, 2, 5));
    buildNameIndex();
    const QStringList music = rowsOf("CDS", u"Music"_s) + rowsOf("TOTAL", u"Music"_s);

    // Titles are compared without regard to letter case, as every statement compares them.
    const maintenance::DeleteResult result = deleteFrom(file(), u"PHOTOS"_s);
    ASSERT_EQ(result.outcome, DeleteOutcome::Deleted) << result.message.toStdString();
    EXPECT_EQ(result.rows, 24); // the title row, 3 folders and 20 files
    EXPECT_EQ(snapshot(), music + QStringList{u"TOTALS|1|2|5"_s});
    // The name index was kept in step within the deletion: it still answers, and agrees with
    // CDS.
    bool answeredByIndex = false;
    const QStringList found = searchResults(u"song"_s, {}, &answeredByIndex);
    EXPECT_TRUE(answeredByIndex);
    EXPECT_EQ(found.size(), 5);
    EXPECT_EQ(found, cdsRowsMatching(u"song"_s));

    // The last disc gone leaves zero totals and no discs.
    ASSERT_TRUE(deleteFrom(file(), u"Music"_s).ok());
    EXPECT_EQ(snapshot(), QStringList{u"TOTALS|0|0|0"_s});
}

TEST_F(DeleteDiscTest, RefusalsChangeNothing)
{
    ASSERT_TRUE(addDisc(u"Photos"_s, 1, 3));
    ASSERT_TRUE(addDisc(u"Music"_s, 1, 1));
    // What an interrupted cataloguing of an older program left: rows, but no TOTAL row.
    foreignSql(u"DELETE FROM TOTAL WHERE CDNAME = 'Music'"_s);
    QStringList before = snapshot();

    const maintenance::DeleteResult none = deleteFrom(file(), QString());
    EXPECT_EQ(none.outcome, DeleteOutcome::NoDiscChosen);
    EXPECT_EQ(none.message, u"Select CD to Delete And Press the Button"_s);
    EXPECT_EQ(deleteFrom(file(), u"Photo"_s).outcome, DeleteOutcome::NotFound);
    const maintenance::DeleteResult noDiscRow = deleteFrom(file(), u"Music"_s);
    EXPECT_EQ(noDiscRow.outcome, DeleteOutcome::NoDiscRow);
    EXPECT_TRUE(noDiscRow.message.contains(u"Music"_s));
    EXPECT_EQ(snapshot(), before);

    // A lost totals row fails the whole deletion.
    foreignSql(u"DELETE FROM TOTALS"_s);
    before = snapshot();
    const maintenance::DeleteResult noTotals = deleteFrom(file(), u"Photos"_s);
    EXPECT_EQ(noTotals.outcome, DeleteOutcome::Failed);
    EXPECT_TRUE(noTotals.message.contains(u"totals row"_s));
    EXPECT_EQ(snapshot(), before);
}

TEST_F(DeleteDiscTest, AFailureAtAnyStepLeavesTheDiscWhole)
{
    ASSERT_TRUE(addDisc(u"Photos"_s, 3, 20));
    ASSERT_TRUE(addDisc(u"Music"_s, 2, 5));
    buildNameIndex();
    const QStringList before = snapshot();
    const QStringList foundBefore = searchResults(u"song"_s);

    // One data control throughout, as a window keeps one: a failed deletion must not leave
    // it believing in rows that the rollback brought back. The last step fails inside the
    // name index.
    sql::DataControl data;
    data.setDatabaseName(file());
    for (const QString& step : {u"BEFORE DELETE ON CDS"_s, u"BEFORE DELETE ON TOTAL"_s,
                                u"BEFORE UPDATE ON TOTALS"_s, u"BEFORE DELETE ON NAMEINDEX"_s}) {
        SCOPED_TRACE(step.toStdString());
        EXPECT_TRUE(failingAt(data, step, [&data] {
                        const auto result = maintenance::deleteDisc(data, u"Photos"_s);
                        return result.outcome == DeleteOutcome::Failed ? result.message : QString();
                    }).contains(u"injected failure"_s));
        EXPECT_EQ(snapshot(), before);
        bool answeredByIndex = false;
        EXPECT_EQ(searchResults(u"song"_s, {}, &answeredByIndex), foundBefore);
        EXPECT_TRUE(answeredByIndex);
    }

    const maintenance::DeleteResult result = maintenance::deleteDisc(data, u"Photos"_s);
    ASSERT_TRUE(result.ok()) << result.message.toStdString();
    EXPECT_EQ(result.rows, 24);
}
