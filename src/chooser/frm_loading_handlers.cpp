// The chooser's load step and event handlers.
#include "catalogue/settings.h"
#include "chooser/drive_box.h"
#include "chooser/file_list.h"
#include "chooser/folder_list.h"
#include "chooser/frm_loading.h"
#include "chooser/loaded_path.h"
#include "platform/system/application_folder.h"
#include "platform/system/profile_file.h"
#include "platform/system/special_folders.h"
#include "platform/ui/dialogs.h"

#include <QCloseEvent>
#include <QDir>

namespace platterly::chooser {

namespace keys = catalogue::settings;

void frmLoading::readDrives()
{
    m_driveMap = m_driveSource ? m_driveSource() : drives::DriveMap();
    Drive1->setDrives(m_driveMap.drives());
}

void frmLoading::showApplicationFolder()
{
    const QString folder = system::applicationFolder();
    const std::optional<QString> drivePath = m_driveMap.toDrivePath(folder);
    if (drivePath) {
        if (const std::optional<QChar> letter = drives::driveLetterOf(*drivePath))
            Drive1->setDrive(*letter);
    }
    Dir1->setPath(folder);
    File1->setPath(folder);
}

void frmLoading::Load()
{
    m_loaded = true;
    readDrives();
    showApplicationFolder();

    const QString applicationFolder = system::applicationFolder();
    LoadedPath = system::ReadINI(catalogue::settingsFile(), keys::kSectionPaths,
                                 keys::kKeyLoadedPath, applicationFolder);
    // The remembered folder is stored in capitals; it is found again whatever the case of
    // the names on disk.
    const LoadedPlace place = locateLoadedPath(LoadedPath, m_driveMap);
    if (place.drive)
        Drive1->setDrive(*place.drive);
    if (place.error == ListError::None) {
        Dir1->setPath(place.folder);
        File1->setPath(place.folder);
    } else if (place.error == ListError::PathNotFound) {
        Dir1->setPath(applicationFolder);
        File1->setPath(applicationFolder);
    }
    if (LoadedPath == keys::kLoadedPathApplicationFolder)
        File1->setPath(applicationFolder);
}

bool frmLoading::openSelectedDrive()
{
    const std::optional<QChar> letter = Drive1->drive();
    const drives::Drive* drive = letter ? m_driveMap.find(*letter) : nullptr;
    return drive != nullptr && drive->hasMedium() && Dir1->setPath(drive->mountPoint);
}

void frmLoading::Drive1_Change()
{
    while (!openSelectedDrive()) {
        const ui::Answer answer =
            ui::messageBox(this, QStringLiteral("Device is not ready"), ui::Buttons::RetryCancel,
                           ui::Icon::None, QStringLiteral("Quenlo"));
        if (answer != ui::Answer::Retry)
            return;
        // The user may have put a disc in meanwhile: look at the drives afresh.
        readDrives();
    }
    Dir1_Change();
}

void frmLoading::Dir1_Change()
{
    File1->setPath(Dir1->path());
}

void frmLoading::Command3_Click()
{
    // The drive box stays as it is: the desktop may lie on any drive.
    const QString desktop = system::GetSpecialFolder(system::kSpecialFolderDesktop);
    if (Dir1->setPath(desktop))
        Dir1_Change();
}

void frmLoading::File1_Click()
{
    const QString name = File1->fileName();
    if (name.isEmpty())
        return;
    m_state.DBPath = QDir(File1->path()).filePath(name);
}

void frmLoading::File1_DblClick()
{
    cmdLoad_Click();
}

void frmLoading::cmdLoad_Click()
{
    // Without a click on a file, the catalogue in use (if any) is opened again.
    if (m_state.DBPath.isEmpty() || File1->count() == 0) {
        ui::messageBox(
            this,
            QStringLiteral("Please Check  the File  list if files exists Click the file name"));
        return;
    }
    LoadedPath = loadedPathFor(Dir1->path(), m_driveMap);
    system::WriteINI(catalogue::settingsFile(), keys::kSectionPaths, keys::kKeyLoadedPath,
                     LoadedPath);
    close();
    m_windows.showMain();
}

void frmLoading::cmdDefault_Click()
{
    close();
    m_state.DBPath = system::defaultCatalogue();
    m_windows.showMain();
}

void frmLoading::closeEvent(QCloseEvent* event)
{
    // The next showing loads the window afresh from the remembered folder.
    m_loaded = false;
    event->accept();
}

} // namespace platterly::chooser
