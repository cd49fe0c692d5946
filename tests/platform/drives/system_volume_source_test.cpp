#include "platform/drives/system_volume_source.h"
#include "support/temp_tree.h"
#include "volume_images.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace platterly::drives {
namespace {

// Devices that a machine running the tests is not expected to have: building drives reads
// the labels of the devices in the table.
const QByteArray MountInfo =
    QByteArrayLiteral("20 1 0:30 / / rw - overlay overlay rw,lowerdir=/a\n"
                      "21 20 0:31 / /proc rw - proc proc rw\n"
                      "22 20 11:1 / /media/cdrom\\0401 ro - iso9660 /dev/sr1 ro\n"
                      "23 20 7:99 / /mnt/iso ro - iso9660 /dev/loop99 ro\n"
                      "24 20 8:209 / /media/usb rw - vfat /dev/sdn1 rw\n");

// A temporary tree laid out like the kernel's tables: block/ for /sys/block, dev/ for the
// devices (plain files holding volume images), by-label/ for /dev/disk/by-label.
class FakeSystem : public ::testing::Test
{
protected:
    FakeSystem()
    {
        for (const char* name : {"sr1", "sr10", "sr0", "sr2"})
            tree.addFile(QStringLiteral("block/%1/dev").arg(QLatin1String(name)),
                         QStringLiteral("11:%1\n").arg(QLatin1String(name + 2)).toUtf8());
        tree.addFile(QStringLiteral("block/sda/dev"), "8:0\n");
        tree.addFile(QStringLiteral("block/srx/dev"), "1:1\n");
        tree.addFile(QStringLiteral("dev/sdb1"), "a FAT file system");
        tree.addSymlink(QStringLiteral("dev/stick"), tree.path(QStringLiteral("dev/sdb1")));
        tree.addSymlink(QStringLiteral("by-label/ANN\\x20STICK"), QStringLiteral("../dev/sdb1"));
        tree.addSymlink(QStringLiteral("by-uuid/1B2C-3D4E"), QStringLiteral("../dev/sdb1"));
        tree.addFile(QStringLiteral("dev/sr1"), fixtures::isoImage("ON_THE_DISC"));
        tree.addFile(QStringLiteral("dev/loop3"), "not read: the image behind it is");
        tree.addFile(QStringLiteral("images/disc.iso"),
                     fixtures::udfImage(QStringLiteral("In a file")));
        tree.addFile(QStringLiteral("block/loop3/loop/backing_file"),
                     tree.path(QStringLiteral("images/disc.iso")).toUtf8() + '\n');
        tree.addFile(QStringLiteral("mountinfo"), MountInfo);
    }

    SystemVolumeSource source() const
    {
        return SystemVolumeSource(
            {tree.path(QStringLiteral("mountinfo")), tree.path(QStringLiteral("block")),
             tree.path(QStringLiteral("by-label")), tree.path(QStringLiteral("by-uuid"))});
    }

    test::TempTree tree;
};

TEST_F(FakeSystem, ListsOpticalDrivesInNumberOrderWithTheirDeviceNumbers)
{
    const std::vector<OpticalDevice> devices = source().opticalDevices();
    QStringList listed;
    for (const OpticalDevice& device : devices)
        listed.append(device.device + u'=' + device.majorMinor);
    EXPECT_EQ(listed,
              (QStringList{QStringLiteral("/dev/sr0=11:0"), QStringLiteral("/dev/sr1=11:1"),
                           QStringLiteral("/dev/sr2=11:2"), QStringLiteral("/dev/sr10=11:10")}));
}

TEST_F(FakeSystem, ReadsLabelsAndUuidsFromTheirLinksFollowingDeviceLinks)
{
    EXPECT_EQ(source().labelOf(tree.path(QStringLiteral("dev/sdb1"))), u"ANN STICK");
    EXPECT_EQ(source().labelOf(tree.path(QStringLiteral("dev/stick"))), u"ANN STICK");
    EXPECT_EQ(source().uuidOf(tree.path(QStringLiteral("dev/stick"))), u"1B2C-3D4E");
    EXPECT_EQ(source().uuidOf(tree.path(QStringLiteral("dev/sr1"))), std::nullopt);
}

TEST_F(FakeSystem, ReadsLabelsOfUnlinkedVolumesFromTheirContents)
{
    EXPECT_EQ(source().labelOf(tree.path(QStringLiteral("dev/sr1"))), u"ON_THE_DISC");
    // A loop device is read through the image file behind it.
    EXPECT_EQ(source().labelOf(tree.path(QStringLiteral("dev/loop3"))), u"In a file");
    // Volumes without one have no label.
    tree.addFile(QStringLiteral("dev/sdc1"), QByteArray(40 * 1024, '\0'));
    EXPECT_EQ(source().labelOf(tree.path(QStringLiteral("dev/sdc1"))), std::nullopt);
    EXPECT_EQ(source().labelOf(tree.path(QStringLiteral("dev/none"))), std::nullopt);
}

TEST_F(FakeSystem, ReadsTheMountTableAndBuildsDrivesFromIt)
{
    EXPECT_EQ(source().mountInfo(), MountInfo);
    const DriveMap map(source());
    // sr0, sr1, sr2 and sr10 take D: to G:; the disc image and the USB disc come after them.
    ASSERT_EQ(map.drives().size(), 7u);
    EXPECT_EQ(map.find(u'C')->device, u"overlay");
    EXPECT_EQ(map.find(u'E')->mountPoint, u"/media/cdrom 1");
    EXPECT_EQ(map.find(u'E')->kind, DriveKind::Optical);
    EXPECT_EQ(map.find(u'E')->fsType, u"iso9660");
    EXPECT_FALSE(map.find(u'G')->hasMedium());
    EXPECT_EQ(map.find(u'G')->device, u"/dev/sr10");
    EXPECT_EQ(map.find(u'H')->mountPoint, u"/mnt/iso");
    EXPECT_EQ(map.find(u'H')->kind, DriveKind::Image);
    EXPECT_EQ(map.find(u'I')->mountPoint, u"/media/usb");
}

TEST_F(FakeSystem, HasAnEmptyTableWhenTheFileIsMissing)
{
    const SystemVolumeSource missing({tree.path(QStringLiteral("no-mountinfo")),
                                      tree.path(QStringLiteral("no-block")),
                                      tree.path(QStringLiteral("no-labels"))});
    EXPECT_TRUE(missing.mountInfo().isEmpty());
    EXPECT_TRUE(missing.opticalDevices().empty());
    EXPECT_EQ(missing.labelOf(tree.path(QStringLiteral("dev/sdb1"))), std::nullopt);
}

// This machine's own drives: what they are is unknown, how they look is not.
TEST(ThisMachine, HasDrivesOfTheExpectedShape)
{
    const DriveMap map = systemDriveMap();
    ASSERT_FALSE(map.drives().empty());
    EXPECT_EQ(map.drives().front().mountPoint, u"/");
    EXPECT_EQ(map.drives().front().kind, DriveKind::Root);
    for (const Drive& drive : map.drives()) {
        EXPECT_EQ(drive.root, drive.letter + QStringLiteral(":\\"));
        if (drive.hasMedium()) {
            EXPECT_TRUE(QFileInfo(drive.mountPoint).isDir()) << drive.mountPoint.toStdString();
            EXPECT_EQ(map.toDrivePath(drive.mountPoint), drive.root);
        }
    }
}

} // namespace
} // namespace platterly::drives
