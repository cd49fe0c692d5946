#include "platform/drives/typed_path.h"

#include "platform/drives/mount_table.h"
#include "platform/drives/stored_path_lookup.h"
#include "platform/system/native_name.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

namespace platterly::drives {

namespace {

TypedPath failure(const QString& error)
{
    TypedPath result;
    result.error = error;
    return result;
}

// The native path of a typed drive path, or the reason there is none.
TypedPath nativeOfDrivePath(const DriveMap& drives, QChar letter, const QString& typed)
{
    const Drive* drive = drives.find(letter);
    if (!drive)
        return failure(QStringLiteral("There is no drive %1:.").arg(letter));
    if (!drive->hasMedium())
        return failure(QStringLiteral("Drive %1: holds no mounted medium.").arg(drive->letter));
    // "C:data" is read as "C:\data": there is no current folder per drive here.
    QString rest = typed.mid(2);
    if (!rest.startsWith(u'\\') && !rest.startsWith(u'/'))
        rest.prepend(u'\\');
    TypedPath result;
    result.nativePath =
        drives.toNativePath(QString(drive->letter) + u':' + rest).value_or(QString());
    return result;
}

bool exists(const QString& nativePath)
{
    struct stat info;
    return ::stat(system::nativeBytesFromText(nativePath).constData(), &info) == 0;
}

// A drive path is often typed or stored in capitals, which on this file system may name no
// folder: the folder that the names of `native` below the drive's mount point lead to without
// regard to case, or nullopt.
std::optional<QString> folderCaseBlind(const DriveMap& drives, QChar letter, const QString& native)
{
    const Drive* drive = drives.find(letter);
    if (!drive || !drive->hasMedium() || !folderHolds(drive->mountPoint, native))
        return std::nullopt;
    const QString below = native.mid(drive->mountPoint.size());
    StoredPathLookup lookup;
    return lookup.findFolder(drive->mountPoint, below.split(u'/', Qt::SkipEmptyParts));
}

} // namespace

TypedPath resolveTypedPath(const DriveMap& drives, const QString& typed,
                           const QString& currentFolder)
{
    if (typed.isEmpty())
        return failure(QStringLiteral("No folder was given."));

    QString native;
    if (const std::optional<QChar> letter = driveLetterOf(typed)) {
        const TypedPath fromDrive = nativeOfDrivePath(drives, *letter, typed);
        if (!fromDrive.ok())
            return fromDrive;
        native = fromDrive.nativePath;
    } else if (typed.startsWith(u'/')) {
        native = typed;
    } else if (currentFolder.startsWith(u'/')) {
        native = currentFolder + u'/' + typed;
    } else {
        return failure(QStringLiteral("The path \"%1\" is relative, and there is no current "
                                      "folder to start from.")
                           .arg(typed));
    }

    native = QDir::cleanPath(native);
    const std::optional<QChar> typedLetter = driveLetterOf(typed);
    if (typedLetter && !exists(native)) {
        // The rows record the drive path as it was given; the walk reads the real folder.
        if (const std::optional<QString> found = folderCaseBlind(drives, *typedLetter, native)) {
            TypedPath result;
            result.drivePath = drives.toDrivePath(native).value_or(QString());
            result.nativePath = *found;
            if (!result.drivePath.isEmpty())
                return result;
        }
    }
    const QString canonical = QFileInfo(native).canonicalFilePath();
    if (!canonical.isEmpty())
        native = canonical;

    const std::optional<QString> drivePath = drives.toDrivePath(native);
    if (!drivePath) {
        if (drives.drives().empty())
            return failure(QStringLiteral("No drives are known."));
        return failure(QStringLiteral("The path \"%1\" holds a backslash, which a catalogue "
                                      "path cannot hold.")
                           .arg(native));
    }
    TypedPath result;
    result.drivePath = *drivePath;
    result.nativePath = native;
    return result;
}

} // namespace platterly::drives
