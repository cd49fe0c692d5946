#pragma once

#include "cataloguing/windows/folder_to_catalogue.h"
#include "platform/drives/drive_map.h"
#include "platform/handover/program_state.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QToolButton;

namespace platterly::chooser {
class DriveBox;
class FolderList;
} // namespace platterly::chooser

namespace platterly::cataloguing {

// The folder picker. It serves two callers, told apart by the PathMode of the program
// state when it loads: the new-disc window choosing a folder to catalogue, or the copy command
// choosing the folder a file is copied to. In each mode it opens on the folder last confirmed in
// that mode, remembered in the settings file, and hands the confirmed folder back in drive form, in
// capitals, with a final backslash, together with the folder itself.
class frmPath : public QWidget
{
    Q_OBJECT

public:
    // Where the picker learns the machine's drives: asked at each load, and again when the
    // user retries a drive that was not ready.
    using DriveSource = std::function<drives::DriveMap()>;

    // The drives of the running machine.
    explicit frmPath(handover::ProgramState& state, QWidget* parent = nullptr);
    frmPath(handover::ProgramState& state, DriveSource driveSource, QWidget* parent = nullptr);
    ~frmPath() override;

    // Folder mode: given the folder the user confirmed, before the picker closes; the new-disc
    // window fills its path and title boxes from it.
    void setFolderAction(std::function<void(const ChosenFolder&)> action);
    // Folder mode: the window that waits, disabled, while the picker is open. It is enabled again
    // when the picker closes, whether a folder was confirmed or not.
    void setWaitingWindow(QWidget* window);
    // Copy mode: runs the copy to the CopyTarget of the program state once the picker has
    // closed.
    void setCopyAction(std::function<void()> action);

    // The load step, run every time the picker is shown: the mode, the caption of the
    // confirm button, and the lists on the folder remembered for the mode.
    void Load();
    // Loads the picker and shows it, not modal.
    void showLoaded();

    // The mode the picker was loaded in.
    handover::PathMode mode() const { return m_mode; }
    // The folder confirmed last, in both forms; empty before the first confirm.
    const ChosenFolder& chosen() const { return m_chosen; }

    // Event handlers, one per control event, public so that tests drive them as a user would.
    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    // Controls, named as the program has always named them.
    QLabel* Label1 = nullptr;
    chooser::DriveBox* Drive1 = nullptr;
    QToolButton* Command3 = nullptr;
    QToolButton* Command4 = nullptr;
    chooser::FolderList* Dir1 = nullptr;
    QLabel* lblPath = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

    // The drives as last read.
    const drives::DriveMap& driveMap() const { return m_driveMap; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void connectHandlers();
    void readDrives();
    // Lists `folder` and selects the drive that holds it; false when it is no folder.
    bool showFolder(const QString& folder);
    // Lists the root of the drive selected; false when the drive is not ready.
    bool openSelectedDrive();
    void goToSpecialFolder(int folderNumber);
    // The settings key the mode's folder is read under.
    QString presetKey() const;

    handover::ProgramState& m_state;
    DriveSource m_driveSource;
    drives::DriveMap m_driveMap;
    handover::PathMode m_mode = handover::PathMode::None;
    ChosenFolder m_chosen;
    std::function<void(const ChosenFolder&)> m_folderAction;
    std::function<void()> m_copyAction;
    QPointer<QWidget> m_waitingWindow;
};

// The caption of the confirm button in each mode.
inline const QString kConfirmCaption = QStringLiteral("&Ok");
inline const QString kCopyCaption = QStringLiteral("Copy &File");

} // namespace platterly::cataloguing
