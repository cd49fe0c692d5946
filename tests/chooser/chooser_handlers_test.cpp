// The chooser's handlers driven as the user drives them: the drive box, the folder and file
// lists, the desktop button and the two load buttons.
#include "chooser_fixture.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace platterly::chooser::test {
namespace {

using platterly::test::EnvironmentGuard;
using platterly::test::readBytes;

const QString kPickAFile = u"Please Check  the File  list if files exists Click the file name"_s;

class ChooserHandlers : public ChooserTest
{
protected:
    void SetUp() override
    {
        ChooserTest::SetUp();
        tree.addFile(u"Catalogs/Music/Songs.db2"_s);
        tree.addFile(u"Catalogs/Music/Albums.MDB"_s);
        tree.addFolder(u"Catalogs/Empty"_s);
    }

    // Shows the chooser on the folder Catalogs/Music, as the last load remembered it.
    void openOnMusic()
    {
        rememberFolder(storedFormOf(u"Catalogs/Music"_s));
        open();
        ASSERT_EQ(chooser->Dir1->path(), tree.path(u"Catalogs/Music"_s));
    }
};

TEST_F(ChooserHandlers, AFileIsChosenByClickOrKeyAndLoadRemembersItsFolderInCapitals)
{
    openOnMusic();
    clickFile(u"Albums.MDB"_s);
    EXPECT_EQ(state.DBPath, tree.path(u"Catalogs/Music/Albums.MDB"_s));
    QTest::keyClick(chooser->File1, Qt::Key_Down);
    EXPECT_EQ(state.DBPath, tree.path(u"Catalogs/Music/Songs.db2"_s));

    QTest::mouseClick(chooser->cmdLoad, Qt::LeftButton);
    const QString expected = storedFormOf(u"Catalogs/Music"_s);
    EXPECT_TRUE(expected.endsWith(u"\\CATALOGS\\MUSIC\\"));
    EXPECT_EQ(rememberedFolder(), expected);
    EXPECT_EQ(state.DBPath, tree.path(u"Catalogs/Music/Songs.db2"_s));
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(mainShown, 1);
    EXPECT_TRUE(dialogs.shown().empty());

    // Load without a click reopens the catalogue in use.
    state.DBPath = tree.path(u"app/db.db2"_s);
    openOnMusic();
    rememberFolder(u"APP"_s);
    QTest::mouseClick(chooser->cmdLoad, Qt::LeftButton);
    EXPECT_EQ(state.DBPath, tree.path(u"app/db.db2"_s));
    EXPECT_EQ(rememberedFolder(), expected);

    // A double click on a file loads it at once.
    openOnMusic();
    rememberFolder(u"APP"_s);
    doubleClickRow(chooser->File1, rowOfFile(u"Albums.MDB"_s));
    EXPECT_EQ(state.DBPath, tree.path(u"Catalogs/Music/Albums.MDB"_s));
    EXPECT_EQ(rememberedFolder(), expected);
    EXPECT_EQ(mainShown, 3);
    EXPECT_FALSE(chooser->isVisible());
}

TEST_F(ChooserHandlers, LoadWithoutAFileToLoadAsksForOneAndStays)
{
    // No catalogue in use and none clicked; then a folder without catalogue files, with the
    // catalogue in use still named, as when the chooser is opened from the main window.
    openOnMusic();
    const QByteArray before = readBytes(settingsFile());
    dialogs.answer(ui::Answer::Ok);
    QTest::mouseClick(chooser->cmdLoad, Qt::LeftButton);
    state.DBPath = tree.path(u"app/db.db2"_s);
    doubleClickFolder(tree.path(u"Catalogs"_s));
    doubleClickFolder(tree.path(u"Catalogs/Empty"_s));
    ASSERT_EQ(chooser->File1->count(), 0);
    dialogs.answer(ui::Answer::Ok);
    QTest::mouseClick(chooser->cmdLoad, Qt::LeftButton);
    ASSERT_EQ(dialogs.shownTexts(), (QStringList{kPickAFile, kPickAFile}));
    EXPECT_EQ(dialogs.shown().front().caption, u"PLATTERLY");
    EXPECT_EQ(dialogs.shown().front().buttons, ui::Buttons::Ok);
    EXPECT_FALSE(dialogs.failed()) << dialogs.failures().toStdString();
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_EQ(mainShown, 0);
    EXPECT_EQ(readBytes(settingsFile()), before);
}

TEST_F(ChooserHandlers, TheDefaultButtonOpensTheDefaultCatalogueAndNeverWritesTheSettings)
{
    open();
    QTest::mouseClick(chooser->cmdDefault, Qt::LeftButton);
    EXPECT_EQ(state.DBPath, tree.path(u"app/db.db2"_s));
    EXPECT_FALSE(QFile::exists(settingsFile()));

    openOnMusic();
    const QByteArray before = readBytes(settingsFile());
    ASSERT_FALSE(before.isEmpty());
    clickFile(u"Songs.db2"_s);
    doubleClickFolder(tree.path(u"Catalogs"_s));

    QTest::mouseClick(chooser->cmdDefault, Qt::LeftButton);
    EXPECT_EQ(state.DBPath, tree.path(u"app/db.db2"_s));
    EXPECT_EQ(mainShown, 2);
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(readBytes(settingsFile()), before);
}

TEST_F(ChooserHandlers, TheFolderListShowsTheWayDownAndOpensFoldersBothWays)
{
    openOnMusic();
    FolderList* folders = chooser->Dir1;
    EXPECT_EQ(folders->folderAt(0), u"/");
    EXPECT_EQ(folders->folderAt(folders->currentFolderRow()), tree.path(u"Catalogs/Music"_s));
    EXPECT_EQ(rowOfFolder(tree.path(u"Catalogs/Empty"_s)), -1);

    doubleClickFolder(tree.path(u"Catalogs"_s));
    EXPECT_EQ(folders->path(), tree.path(u"Catalogs"_s));
    // The subfolders follow the current folder, in name order.
    EXPECT_EQ(rowOfFolder(tree.path(u"Catalogs/Empty"_s)), folders->currentFolderRow() + 1);
    EXPECT_EQ(rowOfFolder(tree.path(u"Catalogs/Music"_s)), folders->currentFolderRow() + 2);
    EXPECT_EQ(listedFiles(), QStringList());

    folders->setCurrentRow(rowOfFolder(tree.path(u"Catalogs/Music"_s)));
    QTest::keyClick(folders, Qt::Key_Return);
    EXPECT_EQ(folders->path(), tree.path(u"Catalogs/Music"_s));
    EXPECT_EQ(listedFiles(), (QStringList{u"Albums.MDB"_s, u"Songs.db2"_s}));
}

TEST_F(ChooserHandlers, TheDesktopButtonListsTheDesktopAndLeavesTheDriveBox)
{
    tree.addFile(u"home/Schreibtisch/desk.db2"_s);
    tree.addFile(u"config/user-dirs.dirs"_s, "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    EnvironmentGuard home("HOME", tree.path(u"home"_s));
    EnvironmentGuard config("XDG_CONFIG_HOME", tree.path(u"config"_s));
    rememberFolder(u"E:\\"_s);
    open();
    ASSERT_EQ(chooser->Drive1->drive(), QChar(u'E'));

    EXPECT_EQ(chooser->Command3->toolTip(), u"Desktop");
    QTest::mouseClick(chooser->Command3, Qt::LeftButton);
    EXPECT_EQ(chooser->Dir1->path(), tree.path(u"home/Schreibtisch"_s));
    EXPECT_EQ(listedFiles(), QStringList{u"desk.db2"_s});
    EXPECT_EQ(chooser->Drive1->drive(), QChar(u'E'));
}

TEST_F(ChooserHandlers, TheTextsAreTheProgramsOwnAndPickingADriveListsItsRoot)
{
    open();
    EXPECT_EQ(chooser->Label3->text(), u"SELECT DATABASE COLLECTION TO LOAD");
    EXPECT_EQ(chooser->Label1->text(), u"Select A Directory");
    EXPECT_EQ(chooser->Label2->text(), u"Select A Database File");
    EXPECT_EQ(chooser->cmdDefault->text(), u"Load &Default Datbase");
    EXPECT_EQ(chooser->cmdLoad->text(), u"&Load  Selected Database");
    EXPECT_EQ(chooser->Drive1->itemText(0), u"C:  /");
    EXPECT_EQ(chooser->Drive1->itemText(1), u"D:");
    EXPECT_EQ(chooser->Drive1->itemText(2), u"E:  "_s + tree.path(u"cdrom"_s));
    chooser->Drive1->setDrive(u'D');
    QTest::keyClick(chooser->Drive1, Qt::Key_Down);
    ASSERT_EQ(chooser->Drive1->drive(), QChar(u'E'));
    EXPECT_EQ(chooser->Dir1->path(), tree.path(u"cdrom"_s));
    EXPECT_EQ(listedFiles(), QStringList{u"ON_DISC.DB2"_s});
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(ChooserHandlers, AnEmptyDriveAsksUntilCancelledAndRetryLooksAtTheDrivesAgain)
{
    tree.addFile(u"disc/NEW.DB2"_s);
    open();
    dialogs.answer(ui::Answer::Retry);
    dialogs.answer(ui::Answer::Cancel);
    QTest::keyClick(chooser->Drive1, Qt::Key_Down);
    ASSERT_EQ(chooser->Drive1->drive(), QChar(u'D'));
    ASSERT_EQ(dialogs.shown().size(), 2u);
    for (const ui::ShownDialog& box : dialogs.shown()) {
        EXPECT_EQ(box.text, u"Device is not ready");
        EXPECT_EQ(box.caption, u"Quenlo");
        EXPECT_EQ(box.buttons, ui::Buttons::RetryCancel);
    }
    EXPECT_EQ(chooser->Dir1->path(), applicationFolder());
    EXPECT_EQ(listedFiles(), QStringList{u"db.db2"_s});

    // A disc put in while the box shows is found by the retry.
    dialogs.clear();
    dialogs.answer(ui::Answer::Retry);
    chooser->Drive1->setDrive(u'C');
    const int readsBefore = driveReads;
    discInDriveD = true;
    QTest::keyClick(chooser->Drive1, Qt::Key_Down);
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(driveReads, readsBefore + 1);
    EXPECT_EQ(chooser->Dir1->path(), tree.path(u"disc"_s));
    EXPECT_EQ(listedFiles(), QStringList{u"NEW.DB2"_s});
    EXPECT_EQ(chooser->Drive1->itemText(1), u"D:  "_s + tree.path(u"disc"_s));
    EXPECT_FALSE(dialogs.failed()) << dialogs.failures().toStdString();
}

} // namespace
} // namespace platterly::chooser::test
