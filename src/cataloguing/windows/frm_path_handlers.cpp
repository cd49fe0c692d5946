// The picker's load step and event handlers.
#include "catalogue/settings.h"
#include "cataloguing/windows/frm_path.h"
#include "chooser/drive_box.h"
#include "chooser/folder_list.h"
#include "chooser/loaded_path.h"
#include "platform/system/profile_file.h"
#include "platform/system/special_folders.h"
#include "platform/ui/dialogs.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPushButton>

namespace platterly::cataloguing {

namespace {

namespace keys = catalogue::settings;
using handover::PathMode;

// The key texts the confirmed folders have always been written under. The settings file
// matches keys case-blind and ignores the blanks around them, so these are the keys Path
// and CopyPath that the load step reads.
inline const QString kWrittenPathKey = QStringLiteral("path");
inline const QString kWrittenCopyPathKey = QStringLiteral("CopyPath ");

} // namespace

QString frmPath::presetKey() const
{
    return m_mode == PathMode::CopyDestination ? QString(keys::kKeyCopyPath)
                                               : QString(keys::kKeyPath);
}

void frmPath::readDrives()
{
    m_driveMap = m_driveSource ? m_driveSource() : drives::DriveMap();
    Drive1->setDrives(m_driveMap.drives());
}

bool frmPath::showFolder(const QString& folder)
{
    if (!Dir1->setPath(folder))
        return false;
    if (const std::optional<QString> drivePath = m_driveMap.toDrivePath(Dir1->path())) {
        if (const std::optional<QChar> letter = drives::driveLetterOf(*drivePath))
            Drive1->setDrive(*letter);
    }
    return true;
}

void frmPath::Load()
{
    m_mode = m_state.PathMode;
    Command1->setText(m_mode == PathMode::CopyDestination ? kCopyCaption : kConfirmCaption);
    const QString preset = system::ReadINI(catalogue::settingsFile(), keys::kSectionPaths,
                                           presetKey(), keys::kNoFolderYet);
    m_state.ChosenPath = preset;

    // The lists start on the process's current folder, and stay there when the preset names
    // no drive at all, as "0" (no folder chosen yet) does.
    readDrives();
    showFolder(QDir::currentPath());
    Dir1_Change();

    // The preset is stored in capitals; it is found again whatever the case of the names.
    const chooser::LoadedPlace place = chooser::locateLoadedPath(preset, m_driveMap);
    if (place.error == chooser::ListError::None) {
        showFolder(place.folder);
        Dir1_Change();
        return;
    }
    // A folder that is gone opens the root of its drive; a drive that holds no disc now
    // opens the root file system. The label still names the folder remembered, so the user
    // sees what was looked for.
    const std::optional<QChar> letter = drives::driveLetterOf(preset);
    const drives::Drive* drive = letter ? m_driveMap.find(*letter) : nullptr;
    if (place.error == chooser::ListError::PathNotFound && drive != nullptr) {
        showFolder(drive->mountPoint);
        lblPath->setText(preset);
    } else if (drive != nullptr) {
        showFolder(QStringLiteral("/"));
        lblPath->setText(preset);
    }
}

bool frmPath::openSelectedDrive()
{
    const std::optional<QChar> letter = Drive1->drive();
    const drives::Drive* drive = letter ? m_driveMap.find(*letter) : nullptr;
    return drive != nullptr && drive->hasMedium() && Dir1->setPath(drive->mountPoint);
}

void frmPath::Drive1_Change()
{
    while (!openSelectedDrive()) {
        const ui::Answer answer =
            ui::messageBox(this, QStringLiteral("Device is not ready"), ui::Buttons::RetryCancel,
                           ui::Icon::None, QStringLiteral("Quenlo"));
        if (answer != ui::Answer::Retry) {
            // The folder list stays where it was; so does the drive box, to match it.
            showFolder(Dir1->path());
            return;
        }
        // The user may have put a disc in meanwhile: look at the drives afresh.
        readDrives();
    }
    Dir1_Change();
}

void frmPath::Dir1_Change()
{
    const QString folder = Dir1->path();
    lblPath->setText(m_driveMap.toDrivePath(folder).value_or(folder));
}

void frmPath::goToSpecialFolder(int folderNumber)
{
    const QString folder = system::GetSpecialFolder(folderNumber);
    if (!folder.isEmpty() && showFolder(folder))
        Dir1_Change();
}

void frmPath::Command3_Click()
{
    goToSpecialFolder(system::kSpecialFolderDesktop);
}

void frmPath::Command4_Click()
{
    goToSpecialFolder(system::kSpecialFolderDocuments);
}

void frmPath::Command1_Click()
{
    m_chosen.nativePath = Dir1->path();
    m_chosen.drivePath = chooser::loadedPathFor(m_chosen.nativePath, m_driveMap);
    m_state.ChosenPath = m_chosen.drivePath;

    if (m_mode == PathMode::CopyDestination) {
        m_state.CopyTarget = m_chosen.drivePath;
        system::WriteINI(catalogue::settingsFile(), keys::kSectionPaths, kWrittenCopyPathKey,
                         m_chosen.drivePath);
        close();
        if (m_copyAction)
            m_copyAction();
    } else if (m_mode == PathMode::FolderToCatalogue) {
        system::WriteINI(catalogue::settingsFile(), keys::kSectionPaths, kWrittenPathKey,
                         m_chosen.drivePath);
        if (m_folderAction)
            m_folderAction(m_chosen);
        close();
    }
}

void frmPath::Command2_Click()
{
    close();
}

void frmPath::closeEvent(QCloseEvent* event)
{
    // However the picker closes, the new-disc window that waits for it comes back to life.
    if (m_mode == PathMode::FolderToCatalogue && m_waitingWindow)
        m_waitingWindow->setEnabled(true);
    event->accept();
}

} // namespace platterly::cataloguing
