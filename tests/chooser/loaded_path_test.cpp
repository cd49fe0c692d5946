// The remembered folder's text and the folders of this machine, without a window.
#include "chooser/loaded_path.h"
#include "platform/drives/volume_source.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace platterly::chooser {
namespace {

using test::TempTree;

class LoadedPathText : public ::testing::Test
{
protected:
    LoadedPathText()
    {
        tree.addFolder(QStringLiteral("Catalogs/Music"));
        tree.addFolder(QStringLiteral("Catalogs/.hidden"));
        drives::FixedVolumeSource source("22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n");
        source.addOpticalDevice(QStringLiteral("/dev/sr0"), QStringLiteral("11:0"));
        map = drives::DriveMap(source);
    }

    QString upper(const QString& relative) const { return tree.path(relative).toUpper(); }

    TempTree tree;
    drives::DriveMap map;
};

TEST_F(LoadedPathText, FoldersAreFoundWhateverTheCaseOfTheText)
{
    const QString music = tree.path(QStringLiteral("Catalogs/Music"));
    EXPECT_EQ(findFolderCaseBlind(upper(QStringLiteral("Catalogs/Music"))), music);
    EXPECT_EQ(findFolderCaseBlind(music), music);
    EXPECT_EQ(findFolderCaseBlind(music + QStringLiteral("/")), music);
    EXPECT_EQ(findFolderCaseBlind(upper(QStringLiteral("Catalogs/.hidden"))),
              tree.path(QStringLiteral("Catalogs/.hidden")));
    EXPECT_EQ(findFolderCaseBlind(upper(QStringLiteral("Catalogs/Films"))), std::nullopt);
    EXPECT_EQ(findFolderCaseBlind(QStringLiteral("Catalogs/Music")), std::nullopt);
}

TEST_F(LoadedPathText, ANameSpeltExactlyWinsOverOneDifferingInCase)
{
    tree.addFolder(QStringLiteral("pair/Data"));
    tree.addFolder(QStringLiteral("pair/DATA"));
    tree.addFolder(QStringLiteral("pair/data"));
    EXPECT_EQ(findFolderCaseBlind(tree.path(QStringLiteral("pair/data"))),
              tree.path(QStringLiteral("pair/data")));
    EXPECT_EQ(findFolderCaseBlind(tree.path(QStringLiteral("pair/DATA"))),
              tree.path(QStringLiteral("pair/DATA")));
}

TEST_F(LoadedPathText, NamesWhoseCapitalsAreLongerAreFoundToo)
{
    tree.addFolder(QStringLiteral("Straße"));
    EXPECT_EQ(findFolderCaseBlind(upper(QStringLiteral("Straße"))),
              tree.path(QStringLiteral("Straße")));
    EXPECT_TRUE(upper(QStringLiteral("Straße")).endsWith(u"STRASSE"));
}

TEST_F(LoadedPathText, WhatCannotBeReachedSaysWhy)
{
    const LoadedPlace gone =
        locateLoadedPath(loadedPathFor(tree.path(QStringLiteral("Catalogs/Gone")), map), map);
    EXPECT_EQ(gone.error, ListError::PathNotFound);
    EXPECT_EQ(gone.drive, QChar(u'C'));

    const LoadedPlace empty = locateLoadedPath(QStringLiteral("D:\\CATALOGS\\"), map);
    EXPECT_EQ(empty.error, ListError::DeviceUnavailable);
    EXPECT_EQ(empty.drive, std::nullopt);

    EXPECT_EQ(locateLoadedPath(QStringLiteral("Q:\\"), map).error, ListError::DeviceUnavailable);
    EXPECT_EQ(locateLoadedPath(QStringLiteral("APP"), map).error, ListError::DeviceUnavailable);
    EXPECT_EQ(locateLoadedPath(QString(), map).error, ListError::DeviceUnavailable);
    EXPECT_EQ(locateLoadedPath(QStringLiteral("/nonexistent/folder"), map).error,
              ListError::PathNotFound);
}

} // namespace
} // namespace platterly::chooser
