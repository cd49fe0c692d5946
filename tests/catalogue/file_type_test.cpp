#include "catalogue/file_type.h"

#include <QString>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace platterly::catalogue {
namespace {

std::int16_t typeOf(const char* name)
{
    return FileType(QString::fromUtf8(name));
}

TEST(FileType, NamesWithAKnownExtensionGetTheirGroup)
{
    EXPECT_EQ(typeOf("photo.Jpg"), TypeImage);
    EXPECT_EQ(typeOf("Holiday.2004.jpg"), TypeImage);
    EXPECT_EQ(typeOf("report.mdb"), TypeDocument);
    EXPECT_EQ(typeOf("page.asp"), TypeWebPage);
    EXPECT_EQ(typeOf("song.mp3"), TypeMusic);
    EXPECT_EQ(typeOf("setup.exe"), TypeProgram);
    EXPECT_EQ(typeOf("clip.mpg"), TypeVideo);
    EXPECT_EQ(typeOf("data.tgz"), TypeArchive);
    EXPECT_EQ(typeOf("lib.jar"), TypeArchive);
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
    EXPECT_EQ(typeOf("Disk.1"), TypeOther);
    EXPECT_EQ(typeOf(".profile"), TypeOther);
    EXPECT_EQ(typeOf("abc."), TypeOther);
    // Blanks belong to the extension, so a trailing blank spoils it.
    EXPECT_EQ(typeOf("a.jpg "), TypeOther);
    EXPECT_EQ(typeOf("a.jp g"), TypeOther);
    // Letters outside ASCII never match, even where they fold to an entry.
    EXPECT_EQ(typeOf("a.z\xC4\xB1p"), TypeOther); // dotless i: upper case is ZIP
    EXPECT_EQ(typeOf("notes.textfile"), TypeOther);
}

TEST(FileType, EveryTableEntryMatchesInAnyLetterCase)
{
    const std::vector<std::pair<std::int16_t, std::vector<const char*>>> table{
        {TypeImage,
         {"bmp", "jpg", "jpeg", "gif", "cdr", "wmf", "png", "tif", "cur", "eps", "ico", "jp2",
          "jpc", "pcx", "psd", "psp", "ufo"}},
        {TypeDocument, {"doc", "xls", "ppt", "pps", "txt", "wri", "rtf", "pdf", "mdb"}},
        {TypeWebPage, {"htm", "html", "asp", "xml", "shtml", "php", "jsp"}},
        {TypeMusic, {"wav", "voc", "wma", "mp2", "mp3", "mpeg", "asf"}},
        {TypeProgram, {"exe", "com"}},
        {TypeVideo, {"avi", "wmv", "mpg", "mov", "qt", "qts"}},
        {TypeArchive,
         {"zip", "ace", "rar", "tar", "tgz", "lha", "cab", "arj", "lzh", "gzip", "uue", "bz2",
          "jar"}},
    };
    for (const auto& [code, extensions] : table) {
        for (const char* extension : extensions) {
            const QString lower = QStringLiteral("file.") + QString::fromUtf8(extension);
            EXPECT_EQ(FileType(lower), code) << extension;
            EXPECT_EQ(FileType(lower.toUpper()), code) << extension;
        }
    }
}

} // namespace
} // namespace platterly::catalogue
