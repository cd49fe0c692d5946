#include "desktop_fixture.h"
#include "platform/drives/system_volume_source.h"
#include "support/temp_tree.h"
#include "volume_images.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
            tree.addFile(u"block/%1/dev"_s.arg(QLatin1String(name)),
                         u"11:%1\n"_s.arg(QLatin1String(name + 2)).toUtf8());
        tree.addFile(u"block/sda/dev"_s, "8:0\n");
        tree.addFile(u"block/srx/dev"_s, "1:1\n");
        tree.addFile(u"dev/sdb1"_s, "a FAT file system");
        tree.addSymlink(u"dev/stick"_s, tree.path(u"dev/sdb1"_s));
        tree.addSymlink(u"by-label/ANN\\x20STICK"_s, u"../dev/sdb1"_s);
        tree.addSymlink(u"by-uuid/1B2C-3D4E"_s, u"../dev/sdb1"_s);
        tree.addFile(u"dev/sr1"_s, fixtures::isoImage("ON_THE_DISC"));
        tree.addFile(u"dev/loop3"_s, "not read: the image behind it is");
        tree.addFile(u"images/disc.iso"_s, fixtures::udfImage(u"In a file"_s));
        tree.addFile(u"block/loop3/loop/backing_file"_s,
                     tree.path(u"images/disc.iso"_s).toUtf8() + '\n');
        tree.addFile(u"mountinfo"_s, MountInfo);
    }

    SystemVolumeSource source() const
    {
        return SystemVolumeSource({tree.path(u"mountinfo"_s), tree.path(u"block"_s),
                                   tree.path(u"by-label"_s), tree.path(u"by-uuid"_s)});
    }

    test::TempTree tree;
};

TEST_F(FakeSystem, ListsOpticalDrivesInNumberOrderWithTheirDeviceNumbers)
{
    const std::vector<OpticalDevice> devices = source().opticalDevices();
    QStringList listed;
    for (const OpticalDevice& device : devices)
        listed.append(device.device + u'=' + device.majorMinor);
    EXPECT_EQ(listed, (QStringList{u"/dev/sr0=11:0"_s, u"/dev/sr1=11:1"_s, u"/dev/sr2=11:2"_s,
                                   u"/dev/sr10=11:10"_s}));
}

TEST_F(FakeSystem, ReadsLabelsAndUuidsFromTheirLinksFollowingDeviceLinks)
{
    EXPECT_EQ(source().labelOf(tree.path(u"dev/sdb1"_s)), u"ANN STICK");
    EXPECT_EQ(source().labelOf(tree.path(u"dev/stick"_s)), u"ANN STICK");
    EXPECT_EQ(source().uuidOf(tree.path(u"dev/stick"_s)), u"1B2C-3D4E");
    EXPECT_EQ(source().uuidOf(tree.path(u"dev/sr1"_s)), std::nullopt);
}

TEST_F(FakeSystem, ReadsLabelsOfUnlinkedVolumesFromTheirContents)
{
    EXPECT_EQ(source().labelOf(tree.path(u"dev/sr1"_s)), u"ON_THE_DISC");
    // A loop device is read through the image file behind it.
    EXPECT_EQ(source().labelOf(tree.path(u"dev/loop3"_s)), u"In a file");
    // Volumes without one have no label.
    tree.addFile(u"dev/sdc1"_s, QByteArray(40 * 1024, '\0'));
    EXPECT_EQ(source().labelOf(tree.path(u"dev/sdc1"_s)), std::nullopt);
    EXPECT_EQ(source().labelOf(tree.path(u"dev/none"_s)), std::nullopt);
}

TEST_F(FakeSystem, ReadsTheMountTableAndBuildsDrivesFromIt)
{
    EXPECT_EQ(source().mountInfo(), MountInfo);
    // sr0, sr1, sr2 and sr10 take D: to G:; the disc image and the USB disc come after them.
    EXPECT_EQ(fixtures::driveLines(DriveMap(source())),
              (QStringList{u"C / root overlay "_s, u"D  optical /dev/sr0 "_s,
                           u"E /media/cdrom 1 optical /dev/sr1 "_s, u"F  optical /dev/sr2 "_s,
                           u"G  optical /dev/sr10 "_s, u"H /mnt/iso image /dev/loop99 "_s,
                           u"I /media/usb other /dev/sdn1 "_s}));
}

} // namespace
} // namespace platterly::drives
