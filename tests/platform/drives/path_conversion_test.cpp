#include "desktop_fixture.h"
#include "platform/drives/drive_map.h"

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

} // namespace
} // namespace platterly::drives
