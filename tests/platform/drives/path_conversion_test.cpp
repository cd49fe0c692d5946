#include "desktop_fixture.h"
#include "platform/drives/drive_map.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(toDrive(QStringLiteral("/home/ann/Pictures")), u"H:\\ann\\Pictures");
    EXPECT_EQ(toDrive(QStringLiteral("/media/cdrom1/PHOTOS/2004")), u"E:\\PHOTOS\\2004");
    EXPECT_EQ(toDrive(QStringLiteral("/media/cd/x")), u"K:\\x");
    EXPECT_EQ(toDrive(QStringLiteral("/media/cdrom")), u"C:\\media\\cdrom");
    EXPECT_EQ(toDrive(QStringLiteral("/media/cdx/y")), u"C:\\media\\cdx\\y");
    EXPECT_EQ(toDrive(QStringLiteral("/media/ann/Old Disk/My Files/a b.txt")),
              u"I:\\My Files\\a b.txt");
    EXPECT_EQ(toDrive(QStringLiteral("/media/ann/Old")), u"C:\\media\\ann\\Old");
    // A mount point itself is the root of its drive; paths are cleaned first.
    EXPECT_EQ(toDrive(QStringLiteral("/media/cdrom1/")), u"E:\\");
    EXPECT_EQ(toDrive(QStringLiteral("/home/ann/../bob//docs/./x/")), u"H:\\bob\\docs\\x");
    EXPECT_EQ(toDrive(QStringLiteral("/home/..")), u"C:\\");
    EXPECT_EQ(toDrive(QStringLiteral("/media/cd/../cdrom1/A")), u"E:\\A");
    // Paths that have no drive form.
    EXPECT_EQ(toDrive(QStringLiteral("home/ann")), std::nullopt);
    EXPECT_EQ(toDrive(QString()), std::nullopt);
    EXPECT_EQ(toDrive(QStringLiteral("/home/ann/a\\b")), std::nullopt);
}

TEST_F(DesktopPaths, DrivePathsBecomeNativePathsBelowTheMountPoint)
{
    EXPECT_EQ(toNative(QStringLiteral("E:\\PHOTOS\\2004\\")), u"/media/cdrom1/PHOTOS/2004");
    EXPECT_EQ(toNative(QStringLiteral("e:\\PHOTOS")), u"/media/cdrom1/PHOTOS");
    EXPECT_EQ(toNative(QStringLiteral("E:/PHOTOS/2004")), u"/media/cdrom1/PHOTOS/2004");
    EXPECT_EQ(toNative(QStringLiteral("C:\\home\\ann")), u"/home/ann");
    EXPECT_EQ(toNative(QStringLiteral("I:\\My Files\\a b.txt")),
              u"/media/ann/Old Disk/My Files/a b.txt");
    EXPECT_EQ(toNative(QStringLiteral("E:")), u"/media/cdrom1");
    EXPECT_EQ(toNative(QStringLiteral("c:\\")), u"/");
    // Dots stay on the drive.
    EXPECT_EQ(toNative(QStringLiteral("E:\\PHOTOS\\..\\MUSIC\\.\\a.mp3")),
              u"/media/cdrom1/MUSIC/a.mp3");
    EXPECT_EQ(toNative(QStringLiteral("E:\\..\\..\\etc")), u"/media/cdrom1/etc");
    // Without a mounted drive there is no native path.
    EXPECT_EQ(toNative(QStringLiteral("D:\\MUSIC\\a.mp3")), std::nullopt); // no disc in D:
    EXPECT_EQ(toNative(QStringLiteral("Q:\\MUSIC")), std::nullopt);        // no such drive
    EXPECT_EQ(toNative(QStringLiteral("EE:\\")), std::nullopt);
    EXPECT_EQ(toNative(QStringLiteral("E:PHOTOS")), std::nullopt);
    EXPECT_EQ(toNative(QStringLiteral("/media/cdrom1")), std::nullopt);
}

TEST_F(DesktopPaths, ConvertBackToWhatTheyWere)
{
    for (const Drive& drive : map.drives()) {
        if (!drive.hasMedium())
            continue;
        const QString inside = drive.root + QStringLiteral("A Folder\\file.txt");
        const std::optional<QString> native = toNative(inside);
        ASSERT_TRUE(native.has_value()) << inside.toStdString();
        EXPECT_EQ(toDrive(*native), inside);
        EXPECT_EQ(toDrive(drive.mountPoint), drive.root);
    }
}

} // namespace
} // namespace platterly::drives
