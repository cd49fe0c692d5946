// The folder picker in both modes: the folder it opens on, confirming and cancelling, the
// drives and shortcut buttons, and handing the folder to the new-disc window.
#include "chooser/drive_box.h"
#include "chooser/folder_list.h"
#include "new_disc_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace platterly::cataloguing::test {
namespace {

using platterly::test::EnvironmentGuard;

class FolderPicker : public NewDiscTest
{
protected:
    void SetUp() override
    {
        NewDiscTest::SetUp();
        tree.addFile(u"data/Music/song.mp3"_s, "mp3");
        tree.addFile(u"data/Pictures/a.jpg"_s, "jpg");
        tree.addFolder(u"Backup/Copies"_s);
        tree.addFolder(u"work"_s);
        picker = std::make_unique<frmPath>(state, [this] { return currentDrives(); });
        picker->setCopyAction([this] {
            ++copiesRun;
            pickerVisibleDuringCopy = picker->isVisible();
        });
    }

    void TearDown() override
    {
        picker.reset();
        NewDiscTest::TearDown();
    }

    void openPicker(handover::PathMode mode)
    {
        state.PathMode = mode;
        picker->showLoaded();
    }

    // Opens a folder of the list as the user does, with a double click on its line.
    static void doubleClickFolder(frmPath& where, const QString& folder)
    {
        chooser::FolderList* list = where.Dir1;
        int row = -1;
        for (int i = 0; i < list->count(); ++i) {
            if (list->folderAt(i) == folder)
                row = i;
        }
        ASSERT_GE(row, 0) << folder.toStdString() << " is not listed";
        const QPoint centre = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }

    // Picks a drive in the drive box as the user does.
    static void pickDrive(frmPath& where, QChar letter)
    {
        chooser::DriveBox* box = where.Drive1;
        for (int i = 0; i < box->count(); ++i) {
            if (box->itemText(i).startsWith(letter))
                box->setCurrentIndex(i);
        }
    }

