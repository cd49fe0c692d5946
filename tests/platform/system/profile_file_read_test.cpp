#include "platform/system/profile_file.h"
#include "platform/system/system_test_support.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::system {
namespace {

using test::TempTree;

// A settings file as a user or an older version may have left it: comments, odd spacing,
// mixed case, quotes, keys repeated.
const QByteArray kMixedFile = "orphan=before any section\n"
                              "; settings of the program\n"
                              "[Settings]\n"
                              "loadwind=1\n"
                              "  PlaySound   =   0   \n"
                              "\n"
                              ";DriveLetter=Q\n"
                              "[ paths ]\n"
                              "LoadedPath=\"C:\\DATA\\\"\n"
                              "CopyPath ='D:\\COPY\\'\n"
                              "Path=\"half quoted'\n"
                              "Empty=\n"
                              "loadwind=from paths\n"
                              "Path=second\n"
                              "[Strings]\n"
                              "Total=2\n"
                              "s1=\xC3\x84rger \xC3\xBC"
                              "ber Stra\xC3\x9F"
                              "e\n"
                              "[Settings]\n"
                              "DriveLetter=R\n";

QString read(const QString& file, const char* section, const char* key,
             const QString& fallback = u"default"_s)
{
    return ReadINI(file, QString::fromUtf8(section), QString::fromUtf8(key), fallback);
}

TEST(ProfileFileRead, FindsTheFirstKeyOfTheFirstSectionCaseBlindWithBlanksAround)
{
    TempTree tree;
    tree.addFile(u"lf.ini"_s, kMixedFile);
    QByteArray crlf = kMixedFile;
    crlf.replace("\n", "\r\n");
    tree.addFile(u"crlf.ini"_s, crlf);

    for (const char* name : {"lf.ini", "crlf.ini"}) {
        SCOPED_TRACE(name);
        const QString file = tree.path(QString::fromUtf8(name));
        EXPECT_EQ(read(file, "SETTINGS", "LOADWIND"), u"1");
        EXPECT_EQ(read(file, "settings", "playsound"), u"0");
        EXPECT_EQ(read(file, "Paths", "LoadedPath"), u"C:\\DATA\\");
        EXPECT_EQ(read(file, " Paths ", "CopyPath "), u"D:\\COPY\\");
        EXPECT_EQ(read(file, "Paths", "Path"), u"\"half quoted'");
        EXPECT_EQ(read(file, "Paths", "Empty"), QString());
        EXPECT_EQ(read(file, "strings", "S1"), u"Ärger über Straße");
        // A key of the same name in another section is another key.
        EXPECT_EQ(read(file, "Paths", "loadwind"), u"from paths");
        // Missing sections and keys give the default; so do a commented-out key, one before
        // any section, and one of a second [Settings] section, which is never looked at.
        EXPECT_EQ(read(file, "Nowhere", "loadwind"), u"default");
        EXPECT_EQ(read(file, "Settings", "nothing"), u"default");
        EXPECT_EQ(read(file, "Settings", "orphan"), u"default");
        EXPECT_EQ(read(file, "Settings", "DriveLetter"), u"default");
    }
    EXPECT_EQ(read(tree.path(u"none.ini"_s), "Settings", "loadwind"), u"default");
}

TEST(ProfileFileRead, LongValuesAndDefaultsAreCutTo254Characters)
{
    TempTree tree;
    const QByteArray longValue(300, 'x');
    tree.addFile(u"l.ini"_s, "[Paths]\r\nPath=" + longValue + "\r\nNext=1\r\n");
    const QString file = tree.path(u"l.ini"_s);
    EXPECT_EQ(read(file, "Paths", "Path"), QString(254, u'x'));
    EXPECT_EQ(read(file, "Paths", "Next"), u"1");
    EXPECT_EQ(read(file, "Paths", "Missing", QString(300, u'd')), QString(254, u'd'));

    // A character outside the basic plane is never cut in half.
    const QString clef = u"\U0001D11E"_s;
    tree.addFile(u"u.ini"_s, "[U]\nv=" + QByteArray(253, 'a') + clef.toUtf8() + "\n");
    EXPECT_EQ(read(tree.path(u"u.ini"_s), "U", "v"), QString(253, u'a'));
}

} // namespace
} // namespace platterly::system
