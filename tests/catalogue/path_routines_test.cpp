#include "catalogue/file_type.h"
#include "catalogue/path_routines.h"
#include "catalogue/settings.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <limits>

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
    writeSettings("doc=4.8\r\npdf=none\r\nrtf=\r\n(Default)=2.5\r\n");
    EXPECT_EQ(icon("a.doc"), 4);
    EXPECT_EQ(icon("a.pdf"), 0);
    // An empty value means no key of its own: the default applies.
    EXPECT_EQ(icon("a.rtf"), 2);
    // Without a default key or file the icon is one.
    writeSettings("txt=5\r\n");
    EXPECT_EQ(icon("a.doc"), 1);
    EXPECT_EQ(IconForFile(tree.path(u"missing.ini"_s), u"a.txt"_s), 1);
}

TEST(IntegerPart, ReadsTheLeadingNumberOfATextClampedToTheRangeOfInt)
{
    EXPECT_EQ(integerPart(u" 3.9"_s), 3);
    EXPECT_EQ(integerPart(u"-2.7"_s), -2);
    EXPECT_EQ(integerPart(u"\t +0042"_s), 42);
    EXPECT_EQ(integerPart(u"1e3"_s), 1);
    // Text without a number is zero.
    for (const char* text : {"", ".5", "- 3", "/home/ann/platterly"})
        EXPECT_EQ(integerPart(QString::fromUtf8(text)), 0) << text;

    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(integerPart(u"2147483648"_s), kMax);
    EXPECT_EQ(integerPart(u"-2147483649"_s), kMin);
    EXPECT_EQ(integerPart(u"-99999999999999999999999999.5"_s), kMin);
}

std::int16_t typeOf(const char* name)
{
    return FileType(QString::fromUtf8(name));
}

TEST(FileType, NamesWithAKnownExtensionGetTheirGroup)
{
    EXPECT_EQ(typeOf("photo.Jpg"), TypeImage);
    EXPECT_EQ(typeOf("report.mdb"), TypeDocument);
    EXPECT_EQ(typeOf("page.asp"), TypeWebPage);
    EXPECT_EQ(typeOf("song.mp3"), TypeMusic);
    EXPECT_EQ(typeOf("setup.exe"), TypeProgram);
    EXPECT_EQ(typeOf("clip.mpg"), TypeVideo);
    EXPECT_EQ(typeOf("data.tgz"), TypeArchive);
    EXPECT_EQ(typeOf("notes.TXT"), TypeDocument);
    // ".MPEG" is listed with the music before the videos, and the first group wins.
    EXPECT_EQ(typeOf("clip.mpeg"), TypeMusic);
    EXPECT_EQ(TypeMusic, 4);
}

TEST(FileType, NamesWithoutADotCountAsFolders)
{
    for (const char* name : {"Windows", "README", "Program Files", ""})
        EXPECT_EQ(typeOf(name), TypeNoDot) << name;
    EXPECT_EQ(TypeNoDot, 100);
}

TEST(FileType, OnlyTheTextFromTheLastDotCounts)
{
    EXPECT_EQ(typeOf("backup.tar.gz"), TypeOther);
    EXPECT_EQ(typeOf(".profile"), TypeOther);
    EXPECT_EQ(typeOf("abc."), TypeOther);
    // Blanks belong to the extension, so a trailing blank spoils it.
    EXPECT_EQ(typeOf("a.jpg "), TypeOther);
    // Letters outside ASCII never match, even where they fold to an entry.
    EXPECT_EQ(typeOf("a.z\xC4\xB1p"), TypeOther); // dotless i: upper case is ZIP
    EXPECT_EQ(typeOf("notes.textfile"), TypeOther);
}

} // namespace
} // namespace platterly::catalogue
