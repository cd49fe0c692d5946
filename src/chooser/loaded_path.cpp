#include "chooser/loaded_path.h"

#include <QDir>
#include <QFileInfo>

namespace platterly::chooser {

namespace {

constexpr QChar kBackslash = u'\\';
constexpr QChar kSlash = u'/';

QString childPath(const QString& folder, const QString& name)
{
    return folder.endsWith(kSlash) ? folder + name : folder + kSlash + name;
}

// The subfolder of `folder` whose name reads `name` in capitals. The stored text was put in
// capitals with the same rule, so this also finds names whose capitals are longer than the
// name ("straße" -> "STRASSE").
std::optional<QString> subfolderCaseBlind(const QString& folder, const QString& name)
{
    const QString wanted = name.toUpper();
    const QStringList entries =
        QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.toUpper() == wanted)
            return childPath(folder, entry);
    }
    return std::nullopt;
}

// A native path as the setting may hold it: without the backslash loadedPathFor added.
QString withoutFinalBackslashes(QString text)
{
    while (text.size() > 1 && text.endsWith(kBackslash))
        text.chop(1);
    return text;
}

} // namespace

std::optional<QString> findFolderCaseBlind(const QString& nativePath)
{
    if (!nativePath.startsWith(kSlash))
        return std::nullopt;
    const QString clean = QDir::cleanPath(nativePath);
    if (QFileInfo(clean).isDir())
        return clean;
    QString current(kSlash);
    const QStringList parts = clean.split(kSlash, Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QString exact = childPath(current, part);
        if (QFileInfo(exact).isDir()) {
            current = exact;
            continue;
        }
        const std::optional<QString> found = subfolderCaseBlind(current, part);
        if (!found)
            return std::nullopt;
        current = *found;
    }
    return current;
}

LoadedPlace locateLoadedPath(const QString& loadedPath, const drives::DriveMap& map)
{
    LoadedPlace place;
    QString native;
    if (const std::optional<QChar> letter = drives::driveLetterOf(loadedPath)) {
        const drives::Drive* drive = map.find(*letter);
        if (drive == nullptr || !drive->hasMedium()) {
            place.error = ListError::DeviceUnavailable;
            return place;
        }
        place.drive = drive->letter;
        native = map.toNativePath(loadedPath).value_or(QString());
    } else if (loadedPath.startsWith(kSlash)) {
        native = withoutFinalBackslashes(loadedPath);
        const std::optional<QString> drivePath = map.toDrivePath(QDir::cleanPath(native));
        if (drivePath)
            place.drive = drives::driveLetterOf(*drivePath);
        if (!place.drive) {
            place.error = ListError::DeviceUnavailable;
            return place;
        }
    } else {
        place.error = ListError::DeviceUnavailable;
        return place;
    }
    const std::optional<QString> folder = findFolderCaseBlind(native);
    if (!folder) {
        place.error = ListError::PathNotFound;
        return place;
    }
    place.folder = *folder;
    return place;
}

QString loadedPathFor(const QString& nativeFolder, const drives::DriveMap& map)
{
    QString text = map.toDrivePath(nativeFolder).value_or(QDir::cleanPath(nativeFolder));
    text = text.toUpper();
    if (!text.endsWith(kBackslash))
        text += kBackslash;
    return text;
}

} // namespace platterly::chooser
