#include "desktop_fixture.h"
#include "platform/drives/drive_map.h"

#include <gtest/gtest.h>

namespace platterly::drives {
namespace {

struct ExpectedDrive
{
    char letter;
    const char16_t* mountPoint;
    DriveKind kind;
    const char16_t* device;
    const char16_t* label;
};

TEST(DesktopDrives, GetLettersKindsDevicesAndLabelsInOrder)
{
    const DriveMap map(fixtures::desktopSource());
    const std::vector<ExpectedDrive> expected = {
        {'C', u"/", DriveKind::Root, u"/dev/sda2", u"system"},
        {'D', u"", DriveKind::Optical, u"/dev/sr0", u""},
        {'E', u"/media/cdrom1", DriveKind::Optical, u"/dev/sr1", u"PHOTOS_2004"},
        {'F', u"/mnt/iso", DriveKind::Image, u"/dev/loop0", u"DEBIAN_12"},
        {'G', u"/boot/efi", DriveKind::Other, u"/dev/sda1", u""},
        {'H', u"/home", DriveKind::Other, u"/dev/sda3", u""},
        {'I', u"/media/ann/Old Disk", DriveKind::Other, u"/dev/sdc1", u""},
        {'J', u"/media/ann/STICK", DriveKind::Other, u"/dev/sdb1", u"ANN STICK"},
        {'K', u"/media/cd", DriveKind::Other, u"/dev/sdd1", u""},
    };
    ASSERT_EQ(map.drives().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Drive& drive = map.drives()[i];
        SCOPED_TRACE(drive.root.toStdString());
        EXPECT_EQ(drive.letter, QLatin1Char(expected[i].letter));
        EXPECT_EQ(drive.mountPoint, QString::fromUtf16(expected[i].mountPoint));
        EXPECT_EQ(drive.kind, expected[i].kind);
        EXPECT_EQ(drive.device, QString::fromUtf16(expected[i].device));
        EXPECT_EQ(drive.label, QString::fromUtf16(expected[i].label));
    }
    // Drives are found by letter in either case.
    EXPECT_EQ(map.find(u'e'), &map.drives()[2]);
    EXPECT_EQ(map.find(u'L'), nullptr);
    EXPECT_FALSE(map.find(u'D')->hasMedium());
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
    source.addOpticalDevice(QStringLiteral("/dev/sr0"), QStringLiteral("11:0"));
    source.setLabel(QStringLiteral("/dev/sr0"), QStringLiteral("FILM"));
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
        order.append(drive.letter + QStringLiteral("=") + drive.mountPoint + u' ' +
                     kindName(drive.kind));
    EXPECT_EQ(order,
              (QStringList{QStringLiteral("C=/ root"), QStringLiteral("D=/m/image image"),
                           QStringLiteral("E=/z/image image"), QStringLiteral("F=/a/usb other"),
                           QStringLiteral("G=/b/usb other")}));
}

TEST(DriveMapping, StopsAtZ)
{
    QByteArray table = QByteArrayLiteral("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n");
    for (int i = 0; i < 30; ++i)
        table += QStringLiteral("%1 1 9:%1 / /mnt/v%2 rw - ext4 /dev/md%1 rw\n")
                     .arg(i + 10)
                     .arg(i + 10)
                     .toUtf8();
    const DriveMap map{FixedVolumeSource(table)};
    ASSERT_EQ(map.drives().size(), 24u);
    EXPECT_EQ(map.drives().back().letter, u'Z');
    EXPECT_EQ(map.drives().back().mountPoint, u"/mnt/v32");
    // A volume without a letter is reached through the drive that holds its mount point.
    EXPECT_EQ(map.toDrivePath(QStringLiteral("/mnt/v39/x")), u"C:\\mnt\\v39\\x");
}

TEST(DriveLetters, AreReadFromTheStartOfADrivePath)
{
    EXPECT_EQ(driveLetterOf(QStringLiteral("d:\\MUSIC")), QChar(u'D'));
    EXPECT_EQ(driveLetterOf(QStringLiteral("z:/x")), QChar(u'Z'));
    EXPECT_EQ(driveLetterOf(QStringLiteral("/home")), std::nullopt);
    EXPECT_EQ(driveLetterOf(QStringLiteral("\u00e9:\\")), std::nullopt);
    EXPECT_EQ(driveLetterOf(QStringLiteral("D")), std::nullopt);
}

} // namespace
} // namespace platterly::drives
