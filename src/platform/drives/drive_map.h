#pragma once

#include "platform/drives/volume_source.h"

#include <QChar>
#include <QString>
#include <optional>
#include <vector>

namespace platterly::drives {

enum class DriveKind
{
    Root,    // C:, the root file system
    Optical, // a CD/DVD/BD drive, with or without a disc
    Image,   // an ISO 9660 or UDF file system mounted from elsewhere, a disc image as a rule
    Other,   // any other volume: a USB disc, another partition
};

// "root", "optical", "image" or "other".
QString kindName(DriveKind kind);

struct Drive
{
    QChar letter;       // 'C'
    QString root;       // "C:\"
    QString mountPoint; // "/": empty for an optical drive without a mounted medium
    DriveKind kind = DriveKind::Other;
    QString device; // "/dev/sr1"; for the root file system whatever the mount table names
    QString label;  // the volume label as read; empty when there is none or no medium is mounted
    QString uuid;   // the file system's UUID where the system knows it; empty otherwise
    QString fsType; // "ext4", "iso9660", ...: the mount table's type; empty without a medium

    bool hasMedium() const { return !mountPoint.isEmpty(); }
};

// The letter of a drive path ("d:\MUSIC" -> 'D'), or nullopt when the text does not begin with
// a letter and a colon.
std::optional<QChar> driveLetterOf(const QString& drivePath);

// The machine's volumes shown as drives. C: is the root file system; then the optical drives
// in device order, listed even when empty; then ISO 9660 / UDF volumes that are not on an
// optical drive; then every other volume, in mount point order. Letters end at Z: a volume
// beyond it gets no drive, and its files are reached through the drive holding its mount point.
class DriveMap
{
public:
    DriveMap() = default; // knows no drive at all
    explicit DriveMap(const VolumeSource& source);

    // In letter order.
    const std::vector<Drive>& drives() const { return m_drives; }
    // The drive with this letter, in either case; nullptr when there is none.
    const Drive* find(QChar letter) const;

    // The drive form of an absolute native path: the drive whose mount point holds it and is
    // longest, its root, then the rest of the path with backslashes ("/home/ann/Pictures" ->
    // "C:\home\ann\Pictures"; the mount point itself -> "C:\"). The path is cleaned of "."
    // and ".." and of a final '/' first, and symbolic links are not followed. nullopt for a
    // relative path, or when the part below the mount point holds a backslash, which a drive
    // path would read as a separator.
    std::optional<QString> toDrivePath(const QString& nativePath) const;

    // The native path of a drive path, '\' or '/' as separators, the letter in either case:
    // "D:\MUSIC\a.mp3" -> "/media/cdrom0/MUSIC/a.mp3"; "D:" and "D:\" -> "/media/cdrom0".
    // A final separator is dropped, "." and ".." are resolved without leaving the drive.
    // nullopt for an unknown letter, a drive without a mounted medium, or text that is not a
    // drive path.
    std::optional<QString> toNativePath(const QString& drivePath) const;

    // The drive whose mount point holds an absolute, clean native path, the longest such
    // mount point winning; nullptr when none does.
    const Drive* driveHolding(const QString& cleanNativePath) const;

private:
    std::vector<Drive> m_drives;
};

} // namespace platterly::drives
