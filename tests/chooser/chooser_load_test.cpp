// Where the chooser's three lists stand after its load step, for each kind of remembered
// folder.
#include "chooser_fixture.h"

namespace platterly::chooser::test {
namespace {

using ChooserLoad = ChooserTest;

TEST_F(ChooserLoad, FirstStartShowsTheApplicationFolderWithTheDefaultCatalogue)
{
    open();
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_EQ(chooser->LoadedPath, applicationFolder());
    EXPECT_EQ(chooser->Drive1->drive(), QChar(u'C'));
    EXPECT_EQ(chooser->Dir1->path(), applicationFolder());
    EXPECT_EQ(chooser->File1->path(), applicationFolder());
    EXPECT_EQ(listedFiles(), QStringList{QStringLiteral("db.db2")});
    // Loading reads the settings file but never writes it.
    EXPECT_FALSE(QFile::exists(settingsFile()));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(ChooserLoad, TheWordAppMeansTheApplicationFolder)
{
    rememberFolder(QStringLiteral("APP"));
    open();
    EXPECT_EQ(chooser->LoadedPath, u"APP");
    EXPECT_EQ(chooser->File1->path(), applicationFolder());
    EXPECT_EQ(listedFiles(), QStringList{QStringLiteral("db.db2")});
    EXPECT_EQ(chooser->Dir1->path(), applicationFolder());
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(ChooserLoad, ARememberedFolderIsFoundAgainWhateverTheCaseOfItsNames)
{
    tree.addFile(QStringLiteral("Catalogs/Music/Mine.DB3"));
    tree.addFile(QStringLiteral("Catalogs/Music/notes.txt"));
    rememberFolder(storedFormOf(QStringLiteral("Catalogs/Music")));
    open();
    EXPECT_EQ(chooser->Dir1->path(), tree.path(QStringLiteral("Catalogs/Music")));
    EXPECT_EQ(chooser->File1->path(), tree.path(QStringLiteral("Catalogs/Music")));
    EXPECT_EQ(listedFiles(), QStringList{QStringLiteral("Mine.DB3")});
    EXPECT_EQ(chooser->Drive1->drive(), QChar(u'C'));
}

TEST_F(ChooserLoad, AFolderOnAnotherDriveSelectsThatDrive)
{
    tree.addFile(QStringLiteral("cdrom/sub/Old.mdb"));
    rememberFolder(QStringLiteral("E:\\SUB\\"));
    open();
    EXPECT_EQ(chooser->Drive1->drive(), QChar(u'E'));
    EXPECT_EQ(chooser->Dir1->path(), tree.path(QStringLiteral("cdrom/sub")));
    EXPECT_EQ(listedFiles(), QStringList{QStringLiteral("Old.mdb")});
}

TEST_F(ChooserLoad, ARememberedFolderThatIsGoneFallsBackToTheApplicationFolder)
{
    tree.addFolder(QStringLiteral("Catalogs"));
    rememberFolder(storedFormOf(QStringLiteral("Catalogs/Removed")));
    open();
    EXPECT_EQ(chooser->Dir1->path(), applicationFolder());
    EXPECT_EQ(chooser->File1->path(), applicationFolder());
    EXPECT_EQ(listedFiles(), QStringList{QStringLiteral("db.db2")});
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(ChooserLoad, ADriveThatIsNotReadyLeavesTheListsWhereTheyStartWithoutAMessage)
{
    rememberFolder(QStringLiteral("D:\\CATALOGS\\"));
    open();
    EXPECT_EQ(chooser->Drive1->drive(), QChar(u'C'));
    EXPECT_EQ(chooser->Dir1->path(), applicationFolder());
    EXPECT_EQ(listedFiles(), QStringList{QStringLiteral("db.db2")});
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(ChooserLoad, OnlyCatalogueFilesAreListedInAnyCase)
{
    tree.addFile(QStringLiteral("mixed/b.mdb"));
    tree.addFile(QStringLiteral("mixed/A.DB2"));
    tree.addFile(QStringLiteral("mixed/c.Db3"));
    tree.addFile(QStringLiteral("mixed/notes.txt"));
    tree.addFile(QStringLiteral("mixed/db2"));
    tree.addFile(QStringLiteral("mixed/old.db2.bak"));
    tree.addFile(QStringLiteral("mixed/.hidden.db2"));
    tree.addFolder(QStringLiteral("mixed/folder.db2"));
    rememberFolder(storedFormOf(QStringLiteral("mixed")));
    open();
    EXPECT_EQ(listedFiles(), (QStringList{QStringLiteral("A.DB2"), QStringLiteral("b.mdb"),
                                          QStringLiteral("c.Db3")}));
}

TEST_F(ChooserLoad, EachLoadStartsAgainFromTheRememberedFolder)
{
    tree.addFile(QStringLiteral("Catalogs/one.db2"));
    tree.addFolder(QStringLiteral("app/Elsewhere"));
    rememberFolder(storedFormOf(QStringLiteral("Catalogs")));
    open();
    doubleClickFolder(tree.root());
    doubleClickFolder(applicationFolder());
    ASSERT_EQ(chooser->Dir1->path(), applicationFolder());

    chooser->cmdDefault_Click();
    EXPECT_FALSE(chooser->isLoaded());
    open();
    EXPECT_EQ(chooser->Dir1->path(), tree.path(QStringLiteral("Catalogs")));
    EXPECT_EQ(listedFiles(), QStringList{QStringLiteral("one.db2")});
    EXPECT_EQ(driveReads, 2);
}

} // namespace
} // namespace platterly::chooser::test
