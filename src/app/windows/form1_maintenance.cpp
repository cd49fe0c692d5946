// The main window's maintenance commands: deleting, renaming and updating a disc, taking a
// back-up of the catalogue, and exporting the results grid to a word-processor document.
#include "app/windows/form1.h"
#include "browse/file_locations.h"
#include "catalogue/catalogue_reader.h"
#include "cataloguing/disc_update.h"
#include "maintenance/backup_catalogue.h"
#include "maintenance/delete_disc.h"
#include "maintenance/docx_export.h"
#include "maintenance/rename_disc.h"
#include "maintenance/results_grid.h"
#include "platform/drives/system_volume_source.h"
#include "platform/system/application_folder.h"
#include "platform/system/special_folders.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/shell_opener.h"
#include "search/results_grid_format.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTreeView>

namespace platterly::app {

namespace {

const QString kSelectDiscToUpdateMessage =
    QStringLiteral("Select CD to Update And Press the Button");

} // namespace

void Form1::cmdDelete_Click()
{
    // The disc shown highlighted; after a rename refilled the list there may be none.
    if (!SelCDName.isEmpty())
        SelCDName = highlightedTitle();
    if (SelCDName.isEmpty()) {
        ui::messageBox(this, maintenance::kSelectDiscToDeleteMessage);
        return;
    }
    if (ui::messageBox(this, maintenance::kConfirmDeleteQuestion, ui::Buttons::YesNo,
                       ui::Icon::Question) != ui::Answer::Yes)
        return;
    maintenance::DeleteResult result;
    {
        ui::BusyCursor busy;
        setWindowTitle(maintenance::kDeletingCaption);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        result = maintenance::deleteDisc(m_data, SelCDName);
        setWindowTitle(kMainCaption);
    }
    if (!result.ok()) {
        ui::messageBox(this, result.message, ui::Buttons::Ok, ui::Icon::Warning);
        return;
    }
    AddCDstoList();
    LBLtFILES->clear();
    m_tree->clear();
    SelCDName.clear();
}

void Form1::Rename_Click()
{
    SelCDName = highlightedTitle();
    if (SelCDName.isEmpty())
        return;
    const std::optional<QString> answer = ui::dialogs().input(
        this, maintenance::kRenamePrompt, maintenance::kRenameCaption, SelCDName);
    if (!answer || !maintenance::isAcceptableNewTitle(*answer))
        return;
    maintenance::RenameResult result;
    {
        ui::BusyCursor busy;
        result = maintenance::renameDisc(m_data, SelCDName, *answer);
    }
    if (!result.ok())
        ui::messageBox(this, result.message, ui::Buttons::Ok, ui::Icon::Warning);
    AddCDstoList();
}

void Form1::Update_Click()
{
    const QString title = highlightedTitle();
    if (title.isEmpty()) {
        ui::messageBox(this, kSelectDiscToUpdateMessage);
        return;
    }
    // The disc is read again from where Open File would find it now, the drive box first.
    cataloguing::UpdateRequest request;
    request.title = title;
    request.drives = driveMap();
    request.driveBoxLetter = cmbDrive->letter();
    cataloguing::UpdateResult result;
    {
        ui::BusyCursor busy;
        result =
            cataloguing::runUpdate(m_data, request, [this, &title](qint64 entries, const QString&) {
                setWindowTitle(QStringLiteral("Updating %1: %2 entries Please Wait......")
                                   .arg(title)
                                   .arg(entries));
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
        setWindowTitle(kMainCaption);
    }
    if (!result.ok()) {
        // A disc that is nowhere to be found is asked for as Open File asks for it.
        const QString message =
            result.outcome == cataloguing::UpdateOutcome::Absent
                ? QStringLiteral("Please Insert CD : %1\r\n%2").arg(title, result.message)
                : result.message;
        ui::messageBox(this, message, ui::Buttons::Ok, ui::Icon::Warning);
        return;
    }
    afterUpdate(result.title);
    ui::messageBox(this,
                   QStringLiteral("CD Updated: %1\r\n%2 added, %3 removed, %4 changed.")
                       .arg(result.title)
                       .arg(result.added)
                       .arg(result.removed)
                       .arg(result.changed),
                   ui::Buttons::Ok, ui::Icon::Information);
}

void Form1::afterUpdate(const QString& title)
{
    // The disc keeps its place in the list; its counts, date and tree are shown anew.
    const bool treeShowsIt =
        m_tree->rowCount() > 0 && m_tree->index(0, 0).data().toString().compare(title) == 0;
    const int row = List1->currentRow();
    AddCDstoList();
    List1->setCurrentRow(row); // as a click on it
    if (treeShowsIt)
        showDiscTree();
}

void Form1::Image2_MouseUp()
{
    setPictureBorder(Image2, false);
    if (ui::messageBox(this, maintenance::kBackupQuestion, ui::Buttons::YesNo, ui::Icon::Question,
                       maintenance::kBackupQuestionCaption) != ui::Answer::Yes)
        return;
    const QString folder = system::applicationFolder();
    for (;;) {
        const std::optional<QString> name = ui::dialogs().input(
            this, maintenance::kBackupNamePrompt, maintenance::kBackupNameCaption,
            maintenance::defaultBackupName(QDate::currentDate()));
        // Cancel, or no name at all, takes no backup: it would be a hidden file named ".DB2".
        if (!name || name->trimmed().isEmpty())
            return;
        maintenance::BackupResult result;
        {
            ui::BusyCursor busy;
            result = maintenance::backupCatalogue(m_state.DBPath, folder, *name);
        }
        if (result.outcome == maintenance::BackupOutcome::InUse) {
            ui::messageBox(this, maintenance::kDatabaseInUseMessage);
            continue;
        }
        // A report, then any warning about what was copied; or why nothing was.
        ui::messageBox(this, result.message, ui::Buttons::Ok,
                       result.ok() ? ui::Icon::None : ui::Icon::Warning,
                       maintenance::kBackupReportCaption);
        if (result.ok() && !result.warning.isEmpty())
            ui::messageBox(this, result.warning, ui::Buttons::Ok, ui::Icon::Warning,
                           maintenance::kBackupReportCaption);
        return;
    }
}

void Form1::CmdExport_Click()
{
    maintenance::GridText grid;
    grid.push_back(maintenance::resultsGridHeader());
    for (qsizetype row = 0; row < m_results->resultCount(); ++row)
        grid.push_back(search::resultCells(m_results->result(row)));
    const QString documents = system::GetSpecialFolder(system::kSpecialFolderDocuments);
    const QString suggested = maintenance::exportDefaultPath(
        documents.isEmpty() ? QDir::homePath() : documents, QDate::currentDate());
    const std::optional<QString> path = ui::dialogs().input(
        this, QStringLiteral("Save the results table as"),
        QStringLiteral("Export Resuts to MSWORD"), QDir::toNativeSeparators(suggested));
    if (!path || path->trimmed().isEmpty())
        return;
    maintenance::ExistingFile existing = maintenance::ExistingFile::Refuse;
    if (maintenance::exportTargetExists(*path)) {
        if (ui::messageBox(this, maintenance::replaceDocumentQuestion(*path), ui::Buttons::YesNo,
                           ui::Icon::Warning) != ui::Answer::Yes)
            return;
        existing = maintenance::ExistingFile::Replace;
    }
    maintenance::ExportResult result;
    {
        ui::BusyCursor busy;
        result = maintenance::writeDocx(*path, grid, existing);
    }
    if (!result.ok) {
        ui::messageBox(this, result.message, ui::Buttons::Ok, ui::Icon::Warning);
        return;
    }
    if (!ui::shellOpener().open(*path))
        ui::messageBox(this,
                       QStringLiteral("The table was saved as %1, but no word processor could be "
                                      "started to show it.")
                           .arg(*path),
                       ui::Buttons::Ok, ui::Icon::Information);
}

} // namespace platterly::app
