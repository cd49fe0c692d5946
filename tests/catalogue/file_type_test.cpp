#include "catalogue/file_type.h"

#include <QString>
#include <gtest/gtest.h>

namespace platterly::catalogue {
namespace {

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
