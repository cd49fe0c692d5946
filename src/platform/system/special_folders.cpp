#include "platform/system/special_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platterly::system {

QString GetSpecialFolder(int folder)
{
    QStandardPaths::StandardLocation location;
    switch (folder) {
    case kSpecialFolderDesktop:
        location = QStandardPaths::DesktopLocation;
        break;
    case kSpecialFolderDocuments:
        location = QStandardPaths::DocumentsLocation;
        break;
    default:
        return {};
    }
    // Qt reads user-dirs.dirs afresh on every call, so a change made by the user while the
    // program runs is seen at once. When the file names no folder, Qt falls back to
    // ~/Desktop or ~/Documents, which the check below turns into "" if it is not there.
    const QString path = QStandardPaths::writableLocation(location);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return {};
    return QDir::cleanPath(path);
}

} // namespace platterly::system
