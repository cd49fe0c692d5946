#include "cataloguing/windows/folder_to_catalogue.h"

#include "catalogue/path_routines.h"
#include "platform/drives/typed_path.h"

#include <QFileInfo>

namespace platterly::cataloguing {

namespace {

constexpr QChar kBackslash = u'\\';

FolderToCatalogue refusal(const QString& message)
{
    FolderToCatalogue result;
    result.error = message;
    return result;
}

QString withFinalBackslash(QString path)
{
    if (!path.endsWith(kBackslash))
        path.append(kBackslash);
    return path;
}

// The message for a drive path that names no usable drive; empty when the drive is ready.
QString driveProblem(const drives::DriveMap& drives, const QString& typed)
{
    const std::optional<QChar> letter = drives::driveLetterOf(typed);
    if (!letter)
        return {};
    const drives::Drive* drive = drives.find(*letter);
    if (drive == nullptr)
        return QStringLiteral("There is no drive %1: on this computer.").arg(letter->toUpper());
    if (!drive->hasMedium())
        return QStringLiteral("Drive %1: holds no disc. Insert a disc, or choose another drive "
                              "or folder.")
            .arg(drive->letter);
    return {};
}

// Why an existing native path cannot be walked; empty when it is a folder.
QString folderProblem(const QString& shown, const QString& nativePath)
{
    const QFileInfo info(nativePath);
    if (!info.exists())
        return QStringLiteral("The folder \"%1\" does not exist. Check the path, or pick the "
                              "folder with the folder button.")
            .arg(shown);
    if (!info.isDir())
        return QStringLiteral("\"%1\" is a file, not a folder. Give the drive or folder that "
                              "holds it.")
            .arg(shown);
    return {};
}

} // namespace

QString proposedTitle(const QString& drivePath)
{
    const QString name = catalogue::LastFolderName(drivePath);
    if (name.size() == 2 && name.at(1) == u':')
        return name.left(1) + QStringLiteral(" Drive");
    return name;
}

FolderToCatalogue locateFolderToCatalogue(const drives::DriveMap& drives, const QString& typed,
                                          const std::optional<ChosenFolder>& chosen,
                                          const QString& currentFolder)
{
    if (typed.isEmpty())
        return refusal(QStringLiteral("Give the drive or folder to catalogue in the box "
                                      "Selected Drive."));
    if (chosen && typed == chosen->drivePath) {
        if (const QString problem = folderProblem(typed, chosen->nativePath); !problem.isEmpty())
            return refusal(problem);
        return {chosen->nativePath, withFinalBackslash(chosen->drivePath), {}};
    }
    if (const QString problem = driveProblem(drives, typed); !problem.isEmpty())
        return refusal(problem);

    const drives::TypedPath where = drives::resolveTypedPath(drives, typed, currentFolder);
    if (!where.ok())
        return refusal(where.error);
    // A drive path in capitals has been found without regard to case already.
    const QString native = where.nativePath;
    if (isImageFile(native)) {
        DiscImage image = identifyImage(native, where.drivePath);
        if (!image.ok())
            return refusal(image.error);
        return {image.nativePath, image.driveRoot, {}, std::move(image)};
    }
    if (const QString problem = folderProblem(typed, native); !problem.isEmpty())
        return refusal(problem);
    return {native, withFinalBackslash(where.drivePath), {}};
}

} // namespace platterly::cataloguing
