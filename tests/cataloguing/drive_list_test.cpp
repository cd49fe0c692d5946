#include "cataloguing/drive_list.h"
#include "platform/drives/desktop_fixture.h"
#include "platform/drives/volume_source.h"

#include <gtest/gtest.h>

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
    source.addOpticalDevice(QStringLiteral("/dev/sr0"), QStringLiteral("11:0"));
    source.addOpticalDevice(QStringLiteral("/dev/sr1"), QStringLiteral("11:1"));
    source.setLabel(QStringLiteral("/dev/sr1"), QStringLiteral("  PHOTOS 2004  "));
    source.setLabel(QStringLiteral("/dev/loop0"), QStringLiteral("IMAGE"));
    source.setLabel(QStringLiteral("/dev/sdb1"), QStringLiteral("STICK"));
    return source;
}

// Optical drives and disc images after an empty first element, in letter order; nothing at
// all without them.
TEST(CDDriveList, ListsOpticalDrivesAndDiscImagesAfterAnEmptyFirstElement)
{
    const std::vector<QString> threeDrives{QString(), QStringLiteral("D:\\"),
                                           QStringLiteral("E:\\"), QStringLiteral("F:\\")};
    EXPECT_EQ(CDDriveList(DriveMap(machineWithDiscs())), threeDrives);
    EXPECT_EQ(CDDriveList(DriveMap(drives::fixtures::desktopSource())), threeDrives);
    const QByteArray system = "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n";
    EXPECT_TRUE(CDDriveList(DriveMap(FixedVolumeSource(
                                system + "2 1 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n")))
                    .empty());
    EXPECT_TRUE(CDDriveList(DriveMap()).empty());
    EXPECT_EQ(CDDriveList(DriveMap(
                  FixedVolumeSource(system + "2 1 7:2 / /mnt/disc ro - iso9660 /dev/loop2 ro\n"))),
              (std::vector<QString>{QString(), QStringLiteral("D:\\")}));
}

TEST(DriveLabel, DropsLeadingBlanksAndIsEmptyWithoutALabel)
{
    FixedVolumeSource source = machineWithDiscs();
    const DriveMap map(source);
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("E:\\"), QStringLiteral("PHOTOS 2004  ")},
        // The root in any form.
        {QStringLiteral("e:\\"), QStringLiteral("PHOTOS 2004  ")},
        {QStringLiteral("E:"), QStringLiteral("PHOTOS 2004  ")},
        {QStringLiteral("E:/"), QStringLiteral("PHOTOS 2004  ")},
        {QStringLiteral("F:\\"), QStringLiteral("IMAGE")},
        {QStringLiteral("G:\\"), QStringLiteral("STICK")},
        {QStringLiteral("D:\\"), QString()}, // no disc in sr0
        {QStringLiteral("C:\\"), QString()}, // no label known
        {QStringLiteral("Q:\\"), QString()},
        {QString(), QString()},
        {QStringLiteral("/media/cdrom1"), QString()},
    };
    for (const auto& [root, label] : cases)
        EXPECT_EQ(DriveLabel(map, root), label) << root.toStdString();
    source.setLabel(QStringLiteral("/dev/sr1"), QStringLiteral("   "));
    EXPECT_EQ(DriveLabel(DriveMap(source), QStringLiteral("E:\\")), QString());
}

TEST(DriveListing, ShowsEveryDriveInLetterOrder)
{
    const std::vector<DriveRow> rows = listDrives(DriveMap(machineWithDiscs()));
    QStringList lines;
    for (const DriveRow& row : rows)
        lines.append(
            QStringList{row.letter, row.root, row.mountPoint, row.kind, row.label}.join(u'|'));
    EXPECT_EQ(lines, (QStringList{
                         QStringLiteral("C|C:\\|/|root|"),
                         QStringLiteral("D|D:\\||optical|"),
                         QStringLiteral("E|E:\\|/media/cdrom1|optical|  PHOTOS 2004  "),
                         QStringLiteral("F|F:\\|/mnt/iso|image|IMAGE"),
                         QStringLiteral("G|G:\\|/media/usb|other|STICK"),
                     }));
    EXPECT_TRUE(listDrives(DriveMap()).empty());
}

} // namespace
} // namespace platterly::cataloguing
