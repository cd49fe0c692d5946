#pragma once

#include "cataloguing/cataloguing_run.h"
#include "cataloguing/windows/folder_to_catalogue.h"
#include "platform/drives/drive_map.h"
#include "platform/handover/program_state.h"
#include "platform/handover/windows.h"
#include "platform/sql/data_control.h"

#include <QStringList>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace platterly::cataloguing {

class frmPath;

// The new-disc window: the user picks a CD drive (or, with Check1 ticked, types or picks any
// drive, folder, or disc image or archive file), gives the disc a title and presses "Create CD
// Database". The run keeps the window painted, shows how far it has come and can be cancelled; the
// window stays open afterwards for the next disc. Closing it shows the main window again.
class Form2 : public QWidget
{
    Q_OBJECT

public:
    // Where the window learns the machine's drives: asked at each drive scan.
    using DriveSource = std::function<drives::DriveMap()>;

    // The drives of the running machine.
    Form2(handover::ProgramState& state, const handover::Windows& windows,
          QWidget* parent = nullptr);
    Form2(handover::ProgramState& state, const handover::Windows& windows, DriveSource driveSource,
          QWidget* parent = nullptr);
    ~Form2() override;

    // The load step, run every time the window is shown after being closed: the drive scan,
    // the boxes from the first drive found, and the catalogue in use (DBPath).
    void Load();
    bool isLoaded() const { return m_loaded; }
    // Shows the window, loading it first when it is not loaded.
    void showLoaded();

    // The lister the runs list folders with; nullptr (the default) for the file system's
    // own. The window does not own it.
    void setFolderLister(FolderLister* lister) { m_lister = lister; }

    // Event handlers, one per control event (public so tests drive them as a user would).
    void cmdScanDrives_Click();
    void Combo1_Click();
    void Check1_Click();
    void cmdSelDir_Click();
    void cmdSelFile_Click();
    void txtPath_LostFocus();
    void cmdGo_Click();
    void cmdCancel_Click();
    void cmdQuit_Click();

    // Whether a cataloguing run is going on.
    bool isRunning() const { return m_running; }

    // Controls, named as the program has always named them.
    QLabel* Label3 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* cmdScanDrives = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtPath = nullptr;
    QToolButton* cmdSelDir = nullptr;
    // Beside the folder button: chooses a disc image or archive file to catalogue.
    QToolButton* cmdSelFile = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtName = nullptr;
    QPushButton* cmdGo = nullptr;
    QPushButton* cmdQuit = nullptr;
    QCheckBox* Check1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* LblPrompt = nullptr;
    // Beside the prompt during a run: entries recorded and the folder being read; after a
    // finished run, what the disc holds.
    QLabel* lblProgress = nullptr;
    // Shown only while a run goes on.
    QPushButton* cmdCancel = nullptr;
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;
    QFrame* Line3 = nullptr;
    QFrame* Line4 = nullptr;

    // The hidden lists beside Combo1: the root (in capitals) and the volume label of each
    // drive listed, item for item.
    QStringList List1;
    QStringList List2;
    // The last result of CDDriveList: element 0 empty, then the roots of the CD drives.
    std::vector<QString> DriveRoots;

    // The catalogue the window writes to.
    sql::DataControl& Data() { return m_data; }
    // The folder picker the window opens in folder mode.
    frmPath& folderPicker();
    // The drives as the last scan read them.
    const drives::DriveMap& driveMap() const { return m_driveMap; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildRunControls();
    void connectHandlers();
    // Enables or disables everything the user could change during a run.
    void setRunning(bool running);
    RunResult runWithProgress(const CataloguingRequest& request);
    void showProgress(qint64 entries, const QString& currentFolder);
    void reportOutcome(const RunResult& result);
    void reportUnreadableFolders(const RunResult& result);
    // Proposes the volume label of the image the path box names as the title.
    void proposeImageTitle();

    handover::ProgramState& m_state;
    const handover::Windows& m_windows;
    DriveSource m_driveSource;
    drives::DriveMap m_driveMap;
    sql::DataControl m_data;
    std::unique_ptr<frmPath> m_picker;
    // The folder last confirmed in the picker: its drive form is what txtPath shows, and the
    // folder itself is what a run lists while txtPath still shows it.
    std::optional<ChosenFolder> m_chosenFolder;
    FolderLister* m_lister = nullptr;
    QString m_titleProposedFor; // the path box's text when an image's title was last proposed
    std::atomic<bool> m_cancel = false;
    bool m_loaded = false;
    bool m_running = false;
    bool m_closeWhenRunEnds = false;
    QString m_promptBeforeRun;
    QString m_progressBeforeRun;
};

inline const QString kNewDiscCaption =
    QStringLiteral("Creat New CD From A CD Drive or From Local Disk");
inline const QString kInstructionPrompt =
    QStringLiteral("INSERT CD IN CD DRIVE AND Select CD Drive And Give Appropriate Title to the "
                   "CD and Click Create CD Database");
inline const QString kProcessingPrompt = QStringLiteral("Processing drive...");
inline const QString kFinishedPrompt = QStringLiteral("Finished");
// Between a drive's root and its volume label in Combo1.
inline const QString kDriveLabelSeparator = QStringLiteral("  -  ");

} // namespace platterly::cataloguing
