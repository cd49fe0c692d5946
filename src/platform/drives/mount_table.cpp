#include "platform/drives/mount_table.h"

#include "platform/system/native_name.h"

#include <QList>
#include <QSet>
#include <algorithm>
#include <optional>

namespace platterly::drives {

namespace {

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// The fields of a line, split on single blanks: the kernel escapes every blank inside a field,
// so a raw blank is always a separator.
QList<QByteArray> splitFields(const QByteArray& line)
{
    QList<QByteArray> fields = line.split(' ');
    fields.removeAll(QByteArray());
    return fields;
}

std::optional<int> parseId(const QByteArray& field)
{
    bool ok = false;
    const int value = field.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

std::optional<MountEntry> parseLine(const QByteArray& line)
{
    const QList<QByteArray> fields = splitFields(line);
    // Six fixed fields, any optional fields, the "-" separator, then file system type, source
    // and super options.
    const qsizetype separator = fields.indexOf(QByteArrayLiteral("-"), 6);
    if (separator < 6 || separator + 2 >= fields.size())
        return std::nullopt;
    // The ids themselves are not needed, but a line whose ids are not numbers is not the
    // kernel's layout.
    if (!parseId(fields[0]) || !parseId(fields[1]) || !fields[2].contains(':'))
        return std::nullopt;

    MountEntry entry;
    entry.majorMinor = QString::fromLatin1(fields[2]);
    entry.root = unescapeMountField(fields[3]);
    entry.mountPoint = unescapeMountField(fields[4]);
    entry.fsType = unescapeMountField(fields.value(separator + 1));
    entry.source = unescapeMountField(fields.value(separator + 2));
    if (entry.fsType.isEmpty() || !entry.mountPoint.startsWith(QLatin1Char('/')))
        return std::nullopt;
    return entry;
}

} // namespace

QString unescapeMountField(const QByteArray& field)
{
    QByteArray bytes;
    bytes.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const bool escape = field[i] == '\\' && i + 3 < field.size() &&
                            isOctalDigit(field[i + 1]) && isOctalDigit(field[i + 2]) &&
                            isOctalDigit(field[i + 3]);
        if (escape) {
            const int value =
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            bytes.append(static_cast<char>(value & 0xff));
            i += 3;
        } else {
            bytes.append(field[i]);
        }
    }
    // A mount point is a path like any other: bytes that are not UTF-8 are kept.
    return system::textFromNativeBytes(bytes);
}

std::vector<MountEntry> parseMountInfo(const QByteArray& text)
{
    std::vector<MountEntry> entries;
    for (const QByteArray& line : text.split('\n')) {
        if (auto entry = parseLine(line.trimmed()))
            entries.push_back(std::move(*entry));
    }
    return entries;
}

// Choosing the volumes.

namespace {

const QString RootFolder = QStringLiteral("/");

// The mounts still visible: when two are made at the same place, only the later one is seen.
std::vector<MountEntry> visibleMounts(const std::vector<MountEntry>& mounts)
{
    std::vector<MountEntry> visible;
    QSet<QString> seen;
    for (auto it = mounts.rbegin(); it != mounts.rend(); ++it) {
        if (!seen.contains(it->mountPoint)) {
            seen.insert(it->mountPoint);
            visible.push_back(*it);
        }
    }
    std::reverse(visible.begin(), visible.end());
    return visible;
}

bool isBlockDeviceVolume(const MountEntry& mount)
{
    return mount.source.startsWith(QStringLiteral("/dev/")) && !isPseudoFileSystem(mount.fsType);
}

// Btrfs mounts a subvolume by naming it as the root of the mount ("/@home"), the way a bind
// mount names a folder; for other file systems a root other than "/" is a bind mount.
bool showsWholeVolume(const MountEntry& mount)
{
    return mount.root == RootFolder || mount.fsType == QStringLiteral("btrfs");
}

} // namespace

bool isPseudoFileSystem(const QString& fsType)
{
    static const QSet<QString> pseudo = {
        QStringLiteral("autofs"),     QStringLiteral("binfmt_misc"), QStringLiteral("bpf"),
        QStringLiteral("cgroup"),     QStringLiteral("cgroup2"),     QStringLiteral("configfs"),
        QStringLiteral("debugfs"),    QStringLiteral("devpts"),      QStringLiteral("devtmpfs"),
        QStringLiteral("efivarfs"),   QStringLiteral("fusectl"),     QStringLiteral("hugetlbfs"),
        QStringLiteral("mqueue"),     QStringLiteral("nsfs"),        QStringLiteral("overlay"),
        QStringLiteral("proc"),       QStringLiteral("pstore"),      QStringLiteral("ramfs"),
        QStringLiteral("rpc_pipefs"), QStringLiteral("securityfs"),  QStringLiteral("squashfs"),
        QStringLiteral("sysfs"),      QStringLiteral("tmpfs"),       QStringLiteral("tracefs"),
    };
    return pseudo.contains(fsType);
}

bool folderHolds(const QString& folder, const QString& path)
{
    if (folder == RootFolder)
        return path.startsWith(u'/');
    return path == folder || (path.startsWith(folder) && path.at(folder.size()) == u'/');
}

std::vector<MountEntry> selectVolumes(const std::vector<MountEntry>& mounts)
{
    std::vector<MountEntry> candidates;
    for (const MountEntry& mount : visibleMounts(mounts)) {
        const bool isRoot = mount.mountPoint == RootFolder;
        if (isRoot || (isBlockDeviceVolume(mount) && showsWholeVolume(mount)))
            candidates.push_back(mount);
    }
    // The root file system is looked at first, so that another mount of its device (a bind
    // mount of /home/ann/share, say) never takes its place.
    std::stable_partition(candidates.begin(), candidates.end(),
                          [](const MountEntry& m) { return m.mountPoint == RootFolder; });

    std::vector<MountEntry> volumes;
    for (const MountEntry& candidate : candidates) {
        const bool alreadyShown =
            std::any_of(volumes.begin(), volumes.end(), [&](const MountEntry& shown) {
                return shown.majorMinor == candidate.majorMinor &&
                       folderHolds(shown.root, candidate.root);
            });
        if (!alreadyShown || candidate.mountPoint == RootFolder)
            volumes.push_back(candidate);
    }
    return volumes;
}

} // namespace platterly::drives
