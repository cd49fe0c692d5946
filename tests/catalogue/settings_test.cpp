#include "catalogue/settings.h"
#include "platform/system/application_folder.h"
#include "platform/system/profile_file.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <limits>

namespace platterly::catalogue {
namespace {

using system::ReadINI;
using system::WriteINI;
using test::readBytes;
using test::TempTree;

TEST(IntegerPart, ReadsTheLeadingNumberOfAText)
{
    EXPECT_EQ(integerPart(QStringLiteral("12")), 12);
    EXPECT_EQ(integerPart(QStringLiteral(" 3.9")), 3);
    EXPECT_EQ(integerPart(QStringLiteral("-2.7")), -2);
    EXPECT_EQ(integerPart(QStringLiteral("\t +0042")), 42);
    EXPECT_EQ(integerPart(QStringLiteral("1e3")), 1);
    // Text without a number is zero.
    for (const char* text : {"", ".5", "- 3", "/home/ann/platterly"})
        EXPECT_EQ(integerPart(QString::fromUtf8(text)), 0) << text;
}

TEST(IntegerPart, NumbersBeyondTheRangeOfIntAreClamped)
{
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(integerPart(QStringLiteral("2147483647")), kMax);
    EXPECT_EQ(integerPart(QStringLiteral("2147483648")), kMax);
    EXPECT_EQ(integerPart(QStringLiteral("-2147483649")), kMin);
    EXPECT_EQ(integerPart(QStringLiteral("99999999999999999999999999")), kMax);
    EXPECT_EQ(integerPart(QStringLiteral("-99999999999999999999999999.5")), kMin);
}

// The program's settings file in an application folder of its own.
class SettingsFile : public ::testing::Test
{
protected:
    SettingsFile() { system::setApplicationFolderOverride(tree.root()); }
    ~SettingsFile() override { system::setApplicationFolderOverride(QString()); }

    TempTree tree;
};

TEST_F(SettingsFile, StartUpNumbersThatAreNotNumbersCountAsZero)
{
    tree.addFile(QStringLiteral("settings.ini"), "[Settings]\nloadwind=yes\nPlaySound=1\n");
    const QString folder = system::applicationFolder();
    const auto startUpValue = [&](QLatin1String key) {
        return integerPart(ReadINI(settingsFile(), settings::kSectionSettings, key, folder));
    };
    EXPECT_EQ(startUpValue(settings::kKeyLoadWind), 0);
    EXPECT_EQ(startUpValue(settings::kKeyPlaySound), 1);
    // A missing key gives the application folder, which is no number either.
    ASSERT_TRUE(QFile::remove(settingsFile()));
    EXPECT_EQ(startUpValue(settings::kKeyPlaySound), 0);
}

TEST_F(SettingsFile, KeysWrittenInAnotherSpellingAreTheSameKeys)
{
    // The folder picker writes "path" and "CopyPath " with a trailing blank.
    ASSERT_TRUE(WriteINI(settingsFile(), settings::kSectionPaths, QStringLiteral("path"),
                         QStringLiteral("C:\\DATA\\")));
    ASSERT_TRUE(WriteINI(settingsFile(), settings::kSectionPaths, QStringLiteral("CopyPath "),
                         QStringLiteral("E:\\COPY\\")));
    ASSERT_TRUE(WriteINI(settingsFile(), settings::kSectionPaths, settings::kKeyCopyPath,
                         QStringLiteral("F:\\")));
    EXPECT_EQ(ReadINI(settingsFile(), settings::kSectionPaths, settings::kKeyPath,
                      settings::kNoFolderYet),
              u"C:\\DATA\\");
    EXPECT_EQ(ReadINI(settingsFile(), settings::kSectionPaths, settings::kKeyCopyPath,
                      settings::kNoFolderYet),
              u"F:\\");
    EXPECT_EQ(readBytes(settingsFile()), "[Paths]\npath=C:\\DATA\\\nCopyPath=F:\\\n");
    EXPECT_EQ(ReadINI(settingsFile(), settings::kSectionPaths, settings::kKeyLoadedPath,
                      settings::kNoFolderYet),
              u"0");
}

TEST_F(SettingsFile, AShorterHistoryLeavesTheStaleEntryInTheFile)
{
    tree.addFile(QStringLiteral("settings.ini"),
                 "[Settings]\r\nDriveLetter=E\r\n[Strings]\r\nTotal=3\r\ns1=c\r\ns2=b\r\ns3=a\r\n");
    const QString file = settingsFile();
    ASSERT_TRUE(
        WriteINI(file, settings::kSectionStrings, settings::kKeyTotal, QStringLiteral("2")));
    ASSERT_TRUE(
        WriteINI(file, settings::kSectionStrings, settings::historyKey(1), QStringLiteral("new")));
    ASSERT_TRUE(
        WriteINI(file, settings::kSectionStrings, settings::historyKey(2), QStringLiteral("c")));
    EXPECT_EQ(readBytes(file),
              "[Settings]\r\nDriveLetter=E\r\n[Strings]\r\nTotal=2\r\ns1=new\r\ns2=c\r\ns3=a\r\n");
    EXPECT_EQ(integerPart(ReadINI(file, settings::kSectionStrings, settings::kKeyTotal,
                                  QStringLiteral("0"))),
              2);
}

} // namespace
} // namespace platterly::catalogue
