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

TEST(CDDriveList, ListsOpticalDrivesAndDiscImagesAfterAnEmptyFirstElement)
{
    const DriveMap map(machineWithDiscs());
    EXPECT_EQ(CDDriveList(map),
              (std::vector<QString>{QString(), QStringLiteral("D:\\"), QStringLiteral("E:\\"),
                                    QStringLiteral("F:\\")}));
}

TEST(CDDriveList, FollowsLetterOrderOnTheDesktop)
{
    const DriveMap map(drives::fixtures::desktopSource());
    EXPECT_EQ(CDDriveList(map),
              (std::vector<QString>{QString(), QStringLiteral("D:\\"), QStringLiteral("E:\\"),
                                    QStringLiteral("F:\\")}));
}

TEST(CDDriveList, IsEmptyWithoutOpticalDrivesOrImages)
{
    const DriveMap map{
        FixedVolumeSource(QByteArrayLiteral("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                            "2 1 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"))};
    EXPECT_TRUE(CDDriveList(map).empty());
    EXPECT_TRUE(CDDriveList(DriveMap()).empty());
}

TEST(CDDriveList, ListsAnImageAloneWhenThereIsNoOpticalDrive)
{
    const DriveMap map{
        FixedVolumeSource(QByteArrayLiteral("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                            "2 1 7:2 / /mnt/disc ro - iso9660 /dev/loop2 ro\n"))};
    EXPECT_EQ(CDDriveList(map), (std::vector<QString>{QString(), QStringLiteral("D:\\")}));
}

TEST(DriveLabel, DropsLeadingBlanksAndKeepsTrailingOnes)
{
    const DriveMap map(machineWithDiscs());
    EXPECT_EQ(DriveLabel(map, QStringLiteral("E:\\")), u"PHOTOS 2004  ");
    EXPECT_EQ(DriveLabel(map, QStringLiteral("F:\\")), u"IMAGE");
    EXPECT_EQ(DriveLabel(map, QStringLiteral("G:\\")), u"STICK");
}

TEST(DriveLabel, AcceptsTheRootInAnyForm)
{
    const DriveMap map(machineWithDiscs());
    for (const QString& root : {QStringLiteral("e:\\"), QStringLiteral("E:"), QStringLiteral("E:/"),
                                QStringLiteral("e:")})
        EXPECT_EQ(DriveLabel(map, root), u"PHOTOS 2004  ") << root.toStdString();
}

TEST(DriveLabel, IsEmptyWithoutMediumLabelOrDrive)
{
    const DriveMap map(machineWithDiscs());
    EXPECT_EQ(DriveLabel(map, QStringLiteral("D:\\")), QString()); // no disc in sr0
    EXPECT_EQ(DriveLabel(map, QStringLiteral("C:\\")), QString()); // no label known
    EXPECT_EQ(DriveLabel(map, QStringLiteral("Q:\\")), QString());
    EXPECT_EQ(DriveLabel(map, QString()), QString());
    EXPECT_EQ(DriveLabel(map, QStringLiteral("/media/cdrom1")), QString());
}

TEST(DriveLabel, IsEmptyForALabelOfBlanksOnly)
{
    FixedVolumeSource source = machineWithDiscs();
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
}

TEST(DriveListing, IsEmptyWhenNoDriveIsKnown)
{
    EXPECT_TRUE(listDrives(DriveMap()).empty());
}

} // namespace
} // namespace platterly::cataloguing
