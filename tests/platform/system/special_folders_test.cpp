#include "platform/system/special_folders.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace platterly::system {
namespace {

using test::EnvironmentGuard;
using test::TempTree;

// A user whose home and configuration live in a temporary folder.
class SpecialFolders : public ::testing::Test
{
protected:
    void writeUserDirs(const QByteArray& contents)
    {
        tree.addFile(QStringLiteral("config/user-dirs.dirs"), contents);
    }

    TempTree tree;
    EnvironmentGuard home{"HOME", tree.path(QStringLiteral("home"))};
    EnvironmentGuard config{"XDG_CONFIG_HOME", tree.path(QStringLiteral("config"))};
};

TEST_F(SpecialFolders, DesktopAndDocumentsComeFromTheUserDirectories)
{
    writeUserDirs("# written by xdg-user-dirs-update\n"
                  "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                  "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n");
    tree.addFolder(QStringLiteral("home/Schreibtisch"));
    tree.addFolder(QStringLiteral("home/Dokumente"));
    EXPECT_EQ(GetSpecialFolder(kSpecialFolderDesktop),
              tree.path(QStringLiteral("home/Schreibtisch")));
    EXPECT_EQ(GetSpecialFolder(kSpecialFolderDocuments),
              tree.path(QStringLiteral("home/Dokumente")));
}

TEST_F(SpecialFolders, AChangedUserDirectoriesFileIsSeenAtTheNextCall)
{
    tree.addFolder(QStringLiteral("home/Desktop"));
    tree.addFolder(QStringLiteral("elsewhere/Bureau"));
    writeUserDirs("XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n");
    EXPECT_EQ(GetSpecialFolder(16), tree.path(QStringLiteral("home/Desktop")));
    writeUserDirs("XDG_DESKTOP_DIR=\"" + tree.path(QStringLiteral("elsewhere/Bureau")).toUtf8() +
                  "\"\n");
    EXPECT_EQ(GetSpecialFolder(16), tree.path(QStringLiteral("elsewhere/Bureau")));
}

TEST_F(SpecialFolders, AFolderThatDoesNotExistGivesAnEmptyText)
{
    writeUserDirs("XDG_DESKTOP_DIR=\"$HOME/Gone\"\n");
    tree.addFolder(QStringLiteral("home"));
    EXPECT_EQ(GetSpecialFolder(16), QString());
    // Without an entry the usual ~/Documents is meant; it does not exist here either.
    EXPECT_EQ(GetSpecialFolder(5), QString());
    tree.addFolder(QStringLiteral("home/Documents"));
    EXPECT_EQ(GetSpecialFolder(5), tree.path(QStringLiteral("home/Documents")));
}

} // namespace
} // namespace platterly::system
