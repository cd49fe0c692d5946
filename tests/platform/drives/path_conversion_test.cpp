#include "desktop_fixture.h"
#include "platform/drives/drive_map.h"
#include "platform/drives/stored_path_lookup.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::drives {
namespace {

class DesktopPaths : public ::testing::Test
{
protected:
    std::optional<QString> toDrive(const QString& native) const { return map.toDrivePath(native); }
    std::optional<QString> toNative(const QString& drive) const { return map.toNativePath(drive); }

    const DriveMap map{fixtures::desktopSource()};
};

TEST_F(DesktopPaths, NativePathsTakeTheDriveOfTheLongestMountPointHoldingThem)
{
    EXPECT_EQ(toDrive(u"/home/ann/Pictures"_s), u"H:\\ann\\Pictures");
    EXPECT_EQ(toDrive(u"/media/cdrom1/PHOTOS/2004"_s), u"E:\\PHOTOS\\2004");
    EXPECT_EQ(toDrive(u"/media/cd/x"_s), u"K:\\x");
    EXPECT_EQ(toDrive(u"/media/cdrom"_s), u"C:\\media\\cdrom");
    EXPECT_EQ(toDrive(u"/media/cdx/y"_s), u"C:\\media\\cdx\\y");
    EXPECT_EQ(toDrive(u"/media/ann/Old Disk/My Files/a b.txt"_s), u"I:\\My Files\\a b.txt");
    // A mount point itself is the root of its drive; paths are cleaned first.
    EXPECT_EQ(toDrive(u"/media/cdrom1/"_s), u"E:\\");
    EXPECT_EQ(toDrive(u"/home/ann/../bob//docs/./x/"_s), u"H:\\bob\\docs\\x");
    EXPECT_EQ(toDrive(u"/media/cd/../cdrom1/A"_s), u"E:\\A");
    // Paths that have no drive form.
    EXPECT_EQ(toDrive(u"home/ann"_s), std::nullopt);
    EXPECT_EQ(toDrive(QString()), std::nullopt);
    EXPECT_EQ(toDrive(u"/home/ann/a\\b"_s), std::nullopt);
}

TEST_F(DesktopPaths, DrivePathsBecomeNativePathsBelowTheMountPoint)
{
    EXPECT_EQ(toNative(u"E:\\PHOTOS\\2004\\"_s), u"/media/cdrom1/PHOTOS/2004");
    EXPECT_EQ(toNative(u"e:\\PHOTOS"_s), u"/media/cdrom1/PHOTOS");
    EXPECT_EQ(toNative(u"C:\\home\\ann"_s), u"/home/ann");
    EXPECT_EQ(toNative(u"I:\\My Files\\a b.txt"_s), u"/media/ann/Old Disk/My Files/a b.txt");
    EXPECT_EQ(toNative(u"c:\\"_s), u"/");
    // Dots stay on the drive.
    EXPECT_EQ(toNative(u"E:\\PHOTOS\\..\\MUSIC\\.\\a.mp3"_s), u"/media/cdrom1/MUSIC/a.mp3");
    EXPECT_EQ(toNative(u"E:\\..\\..\\etc"_s), u"/media/cdrom1/etc");
    // Without a mounted drive there is no native path.
    EXPECT_EQ(toNative(u"D:\\MUSIC\\a.mp3"_s), std::nullopt); // no disc in D:
    EXPECT_EQ(toNative(u"Q:\\MUSIC"_s), std::nullopt);        // no such drive
    EXPECT_EQ(toNative(u"E:PHOTOS"_s), std::nullopt);
    EXPECT_EQ(toNative(u"/media/cdrom1"_s), std::nullopt);
}

class StoredPaths : public ::testing::Test
{
protected:
    std::optional<QString> folder(const QString& storedRest)
    {
        return lookup.findFolder(tree.root(), storedFolderNames(storedRest));
    }

    test::TempTree tree;
    StoredPathLookup lookup;
};

TEST_F(StoredPaths, MatchExactlyFirstThenWithoutRegardToCaseButNeverAmbiguously)
{
    tree.addFile(u"Photos/2004/Beach.jpg"_s);
    tree.addFolder(u"Docs"_s);
    tree.addFolder(u"DOCS"_s);
    tree.addFolder(u"Straße"_s);
    tree.addFile(u"music"_s); // a file: no folder of that name

    EXPECT_EQ(folder(u"PHOTOS\\2004\\"_s), tree.path(u"Photos/2004"_s));
    EXPECT_EQ(folder(u"Docs\\"_s), tree.path(u"Docs"_s));
    EXPECT_EQ(folder(u"DOCS\\"_s), tree.path(u"DOCS"_s));
    EXPECT_EQ(folder(u"docs\\"_s), std::nullopt); // Docs or DOCS?
    EXPECT_EQ(folder(u"STRASSE\\"_s), tree.path(u"Straße"_s));
    EXPECT_EQ(folder(u"MUSIC\\"_s), std::nullopt);
    EXPECT_EQ(folder(QString()), tree.root());

    const QString photos = *folder(u"PHOTOS\\2004\\"_s);
    EXPECT_EQ(lookup.findEntry(photos, u"BEACH.JPG"_s), tree.path(u"Photos/2004/Beach.jpg"_s));
    EXPECT_EQ(lookup.findEntry(photos, u"Sea.jpg"_s), std::nullopt);
}

TEST_F(StoredPaths, NamesWithBackslashesAndDotsStayInsideTheirFolder)
{
    // A folder whose name holds a backslash is split by the stored form; "a" beside it holds
    // no "b".
    tree.addFile(u"a\\b/f.txt"_s);
    tree.addFolder(u"a"_s);
    tree.addFile(u"inner/x\\..\\..\\secret"_s);
    tree.addFile(u"secret"_s);

    EXPECT_EQ(folder(u"a\\b\\"_s), tree.path(u"a\\b"_s));
    const QString inner = tree.path(u"inner"_s);
    EXPECT_EQ(lookup.findEntry(inner, u"x\\..\\..\\secret"_s),
              tree.path(u"inner/x\\..\\..\\secret"_s));
    // ".." is never the name of an entry: nothing stored leads out of the folder.
    EXPECT_EQ(lookup.findFolder(inner, {u".."_s, u"a"_s}), std::nullopt);
    EXPECT_EQ(lookup.findEntry(inner, u"../secret"_s), std::nullopt);
    EXPECT_EQ(lookup.findEntry(inner, u".."_s), std::nullopt);
}

} // namespace
} // namespace platterly::drives
