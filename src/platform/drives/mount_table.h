#pragma once

// The mount table of the kernel, and the volumes in it that are shown as drives.

#include <QByteArray>
#include <QString>
#include <vector>

namespace platterly::drives {

// The fields of one line of /proc/<pid>/mountinfo that the drives are made from, with the
// escapes of the kernel undone.
struct MountEntry
{
    QString majorMinor; // "8:17": the device number of the mounted file system
    QString root;       // the folder of the file system shown at the mount point ("/" for all)
    QString mountPoint; // absolute native path
    QString fsType;     // "ext4", "iso9660", "fuse.sshfs", ...
    QString source;     // "/dev/sda1", "proc", "tmpfs", ...
};

// Parses the text of a mountinfo file. Lines that do not have the layout of the kernel's
// (too few fields, no " - " separator, non-numeric ids) are skipped, not guessed at.
std::vector<MountEntry> parseMountInfo(const QByteArray& text);

// Undoes the octal escapes the kernel writes for blank, tab, newline and backslash
// ("\040" -> ' '); the bytes are then read in the program's text form of native names
// (platform/system/native_name.h). Other backslashes stay as they are.
QString unescapeMountField(const QByteArray& field);

// Picks from a mount table the mounts that are volumes a user would call a drive: the root
// file system, and every other file system on a block device that is shown in full at its
// mount point. Left out are pseudo file systems (proc, sysfs, tmpfs, cgroup, overlay, ...),
// squashfs images (snap packages), mounts hidden by a later mount at the same place, bind mounts
// of a folder of a volume and further mounts of a volume already shown. Btrfs subvolumes count
// as volumes of their own. The root file system comes first, the others in mount table order.
std::vector<MountEntry> selectVolumes(const std::vector<MountEntry>& mounts);

// True for a file system type that never holds a user's files on a volume of its own.
bool isPseudoFileSystem(const QString& fsType);

// True when `path` is `folder` or lies below it, compared per path component, so that
// "/media/cd" holds "/media/cd/x" but not "/media/cdrom". Both are absolute and clean.
bool folderHolds(const QString& folder, const QString& path);

} // namespace platterly::drives
