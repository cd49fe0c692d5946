#include "catalogue/disc_volumes.h"
#include "maintenance/delete_disc.h"
#include "maintenance/rename_disc.h"
#include "maintenance_fixture.h"

using namespace platterly;
using maintenance::test::MaintenanceTest;

namespace {

using DiscVolumesTest = MaintenanceTest;

} // namespace

TEST_F(DiscVolumesTest, TheVolumeRecordFollowsARenameAndGoesWithADelete)
{
    ASSERT_TRUE(addDisc(QStringLiteral("Photos"), 1, 2));
    ASSERT_TRUE(addDisc(QStringLiteral("Music"), 1, 2));
    sql::DataControl data;
    data.setDatabaseName(file());
    drives::VolumeRecord stick;
    stick.label = QStringLiteral("STICK");
    stick.driveRoot = QStringLiteral("E:\\");
    ASSERT_FALSE(catalogue::writeDiscVolume(*data.database(), QStringLiteral("Photos"), stick));
    stick.label = QStringLiteral("TUNES");
    ASSERT_FALSE(catalogue::writeDiscVolume(*data.database(), QStringLiteral("Music"), stick));

    ASSERT_EQ(
        maintenance::renameDisc(data, QStringLiteral("PHOTOS"), QStringLiteral("Fotos")).outcome,
        maintenance::RenameOutcome::Renamed);
    EXPECT_FALSE(catalogue::readDiscVolume(*data.database(), QStringLiteral("Photos")));
    EXPECT_EQ(catalogue::readDiscVolume(*data.database(), QStringLiteral("fotos"))->label,
              u"STICK");

    ASSERT_EQ(maintenance::deleteDisc(data, QStringLiteral("Fotos")).outcome,
              maintenance::DeleteOutcome::Deleted);
    EXPECT_FALSE(catalogue::readDiscVolume(*data.database(), QStringLiteral("Fotos")));
    EXPECT_EQ(catalogue::readDiscVolume(*data.database(), QStringLiteral("Music"))->label,
              u"TUNES");
}
