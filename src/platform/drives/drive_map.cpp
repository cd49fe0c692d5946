#include "platform/drives/drive_map.h"

#include "platform/drives/mount_table.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>

namespace platterly::drives {

namespace {

constexpr char16_t FirstLetter = u'C';
constexpr char16_t LastLetter = u'Z';

bool isDiscFileSystem(const QString& fsType)
{
    return fsType == QStringLiteral("iso9660") || fsType == QStringLiteral("udf");
}

Drive driveOfMount(const MountEntry& mount, DriveKind kind)
{
    Drive drive;
    drive.mountPoint = mount.mountPoint;
    drive.kind = kind;
    drive.device = mount.source;
    drive.fsType = mount.fsType;
    return drive;
}

// Takes out of `volumes` the mount of the medium in an optical drive, if one is mounted.
std::optional<MountEntry> takeMountOf(const OpticalDevice& optical,
                                      std::vector<MountEntry>& volumes)
{
    const auto found = std::find_if(volumes.begin(), volumes.end(), [&](const MountEntry& m) {
        return (!optical.majorMinor.isEmpty() && m.majorMinor == optical.majorMinor) ||
               m.source == optical.device;
    });
    if (found == volumes.end())
        return std::nullopt;
    MountEntry mount = *found;
    volumes.erase(found);
    return mount;
}

// The drives in letter order, before letters are given.
std::vector<Drive> orderedDrives(const VolumeSource& source)
{
    std::vector<MountEntry> volumes = selectVolumes(parseMountInfo(source.mountInfo()));
    std::vector<Drive> drives;

    Drive root;
    root.mountPoint = QStringLiteral("/");
    root.kind = DriveKind::Root;
    if (!volumes.empty() && volumes.front().mountPoint == root.mountPoint) {
        root.device = volumes.front().source;
        root.fsType = volumes.front().fsType;
        volumes.erase(volumes.begin());
    }
    drives.push_back(root);

    for (const OpticalDevice& optical : source.opticalDevices()) {
        Drive drive;
        drive.kind = DriveKind::Optical;
        drive.device = optical.device;
        if (const auto mount = takeMountOf(optical, volumes)) {
            drive.mountPoint = mount->mountPoint;
            drive.fsType = mount->fsType;
        }
        drives.push_back(drive);
    }

    std::sort(volumes.begin(), volumes.end(),
              [](const MountEntry& a, const MountEntry& b) { return a.mountPoint < b.mountPoint; });
    for (const MountEntry& mount : volumes) {
        if (isDiscFileSystem(mount.fsType))
            drives.push_back(driveOfMount(mount, DriveKind::Image));
    }
    for (const MountEntry& mount : volumes) {
        if (!isDiscFileSystem(mount.fsType))
            drives.push_back(driveOfMount(mount, DriveKind::Other));
    }
    return drives;
}

// The part of a drive path after "X:" as path components, with "." and ".." resolved the way
// a drive does it: ".." at the root stays at the root.
QStringList nativeComponents(const QString& rest)
{
    static const QRegularExpression separator(QStringLiteral("[\\\\/]"));
    QStringList components;
    for (const QString& part : rest.split(separator)) {
        if (part.isEmpty() || part == u".")
            continue;
        if (part == u"..") {
            if (!components.isEmpty())
                components.removeLast();
        } else {
            components.append(part);
        }
    }
    return components;
}

} // namespace

QString kindName(DriveKind kind)
{
    switch (kind) {
    case DriveKind::Root:
        return QStringLiteral("root");
    case DriveKind::Optical:
        return QStringLiteral("optical");
    case DriveKind::Image:
        return QStringLiteral("image");
    case DriveKind::Other:
        break;
    }
    return QStringLiteral("other");
}

std::optional<QChar> driveLetterOf(const QString& drivePath)
{
    if (drivePath.size() < 2 || drivePath.at(1) != u':')
        return std::nullopt;
    const char16_t letter = drivePath.at(0).toUpper().unicode();
    if (letter < u'A' || letter > u'Z')
        return std::nullopt;
    return QChar(letter);
}

DriveMap::DriveMap(const VolumeSource& source)
{
    std::vector<Drive> drives = orderedDrives(source);
    const std::size_t letterCount = LastLetter - FirstLetter + 1;
    if (drives.size() > letterCount)
        drives.resize(letterCount);
    for (std::size_t i = 0; i < drives.size(); ++i) {
        Drive& drive = drives[i];
        drive.letter = QChar(static_cast<char16_t>(FirstLetter + i));
        drive.root = drive.letter + QStringLiteral(":\\");
        if (drive.hasMedium() && drive.device.startsWith(QStringLiteral("/dev/"))) {
            drive.label = source.labelOf(drive.device).value_or(QString());
            drive.uuid = source.uuidOf(drive.device).value_or(QString());
        }
    }
    m_drives = std::move(drives);
}

const Drive* DriveMap::find(QChar letter) const
{
    const QChar upper = letter.toUpper();
    for (const Drive& drive : m_drives) {
        if (drive.letter == upper)
            return &drive;
    }
    return nullptr;
}

const Drive* DriveMap::driveHolding(const QString& cleanNativePath) const
{
    const Drive* best = nullptr;
    for (const Drive& drive : m_drives) {
        if (drive.hasMedium() && folderHolds(drive.mountPoint, cleanNativePath) &&
            (!best || drive.mountPoint.size() > best->mountPoint.size()))
            best = &drive;
    }
    return best;
}

std::optional<QString> DriveMap::toDrivePath(const QString& nativePath) const
{
    if (!nativePath.startsWith(u'/'))
        return std::nullopt;
    const QString clean = QDir::cleanPath(nativePath);
    const Drive* drive = driveHolding(clean);
    if (!drive)
        return std::nullopt;
    QString below = clean.mid(drive->mountPoint.size());
    if (below.startsWith(u'/'))
        below.remove(0, 1);
    if (below.contains(u'\\'))
        return std::nullopt;
    return drive->root + below.replace(u'/', u'\\');
}

std::optional<QString> DriveMap::toNativePath(const QString& drivePath) const
{
    const std::optional<QChar> letter = driveLetterOf(drivePath);
    if (!letter)
        return std::nullopt;
    const QString rest = drivePath.mid(2);
    if (!rest.isEmpty() && rest.at(0) != u'\\' && rest.at(0) != u'/')
        return std::nullopt;
    const Drive* drive = find(*letter);
    if (!drive || !drive->hasMedium())
        return std::nullopt;

    const QStringList components = nativeComponents(rest);
    if (components.isEmpty())
        return drive->mountPoint;
    const QString base = drive->mountPoint == u"/" ? QString() : drive->mountPoint;
    return base + u'/' + components.join(u'/');
}

} // namespace platterly::drives