    std::unique_ptr<frmPath> picker;
    int copiesRun = 0;
    bool pickerVisibleDuringCopy = true;
};

TEST_F(FolderPicker, EachModeOpensOnItsOwnFolderFoundWhateverTheCase)
{
    writeSetting(u"Path"_s, storedFormOf(u"data/Music"_s));
    writeSetting(u"CopyPath"_s, storedFormOf(u"Backup/Copies"_s));

    openPicker(handover::PathMode::FolderToCatalogue);
    EXPECT_EQ(picker->Dir1->path(), tree.path(u"data/Music"_s));
    EXPECT_EQ(picker->Drive1->drive(), QChar(u'C'));
    EXPECT_EQ(picker->lblPath->text(), driveFormOf(u"data/Music"_s));
    EXPECT_EQ(picker->Command1->text(), u"&Ok");
    EXPECT_EQ(picker->Label1->text(), u"Select Directory");
    EXPECT_EQ(picker->Command2->text(), u"&Cancel");
    EXPECT_EQ(picker->Drive1->itemText(0), u"C:  /");
    EXPECT_EQ(picker->Drive1->itemText(3), u"F:");
    EXPECT_EQ(state.ChosenPath, storedFormOf(u"data/Music"_s));

    picker->close();
    openPicker(handover::PathMode::CopyDestination);
    EXPECT_EQ(picker->Dir1->path(), tree.path(u"Backup/Copies"_s));
    EXPECT_EQ(picker->Command1->text(), u"Copy &File");
    EXPECT_EQ(state.ChosenPath, storedFormOf(u"Backup/Copies"_s));

    picker->close();
    openPicker(handover::PathMode::FolderToCatalogue);
    EXPECT_EQ(picker->Command1->text(), u"&Ok");
}

TEST_F(FolderPicker, FirstUseOpensTheCurrentFolderAndOneThatIsGoneTheRootOfItsDrive)
{
    const CurrentFolderGuard current(tree.path(u"work"_s));
    for (handover::PathMode mode :
         {handover::PathMode::FolderToCatalogue, handover::PathMode::CopyDestination}) {
        openPicker(mode);
        EXPECT_EQ(state.ChosenPath, u"0");
        EXPECT_EQ(picker->Dir1->path(), tree.path(u"work"_s));
        picker->close();
    }
    struct Case
    {
        QString preset;
        QString listed;
        QChar drive;
    };
    const Case cases[] = {
        {storedFormOf(u"data/Gone"_s), u"/"_s, u'C'},
        {u"D:\\NOT THERE\\"_s, tree.path(u"discD"_s), u'D'},
        // A drive that holds no disc now: the root file system.
        {u"F:\\OLD\\"_s, u"/"_s, u'C'},
    };
    for (const Case& each : cases) {
        writeSetting(u"Path"_s, each.preset);
        openPicker(handover::PathMode::FolderToCatalogue);
        EXPECT_EQ(picker->Dir1->path(), each.listed) << each.preset.toStdString();
        EXPECT_EQ(picker->Drive1->drive(), each.drive) << each.preset.toStdString();
        // The label still names the folder looked for.
        EXPECT_EQ(picker->lblPath->text(), each.preset);
        picker->close();
    }

    // A drive the machine does not have leaves the lists on the current folder.
    writeSetting(u"Path"_s, u"Q:\\MUSIC\\"_s);
    openPicker(handover::PathMode::FolderToCatalogue);
    EXPECT_EQ(picker->Dir1->path(), tree.path(u"work"_s));
}

TEST_F(FolderPicker, CopyModeRunsTheCopyOnlyWhenConfirmedAndStoresTheTarget)
{
    const CurrentFolderGuard current(tree.path(u"work"_s));
    QWidget mainWindow;
    mainWindow.show();
    // Cancelled: nothing copied, nothing stored.
    state.CopyTarget = u"E:\\EARLIER\\"_s;
    openPicker(handover::PathMode::CopyDestination);
    doubleClickFolder(*picker, tree.root());
    doubleClickFolder(*picker, tree.path(u"Backup"_s));
    QTest::mouseClick(picker->Command2, Qt::LeftButton);
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(copiesRun, 0);
    EXPECT_EQ(state.CopyTarget, u"E:\\EARLIER\\");
    EXPECT_EQ(setting(u"CopyPath"_s), u"(none)");
    EXPECT_TRUE(mainWindow.isEnabled());

    openPicker(handover::PathMode::CopyDestination);
    doubleClickFolder(*picker, tree.root());
    doubleClickFolder(*picker, tree.path(u"Backup"_s));
    EXPECT_EQ(picker->lblPath->text(), driveFormOf(u"Backup"_s));
    QTest::mouseClick(picker->Command1, Qt::LeftButton);

    const QString stored = storedFormOf(u"Backup"_s);
    EXPECT_EQ(state.CopyTarget, stored);
    EXPECT_EQ(state.ChosenPath, stored);
    EXPECT_EQ(picker->chosen().nativePath, tree.path(u"Backup"_s));
    EXPECT_EQ(picker->chosen().drivePath, stored);
    EXPECT_EQ(setting(u"CopyPath"_s), stored);
    EXPECT_EQ(setting(u"Path"_s), u"(none)");
    EXPECT_EQ(copiesRun, 1);
    EXPECT_FALSE(pickerVisibleDuringCopy);
    EXPECT_TRUE(mainWindow.isEnabled());

    // The next opening in copy mode starts there; folder mode has its own folder.
    openPicker(handover::PathMode::CopyDestination);
    EXPECT_EQ(picker->Dir1->path(), tree.path(u"Backup"_s));
    picker->close();
    openPicker(handover::PathMode::FolderToCatalogue);
    EXPECT_EQ(picker->Dir1->path(), tree.path(u"work"_s));
}

TEST_F(FolderPicker, ConfirmingAFolderOrADriveFillsTheNewDiscWindowCancelKeepsIt)
{
    writeSetting(u"Path"_s, storedFormOf(u"data"_s));
    open();
    QTest::mouseClick(form->Check1, Qt::LeftButton);
    QTest::mouseClick(form->cmdSelDir, Qt::LeftButton);
    frmPath& own = form->folderPicker();
    EXPECT_FALSE(form->isEnabled());
    EXPECT_TRUE(own.isVisible());
    EXPECT_EQ(own.mode(), handover::PathMode::FolderToCatalogue);
    EXPECT_EQ(own.Dir1->path(), tree.path(u"data"_s));

    doubleClickFolder(own, tree.path(u"data/Music"_s));
    QTest::mouseClick(own.Command1, Qt::LeftButton);
    const QString stored = storedFormOf(u"data/Music"_s);
    EXPECT_FALSE(own.isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->txtPath->text(), stored);
    EXPECT_EQ(form->txtName->text(), u"MUSIC");
    EXPECT_EQ(setting(u"Path"_s), stored);

    // A drive's root is proposed as the drive; Cancel keeps the boxes.
    QTest::mouseClick(form->cmdSelDir, Qt::LeftButton);
    pickDrive(own, u'D');
    EXPECT_EQ(own.Dir1->path(), tree.path(u"discD"_s));
    EXPECT_EQ(own.lblPath->text(), u"D:\\");
    QTest::mouseClick(own.Command1, Qt::LeftButton);
    EXPECT_EQ(form->txtPath->text(), u"D:\\");
    EXPECT_EQ(form->txtName->text(), u"D Drive");

    typeTitle(u"Kept"_s);
    QTest::mouseClick(form->cmdSelDir, Qt::LeftButton);
    pickDrive(own, u'E');
    QTest::mouseClick(own.Command2, Qt::LeftButton);
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->txtPath->text(), u"D:\\");
    EXPECT_EQ(form->txtName->text(), u"Kept");
    EXPECT_EQ(setting(u"Path"_s), u"D:\\");

