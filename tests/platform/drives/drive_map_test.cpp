#include "desktop_fixture.h"
#include "platform/drives/drive_map.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::drives {
namespace {

TEST(DesktopDrives, GetLettersKindsDevicesAndLabelsInOrder)
{
    const DriveMap map(fixtures::desktopSource());
    EXPECT_EQ(
        fixtures::driveLines(map),
        (QStringList{u"C / root /dev/sda2 system"_s, u"D  optical /dev/sr0 "_s,
                     u"E /media/cdrom1 optical /dev/sr1 PHOTOS_2004"_s,
                     u"F /mnt/iso image /dev/loop0 DEBIAN_12"_s, u"G /boot/efi other /dev/sda1 "_s,
                     u"H /home other /dev/sda3 "_s, u"I /media/ann/Old Disk other /dev/sdc1 "_s,
                     u"J /media/ann/STICK other /dev/sdb1 ANN STICK"_s,
                     u"K /media/cd other /dev/sdd1 "_s}));
    // Drives are found by letter in either case.
    EXPECT_EQ(map.find(u'e'), &map.drives()[2]);
    EXPECT_EQ(map.find(u'L'), nullptr);
}

TEST(DriveMapping, GivesTheRootItsDriveEvenWithoutAMountTable)
{
    const DriveMap map{FixedVolumeSource()};
    ASSERT_EQ(map.drives().size(), 1u);
    EXPECT_EQ(map.drives()[0].root, u"C:\\");
    EXPECT_EQ(map.drives()[0].kind, DriveKind::Root);
}

TEST(DriveMapping, FindsAnOpticalMediumMountedUnderAnotherDeviceName)
{
    // Mounted as /dev/cdrom: the device number still says it is the first optical drive.
    FixedVolumeSource source(QByteArrayLiteral("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                               "2 1 11:0 / /media/cdrom rw - udf /dev/cdrom ro\n"
                                               "3 1 8:17 / /media/a rw - vfat /dev/sdb1 rw\n"));
    source.addOpticalDevice(u"/dev/sr0"_s, u"11:0"_s);
    source.setLabel(u"/dev/sr0"_s, u"FILM"_s);
    const DriveMap map(source);
    ASSERT_EQ(map.drives().size(), 3u);
    EXPECT_EQ(map.drives()[1].kind, DriveKind::Optical);
    EXPECT_EQ(map.drives()[1].mountPoint, u"/media/cdrom");
    EXPECT_EQ(map.drives()[1].label, u"FILM");
    EXPECT_EQ(map.drives()[2].mountPoint, u"/media/a");
}

TEST(DriveMapping, PutsDiscImagesBeforeOtherVolumesEachInMountPointOrder)
{
    const DriveMap map{
        FixedVolumeSource(QByteArrayLiteral("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                            "2 1 8:17 / /a/usb rw - vfat /dev/sdb1 rw\n"
                                            "3 1 7:1 / /z/image rw - udf /dev/loop1 ro\n"
                                            "4 1 7:0 / /m/image rw - iso9660 /dev/loop0 ro\n"
                                            "5 1 8:33 / /b/usb rw - vfat /dev/sdc1 rw\n"))};
    QStringList order;
    for (const Drive& drive : map.drives())
        order.append(drive.letter + u"="_s + drive.mountPoint + u' ' + kindName(drive.kind));
    EXPECT_EQ(order, (QStringList{u"C=/ root"_s, u"D=/m/image image"_s, u"E=/z/image image"_s,
                                  u"F=/a/usb other"_s, u"G=/b/usb other"_s}));
}

TEST(DriveMapping, StopsAtZ)
{
    QByteArray table = QByteArrayLiteral("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n");
    for (int i = 0; i < 30; ++i)
        table +=
            u"%1 1 9:%1 / /mnt/v%2 rw - ext4 /dev/md%1 rw\n"_s.arg(i + 10).arg(i + 10).toUtf8();
    const DriveMap map{FixedVolumeSource(table)};
    ASSERT_EQ(map.drives().size(), 24u);
    EXPECT_EQ(map.drives().back().letter, u'Z');
    EXPECT_EQ(map.drives().back().mountPoint, u"/mnt/v32");
    // A volume without a letter is reached through the drive that holds its mount point.
    EXPECT_EQ(map.toDrivePath(u"/mnt/v39/x"_s), u"C:\\mnt\\v39\\x");
}

} // namespace
} // namespace platterly::drives
