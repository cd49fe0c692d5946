// The rules behind the path and title boxes, without a window.
#include "cataloguing/windows/folder_to_catalogue.h"
#include "platform/drives/volume_source.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace platterly::cataloguing::test {
namespace {

using platterly::test::TempTree;

class FolderToCatalogueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tree.addFile(QStringLiteral("Data/Music/song.mp3"));
        tree.addFolder(QStringLiteral("cdrom"));
        drives::FixedVolumeSource source("22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                                         "36 22 11:0 / " +
                                         tree.path(QStringLiteral("cdrom")).toUtf8() +
                                         " ro,relatime shared:2 - iso9660 /dev/sr0 ro\n");
        source.addOpticalDevice(QStringLiteral("/dev/sr0"), QStringLiteral("11:0"));
        map = drives::DriveMap(source);
    }

    QString driveFormOf(const QString& relative) const
    {
        QString text = QStringLiteral("C:") + tree.path(relative);
        text.replace(QLatin1Char('/'), QLatin1Char('\\'));
        return text;
    }

    FolderToCatalogue locate(const QString& typed,
                             const std::optional<ChosenFolder>& chosen = std::nullopt) const
    {
        return locateFolderToCatalogue(map, typed, chosen, tree.path(QStringLiteral("Data")));
    }

    TempTree tree;
    drives::DriveMap map;
};

TEST_F(FolderToCatalogueTest, NativeAndDrivePathsGiveBothForms)
{
    FolderToCatalogue found = locate(tree.path(QStringLiteral("Data/Music")));
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    EXPECT_EQ(found.nativeRoot, tree.path(QStringLiteral("Data/Music")));
    EXPECT_EQ(found.driveRoot, driveFormOf(QStringLiteral("Data/Music")) + u'\\');

    // A drive root, and a drive path in capitals that the file system spells otherwise.
    found = locate(QStringLiteral("D:\\"));
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    EXPECT_EQ(found.nativeRoot, tree.path(QStringLiteral("cdrom")));
    EXPECT_EQ(found.driveRoot, u"D:\\");
    const QString capitals = driveFormOf(QStringLiteral("Data/Music")).toUpper();
    found = locate(capitals);
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    EXPECT_EQ(found.nativeRoot, tree.path(QStringLiteral("Data/Music")));
    EXPECT_EQ(found.driveRoot, capitals + u'\\');
}

TEST_F(FolderToCatalogueTest, TheFolderChosenInThePickerIsUsedWhileTheBoxShowsIt)
{
    const ChosenFolder chosen{QStringLiteral("C:\\SOMEWHERE\\MUSIC\\"),
                              tree.path(QStringLiteral("Data/Music"))};
    FolderToCatalogue found = locate(chosen.drivePath, chosen);
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    EXPECT_EQ(found.nativeRoot, chosen.nativePath);
    EXPECT_EQ(found.driveRoot, chosen.drivePath);

    // Once the box says something else, the text is what counts.
    found = locate(QStringLiteral("C:\\SOMEWHERE\\MUSIC"), chosen);
    EXPECT_FALSE(found.ok());
    EXPECT_TRUE(found.error.contains(QStringLiteral("does not exist")));

    // A chosen folder removed since is refused too.
    const ChosenFolder gone{QStringLiteral("C:\\GONE\\"), tree.path(QStringLiteral("Gone"))};
    EXPECT_FALSE(locate(gone.drivePath, gone).ok());
}

} // namespace
} // namespace platterly::cataloguing::test
