// The results grid's menu: opening a found file or its folder, and copying the file to a
// chosen folder or to the desktop, all on the drive letter of the drive box.
#include "app/windows/form1.h"
#include "browse/entry_locator.h"
#include "browse/file_locations.h"
#include "catalogue/path_routines.h"
#include "platform/drives/system_volume_source.h"
#include "platform/system/native_name.h"
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

namespace {

QString folderNotCopiedMessage(const QString& name)
{
    return QStringLiteral("'%1' is a folder. Only files are copied: search for the files in "
                          "it and copy them, or open the folder with Open Containing Folder.")
        .arg(system::displayedText(name));
}

// Lets the window repaint now and then while a large file is copied or extracted.
browse::CopyProgress repaintingNowAndThen(QElapsedTimer& sinceRepaint)
{
    sinceRepaint.start();
    return [&sinceRepaint](qint64, qint64) {
        if (sinceRepaint.elapsed() >= 100) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sinceRepaint.restart();
        }
        return true;
    };
}

} // namespace

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
    // The grid makes the row under the pointer current on the press of either button, so the
    // menu acts on the row the user right-clicked, not on one chosen before.
    PresentRow = current.row() + 1;
    popmenu->popup(globalPos);
}

drives::DriveMap Form1::driveMap() const
{
    return m_driveSource ? m_driveSource() : drives::systemDriveMap();
}

browse::EntryLocator Form1::entryLocator()
{
    return browse::EntryLocator(driveMap(), m_data.database(), cmbDrive->letter());
}

std::optional<QString> Form1::locateCurrentRow(bool folderOnly)
{
    return entryLocator().locate(currentRowText(0), currentRowText(2),
                                 folderOnly ? QString() : currentRowText(1));
}

void Form1::mnuFile_Click()
{
    PresentRow = MSFlexGrid1->currentIndex().row() + 1;
    openEntry(false,
              browse::rerootOnDrive(cmbDrive->letterText(), currentRowText(2) + currentRowText(1)));
}

void Form1::mnuFolder_Click()
{
    PresentRow = MSFlexGrid1->currentIndex().row() + 1;
    openEntry(true, browse::rerootOnDrive(cmbDrive->letterText(), currentRowText(2)));
}

void Form1::openEntry(bool folderOnly, const QString& drivePath)
{
    const std::optional<browse::EntryLocation> found = entryLocator().find(
        currentRowText(0), currentRowText(2), folderOnly ? QString() : currentRowText(1));
    if (!found || !found->insideImage || found->memberIsFolder) {
        // A folder inside an image has no place of its own: the desktop shows the image.
        openPath(found ? std::optional<QString>(found->path) : std::nullopt, drivePath);
        return;
    }
    QString error;
    std::optional<QString> extracted;
    {
        ui::BusyCursor busy;
        QElapsedTimer sinceRepaint;
        extracted = browse::extractForOpening(found->path, found->member, currentRowText(1), &error,
                                              repaintingNowAndThen(sinceRepaint));
    }
    if (!extracted) {
        ui::messageBox(this, error, ui::Buttons::Ok, ui::Icon::Warning);
        return;
    }
    openPath(extracted, drivePath);
}

void Form1::openPath(const std::optional<QString>& nativePath, const QString& drivePath)
{
    if (nativePath && ui::shellOpener().open(*nativePath))
        return;
    reportUnableToOpen(currentRowText(0), system::displayedText(drivePath));
}

void Form1::reportUnableToOpen(const QString& title, const QString& file)
{
    ui::messageBox(this,
                   QStringLiteral("Please Insert CD : ") + title +
                       QStringLiteral(" or\r\nCheck the File '") + file +
                       QStringLiteral("' is a valid file to open "),
                   ui::Buttons::Ok, ui::Icon::Question, QStringLiteral("Unable to Open File"));
}

void Form1::readCopyRow()
{
    PresentRow = MSFlexGrid1->currentIndex().row() + 1;
    m_copyEntry = {currentRowText(0), currentRowText(2), currentRowText(1)};
    m_state.CopyFileName = currentRowText(1);
    m_state.CopySource = browse::rerootOnDrive(cmbDrive->letterText(), currentRowText(2));
}

bool Form1::refuseFolderRow()
{
    const std::optional<browse::EntryLocation> entry =
        entryLocator().find(m_copyEntry.title, m_copyEntry.path, m_copyEntry.name);
    if (!entry || !entry->isFolder())
        return false;
    ui::messageBox(this, folderNotCopiedMessage(m_copyEntry.name), ui::Buttons::Ok,
                   ui::Icon::Information);
    return true;
}

