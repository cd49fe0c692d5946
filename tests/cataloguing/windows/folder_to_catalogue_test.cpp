// The rules behind the path and title boxes, without a window.
#include "cataloguing/windows/folder_to_catalogue.h"
#include "platform/drives/volume_source.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::cataloguing::test {
namespace {

using platterly::test::TempTree;

class FolderToCatalogueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tree.addFile(u"Data/Music/song.mp3"_s);
        tree.addFolder(u"cdrom"_s);
        drives::FixedVolumeSource source("22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                                         "36 22 11:0 / " +
                                         tree.path(u"cdrom"_s).toUtf8() +
                                         " ro,relatime shared:2 - iso9660 /dev/sr0 ro\n");
        source.addOpticalDevice(u"/dev/sr0"_s, u"11:0"_s);
        map = drives::DriveMap(source);
    }

    QString driveFormOf(const QString& relative) const
    {
        QString text = u"C:"_s + tree.path(relative);
        text.replace(QLatin1Char('/'), QLatin1Char('\\'));
        return text;
    }

    FolderToCatalogue locate(const QString& typed,
                             const std::optional<ChosenFolder>& chosen = std::nullopt) const
    {
        return locateFolderToCatalogue(map, typed, chosen, tree.path(u"Data"_s));
    }

    TempTree tree;
    drives::DriveMap map;
};

TEST_F(FolderToCatalogueTest, NativeAndDrivePathsGiveBothForms)
{
    FolderToCatalogue found = locate(tree.path(u"Data/Music"_s));
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    EXPECT_EQ(found.nativeRoot, tree.path(u"Data/Music"_s));
    EXPECT_EQ(found.driveRoot, driveFormOf(u"Data/Music"_s) + u'\\');

    // A drive root, and a drive path in capitals that the file system spells otherwise.
    found = locate(u"D:\\"_s);
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    EXPECT_EQ(found.nativeRoot, tree.path(u"cdrom"_s));
    EXPECT_EQ(found.driveRoot, u"D:\\");
    const QString capitals = driveFormOf(u"Data/Music"_s).toUpper();
    found = locate(capitals);
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    EXPECT_EQ(found.nativeRoot, tree.path(u"Data/Music"_s));
    EXPECT_EQ(found.driveRoot, capitals + u'\\');
}

TEST_F(FolderToCatalogueTest, TheFolderChosenInThePickerIsUsedWhileTheBoxShowsIt)
{
    const ChosenFolder chosen{u"C:\\SOMEWHERE\\MUSIC\\"_s, tree.path(u"Data/Music"_s)};
    FolderToCatalogue found = locate(chosen.drivePath, chosen);
    ASSERT_TRUE(found.ok()) << found.error.toStdString();
    EXPECT_EQ(found.nativeRoot, chosen.nativePath);
    EXPECT_EQ(found.driveRoot, chosen.drivePath);

    // Once the box says something else, the text is what counts.
    found = locate(u"C:\\SOMEWHERE\\MUSIC"_s, chosen);
    EXPECT_FALSE(found.ok());
    EXPECT_TRUE(found.error.contains(u"does not exist"_s));

    // A chosen folder removed since is refused too.
    const ChosenFolder gone{u"C:\\GONE\\"_s, tree.path(u"Gone"_s)};
    EXPECT_FALSE(locate(gone.drivePath, gone).ok());
}

} // namespace
} // namespace platterly::cataloguing::test
