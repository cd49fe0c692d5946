#include "platform/drives/disc_places.h"

#include "platform/system/native_name.h"

#include <QDir>
#include <sys/stat.h>

namespace platterly::drives {

namespace {

// Stored paths in drive form begin with a letter, a colon and a backslash; a drive stands
// for those three characters.
constexpr qsizetype kDriveRootLength = 3;

bool isDriveForm(const QString& storedPath)
{
    return storedPath.size() >= kDriveRootLength && driveLetterOf(storedPath) &&
           storedPath.at(2) == u'\\';
}

std::optional<QString> mountPointOf(const DriveMap& drives, QChar letter)
{
    const Drive* drive = drives.find(letter);
    if (!drive || !drive->hasMedium())
        return std::nullopt;
    return drive->mountPoint;
}

bool sameVolume(const Drive& drive, const VolumeRecord& record)
{
    if (!drive.hasMedium())
        return false;
    const bool uuidsKnown = !record.uuid.isEmpty() && !drive.uuid.isEmpty();
    if (uuidsKnown && record.uuid != drive.uuid)
        return false;
    if (!record.label.isEmpty())
        return drive.label == record.label;
    return uuidsKnown;
}

bool exists(const QString& nativePath)
{
    struct stat info;
    return ::stat(system::nativeBytesFromText(nativePath).constData(), &info) == 0;
}

bool isRegularFile(const QString& nativePath)
{
    struct stat info;
    return ::stat(system::nativeBytesFromText(nativePath).constData(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

} // namespace

VolumeRecord describeVolume(const DriveMap& drives, const QString& nativeRoot,
                            const QString& driveRoot)
{
    VolumeRecord record;
    record.root = QDir::cleanPath(nativeRoot);
    record.driveRoot = driveRoot.endsWith(u'\\') ? driveRoot : driveRoot + u'\\';
    if (const Drive* drive = drives.driveHolding(record.root)) {
        record.label = drive->label;
        record.uuid = drive->uuid;
        record.fsType = drive->fsType;
    }
    return record;
}

VolumeRecord recordFromStoredPath(const QString& storedPath)
{
    VolumeRecord record;
    if (isDriveForm(storedPath))
        record.driveRoot = storedPath.left(kDriveRootLength);
    return record;
}

std::vector<DiscPlace> discPlaces(const DriveMap& drives, const VolumeRecord& record,
                                  std::optional<QChar> driveBoxLetter)
{
    std::vector<DiscPlace> places;
    auto add = [&places](const QString& folder, qsizetype storedPrefix) {
        for (const DiscPlace& place : places) {
            if (place.folder == folder && place.storedPrefix == storedPrefix)
                return;
        }
        places.push_back({folder, storedPrefix});
    };
    const bool driveForm = isDriveForm(record.driveRoot);

    if (driveForm && driveBoxLetter) {
        if (const auto mountPoint = mountPointOf(drives, *driveBoxLetter))
            add(*mountPoint, kDriveRootLength);
    }
    if (!record.root.isEmpty() && !record.driveRoot.isEmpty()) {
        add(record.root, record.driveRoot.size());
    } else if (driveForm) {
        if (const auto mountPoint = mountPointOf(drives, record.driveRoot.at(0)))
            add(*mountPoint, kDriveRootLength);
    }
    if (driveForm && (!record.label.isEmpty() || !record.uuid.isEmpty())) {
        for (const Drive& drive : drives.drives()) {
            if (sameVolume(drive, record))
                add(drive.mountPoint, kDriveRootLength);
        }
    }
    return places;
}

std::optional<QString> whereIsDiscNow(const DriveMap& drives, const VolumeRecord& record,
                                      std::optional<QChar> driveBoxLetter)
{
    StoredPathLookup lookup;
    for (const DiscPlace& place : discPlaces(drives, record, driveBoxLetter)) {
        const QStringList names = storedFolderNames(record.driveRoot.mid(place.storedPrefix));
        if (names.isEmpty()) {
            if (exists(place.folder))
                return place.folder;
            continue;
        }
        if (std::optional<QString> folder = lookup.findFolder(place.folder, names))
            return folder;
    }
    return std::nullopt;
}

std::optional<QString> locateStoredEntry(StoredPathLookup& lookup,
                                         const std::vector<DiscPlace>& places,
                                         const QString& storedPath, const QString& name)
{
    for (const DiscPlace& place : places) {
        if (storedPath.size() < place.storedPrefix)
            continue;
        const std::optional<QString> folder =
            lookup.findFolder(place.folder, storedFolderNames(storedPath.mid(place.storedPrefix)));
        if (!folder)
            continue;
        if (name.isEmpty())
            return folder;
        if (std::optional<QString> entry = lookup.findEntry(*folder, name))
            return entry;
    }
    return std::nullopt;
}

std::optional<QString> locateImageFile(StoredPathLookup& lookup,
                                       const std::vector<DiscPlace>& places,
                                       const QString& driveRoot)
{
    for (const DiscPlace& place : places) {
        if (driveRoot.size() < place.storedPrefix)
            continue;
        const QStringList names = storedFolderNames(driveRoot.mid(place.storedPrefix));
        std::optional<QString> candidate;
        if (names.isEmpty()) {
            candidate = place.folder;
        } else if (const auto folder =
                       lookup.findFolder(place.folder, names.first(names.size() - 1))) {
            candidate = lookup.findEntry(*folder, names.last());
        }
        if (candidate && isRegularFile(*candidate))
            return candidate;
    }
    return std::nullopt;
}

} // namespace platterly::drives