void Form1::mnucopy_Click()
{
    m_state.PathMode = handover::PathMode::CopyDestination;
    readCopyRow();
    if (refuseFolderRow())
        return;
    // The row is read now: choosing another row while the picker is open changes nothing.
    const QString title = currentRowText(0);
    m_windows.pickCopyFolder([this, title] {
        // Again while the disc is missing and the user says it is in now.
        while (!copyNow(false) && askForMissingDisc(QString(), title))
            continue;
    });
}

bool Form1::askForMissingDisc(const QString& separator, const QString& title)
{
    if (!m_copyFailure.discMissing())
        return false;
    const QString description = m_copyFailure.description;
    return ui::messageBox(this,
                          description + separator + QStringLiteral("Pleae Insert CD : ") + title +
                              QStringLiteral(" And Press OK"),
                          ui::Buttons::OkCancel, ui::Icon::Information,
                          description) == ui::Answer::Ok;
}

void Form1::mnucopydesk_Click()
{
    for (;;) {
        const QString desktop = system::GetSpecialFolder(system::kSpecialFolderDesktop);
        const auto drivePath = driveMap().toDrivePath(desktop);
        m_state.CopyTarget = (drivePath ? *drivePath : desktop) + QLatin1Char('\\');
        m_state.CopyTargetFolder = desktop;
        readCopyRow();
        if (refuseFolderRow())
            return;
        // The copy to the desktop asks with a blank before "Pleae", as it always did.
        if (copyNow(true) || !askForMissingDisc(QStringLiteral(" "), currentRowText(0)))
            return;
    }
}

// The source of the copy in progress, found as Open File finds it, or why it cannot be.
std::optional<browse::EntryLocation> Form1::locateCopySource()
{
    browse::EntryLocator locator = entryLocator();
    if (!locator.find(m_copyEntry.title, m_copyEntry.path, QString())) {
        m_copyFailure = {browse::CopyFailure::PathNotFound, QStringLiteral("Path not found")};
        return std::nullopt;
    }
    std::optional<browse::EntryLocation> entry =
        locator.find(m_copyEntry.title, m_copyEntry.path, m_copyEntry.name);
    if (!entry)
        m_copyFailure = {browse::CopyFailure::FileNotFound, QStringLiteral("File not found")};
    else if (entry->isFolder())
        m_copyFailure = {browse::CopyFailure::Other, folderNotCopiedMessage(m_copyEntry.name)};
    return m_copyFailure ? std::nullopt : entry;
}

bool Form1::copyNow(bool toDesktop)
{
    Q_UNUSED(toDesktop);
    ui::BusyCursor busy;
    setWindowTitle(QStringLiteral("Copying '") + system::displayedText(m_state.CopyFileName) +
                   QStringLiteral("' From '") +
                   system::displayedText(catalogue::LastFolderName(m_state.CopySource)) +
                   QStringLiteral("' To >> '") +
                   system::displayedText(catalogue::LastFolderName(m_state.CopyTarget)) +
                   QStringLiteral("'"));
    m_copyFailure = {};
    const std::optional<browse::EntryLocation> from = locateCopySource();
    // The folder picker hands over the real folder too: its capitalised drive form may not
    // name a folder on a file system that tells letter case apart.
    browse::NativeLocation to{m_state.CopyTargetFolder, {}};
    if (to.path.isEmpty())
        to = browse::nativeLocation(driveMap(), m_state.CopyTarget);
    if (from && to.path.isEmpty()) {
        m_copyFailure = {browse::CopyFailure::Other,
                         QStringLiteral("The folder %1 cannot be reached").arg(m_state.CopyTarget)};
    } else if (from) {
        // A large file is copied in pieces; the window is repainted between them.
        QElapsedTimer sinceRepaint;
        const browse::CopyProgress progress = repaintingNowAndThen(sinceRepaint);
        // An entry of a catalogued image is extracted straight into the destination.
        m_copyFailure =
            from->insideImage
                ? browse::copyImageEntryInto(from->path, from->member, to.path,
                                             m_state.CopyFileName, progress)
                : browse::copyFileInto(from->path, to.path, m_state.CopyFileName, progress);
    }
    setWindowTitle(kMainCaption);
    if (m_copyFailure && !m_copyFailure.discMissing())
        ui::messageBox(this, m_copyFailure.description, ui::Buttons::Ok, ui::Icon::Warning);
    return !m_copyFailure;
}

} // namespace platterly::app
