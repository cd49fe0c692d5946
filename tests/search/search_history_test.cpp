#include "platform/system/profile_file.h"
#include "search/search_history.h"
#include "support/temp_tree.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::search {
namespace {

class SearchHistory : public ::testing::Test
{
protected:
    void write(const QByteArray& text) { tree.addFile(u"settings.ini"_s, text); }
    QByteArray bytes() const
    {
        QFile file(settings);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString value(const QString& key) const
    {
        return system::ReadINI(settings, u"Strings"_s, key, u"<none>"_s);
    }

    platterly::test::TempTree tree;
    const QString settings = tree.path(u"settings.ini"_s);
};

TEST_F(SearchHistory, LoadsTotalEntriesInOrder)
{
    const std::pair<QByteArray, QStringList> cases[] = {
        {"[Settings]\nloadwind=1\n[Strings]\nTotal=3\ns1=abc\ns2=*.mp3\ns3=it's\ns4=left over\n",
         {u"abc"_s, u"*.mp3"_s, u"it's"_s}},
        // Total is read as the integer part of its text.
        {"[Strings]\nTotal=2.9\ns1=a\ns2=b\ns3=c\n", {u"a"_s, u"b"_s}},
        {"[Strings]\nTotal=two\ns1=a\n", {}},
        // A missing entry below Total is an empty one.
        {"[Strings]\nTotal=2\ns2=b\n", {QString(), u"b"_s}},
        {"[Settings]\nloadwind=1\n", {}},
    };
    EXPECT_TRUE(loadSearchHistory(settings).isEmpty()); // no file at all
    for (const auto& [text, expected] : cases) {
        write(text);
        EXPECT_EQ(loadSearchHistory(settings), expected) << text.toStdString();
    }
}

TEST_F(SearchHistory, ANewPatternGoesFirstARepeatedOneChangesNothingAndLaterKeysStay)
{
    write("[Strings]\nTotal=2\ns1=abc\ns2=xyz\ns5=old five\ns9=old nine\n");
    QStringList history = loadSearchHistory(settings);
    EXPECT_EQ(history, QStringList({u"abc"_s, u"xyz"_s}));
    EXPECT_TRUE(rememberSearch(history, u"new one"_s, settings));
    EXPECT_EQ(history, QStringList({u"new one"_s, u"abc"_s, u"xyz"_s}));
    EXPECT_EQ(loadSearchHistory(settings), history);
    EXPECT_EQ(value(u"Total"_s), u"3"_s);
    EXPECT_EQ(value(u"s5"_s), u"old five"_s);
    EXPECT_EQ(value(u"s9"_s), u"old nine"_s);

    // A pattern already listed or of blanks only changes nothing.
    const QByteArray before = bytes();
    for (const QString& unchanged : {u"xyz"_s, u"   "_s, QString()})
        EXPECT_FALSE(rememberSearch(history, unchanged, settings));
    EXPECT_EQ(history, QStringList({u"new one"_s, u"abc"_s, u"xyz"_s}));
    EXPECT_EQ(bytes(), before);
    // The comparison counts letter case, and blanks around a pattern stay with it.
    EXPECT_TRUE(rememberSearch(history, u"XYZ"_s, settings));
    EXPECT_TRUE(rememberSearch(history, u" a "_s, settings));
    EXPECT_EQ(history.mid(0, 2), QStringList({u" a "_s, u"XYZ"_s}));
}

TEST_F(SearchHistory, AtMostEightPatternsAreKeptTheOldestPushedOut)
{
    QStringList history;
    for (int i = 1; i <= 8; ++i)
        ASSERT_TRUE(rememberSearch(history, u"p%1"_s.arg(i), settings));
    EXPECT_TRUE(rememberSearch(history, u"p9"_s, settings));
    EXPECT_EQ(history, QStringList({u"p9"_s, u"p8"_s, u"p7"_s, u"p6"_s, u"p5"_s, u"p4"_s, u"p3"_s,
                                    u"p2"_s}));
    EXPECT_EQ(loadSearchHistory(settings), history);
    EXPECT_EQ(value(u"Total"_s), u"8"_s);
    EXPECT_EQ(value(u"s9"_s), u"<none>"_s);

    // A Total beyond the limit reads eight entries.
    QByteArray text = "[Strings]\nTotal=12\n";
    for (int i = 1; i <= 12; ++i)
        text += "s" + QByteArray::number(i) + "=e" + QByteArray::number(i) + "\n";
    write(text);
    history = loadSearchHistory(settings);
    EXPECT_EQ(history.size(), 8);
    EXPECT_EQ(history.last(), u"e8"_s);
    EXPECT_TRUE(rememberSearch(history, u"new"_s, settings));
    EXPECT_EQ(value(u"Total"_s), u"8"_s);
    EXPECT_EQ(value(u"s8"_s), u"e7"_s);
}

} // namespace
} // namespace platterly::search
