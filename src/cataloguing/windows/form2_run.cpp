// The cataloguing run as the new-disc window drives it: the checks before it, the window's
// state during it, its progress and Cancel, and what the user is told at its end.
#include "cataloguing/windows/form2.h"
#include "platform/system/native_name.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>

namespace platterly::cataloguing {

namespace {

// How many unreadable folders the message after a run names; it counts all of them.
constexpr qsizetype kUnreadableFoldersShown = 5;

const QString kCancelledMessage =
    QStringLiteral("Cataloguing was cancelled: nothing was added to the catalogue.");

QString recordedSummary(const RunResult& result)
{
    const QLocale locale;
    return QStringLiteral("%1 folders and %2 files recorded")
        .arg(locale.toString(result.dirs), locale.toString(result.files));
}

} // namespace

void Form2::cmdGo_Click()
{
    if (m_running)
        return;
    // A title of blanks only would be stored as no title at all.
    if (txtName->text().trimmed().isEmpty()) {
        ui::messageBox(this, kEnterTitleMessage);
        return;
    }
    const FolderToCatalogue folder =
        locateFolderToCatalogue(m_driveMap, txtPath->text(), m_chosenFolder, QDir::currentPath());
    if (!folder.ok()) {
        ui::messageBox(this, folder.error, ui::Buttons::Ok, ui::Icon::Warning);
        return;
    }

    const CataloguingRequest request =
        folder.image ? imageRequest(txtName->text(), *folder.image)
                     : CataloguingRequest{
                           txtName->text(),
                           folder.nativeRoot,
                           folder.driveRoot,
                           {},
                           drives::describeVolume(m_driveMap, folder.nativeRoot, folder.driveRoot)};
    const RunResult result = runWithProgress(request);
    reportOutcome(result);
    if (m_closeWhenRunEnds) {
        m_closeWhenRunEnds = false;
        close();
    }
}

void Form2::cmdCancel_Click()
{
    // The run looks at the flag between rows and rolls everything back.
    m_cancel = true;
    cmdCancel->setEnabled(false);
    lblProgress->setText(QStringLiteral("Cancelling..."));
}

void Form2::setRunning(bool running)
{
    m_running = running;
    for (QWidget* control : {static_cast<QWidget*>(Combo1), static_cast<QWidget*>(cmdScanDrives),
                             static_cast<QWidget*>(txtPath), static_cast<QWidget*>(txtName),
                             static_cast<QWidget*>(cmdGo), static_cast<QWidget*>(cmdQuit),
                             static_cast<QWidget*>(Check1)})
        control->setEnabled(!running);
    cmdSelDir->setEnabled(!running && Check1->isChecked());
    cmdSelFile->setEnabled(!running && Check1->isChecked());
    cmdCancel->setEnabled(running);
    cmdCancel->setVisible(running);
}

RunResult Form2::runWithProgress(const CataloguingRequest& request)
{
    m_promptBeforeRun = LblPrompt->text();
    m_progressBeforeRun = lblProgress->isVisible() ? lblProgress->text() : QString();
    m_cancel = false;
    setRunning(true);
    LblPrompt->setText(kProcessingPrompt);
    lblProgress->clear();
    lblProgress->show();

    RunResult result;
    {
        ui::BusyCursor busy;
        repaint();
        // Progress comes on this thread: the window repaints and serves its Cancel button
        // here, while the run's own thread goes on reading folders.
        const RunProgress progress = [this](qint64 entries, const QString& currentFolder) {
            showProgress(entries, currentFolder);
            QCoreApplication::processEvents();
        };
        if (m_lister) {
            result = runCataloguing(m_data, request, *m_lister, progress, &m_cancel);
        } else {
            SystemFolderLister lister;
            result = runCataloguing(m_data, request, lister, progress, &m_cancel);
        }
    }
    setRunning(false);
    return result;
}

void Form2::showProgress(qint64 entries, const QString& currentFolder)
{
    if (m_cancel)
        return;
    const QString count = QStringLiteral("%1 entries recorded   ").arg(QLocale().toString(entries));
    // Deep folders are shortened in the middle, so both the drive and the folder's own name
    // stay readable.
    const int room = lblProgress->width() - lblProgress->fontMetrics().horizontalAdvance(count);
    lblProgress->setText(count + lblProgress->fontMetrics().elidedText(
                                     system::displayedText(currentFolder), Qt::ElideMiddle, room));
}

void Form2::reportOutcome(const RunResult& result)
{
    if (result.outcome == RunOutcome::Finished) {
        LblPrompt->setText(kFinishedPrompt);
        lblProgress->setText(recordedSummary(result));
        reportUnreadableFolders(result);
        return;
    }

    // Nothing was written: the window looks as it did before the button was pressed.
    LblPrompt->setText(m_promptBeforeRun);
    lblProgress->setText(m_progressBeforeRun);
    lblProgress->setVisible(!m_progressBeforeRun.isEmpty());
    switch (result.outcome) {
    case RunOutcome::EmptyTitle:
        ui::messageBox(this, kEnterTitleMessage);
        break;
    case RunOutcome::TitleExists:
        ui::messageBox(this, kTitleExistsMessage, ui::Buttons::Ok, ui::Icon::Information);
        break;
    case RunOutcome::Cancelled:
        ui::messageBox(this, kCancelledMessage, ui::Buttons::Ok, ui::Icon::Information);
        break;
    case RunOutcome::Failed:
        ui::messageBox(this,
                       QStringLiteral("The disc could not be catalogued, and nothing was added to "
                                      "the catalogue:\n\n") +
                           result.message,
                       ui::Buttons::Ok, ui::Icon::Critical);
        break;
    case RunOutcome::Finished:
        break;
    }
}

void Form2::reportUnreadableFolders(const RunResult& result)
{
    if (result.unreadableFolderCount == 0)
        return;
    QString text = result.unreadableFolderCount == 1
                       ? QStringLiteral("1 folder could not be read. It is in the catalogue, "
                                        "without its contents:\n")
                       : QStringLiteral("%1 folders could not be read. They are in the "
                                        "catalogue, without their contents:\n")
                             .arg(QLocale().toString(result.unreadableFolderCount));
    const qsizetype shown = std::min(kUnreadableFoldersShown, result.unreadableFolders.size());
    for (qsizetype i = 0; i < shown; ++i) {
        const UnreadableFolder& folder = result.unreadableFolders.at(i);
        text += QStringLiteral("\n%1 (%2)").arg(system::displayedText(folder.path), folder.reason);
    }
    if (result.unreadableFolderCount > shown)
        text += QStringLiteral("\n... and %1 more.")
                    .arg(QLocale().toString(result.unreadableFolderCount - shown));
    ui::messageBox(this, text, ui::Buttons::Ok, ui::Icon::Warning);
}

} // namespace platterly::cataloguing
