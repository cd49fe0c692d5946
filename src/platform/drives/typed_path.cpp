#include "platform/drives/typed_path.h"

#include <QDir>
#include <QFileInfo>

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
