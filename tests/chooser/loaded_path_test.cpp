// The remembered folder's text and the folders of this machine, without a window.
#include "chooser/loaded_path.h"
#include "platform/drives/volume_source.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::chooser {
namespace {

using test::TempTree;

class LoadedPathText : public ::testing::Test
{
protected:
    LoadedPathText()
    {
        tree.addFolder(u"Catalogs/Music"_s);
        tree.addFolder(u"Catalogs/.hidden"_s);
        drives::FixedVolumeSource source("22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n");
        source.addOpticalDevice(u"/dev/sr0"_s, u"11:0"_s);
        map = drives::DriveMap(source);
    }

    QString upper(const QString& relative) const { return tree.path(relative).toUpper(); }

    TempTree tree;
    drives::DriveMap map;
};

// Each folder name is matched exactly first, then whatever its case, the capitals of a name
// being longer than the name itself included.
TEST_F(LoadedPathText, FoldersAreFoundWhateverTheCaseOfTheText)
{
    const QString music = tree.path(u"Catalogs/Music"_s);
    EXPECT_EQ(findFolderCaseBlind(upper(u"Catalogs/Music"_s)), music);
    EXPECT_EQ(findFolderCaseBlind(music), music);
    EXPECT_EQ(findFolderCaseBlind(music + u"/"_s), music);
    EXPECT_EQ(findFolderCaseBlind(upper(u"Catalogs/.hidden"_s)), tree.path(u"Catalogs/.hidden"_s));
    EXPECT_EQ(findFolderCaseBlind(upper(u"Catalogs/Films"_s)), std::nullopt);
    EXPECT_EQ(findFolderCaseBlind(u"Catalogs/Music"_s), std::nullopt);

    for (const QString& name : {u"pair/Data"_s, u"pair/DATA"_s, u"pair/data"_s, u"Straße"_s})
        tree.addFolder(name);
    EXPECT_EQ(findFolderCaseBlind(tree.path(u"pair/data"_s)), tree.path(u"pair/data"_s));
    EXPECT_EQ(findFolderCaseBlind(tree.path(u"pair/DATA"_s)), tree.path(u"pair/DATA"_s));
    EXPECT_EQ(findFolderCaseBlind(upper(u"Straße"_s)), tree.path(u"Straße"_s));
}

TEST_F(LoadedPathText, WhatCannotBeReachedSaysWhy)
{
    const LoadedPlace gone =
        locateLoadedPath(loadedPathFor(tree.path(u"Catalogs/Gone"_s), map), map);
    EXPECT_EQ(gone.error, ListError::PathNotFound);
    EXPECT_EQ(gone.drive, QChar(u'C'));

    const LoadedPlace empty = locateLoadedPath(u"D:\\CATALOGS\\"_s, map);
    EXPECT_EQ(empty.error, ListError::DeviceUnavailable);
    EXPECT_EQ(empty.drive, std::nullopt);

    EXPECT_EQ(locateLoadedPath(u"Q:\\"_s, map).error, ListError::DeviceUnavailable);
    EXPECT_EQ(locateLoadedPath(u"APP"_s, map).error, ListError::DeviceUnavailable);
    EXPECT_EQ(locateLoadedPath(QString(), map).error, ListError::DeviceUnavailable);
    EXPECT_EQ(locateLoadedPath(u"/nonexistent/folder"_s, map).error, ListError::PathNotFound);
}

} // namespace
} // namespace platterly::chooser
