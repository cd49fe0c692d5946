// The main window's maintenance commands: deleting and renaming a disc, taking a back-up of
// the catalogue, and exporting the results grid to a word-processor document.
#include "app/windows/form1.h"
#include "maintenance/backup_catalogue.h"
#include "maintenance/delete_disc.h"
#include "maintenance/docx_export.h"
#include "maintenance/rename_disc.h"
#include "maintenance/results_grid.h"
#include "platform/system/application_folder.h"
#include "platform/system/special_folders.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/shell_opener.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTreeView>

namespace platterly::app {

void Form1::cmdDelete_Click()
{
    if (SelCDName.isEmpty()) {
        ui::messageBox(this, maintenance::kSelectDiscToDeleteMessage);
        return;
    }
    // The disc shown highlighted; after a rename refilled the list there may be none.
    const int highlighted = highlightedDisc();
    SelCDName = highlighted >= 0 ? List1->item(highlighted)->text() : QString();
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
    const int highlighted = highlightedDisc();
    SelCDName = highlighted >= 0 ? List1->item(highlighted)->text() : QString();
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
        if (result.ok()) {
            ui::messageBox(this, result.message, ui::Buttons::Ok, ui::Icon::None,
                           maintenance::kBackupReportCaption);
            if (!result.warning.isEmpty())
                ui::messageBox(this, result.warning, ui::Buttons::Ok, ui::Icon::Warning,
                               maintenance::kBackupReportCaption);
        } else
            ui::messageBox(this, result.message, ui::Buttons::Ok, ui::Icon::Warning,
                           maintenance::kBackupReportCaption);
        return;
    }
}

void Form1::CmdExport_Click()
{
    maintenance::GridText grid;
    grid.push_back(maintenance::resultsGridHeader());
    for (qsizetype row = 0; row < m_results->resultCount(); ++row)
        grid.push_back({m_results->cellText(row, 0), m_results->cellText(row, 1),
                        m_results->cellText(row, 2)});
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
