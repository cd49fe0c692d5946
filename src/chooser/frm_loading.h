#pragma once

#include "platform/drives/drive_map.h"
#include "platform/handover/program_state.h"
#include "platform/handover/windows.h"

#include <QWidget>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

namespace platterly::chooser {

class DriveBox;
class FileList;
class FolderList;

// The file names the chooser lists as catalogues.
inline const QString kCatalogueFilePattern = QStringLiteral("*.mdb;*.db2;*.db3");

// The database chooser: a borderless blue window in which the user picks the catalogue file
// to open, with a drive box, a folder list and a file list. Its load buttons set the
// catalogue in use, remember the folder in the settings file, close the chooser and show the
// main window. Each time it is loaded its lists start again from the folder remembered.
class frmLoading : public QWidget
{
    Q_OBJECT

public:
    // Where the chooser learns the machine's drives: asked at each load, and again when the
    // user retries a drive that was not ready.
    using DriveSource = std::function<drives::DriveMap()>;

    // The drives of the running machine.
    frmLoading(handover::ProgramState& state, const handover::Windows& windows,
               QWidget* parent = nullptr);
    frmLoading(handover::ProgramState& state, const handover::Windows& windows,
               DriveSource driveSource, QWidget* parent = nullptr);
    ~frmLoading() override;

    // The load step: the lists go to the folder remembered in Paths/LoadedPath, or to the
    // application folder when that folder is gone.
    void Load();
    bool isLoaded() const { return m_loaded; }
    // Loads the window when needed, centres it on the screen and shows it, not modal.
    void showLoaded();

    // Event handlers, one per control event, public so that tests drive them as a user
    // would.
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void File1_DblClick();
    void Command3_Click();
    void cmdLoad_Click();
    void cmdDefault_Click();

    // The folder last used, as read from or written to Paths/LoadedPath.
    QString LoadedPath;

    // Controls, named as the program has always named them.
    QFrame* Shape1 = nullptr;
    QFrame* Shape2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label1 = nullptr;
    DriveBox* Drive1 = nullptr;
    QToolButton* Command3 = nullptr;
    FolderList* Dir1 = nullptr;
    QLabel* Label2 = nullptr;
    FileList* File1 = nullptr;
    QPushButton* cmdDefault = nullptr;
    QPushButton* cmdLoad = nullptr;

    // The drives as last read.
    const drives::DriveMap& driveMap() const { return m_driveMap; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectHandlers();
    void readDrives();
    // Puts all three lists on the application folder: where they stand before the
    // remembered folder is known, and where they stay when it cannot be reached.
    void showApplicationFolder();
    // Moves the folder list to the root of the drive selected; false when the drive is not
    // ready.
    bool openSelectedDrive();

    handover::ProgramState& m_state;
    const handover::Windows& m_windows;
    DriveSource m_driveSource;
    drives::DriveMap m_driveMap;
    bool m_loaded = false;
};

} // namespace platterly::chooser
