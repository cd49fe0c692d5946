// The results grid's menu: opening a found file or its folder, and copying the file to a
// chosen folder or to the desktop, all on the drive letter of the drive box.
#include "app/common/program_state.h"
#include "app/common/windows.h"
#include "app/windows/form1.h"
#include "browse/file_locations.h"
#include "catalogue/path_routines.h"
#include "platform/drives/system_volume_source.h"
#include "platform/system/special_folders.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/shell_opener.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QTableView>

namespace platterly::app {

void Form1::buildResultsMenu()
{
    popmenu = new QMenu(this);
    popmenu->setObjectName(QStringLiteral("popmenu"));
    auto add = [this](const char* name, const QString& text, void (Form1::*handler)()) {
        QAction* action = popmenu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
    };
    add("mnuFile", QStringLiteral("&Open File"), &Form1::mnuFile_Click);
    add("mnuFolder", QStringLiteral("Open Containing &Folder"), &Form1::mnuFolder_Click);
    add("mnucopy", QStringLiteral("&Copy File To"), &Form1::mnucopy_Click);
    add("mnucopydesk", QStringLiteral("Copy File to &Desktop"), &Form1::mnucopydesk_Click);
}

void Form1::MSFlexGrid1_MouseUp(Qt::MouseButton button, const QPoint& globalPos)
{
    if (button != Qt::RightButton)
        return;
    const QModelIndex current = MSFlexGrid1->currentIndex();
    // A folder's size is empty, yet its row is a result: the added columns ask the name.
    const int column = current.column() >= 3 ? 1 : current.column();
    if (!current.isValid() || m_results->cellText(current.row(), column).isEmpty())
        return;
    // The menu acts on the row chosen with the left button; a right click does not move it.
    PresentRow = current.row() + 1;
    popmenu->popup(globalPos);
}

void Form1::mnuFile_Click()
{
    PresentRow = MSFlexGrid1->currentIndex().row() + 1;
    openPath(browse::rerootOnDrive(cmbDrive->currentText(), currentRowText(2) + currentRowText(1)));
}

void Form1::mnuFolder_Click()
{
    PresentRow = MSFlexGrid1->currentIndex().row() + 1;
    openPath(browse::rerootOnDrive(cmbDrive->currentText(), currentRowText(2)));
}

void Form1::openPath(const QString& drivePath)
{
    const browse::NativeLocation where =
        browse::nativeLocation(drives::systemDriveMap(), drivePath);
    if (!where.path.isEmpty() && ui::shellOpener().open(where.path))
        return;
    ui::messageBox(this,
                   QStringLiteral("Please Insert CD : ") + currentRowText(0) +
                       QStringLiteral(" or\r\nCheck the File '") + drivePath +
                       QStringLiteral("' is a valid file to open "),
                   ui::Buttons::Ok, ui::Icon::Question, QStringLiteral("Unable to Open File"));
}

void Form1::readCopyRow()
{
    PresentRow = MSFlexGrid1->currentIndex().row() + 1;
    state().CopyFileName = currentRowText(1);
    state().CopySource = browse::rerootOnDrive(cmbDrive->currentText(), currentRowText(2));
}

void Form1::mnucopy_Click()
{
    state().PathMode = 2;
    readCopyRow();
    if (!windows().pickCopyFolder) {
        notYetAvailable(QStringLiteral("Copying to a folder"));
        return;
    }
    // The row is read now: choosing another row while the picker is open changes nothing.
    const QString title = currentRowText(0);
    windows().pickCopyFolder([this, title] {
        while (!copyNow(false)) {
            if (!m_copyFailure.discMissing())
                return;
            const QString description = m_copyFailure.description;
            if (ui::messageBox(this,
                               description + QStringLiteral("Pleae Insert CD : ") + title +
                                   QStringLiteral(" And Press OK"),
                               ui::Buttons::OkCancel, ui::Icon::Information,
                               description) != ui::Answer::Ok)
                return;
        }
    });
}

void Form1::copyToChosenFolder()
{
    copyNow(false);
}

void Form1::mnucopydesk_Click()
{
    for (;;) {
        const QString desktop = system::GetSpecialFolder(system::kSpecialFolderDesktop);
        const auto drivePath = drives::systemDriveMap().toDrivePath(desktop);
        state().CopyTarget = (drivePath ? *drivePath : desktop) + QLatin1Char('\\');
        state().CopyTargetFolder = desktop;
        readCopyRow();
        if (copyNow(true))
            return;
        if (!m_copyFailure.discMissing())
            return;
        const QString description = m_copyFailure.description;
        if (ui::messageBox(this,
                           description + QStringLiteral(" Pleae Insert CD : ") + currentRowText(0) +
                               QStringLiteral(" And Press OK"),
                           ui::Buttons::OkCancel, ui::Icon::Information,
                           description) != ui::Answer::Ok)
            return;
    }
}

bool Form1::copyNow(bool toDesktop)
{
    Q_UNUSED(toDesktop);
    const drives::DriveMap drives = drives::systemDriveMap();
    ui::BusyCursor busy;
    setWindowTitle(QStringLiteral("Copying '") + state().CopyFileName + QStringLiteral("' From '") +
                   catalogue::LastFolderName(state().CopySource) + QStringLiteral("' To >> '") +
                   catalogue::LastFolderName(state().CopyTarget) + QStringLiteral("'"));
    m_copyFailure = {};
    const browse::NativeLocation from = browse::nativeLocation(drives, state().CopySource);
    // The folder picker hands over the real folder too: its capitalised drive form may not
    // name a folder on a file system that tells letter case apart.
    browse::NativeLocation to{state().CopyTargetFolder, {}};
    if (to.path.isEmpty())
        to = browse::nativeLocation(drives, state().CopyTarget);
    if (from.path.isEmpty()) {
        m_copyFailure = {from.error == QLatin1String("Disk not ready")
                             ? browse::CopyFailure::DiskNotReady
                             : browse::CopyFailure::PathNotFound,
                         from.error};
    } else if (to.path.isEmpty()) {
        m_copyFailure = {browse::CopyFailure::Other,
                         QStringLiteral("The folder %1 cannot be reached").arg(state().CopyTarget)};
    } else {
        // A large file is copied in pieces; the window is repainted between them.
        QElapsedTimer sinceRepaint;
        sinceRepaint.start();
        m_copyFailure = browse::copyFileInto(QDir(from.path).filePath(state().CopyFileName),
                                             to.path, state().CopyFileName, [&](qint64, qint64) {
                                                 if (sinceRepaint.elapsed() >= 100) {
                                                     QCoreApplication::processEvents(
                                                         QEventLoop::ExcludeUserInputEvents);
                                                     sinceRepaint.restart();
                                                 }
                                                 return true;
                                             });
    }
    setWindowTitle(kMainCaption);
    if (m_copyFailure && !m_copyFailure.discMissing())
        ui::messageBox(this, m_copyFailure.description, ui::Buttons::Ok, ui::Icon::Warning);
    return !m_copyFailure;
}

} // namespace platterly::app
