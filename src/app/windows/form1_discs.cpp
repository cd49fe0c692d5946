// The main window's load step, the disc list with its totals, and a disc's tree.
#include "app/windows/form1.h"
#include "browse/entry_locator.h"
#include "catalogue/catalogue_reader.h"
#include "catalogue/name_index.h"
#include "catalogue/settings.h"
#include "platform/system/application_folder.h"
#include "platform/system/profile_file.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/dialogs.h"
#include "search/name_index_planner.h"
#include "search/search_history.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTableView>
#include <QTreeView>

namespace platterly::app {

namespace keys = catalogue::settings;

void Form1::Load()
{
    // A window loaded again starts as new: nothing chosen, no tree, no results.
    if (!m_loaded) {
        SelCDName.clear();
        SelectedOnly = false;
        Option1[0]->setChecked(true);
        LBLtFILES->clear();
        LBLdate->clear();
        m_tree->clear();
        m_results->clear();
        lblMessage->clear();
        LBLFILE->clear();
        imgPreview->hide();
        lblmsg2->setText(QStringLiteral("WELCOME"));
        cmbSearch->setEditText(QStringLiteral("All Files"));
    }
    m_loaded = true;
    search::useCatalogue(m_data, m_state.DBPath);
    AddCDstoList();
    prepareSearchIndex();
    loadSearchHistory();
    // Setting the boxes runs their click handlers, which write the same values back.
    Check1->setChecked(m_state.LoadWind == 1);
    Check1_Click();
    Check2->setChecked(m_state.PlaySnd == 1);
    Check2_Click();
    fillDriveBox();
}

void Form1::fillDriveBox()
{
    const drives::DriveMap drives = driveMap();
    cmbDrive->setDrives(drives.drives());
    // Without a stored letter the box shows the first optical drive rather than the
    // application folder, which would re-root every path on a folder name.
    cmbDrive->showText(browse::initialDriveBoxText(drives));
}

void Form1::prepareSearchIndex()
{
    // A catalogue written by an older program or another tool gets its name index on first
    // open; until then (or on a read-only file) searches read every row, which is slower but
    // gives the same results.
    sql::Database* db = m_data.database();
    if (!db)
        return;
    if (catalogue::nameIndexStatus(*db) == catalogue::NameIndexStatus::Current)
        return;
    ui::BusyCursor busy;
    const QString caption = windowTitle();
    const sql::SqlError error = search::prepareNameIndex(*db, [this](qint64 done, qint64 total) {
        setWindowTitle(QStringLiteral("Preparing the search index %1%")
                           .arg(total > 0 ? done * 100 / total : 0));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    });
    setWindowTitle(caption);
    Q_UNUSED(error); // searches then read every row: slower, but right
}

void Form1::loadSearchHistory()
{
    m_history = search::loadSearchHistory(catalogue::settingsFile());
    cmbStrs->clear();
    cmbStrs->addItems(m_history);
    cmbStrs->setEditText(QStringLiteral("*"));
}

void Form1::AddCDstoList()
{
    m_fillingList = true;
    List1->clear();
    m_fillingList = false;
    m_discs.clear();
    TCDS = TDIRS = TFILES = 0;

    const browse::DiscListResult result = browse::readDiscList(m_data);
    if (result.status != browse::DiscListStatus::Listed) {
        const QString defaultFile = system::defaultCatalogue();
        const bool isDefault = QFileInfo(m_state.DBPath) == QFileInfo(defaultFile);
        if (m_inFallback || isDefault) {
            // The default catalogue itself cannot be used: say so once instead of falling back
            // again and again.
            lblTotals->setText(browse::totalsLine(0, 0, 0));
            ui::messageBox(this,
                           QStringLiteral("The catalogue %1 cannot be used:\n%2")
                               .arg(QDir::toNativeSeparators(m_state.DBPath), result.error.message),
                           ui::Buttons::Ok, ui::Icon::Critical);
            return;
        }
        if (result.status == browse::DiscListStatus::NotACatalogue) {
            ui::messageBox(this, browse::kInvalidCatalogueMessage, ui::Buttons::Ok, ui::Icon::None,
                           browse::kInvalidCatalogueCaption);
        } else {
            ui::messageBox(this,
                           result.error.message +
                               QStringLiteral("\n\nThe default catalogue will be "
                                              "loaded."),
                           ui::Buttons::Ok, ui::Icon::Warning, browse::kInvalidCatalogueCaption);
        }
        m_state.DBPath = defaultFile;
        m_inFallback = true;
        Load();
        m_inFallback = false;
        return;
    }
    const browse::DiscListing& listing = result.listing;
    TCDS = listing.totals.discs;
    TDIRS = listing.totals.dirs;
    TFILES = listing.totals.files;
    // Filling the list is not the user choosing a disc.
    m_fillingList = true;
    List1->addItems(listing.titles);
    List1->setCurrentRow(-1);
    m_fillingList = false;
    for (qsizetype i = 0; i < listing.titles.size(); ++i)
        m_discs.append({listing.dirs.at(i), listing.files.at(i), listing.dates.at(i)});
    lblTotals->setText(browse::totalsLine(TFILES, TDIRS, TCDS));
}

int Form1::highlightedDisc() const
{
    const QList<QListWidgetItem*> highlighted = List1->selectedItems();
    return highlighted.isEmpty() ? -1 : List1->row(highlighted.first());
}

QString Form1::highlightedTitle() const
{
    const int row = highlightedDisc();
    return row >= 0 ? List1->item(row)->text() : QString();
}

void Form1::List1_Click()
{
    if (m_fillingList)
        return;
    const int i = highlightedDisc();
    if (i < 0 || i >= m_discs.size())
        return;
    const DiscSummary& disc = m_discs.at(i);
    LBLtFILES->setText(browse::discCountsLine(disc.dirs, disc.files));
    LBLdate->setText(browse::discDateLine(disc.date));
    SelCDName = List1->item(i)->text();
    Option1[1]->setChecked(true);
    Option1_Click(1);
}

void Form1::List1_DblClick()
{
    const QString title = highlightedTitle();
    if (title.isEmpty())
        return;
    SelCDName = title;
    showDiscTree();
}

void Form1::showDiscTree()
{
    m_data.setRecordSource(catalogue::discEntriesStatement(SelCDName));
    m_data.refresh();
    LoadDiscTree();
}

void Form1::LoadDiscTree()
{
    trv->hide();
    ui::BusyCursor busy;
    setWindowTitle(QStringLiteral("Loading CD Files to List Please Wait......"));
    // The rows are read in one pass; the window is repainted now and then meanwhile.
    const sql::SqlError error = m_tree->load(
        m_data, SelCDName, browse::settingsIconLookup(catalogue::settingsFile()),
        [](qint64) { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    setWindowTitle(kMainCaption);
    trv->show();
    if (error)
        ui::messageBox(this, error.message, ui::Buttons::Ok, ui::Icon::Warning);
}

} // namespace platterly::app
