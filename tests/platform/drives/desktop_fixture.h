#pragma once

#include "platform/drives/drive_map.h"
#include "platform/drives/volume_source.h"

#include <QByteArray>
#include <QStringList>

namespace platterly::drives::fixtures {

// The mount table of a desktop: / and /home on two ext4 partitions, the EFI partition, a USB
// stick, a second USB disc whose mount point holds a blank, a USB disc at /media/cd (beside
// /media/cdrom1, for the prefix rule; its line has more than one optional field), a disc
// image on a loop device at /mnt/iso, the disc in the second optical drive at /media/cdrom1,
// and what a desktop has besides: /proc, /sys, cgroups, tmpfs /run, a snap package, a bind
// mount of a folder of /home.
inline const QByteArray DesktopMountInfo = QByteArrayLiteral(
    "22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw,errors=remount-ro\n"
    "23 22 0:21 / /proc rw,nosuid,nodev,noexec,relatime shared:12 - proc proc rw\n"
    "24 22 0:22 / /sys rw,nosuid,nodev,noexec,relatime shared:7 - sysfs sysfs rw\n"
    "25 22 0:5 / /dev rw,nosuid,relatime shared:2 - devtmpfs udev rw,size=8049412k,mode=755\n"
    "26 22 0:24 / /run rw,nosuid,nodev,noexec,relatime shared:5 - tmpfs tmpfs rw,mode=755\n"
    "27 24 0:26 / /sys/fs/cgroup rw,nosuid,nodev,noexec,relatime shared:9 - cgroup2 cgroup2 "
    "rw,nsdelegate\n"
    "28 22 8:3 / /home rw,relatime shared:29 - ext4 /dev/sda3 rw\n"
    "29 22 8:1 / /boot/efi rw,relatime shared:31 - vfat /dev/sda1 rw,fmask=0077,dmask=0077\n"
    "30 22 7:1 / /snap/core22/1122 ro,nodev,relatime shared:33 - squashfs /dev/loop1 ro\n"
    "31 26 0:48 / /run/user/1000 rw,nosuid,nodev,relatime shared:410 - tmpfs tmpfs "
    "rw,size=1609880k,mode=700,uid=1000,gid=1000\n"
    "32 22 7:0 / /mnt/iso ro,relatime shared:420 - iso9660 /dev/loop0 "
    "ro,nojoliet,check=s,map=n,blocksize=2048\n"
    "33 22 8:17 / /media/ann/STICK rw,nosuid,nodev,relatime shared:430 - vfat /dev/sdb1 "
    "rw,uid=1000,gid=1000\n"
    "34 22 8:33 / /media/ann/Old\\040Disk rw,nosuid,nodev,relatime shared:440 - ext4 /dev/sdc1 "
    "rw\n"
    "35 22 8:49 / /media/cd rw,nosuid,nodev,relatime shared:450 master:1 propagate_from:5 - ext4 "
    "/dev/sdd1 rw\n"
    "36 22 11:1 / /media/cdrom1 ro,nosuid,nodev,relatime shared:460 - iso9660 /dev/sr1 "
    "ro,uid=1000,gid=1000,iocharset=utf8\n"
    "37 22 8:3 /ann/shared /srv/shared rw,relatime shared:29 - ext4 /dev/sda3 rw\n");

// The desktop's volume source: the table above, two optical drives of which only the second
// holds a disc, and the labels the system knows.
inline FixedVolumeSource desktopSource()
{
    FixedVolumeSource source(DesktopMountInfo);
    source.addOpticalDevice(QStringLiteral("/dev/sr0"), QStringLiteral("11:0"));
    source.addOpticalDevice(QStringLiteral("/dev/sr1"), QStringLiteral("11:1"));
    source.setLabel(QStringLiteral("/dev/sr1"), QStringLiteral("PHOTOS_2004"));
    source.setLabel(QStringLiteral("/dev/sr0"), QStringLiteral("NOT_MOUNTED"));
    source.setLabel(QStringLiteral("/dev/loop0"), QStringLiteral("DEBIAN_12"));
    source.setLabel(QStringLiteral("/dev/sdb1"), QStringLiteral("ANN STICK"));
    source.setLabel(QStringLiteral("/dev/sda2"), QStringLiteral("system"));
    return source;
}

// Each drive of the map on one line: "E /media/cdrom1 optical /dev/sr1 PHOTOS_2004".
inline QStringList driveLines(const DriveMap& map)
{
    QStringList lines;
    for (const Drive& drive : map.drives())
        lines.append(QStringList{drive.letter, drive.mountPoint, kindName(drive.kind), drive.device,
                                 drive.label}
                         .join(u' '));
    return lines;
}

} // namespace platterly::drives::fixtures