    // Closing the picker by its close box also gives the window back.
    QTest::mouseClick(form->cmdSelDir, Qt::LeftButton);
    EXPECT_FALSE(form->isEnabled());
    own.close();
    EXPECT_TRUE(form->isEnabled());
}

TEST_F(FolderPicker, ADriveWithoutADiscAsksToRetryReadingTheDrivesUntilCancelled)
{
    writeSetting(u"Path"_s, storedFormOf(u"data"_s));
    openPicker(handover::PathMode::FolderToCatalogue);
    dialogs.answer(ui::Answer::Retry);
    dialogs.answer(ui::Answer::Retry);
    dialogs.answer(ui::Answer::Cancel);
    const int readsBefore = driveReads;
    pickDrive(*picker, u'F');
    ASSERT_EQ(dialogs.shown().size(), 3u);
    for (const ui::ShownDialog& box : dialogs.shown()) {
        EXPECT_EQ(box.text, u"Device is not ready");
        EXPECT_EQ(box.caption, u"Quenlo");
        EXPECT_EQ(box.buttons, ui::Buttons::RetryCancel);
    }
    // Each retry looks at the drives afresh.
    EXPECT_EQ(driveReads, readsBefore + 2);
    EXPECT_EQ(picker->Dir1->path(), tree.path(u"data"_s));
    EXPECT_EQ(picker->Drive1->drive(), QChar(u'C'));
}

TEST_F(FolderPicker, TheShortcutButtonsListTheDesktopAndTheDocuments)
{
    tree.addFolder(u"home/Schreibtisch"_s);
    tree.addFolder(u"home/Dokumente"_s);
    tree.addFile(u"config/user-dirs.dirs"_s,
                 "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EnvironmentGuard home("HOME", tree.path(u"home"_s));
    EnvironmentGuard config("XDG_CONFIG_HOME", tree.path(u"config"_s));
    writeSetting(u"Path"_s, u"D:\\"_s);
    openPicker(handover::PathMode::FolderToCatalogue);
    ASSERT_EQ(picker->Drive1->drive(), QChar(u'D'));

    EXPECT_EQ(picker->Command3->toolTip(), u"Desktop");
    EXPECT_EQ(picker->Command4->toolTip(), u"My Documents");
    QTest::mouseClick(picker->Command3, Qt::LeftButton);
    EXPECT_EQ(picker->Dir1->path(), tree.path(u"home/Schreibtisch"_s));
    EXPECT_EQ(picker->Drive1->drive(), QChar(u'C'));
    EXPECT_EQ(picker->lblPath->text(), driveFormOf(u"home/Schreibtisch"_s));
    QTest::mouseClick(picker->Command4, Qt::LeftButton);
    EXPECT_EQ(picker->Dir1->path(), tree.path(u"home/Dokumente"_s));
}

} // namespace
} // namespace platterly::cataloguing::test
