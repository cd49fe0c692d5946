#include "catalogue/path_routines.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::catalogue {
namespace {

using test::TempTree;

TEST(LastFolderName, GivesTheNameOfTheLastFolderOfAPath)
{
    EXPECT_EQ(LastFolderName(u"C:\\Data\\Music\\"_s), u"Music");
    EXPECT_EQ(LastFolderName(u"D:\\Fotos Urlaub\\\u00C4rger\\"_s), u"\u00C4rger");
    // A drive root gives the drive, which the folder picker turns into a disc title.
    EXPECT_EQ(LastFolderName(u"C:\\"_s), u"C:");
    // Odd paths give an answer instead of a crash.
    EXPECT_EQ(LastFolderName(QString()), QString());
    EXPECT_EQ(LastFolderName(u"C:\\Data\\Music"_s), u"Music");
    EXPECT_EQ(LastFolderName(u"C:\\Data\\\\"_s), QString());
}

TEST(RemoveFname, KeepsTheFolderPartWithItsFinalBackslash)
{
    EXPECT_EQ(RemoveFname(u"C:\\DATA\\a.jpg"_s), u"C:\\DATA\\");
    EXPECT_EQ(RemoveFname(u"C:\\DATA\\SUB\\"_s), u"C:\\DATA\\SUB\\");
    EXPECT_EQ(RemoveFname(u"a.jpg"_s), QString());
}

// A settings file with icon numbers for some extensions, as the program ships one.
class IconNumbers : public ::testing::Test
{
protected:
    void writeSettings(const QByteArray& extensions)
    {
        tree.addFile(u"settings.ini"_s,
                     "[Settings]\r\nloadwind=0\r\n[Extensions]\r\n" + extensions);
    }
    int icon(const char* name) const { return IconForFile(file, QString::fromUtf8(name)); }

    TempTree tree;
    QString file = tree.path(u"settings.ini"_s);
};

TEST_F(IconNumbers, ExtensionsAreLookedUpInLowerCase)
{
    writeSettings("txt=5\r\nJPG = 7\r\ngz=12\r\n(Default)=3\r\n");
    EXPECT_EQ(icon("a.TXT"), 5);
    EXPECT_EQ(icon("holiday.2004.Jpg"), 7);
    EXPECT_EQ(icon("backup.tar.GZ"), 12);
    EXPECT_EQ(icon("movie.avi"), 3);
}

TEST_F(IconNumbers, NamesWithoutADotAreFoldersWhateverTheFileSays)
{
    writeSettings("(Default)=9\r\nreadme=8\r\n");
    EXPECT_EQ(icon("README"), 2);
    EXPECT_EQ(IconForFile(tree.path(u"missing.ini"_s), u"Windows"_s), 2);
}

TEST_F(IconNumbers, ValuesAreReadAsTheirIntegerPart)
{
    writeSettings("doc=4.8\r\nxls= 6 sheets\r\npdf=none\r\nrtf=\r\n(Default)=2.5\r\n");
    EXPECT_EQ(icon("a.doc"), 4);
    EXPECT_EQ(icon("a.xls"), 6);
    EXPECT_EQ(icon("a.pdf"), 0);
    // An empty value means no key of its own: the default applies.
    EXPECT_EQ(icon("a.rtf"), 2);
    // Without a default key or file the icon is one.
    writeSettings("txt=5\r\n");
    EXPECT_EQ(icon("a.doc"), 1);
    EXPECT_EQ(IconForFile(tree.path(u"missing.ini"_s), u"a.txt"_s), 1);
}

} // namespace
} // namespace platterly::catalogue
