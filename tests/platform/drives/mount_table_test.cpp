#include "platform/drives/mount_table.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::drives {
namespace {

TEST(MountInfoParsing, UndoesTheKernelsOctalEscapesAndReadsUtf8)
{
    const auto entries = parseMountInfo(
        QByteArrayLiteral("40 22 8:33 /a\\134b /media/J\xc3\xb6rg\\040Disk\\011x\\012y rw - "
                          "ext4 /dev/my\\040disk rw\n"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].root, u"/a\\b");
    EXPECT_EQ(entries[0].mountPoint, u"/media/J\u00f6rg Disk\tx\ny");
    EXPECT_EQ(entries[0].source, u"/dev/my disk");
    // A backslash that starts no octal escape stays.
    EXPECT_EQ(unescapeMountField(QByteArrayLiteral("a\\b\\04\\089")), u"a\\b\\04\\089");
}

TEST(MountInfoParsing, SkipsLinesThatDoNotHaveTheKernelsLayout)
{
    const auto entries = parseMountInfo(
        QByteArrayLiteral("\n"
                          "garbage\n"
                          "1 0 8:1 / / rw ext4 /dev/sda1 rw\n"    // no separator
                          "x 0 8:1 / /a rw - ext4 /dev/sda1 rw\n" // mount id not a number
                          "2 1 81 / /b rw - ext4 /dev/sda1 rw\n"  // device number without a colon
                          "3 1 8:1 / relative rw - ext4 /dev/sda1 rw\n"
                          "4 1 8:1 / /c rw -\n"      // nothing after the separator
                          "5 1 8:1 / /d rw - ext4\n" // no source
                          "6 1 8:1 / /kept rw - ext4 /dev/sda1 rw\r\n"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].mountPoint, u"/kept");
}

QStringList selectedMountPoints(const QByteArray& mountInfo)
{
    QStringList mountPoints;
    for (const MountEntry& volume : selectVolumes(parseMountInfo(mountInfo)))
        mountPoints.append(volume.mountPoint);
    return mountPoints;
}

TEST(VolumeSelection, KeepsEachRealVolumeOnceWithTheRootFirst)
{
    const struct
    {
        const char* why;
        QByteArray table;
        QStringList kept;
    } cases[] = {
        {"pseudo and network file systems are left out",
         "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
         "2 1 0:30 / /dev/shm rw - tmpfs /dev/shm rw\n" // a tmpfs named like a device
         "3 1 0:31 / /srv/nfs rw - nfs4 server:/export rw\n"
         "5 1 0:33 / /home/ann/remote rw - fuse.sshfs ann@host: rw\n"
         "7 1 7:4 / /snap/firefox/1 ro - squashfs /dev/loop4 ro\n"
         "8 1 8:17 / /media/ntfs rw - fuseblk /dev/sdb1 rw\n",
         {u"/"_s, u"/media/ntfs"_s}},
        {"in a container the root is an overlay; an overlay elsewhere is no drive",
         "500 400 0:60 / / rw - overlay overlay rw,lowerdir=/a,upperdir=/b\n"
         "501 500 0:61 / /var/lib/x rw - overlay overlay rw\n"
         "502 500 254:1 /docker/containers/abc/hosts /etc/hosts rw - ext4 /dev/vda1 rw\n",
         {u"/"_s}},
        {"bind mounts and second mounts of a volume are left out",
         "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
         "2 1 8:1 /home/ann/music /srv/music rw - ext4 /dev/sda1 rw\n"
         "3 1 8:1 / /mnt/again rw - ext4 /dev/sda1 rw\n"
         "4 1 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"
         "5 1 8:17 / /mnt/usb-too rw - vfat /dev/sdb1 rw\n",
         {u"/"_s, u"/media/usb"_s}},
        {"btrfs subvolumes are volumes of their own",
         "1 0 0:27 /@ / rw - btrfs /dev/nvme0n1p2 rw,subvol=/@\n"
         "2 1 0:27 /@home /home rw - btrfs /dev/nvme0n1p2 rw,subvol=/@home\n"
         "3 1 0:27 /@home/ann/src /srv/src rw - btrfs /dev/nvme0n1p2 rw\n",
         {u"/"_s, u"/home"_s}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(selectedMountPoints(c.table), c.kept) << c.why;
}

TEST(VolumeSelection, SeesOnlyTheLastMountAtOnePlace)
{
    const auto volumes = selectVolumes(
        parseMountInfo(QByteArrayLiteral("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                         "2 1 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"
                                         "3 2 8:33 / /media/usb rw - exfat /dev/sdc1 rw\n")));
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_EQ(volumes[1].source, u"/dev/sdc1");
}

} // namespace
} // namespace platterly::drives
