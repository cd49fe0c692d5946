#pragma once

#include "app/windows/drive_letter_box.h"
#include "app/windows/elastic_layout.h"
#include "browse/disc_list.h"
#include "browse/disc_tree_model.h"
#include "browse/entry_locator.h"
#include "browse/file_copy.h"
#include "platform/drives/drive_map.h"
#include "platform/handover/program_state.h"
#include "platform/handover/windows.h"
#include "platform/sql/data_control.h"
#include "search/results_model.h"
#include "search/search_filters.h"

#include <QWidget>
#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTableView;
class QTreeView;

namespace platterly::controls {
class Button;
}

namespace platterly::app {

// The main window: the disc list with the totals, a disc's contents tree, the search panel,
// the start-up options and the drive-letter box, the hint line and the picture buttons.
// Handlers are thin and named after their controls; the work lies in the core libraries.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    Form1(handover::ProgramState& state, const handover::Windows& windows,
          QWidget* parent = nullptr);
    ~Form1() override;

    // The load step, run every time the window is loaded: points MyData at DBPath, fills the
    // disc list and totals, rebuilds the search history, sets the option boxes and the drive.
    void Load();
    bool isLoaded() const { return m_loaded; }
    // Shows the window where it was last left, loading it first when it is not loaded or
    // when DBPath names another catalogue than the one it shows.
    void showLoaded();
    // Closes the window; it loads afresh the next time it is shown.
    void unload();

    // Where the window learns the machine's drives (the drive box, opening, copying); the
    // running machine's unless replaced, as tests do with fixture mount tables.
    using DriveSource = std::function<drives::DriveMap()>;
    void setDriveSource(DriveSource source) { m_driveSource = std::move(source); }

    // Fills the disc list and the totals line from the catalogue in use.
    void AddCDstoList();
    void play(const QString& name);

    // The window's data-source control, closed by the program on quitting.
    sql::DataControl& MyData() { return m_data; }

    // Public state other windows read.
    qint64 TCDS = 0;
    qint64 TDIRS = 0;
    qint64 TFILES = 0;
    bool StopHim = false;
    bool SelectedOnly = false;
    QString SelCDName;
    int PresentRow = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Event handlers, one per control event, named after their controls.
    void List1_Click();
    void List1_DblClick();
    void List1_MouseUp(Qt::MouseButton button, const QPoint& globalPos);
    void Check1_Click();
    void Check2_Click();
    void cmbDrive_Click();
    void Option1_Click(int index);
    void Form_MouseMove();
    void Image1_Click();
    void Image2_MouseMove();
    void Image2_MouseUp();
    void Image3_MouseMove();
    void Image3_MouseUp();
    void Label5_MouseDown();
    void Label5_MouseUp();
    void cmdAddCD_Click();
    void cmdAddCD_MouseOver();
    void cmdDelete_MouseOver();
    void cmdDelete_Click();
    void Rename_Click();
    void Update_Click();
    void CmdExport_Click();
    void CmdQuit_Click();
    void cmdSearch_Click();
    void cmdStop_Click();
    void cmdMore_Click();
    void cmbStrs_KeyPress(int key);
    void cmbSearch_KeyPress(int key);
    void MSFlexGrid1_SelChange();
    void MSFlexGrid1_MouseUp(Qt::MouseButton button, const QPoint& globalPos);
    void mnuFile_Click();
    void mnuFolder_Click();
    void mnucopy_Click();
    void mnucopydesk_Click();

    void buildControls();
    void buildSearchPanel();
    void buildBottomRow();
    void buildFilterPanel();
    // The limits the open "More..." panel sets (none while it is closed); false, having said
    // why, when a box holds no size or day.
    bool readFilters(search::SearchFilters* filters);
    void shareAddedRoom();
    void connectHandlers();
    // The row of the disc list the user has highlighted, or -1.
    int highlightedDisc() const;
    void loadSearchHistory();
    void prepareSearchIndex();
    void setPictureBorder(QLabel* picture, bool on);
    // The pointer left the pictures: neither keeps its border.
    void clearPictureBorders();
    // The title highlighted in the disc list, or the empty string.
    QString highlightedTitle() const;
    // Reads the chosen disc's rows and shows them as its tree.
    void showDiscTree();
    void LoadDiscTree();
    // "Unable to Open File", naming the disc to insert and the file that could not be opened.
    void reportUnableToOpen(const QString& title, const QString& file);
    browse::EntryLocator entryLocator();
    // Asks for the disc of a copy that found it missing; true when the user pressed OK.
    bool askForMissingDisc(const QString& separator, const QString& title);
    void buildResultsMenu();
    drives::DriveMap driveMap() const;
    void fillDriveBox();
    // The real file or folder of the current results row (its folder alone when
    // `folderOnly`), found as Open File finds it; nullopt when no place holds it.
    std::optional<QString> locateCurrentRow(bool folderOnly);
    void openPath(const std::optional<QString>& nativePath, const QString& drivePath);
    // Open File and Open Containing Folder for the current row; an entry of a catalogued
    // image is extracted first, a folder in one opens the image itself.
    void openEntry(bool folderOnly, const QString& drivePath);
    void readCopyRow();
    // A folder row is not copied: says so and returns true when the row is a folder.
    bool refuseFolderRow();
    std::optional<browse::EntryLocation> locateCopySource();
    bool copyNow(bool toDesktop);
    QString currentRowText(int column) const;
    void searchHistoryChanged();
    void afterUpdate(const QString& title);

    // Controls, named as the program has always named them.
    QListWidget* List1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* LBLtFILES = nullptr;
    QLabel* LBLdate = nullptr;
    QLabel* lblTotals = nullptr;
    QTreeView* trv = nullptr;
    QComboBox* cmbStrs = nullptr;
    QComboBox* cmbSearch = nullptr;
    QRadioButton* Option1[2] = {nullptr, nullptr};
    QPushButton* cmdSearch = nullptr;
    QPushButton* cmdStop = nullptr;
    QLabel* lblMessage = nullptr;
    // "More...": limits on size and time of change, in a panel closed at first.
    QPushButton* cmdMore = nullptr;
    QWidget* fraMore = nullptr;
    QLineEdit* txtLarger = nullptr;
    QLineEdit* txtSmaller = nullptr;
    QLineEdit* txtAfter = nullptr;
    QLineEdit* txtBefore = nullptr;
    QTableView* MSFlexGrid1 = nullptr;
    QLabel* LBLFILE = nullptr;
    QLabel* imgPreview = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    DriveLetterBox* cmbDrive = nullptr;
    QLabel* lblmsg2 = nullptr;
    QLabel* LBLBACK = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Label5 = nullptr;
    controls::Button* cmdAddCD = nullptr;
    controls::Button* cmdDelete = nullptr;
    controls::Button* CmdQuit = nullptr;
    controls::Button* CmdExport = nullptr;
    QMenu* Pop2 = nullptr;
    QMenu* popmenu = nullptr;

    // What the list shows beside each disc's title when it is chosen, as stored.
    struct DiscSummary
    {
        QString dirs;
        QString files;
        QString date;
    };
    QList<DiscSummary> m_discs; // one per row of List1

    handover::ProgramState& m_state;
    const handover::Windows& m_windows;
    sql::DataControl m_data;
    browse::DiscTreeModel* m_tree = nullptr;
    search::ResultsModel* m_results = nullptr;
    QStringList m_history;
    bool m_searching = false;
    qint64 FoundCount = 0;
    browse::CopyFailure m_copyFailure;
    DriveSource m_driveSource;
    // The row the copy in progress takes its file from: title, folder and name as stored.
    struct StoredEntry
    {
        QString title;
        QString path;
        QString name;
    };
    StoredEntry m_copyEntry;
    bool m_loaded = false;
    bool m_inFallback = false;
    bool m_fillingList = false;
    ElasticLayout m_layout{this};
};

inline const QString kMainCaption = QStringLiteral("Quenlo Platterly");

} // namespace platterly::app
