#include "desktop_fixture.h"
#include "platform/drives/typed_path.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace platterly::drives {
namespace {

const QString Home = QStringLiteral("/home/ann");

class TypedDesktopPath : public ::testing::Test
{
protected:
    TypedPath resolve(const QString& typed) const { return resolveTypedPath(map, typed, Home); }

    const DriveMap map{fixtures::desktopSource()};
};

// The fixture's paths do not exist on this machine, so they are taken as typed, only cleaned.
TEST_F(TypedDesktopPath, TakesAbsolutePathsAsTheyAreAndRelativeOnesFromTheCurrentFolder)
{
    const TypedPath path = resolve(QStringLiteral("/media/cdrom1/PHOTOS/2004/"));
    ASSERT_TRUE(path.ok()) << path.error.toStdString();
    EXPECT_EQ(path.drivePath, u"E:\\PHOTOS\\2004");
    EXPECT_EQ(path.nativePath, u"/media/cdrom1/PHOTOS/2004");
    EXPECT_EQ(resolve(QStringLiteral("Pictures")).drivePath, u"H:\\ann\\Pictures");
    EXPECT_EQ(resolve(QStringLiteral("../bob")).nativePath, u"/home/bob");
    EXPECT_EQ(resolve(QStringLiteral("~/x")).nativePath, u"/home/ann/~/x");
    EXPECT_EQ(resolve(QStringLiteral(".")).drivePath, u"H:\\ann");
}

TEST_F(TypedDesktopPath, AcceptsDrivePathsWithEitherSeparatorAndLetterCase)
{
    for (const QString& typed : {QStringLiteral("e:\\PHOTOS"), QStringLiteral("E:/PHOTOS"),
                                 QStringLiteral("E:PHOTOS"), QStringLiteral("e:/PHOTOS/")}) {
        const TypedPath path = resolve(typed);
        ASSERT_TRUE(path.ok()) << typed.toStdString() << ": " << path.error.toStdString();
        EXPECT_EQ(path.drivePath, u"E:\\PHOTOS") << typed.toStdString();
        EXPECT_EQ(path.nativePath, u"/media/cdrom1/PHOTOS") << typed.toStdString();
    }
    EXPECT_EQ(resolve(QStringLiteral("c:")).drivePath, u"C:\\");
    EXPECT_EQ(resolve(QStringLiteral("i:\\My Files")).nativePath, u"/media/ann/Old Disk/My Files");
    // C:\home is the mount point of H:, so the folder is H:'s.
    EXPECT_EQ(resolve(QStringLiteral("C:\\home\\ann")).drivePath, u"H:\\ann");
}

TEST_F(TypedDesktopPath, ExplainsWhatCannotBeUsed)
{
    EXPECT_EQ(resolve(QString()).error, u"No folder was given.");
    EXPECT_EQ(resolve(QStringLiteral("q:\\x")).error, u"There is no drive Q:.");
    EXPECT_EQ(resolve(QStringLiteral("D:\\")).error, u"Drive D: holds no mounted medium.");
    EXPECT_TRUE(resolve(QStringLiteral("/home/ann/a\\b")).error.contains(u"backslash"));
    EXPECT_TRUE(resolveTypedPath(map, QStringLiteral("x"), QString()).error.contains(u"relative"));
    EXPECT_EQ(resolveTypedPath(DriveMap(), QStringLiteral("/x"), Home).error,
              u"No drives are known.");
}

// Real folders: symbolic links are followed, so a link into a volume gives that volume's drive.
// The folder "my volume" of a temporary tree stands for a mounted volume.
class TypedRealPath : public ::testing::Test
{
protected:
    TypedRealPath()
    {
        tree.addFolder(QStringLiteral("my volume/DISC/MUSIC"));
        tree.addFolder(QStringLiteral("home"));
        root = QFileInfo(tree.root()).canonicalFilePath();
        tree.addSymlink(QStringLiteral("home/disc-link"), root + QStringLiteral("/my volume/DISC"));
        tree.addSymlink(QStringLiteral("home/dangling"), root + QStringLiteral("/gone"));
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
    TypedPath path =
        resolveTypedPath(map, QStringLiteral("disc-link/MUSIC"), root + QStringLiteral("/home"));
    ASSERT_TRUE(path.ok()) << path.error.toStdString();
    EXPECT_EQ(path.drivePath, u"D:\\DISC\\MUSIC");
    EXPECT_EQ(path.nativePath, root + QStringLiteral("/my volume/DISC/MUSIC"));

    path = resolveTypedPath(map, root + QStringLiteral("/home/dangling/x"), QStringLiteral("/"));
    ASSERT_TRUE(path.ok()) << path.error.toStdString();
    EXPECT_EQ(path.nativePath, root + QStringLiteral("/home/dangling/x"));
    EXPECT_EQ(path.drivePath, QStringLiteral("C:") + QString(root).replace(u'/', u'\\') +
                                  QStringLiteral("\\home\\dangling\\x"));

    path = resolveTypedPath(map, QStringLiteral("d:/DISC"), QStringLiteral("/"));
    EXPECT_EQ(path.drivePath, u"D:\\DISC");
    EXPECT_EQ(path.nativePath, root + QStringLiteral("/my volume/DISC"));
}

} // namespace
} // namespace platterly::drives
