// Where the chooser's lists stand after its load step, for each kind of remembered folder.
#include "chooser_fixture.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace platterly::chooser::test {
namespace {

using ChooserLoad = ChooserTest;

TEST_F(ChooserLoad, TheListsStartOnTheRememberedFolderOrTheApplicationFolder)
{
    tree.addFile(u"Catalogs/Music/Mine.DB3"_s);
    tree.addFile(u"Catalogs/Music/notes.txt"_s);
    tree.addFile(u"cdrom/sub/Old.mdb"_s);
    for (const char* name :
         {"b.mdb", "A.DB2", "c.Db3", "notes.txt", "db2", "old.db2.bak", ".hidden.db2"})
        tree.addFile(u"mixed/"_s + QLatin1String(name));
    tree.addFolder(u"mixed/folder.db2"_s);
    struct Case
    {
        QString remembered; // empty: none yet
        QChar drive;
        QString folder; // relative to the tree; empty for the application folder
        QStringList files;
    };
    const Case cases[] = {
        {{}, u'C', {}, {u"db.db2"_s}},
        {u"APP"_s, u'C', {}, {u"db.db2"_s}},
        // Found again whatever the case of its names.
        {storedFormOf(u"Catalogs/Music"_s), u'C', u"Catalogs/Music"_s, {u"Mine.DB3"_s}},
        {u"E:\\SUB\\"_s, u'E', u"cdrom/sub"_s, {u"Old.mdb"_s}},
        // On a drive that is not ready: the application folder, without a message.
        {u"D:\\CATALOGS\\"_s, u'C', {}, {u"db.db2"_s}},
        // Only catalogue files are listed, in any case.
        {storedFormOf(u"mixed"_s), u'C', u"mixed"_s, {u"A.DB2"_s, u"b.mdb"_s, u"c.Db3"_s}},
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
        EXPECT_EQ(listedFiles(), each.files);
        EXPECT_TRUE(dialogs.shown().empty());
        // Loading reads the settings file but never writes it.
        if (each.remembered.isEmpty()) {
            EXPECT_FALSE(QFile::exists(settingsFile()));
        }
        chooser->close();
    }
}

TEST_F(ChooserLoad, EachLoadStartsAgainFromTheRememberedFolder)
{
    tree.addFile(u"Catalogs/one.db2"_s);
    tree.addFolder(u"app/Elsewhere"_s);
    rememberFolder(storedFormOf(u"Catalogs"_s));
    open();
    doubleClickFolder(tree.root());
    doubleClickFolder(applicationFolder());
    ASSERT_EQ(chooser->Dir1->path(), applicationFolder());

    QTest::mouseClick(chooser->cmdDefault, Qt::LeftButton);
    EXPECT_FALSE(chooser->isLoaded());
    open();
    EXPECT_EQ(chooser->Dir1->path(), tree.path(u"Catalogs"_s));
    EXPECT_EQ(listedFiles(), QStringList{u"one.db2"_s});
    EXPECT_EQ(driveReads, 2);
}

} // namespace
} // namespace platterly::chooser::test
