#include "platform/system/special_folders.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
        tree.addFile(u"config/user-dirs.dirs"_s, contents);
    }

    TempTree tree;
    EnvironmentGuard home{"HOME", tree.path(u"home"_s)};
    EnvironmentGuard config{"XDG_CONFIG_HOME", tree.path(u"config"_s)};
};

TEST_F(SpecialFolders, DesktopAndDocumentsComeFromTheUserDirectories)
{
    writeUserDirs("# written by xdg-user-dirs-update\n"
                  "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                  "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n");
    tree.addFolder(u"home/Schreibtisch"_s);
    tree.addFolder(u"home/Dokumente"_s);
    EXPECT_EQ(GetSpecialFolder(kSpecialFolderDesktop), tree.path(u"home/Schreibtisch"_s));
    EXPECT_EQ(GetSpecialFolder(kSpecialFolderDocuments), tree.path(u"home/Dokumente"_s));
}

TEST_F(SpecialFolders, AFolderThatDoesNotExistGivesAnEmptyText)
{
    writeUserDirs("XDG_DESKTOP_DIR=\"$HOME/Gone\"\n");
    tree.addFolder(u"home"_s);
    EXPECT_EQ(GetSpecialFolder(16), QString());
    // Without an entry the usual ~/Documents is meant; it does not exist here either.
    EXPECT_EQ(GetSpecialFolder(5), QString());
    tree.addFolder(u"home/Documents"_s);
    EXPECT_EQ(GetSpecialFolder(5), tree.path(u"home/Documents"_s));
}

} // namespace
} // namespace platterly::system
