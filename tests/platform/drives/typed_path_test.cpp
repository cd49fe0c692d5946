#include "desktop_fixture.h"
#include "platform/drives/typed_path.h"
#include "support/temp_tree.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::drives {
namespace {

const QString Home = u"/home/ann"_s;

class TypedDesktopPath : public ::testing::Test
{
protected:
    TypedPath resolve(const QString& typed) const { return resolveTypedPath(map, typed, Home); }

    const DriveMap map{fixtures::desktopSource()};
};

// The fixture's paths do not exist on this machine, so they are taken as typed, only cleaned.
TEST_F(TypedDesktopPath, TakesAbsolutePathsAsTheyAreAndRelativeOnesFromTheCurrentFolder)
{
    const TypedPath path = resolve(u"/media/cdrom1/PHOTOS/2004/"_s);
    ASSERT_TRUE(path.ok()) << path.error.toStdString();
    EXPECT_EQ(path.drivePath, u"E:\\PHOTOS\\2004");
    EXPECT_EQ(path.nativePath, u"/media/cdrom1/PHOTOS/2004");
    EXPECT_EQ(resolve(u"Pictures"_s).drivePath, u"H:\\ann\\Pictures");
    EXPECT_EQ(resolve(u"../bob"_s).nativePath, u"/home/bob");
    EXPECT_EQ(resolve(u"~/x"_s).nativePath, u"/home/ann/~/x");
    EXPECT_EQ(resolve(u"."_s).drivePath, u"H:\\ann");
}

TEST_F(TypedDesktopPath, AcceptsDrivePathsWithEitherSeparatorAndLetterCase)
{
    for (const QString& typed : {u"e:\\PHOTOS"_s, u"E:/PHOTOS"_s, u"E:PHOTOS"_s, u"e:/PHOTOS/"_s}) {
        const TypedPath path = resolve(typed);
        ASSERT_TRUE(path.ok()) << typed.toStdString() << ": " << path.error.toStdString();
        EXPECT_EQ(path.drivePath, u"E:\\PHOTOS") << typed.toStdString();
        EXPECT_EQ(path.nativePath, u"/media/cdrom1/PHOTOS") << typed.toStdString();
    }
    EXPECT_EQ(resolve(u"c:"_s).drivePath, u"C:\\");
    EXPECT_EQ(resolve(u"i:\\My Files"_s).nativePath, u"/media/ann/Old Disk/My Files");
    // C:\home is the mount point of H:, so the folder is H:'s.
    EXPECT_EQ(resolve(u"C:\\home\\ann"_s).drivePath, u"H:\\ann");
}

TEST_F(TypedDesktopPath, ExplainsWhatCannotBeUsed)
{
    EXPECT_EQ(resolve(QString()).error, u"No folder was given.");
    EXPECT_EQ(resolve(u"q:\\x"_s).error, u"There is no drive Q:.");
    EXPECT_EQ(resolve(u"D:\\"_s).error, u"Drive D: holds no mounted medium.");
    EXPECT_TRUE(resolve(u"/home/ann/a\\b"_s).error.contains(u"backslash"));
    EXPECT_TRUE(resolveTypedPath(map, u"x"_s, QString()).error.contains(u"relative"));
    EXPECT_EQ(resolveTypedPath(DriveMap(), u"/x"_s, Home).error, u"No drives are known.");
}

// Real folders: symbolic links are followed, so a link into a volume gives that volume's drive.
// The folder "my volume" of a temporary tree stands for a mounted volume.
class TypedRealPath : public ::testing::Test
{
protected:
    TypedRealPath()
    {
        tree.addFolder(u"my volume/DISC/MUSIC"_s);
        tree.addFolder(u"home"_s);
        root = QFileInfo(tree.root()).canonicalFilePath();
        tree.addSymlink(u"home/disc-link"_s, root + u"/my volume/DISC"_s);
        tree.addSymlink(u"home/dangling"_s, root + u"/gone"_s);
        const QByteArray escapedRoot = root.toUtf8().replace(" ", "\\040");
        source.setMountInfo("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                            "2 1 8:17 / " +
                            escapedRoot + "/my\\040volume rw - vfat /dev/sdb1 rw\n");
    }

    test::TempTree tree;
    QString root;
    FixedVolumeSource source;
};

TEST_F(TypedRealPath, FollowsLinksIntoAVolumeAndTakesMissingPathsAsTyped)
{
    const DriveMap map(source);
    ASSERT_EQ(map.drives().size(), 2u);
    TypedPath path = resolveTypedPath(map, u"disc-link/MUSIC"_s, root + u"/home"_s);
    ASSERT_TRUE(path.ok()) << path.error.toStdString();
    EXPECT_EQ(path.drivePath, u"D:\\DISC\\MUSIC");
    EXPECT_EQ(path.nativePath, root + u"/my volume/DISC/MUSIC"_s);

    path = resolveTypedPath(map, root + u"/home/dangling/x"_s, u"/"_s);
    ASSERT_TRUE(path.ok()) << path.error.toStdString();
    EXPECT_EQ(path.nativePath, root + u"/home/dangling/x"_s);
    EXPECT_EQ(path.drivePath,
              u"C:"_s + QString(root).replace(u'/', u'\\') + u"\\home\\dangling\\x"_s);

    path = resolveTypedPath(map, u"d:/DISC"_s, u"/"_s);
    EXPECT_EQ(path.drivePath, u"D:\\DISC");
    EXPECT_EQ(path.nativePath, root + u"/my volume/DISC"_s);
}

} // namespace
} // namespace platterly::drives
