// The new-disc window's load step and the handlers of its boxes and small buttons.
#include "cataloguing/disc_image.h"
#include "cataloguing/drive_list.h"
#include "cataloguing/windows/form2.h"
#include "cataloguing/windows/frm_path.h"
#include "platform/drives/typed_path.h"
#include "platform/ui/dialogs.h"
#include "search/name_index_planner.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace platterly::cataloguing {

namespace {

// The back colours of the path box: grey while it is locked, white while it can be typed in.
const QColor kLockedBackground(224, 224, 224);
const QColor kOpenBackground(255, 255, 255);

} // namespace

void Form2::Load()
{
    m_loaded = true;
    m_chosenFolder.reset();
    Check1->setChecked(false);
    Check1_Click();
    LblPrompt->setText(kInstructionPrompt);
    lblProgress->clear();
    lblProgress->hide();

    cmdScanDrives_Click();
    txtPath->setText(List1.value(0));
    txtName->setText(List2.value(0));
    search::useCatalogue(m_data, m_state.DBPath);
}

void Form2::cmdScanDrives_Click()
{
    Combo1->clear();
    List1.clear();
    List2.clear();
    m_driveMap = m_driveSource ? m_driveSource() : drives::DriveMap();
    DriveRoots = CDDriveList(m_driveMap);

    // A drive can be slow to answer; the window stays painted meanwhile, and the button
    // cannot start a second scan inside this one.
    cmdScanDrives->setEnabled(false);
    for (std::size_t i = 1; i < DriveRoots.size(); ++i) {
        QCoreApplication::processEvents();
        const QString label = DriveLabel(m_driveMap, DriveRoots[i]);
        if (label.isEmpty())
            continue;
        const QString root = DriveRoots[i].toUpper();
        Combo1->addItem(root + kDriveLabelSeparator + label);
        List1.append(root);
        List2.append(label);
    }
    cmdScanDrives->setEnabled(!m_running);

    Combo1->setCurrentIndex(Combo1->count() > 0 ? 0 : -1);
    txtPath->setText(List1.value(0));
    txtName->setText(List2.value(0));
}

void Form2::Combo1_Click()
{
    const int index = Combo1->currentIndex();
    txtPath->setText(List1.value(index));
    txtName->setText(List2.value(index));
}

void Form2::Check1_Click()
{
    const bool open = Check1->isChecked();
    txtPath->setReadOnly(!open);
    QPalette colours = txtPath->palette();
    colours.setColor(QPalette::Base, open ? kOpenBackground : kLockedBackground);
    txtPath->setPalette(colours);
    cmdSelDir->setEnabled(open && !m_running);
    cmdSelFile->setEnabled(open && !m_running);
}

void Form2::cmdSelDir_Click()
{
    setEnabled(false);
    m_state.PathMode = handover::PathMode::FolderToCatalogue;
    folderPicker().showLoaded();
}

void Form2::cmdSelFile_Click()
{
    const std::optional<QString> file = ui::dialogs().openFileName(
        this, QStringLiteral("Select a disc image or archive"), QDir::homePath(),
        QStringLiteral("Disc images and archives (*.iso *.zip *.7z *.tar *.tgz *.tar.* *.cpio "
                       "*.rar *.cab *.lzh *.xar);;All files (*)"));
    if (!file)
        return;
    txtPath->setText(m_driveMap.toDrivePath(*file).value_or(*file));
    m_titleProposedFor.clear();
    proposeImageTitle();
}

void Form2::txtPath_LostFocus()
{
    if (txtPath->text() != m_titleProposedFor)
        proposeImageTitle();
}

void Form2::proposeImageTitle()
{
    const QString typed = txtPath->text();
    const drives::TypedPath where =
        drives::resolveTypedPath(m_driveMap, typed, QDir::currentPath());
    if (!where.ok() || !isImageFile(where.nativePath))
        return;
    const DiscImage image = identifyImage(where.nativePath, where.drivePath);
    if (!image.ok())
        return; // "Create CD Database" says what is wrong with it
    m_titleProposedFor = typed;
    txtName->setText(proposedImageTitle(image));
}

void Form2::cmdQuit_Click()
{
    close();
}

void Form2::closeEvent(QCloseEvent* event)
{
    // Closing in the middle of a run cancels it; the window closes once the run has rolled
    // back, so the catalogue is never left to a window that is gone.
    if (m_running) {
        m_cancel = true;
        m_closeWhenRunEnds = true;
        event->ignore();
        return;
    }
    if (m_picker && m_picker->isVisible())
        m_picker->close();
    m_loaded = false;
    // The main window opens the catalogue next; only one window works on it at a time.
    m_data.close();
    event->accept();
    m_windows.showMain();
}

} // namespace platterly::cataloguing
