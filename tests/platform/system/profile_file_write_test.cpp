#include "platform/system/profile_file.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <QDir>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::system {
namespace {

using test::readBytes;
using test::TempTree;

const QByteArray kUserFile = "; keep this comment\n"
                             "[Settings]\n"
                             "loadwind = 1   \n"
                             "PLAYSOUND=0\n"
                             "\n"
                             "; end of settings\n"
                             "[Paths]\n"
                             "copypath\t=  'C:\\OLD\\'\n"
                             "Path=C:\\\n"
                             "Path=shadowed\n";

TEST(ProfileFileWrite, ChangesOneValueOrAddsOneLineAndKeepsTheRestAndTheLineEnds)
{
    for (const QByteArray& lineEnd : {QByteArray("\n"), QByteArray("\r\n")}) {
        SCOPED_TRACE(lineEnd.size());
        TempTree tree;
        tree.addFile(u"s.ini"_s, QByteArray(kUserFile).replace("\n", lineEnd));
        const QString file = tree.path(u"s.ini"_s);
        const auto write = [&file](const char* section, const char* key, const char* value) {
            ASSERT_TRUE(WriteINI(file, QString::fromUtf8(section), QString::fromUtf8(key),
                                 QString::fromUtf8(value)));
        };
        write("settings", "LoadWind", "0");
        // Written with the trailing blank the folder picker passes: the same key.
        write("Paths", "CopyPath ", "D:\\NEW\\");
        write("Paths", "path", "E:\\"); // the first of two
        write("Settings", "DriveLetter", "F");
        write("Strings", "Total", "1");
        write("Strings", "s1", "holiday");

        // A new key goes after the last key of its section, a new section at the end.
        QByteArray expected = kUserFile;
        expected.replace("loadwind = 1   ", "loadwind = 0   ");
        expected.replace("'C:\\OLD\\'", "D:\\NEW\\");
        expected.replace("Path=C:\\\n", "Path=E:\\\n");
        expected.replace("PLAYSOUND=0\n", "PLAYSOUND=0\nDriveLetter=F\n");
        expected += "[Strings]\nTotal=1\ns1=holiday\n";
        EXPECT_EQ(readBytes(file), expected.replace("\n", lineEnd));
        EXPECT_EQ(ReadINI(file, u"Paths"_s, u"CopyPath"_s, {}), u"D:\\NEW\\");
    }
}

TEST(ProfileFileWrite, AFileWithoutAFinalLineEndGetsOneOnlyWhereALineIsAdded)
{
    TempTree tree;
    const QString file = tree.path(u"s.ini"_s);
    tree.addFile(u"s.ini"_s, "[Settings]");
    ASSERT_TRUE(WriteINI(file, u"Settings"_s, u"loadwind"_s, u"1"_s));
    EXPECT_EQ(readBytes(file), "[Settings]\nloadwind=1");
    ASSERT_TRUE(WriteINI(file, u"Paths"_s, u"Path"_s, u"0"_s));
    EXPECT_EQ(readBytes(file), "[Settings]\nloadwind=1\n[Paths]\nPath=0\n");

    // A file that is not there yet is made with one section and one key.
    const QString made = tree.path(u"settings.ini"_s);
    ASSERT_TRUE(WriteINI(made, u"Settings"_s, u"loadwind"_s, u"1"_s));
    EXPECT_EQ(readBytes(made), "[Settings]\nloadwind=1\n");
}

TEST(ProfileFileWrite, ValuesStayOnOneLineAndRoundTripAsUtf8)
{
    TempTree tree;
    const QString file = tree.path(u"s.ini"_s);
    ASSERT_TRUE(WriteINI(file, u"Strings"_s, u"s1"_s, u"two\r\nlines\nhere"_s));
    ASSERT_TRUE(WriteINI(file, u"Strings"_s, u"s2"_s, u"Ärger über Straße"_s));
    EXPECT_EQ(readBytes(file),
              "[Strings]\ns1=two  lines here\ns2=" + u"Ärger über Straße"_s.toUtf8() + "\n");
    EXPECT_EQ(ReadINI(file, u"STRINGS"_s, u"S2"_s, {}), u"Ärger über Straße");
}

TEST(ProfileFileWrite, NamesThatWouldChangeTheMeaningOfTheLineAreRefused)
{
    TempTree tree;
    tree.addFile(u"s.ini"_s, kUserFile);
    const QString file = tree.path(u"s.ini"_s);
    const QString section = u"Settings"_s;
    EXPECT_FALSE(WriteINI(file, section, u"a=b"_s, u"1"_s));
    EXPECT_FALSE(WriteINI(file, section, u" "_s, u"1"_s));
    EXPECT_FALSE(WriteINI(file, section, u";x"_s, u"1"_s));
    EXPECT_FALSE(WriteINI(file, u"a\nb"_s, u"k"_s, u"1"_s));
    EXPECT_EQ(readBytes(file), kUserFile);
}

TEST(ProfileFileWrite, AWriteCutShortByAFileSizeLimitLeavesTheOldFileIntact)
{
    TempTree tree;
    tree.addFile(u"s.ini"_s, kUserFile);
    const QString file = tree.path(u"s.ini"_s);

    bool written = true;
    {
        test::FileSizeLimit limit(16);
        ASSERT_TRUE(limit.isActive());
        written = WriteINI(file, u"Settings"_s, u"loadwind"_s, u"0"_s);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(readBytes(file), kUserFile);
    EXPECT_EQ(QDir(tree.root()).entryList(QDir::Files | QDir::Hidden), QStringList{u"s.ini"_s});
}

// The file as a Windows editor saves it: a byte order mark, then the text in that encoding.
QByteArray encoded(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder(text);
}

TEST(ProfileFileWrite, FilesWithAByteOrderMarkAreReadAndKeepTheirEncoding)
{
    const QString before = QStringLiteral("; Einstellungen für Platterly\r\n[Settings]\r\n"
                                          "loadwind=1\r\n[Strings]\r\nTotal=1\r\ns1=Straße\r\n");
    const QString after =
        QString(before).replace(u"loadwind=1"_s, u"loadwind=0"_s) + u"s2=日本\r\n"_s;
    for (const auto encoding :
         {QStringConverter::Utf16LE, QStringConverter::Utf16BE, QStringConverter::Utf8}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        TempTree tree;
        tree.addFile(u"settings.ini"_s, encoded(before, encoding));
        const QString file = tree.path(u"settings.ini"_s);
        EXPECT_EQ(ReadINI(file, u"settings"_s, u"loadwind"_s, {}), u"1");
        EXPECT_EQ(ReadINI(file, u"Strings"_s, u"s1"_s, {}), u"Straße");

        ASSERT_TRUE(WriteINI(file, u"Settings"_s, u"loadwind"_s, u"0"_s));
        ASSERT_TRUE(WriteINI(file, u"Strings"_s, u"s2"_s, u"日本"_s));
        EXPECT_EQ(readBytes(file), encoded(after, encoding));
    }
}

} // namespace
} // namespace platterly::system
