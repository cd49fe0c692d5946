// Where the chooser's lists stand after its load step, for each kind of remembered folder.
#include "chooser_fixture.h"

#include <QPushButton>

namespace platterly::chooser::test {
namespace {

using ChooserLoad = ChooserTest;

TEST_F(ChooserLoad, TheListsStartOnTheRememberedFolderOrTheApplicationFolder)
{
    tree.addFile(QStringLiteral("Catalogs/Music/Mine.DB3"));
    tree.addFile(QStringLiteral("Catalogs/Music/notes.txt"));
    tree.addFile(QStringLiteral("cdrom/sub/Old.mdb"));
    struct Case
    {
        QString remembered; // empty: none yet
        QChar drive;
        QString folder; // relative to the tree; empty for the application folder
        QString file;
    };
    const Case cases[] = {
        {{}, u'C', {}, QStringLiteral("db.db2")},
        {QStringLiteral("APP"), u'C', {}, QStringLiteral("db.db2")},
        // Found again whatever the case of its names.
        {storedFormOf(QStringLiteral("Catalogs/Music")), u'C', QStringLiteral("Catalogs/Music"),
         QStringLiteral("Mine.DB3")},
        {QStringLiteral("E:\\SUB\\"), u'E', QStringLiteral("cdrom/sub"), QStringLiteral("Old.mdb")},
        // On a drive that is not ready: the application folder, without a message.
        {QStringLiteral("D:\\CATALOGS\\"), u'C', {}, QStringLiteral("db.db2")},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.remembered.toStdString());
        if (!each.remembered.isEmpty())
            rememberFolder(each.remembered);
        open();
        const QString folder = each.folder.isEmpty() ? applicationFolder() : tree.path(each.folder);
        EXPECT_EQ(chooser->Drive1->drive(), each.drive);
        EXPECT_EQ(chooser->Dir1->path(), folder);
        EXPECT_EQ(chooser->File1->path(), folder);
        EXPECT_EQ(listedFiles(), QStringList{each.file});
        EXPECT_TRUE(dialogs.shown().empty());
        // Loading reads the settings file but never writes it.
        if (each.remembered.isEmpty()) {
            EXPECT_FALSE(QFile::exists(settingsFile()));
        }
        chooser->close();
    }
}

TEST_F(ChooserLoad, OnlyCatalogueFilesAreListedInAnyCase)
{
    for (const char* name :
         {"b.mdb", "A.DB2", "c.Db3", "notes.txt", "db2", "old.db2.bak", ".hidden.db2"})
        tree.addFile(QStringLiteral("mixed/") + QLatin1String(name));
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

    QTest::mouseClick(chooser->cmdDefault, Qt::LeftButton);
    EXPECT_FALSE(chooser->isLoaded());
    open();
    EXPECT_EQ(chooser->Dir1->path(), tree.path(QStringLiteral("Catalogs")));
    EXPECT_EQ(listedFiles(), QStringList{QStringLiteral("one.db2")});
    EXPECT_EQ(driveReads, 2);
}

} // namespace
} // namespace platterly::chooser::test
