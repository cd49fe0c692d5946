#include "cataloguing/drive_list.h"
#include "platform/drives/desktop_fixture.h"
#include "platform/drives/volume_source.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::cataloguing {
namespace {

using drives::DriveMap;
using drives::FixedVolumeSource;

// A machine with two optical drives, the first empty, a disc image, and a USB disc.
FixedVolumeSource machineWithDiscs()
{
    FixedVolumeSource source(QByteArrayLiteral("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                               "2 1 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"
                                               "3 1 11:1 / /media/cdrom1 ro - iso9660 /dev/sr1 ro\n"
                                               "4 1 7:0 / /mnt/iso ro - udf /dev/loop0 ro\n"));
    source.addOpticalDevice(u"/dev/sr0"_s, u"11:0"_s);
    source.addOpticalDevice(u"/dev/sr1"_s, u"11:1"_s);
    source.setLabel(u"/dev/sr1"_s, u"  PHOTOS 2004  "_s);
    source.setLabel(u"/dev/loop0"_s, u"IMAGE"_s);
    source.setLabel(u"/dev/sdb1"_s, u"STICK"_s);
    return source;
}

// Optical drives and disc images after an empty first element, in letter order; nothing at
// all without them.
TEST(CDDriveList, ListsOpticalDrivesAndDiscImagesAfterAnEmptyFirstElement)
{
    const std::vector<QString> threeDrives{QString(), u"D:\\"_s, u"E:\\"_s, u"F:\\"_s};
    EXPECT_EQ(CDDriveList(DriveMap(machineWithDiscs())), threeDrives);
    EXPECT_EQ(CDDriveList(DriveMap(drives::fixtures::desktopSource())), threeDrives);
    const QByteArray system = "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n";
    EXPECT_TRUE(CDDriveList(DriveMap(FixedVolumeSource(system))).empty());
    EXPECT_TRUE(CDDriveList(DriveMap()).empty());
    EXPECT_EQ(CDDriveList(DriveMap(
                  FixedVolumeSource(system + "2 1 7:2 / /mnt/disc ro - iso9660 /dev/loop2 ro\n"))),
              (std::vector<QString>{QString(), u"D:\\"_s}));
}

TEST(DriveLabel, DropsLeadingBlanksAndIsEmptyWithoutALabel)
{
    FixedVolumeSource source = machineWithDiscs();
    const DriveMap map(source);
    const std::pair<QString, QString> cases[] = {
        // The root in any form.
        {u"e:\\"_s, u"PHOTOS 2004  "_s}, {u"E:/"_s, u"PHOTOS 2004  "_s},  {u"F:\\"_s, u"IMAGE"_s},
        {u"G:\\"_s, u"STICK"_s},         {u"D:\\"_s, QString()}, // no disc in sr0
        {QString(), QString()},          {u"/media/cdrom1"_s, QString()},
    };
    for (const auto& [root, label] : cases)
        EXPECT_EQ(DriveLabel(map, root), label) << root.toStdString();
    source.setLabel(u"/dev/sr1"_s, u"   "_s);
    EXPECT_EQ(DriveLabel(DriveMap(source), u"E:\\"_s), QString());
}

TEST(DriveListing, ShowsEveryDriveInLetterOrder)
{
    const std::vector<DriveRow> rows = listDrives(DriveMap(machineWithDiscs()));
    QStringList lines;
    for (const DriveRow& row : rows)
        lines.append(
            QStringList{row.letter, row.root, row.mountPoint, row.kind, row.label}.join(u'|'));
    EXPECT_EQ(lines, (QStringList{
                         u"C|C:\\|/|root|"_s,
                         u"D|D:\\||optical|"_s,
                         u"E|E:\\|/media/cdrom1|optical|  PHOTOS 2004  "_s,
                         u"F|F:\\|/mnt/iso|image|IMAGE"_s,
                         u"G|G:\\|/media/usb|other|STICK"_s,
                     }));
    EXPECT_TRUE(listDrives(DriveMap()).empty());
}

} // namespace
} // namespace platterly::cataloguing
