#include "search/statement_builder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::search {
namespace {

SearchStatement allDiscs(const QString& pattern, const QString& category)
{
    return buildSearchStatement({pattern, category, false, {}});
}

TEST(StatementBuilder, TheNineCategoriesInTheirOrder)
{
    EXPECT_EQ(searchCategories(),
              QStringList({u"All Files"_s, u"Image Files"_s, u"Documents"_s, u"Web Pages"_s,
                           u"Music Files"_s, u"Executives"_s, u"Videos"_s,
                           u"Compressed(Zip) Files"_s, u"Folders Only"_s}));
}

TEST(StatementBuilder, EachCategoryGivesItsStatementWithItsBlanks)
{
    const std::pair<QString, QString> expected[] = {
        {u"All Files"_s,
         u"SELECT * FROM CDS WHERE FNAME LIKE  '*abc*' AND TYPE<>99 ORDER BY CDNAME "_s},
        {u"Image Files"_s,
         u"SELECT * FROM CDS WHERE TYPE = 1   AND FNAME LIKE '*abc*' ORDER BY CDNAME "_s},
        {u"Documents"_s,
         u"SELECT * FROM CDS WHERE TYPE = 2  AND FNAME LIKE '*abc*' ORDER BY CDNAME "_s},
        {u"Web Pages"_s,
         u"SELECT * FROM CDS WHERE TYPE = 3  AND FNAME LIKE '*abc*' ORDER BY CDNAME "_s},
        {u"Music Files"_s,
         u"SELECT * FROM CDS WHERE TYPE = 4  AND FNAME LIKE '*abc*' ORDER BY CDNAME "_s},
        {u"Executives"_s,
         u"SELECT * FROM CDS WHERE TYPE = 5  AND FNAME LIKE '*abc*' ORDER BY CDNAME "_s},
        {u"Videos"_s,
         u"SELECT * FROM CDS WHERE TYPE = 6  AND FNAME LIKE '*abc*' ORDER BY CDNAME "_s},
        {u"Compressed(Zip) Files"_s,
         u"SELECT * FROM CDS WHERE TYPE = 7  AND FNAME LIKE '*abc*' ORDER BY CDNAME "_s},
        {u"Folders Only"_s,
         u"SELECT * FROM CDS WHERE TYPE = 100  AND FNAME LIKE '*abc*' ORDER BY CDNAME "_s},
    };
    for (const auto& [category, statement] : expected)
        EXPECT_EQ(allDiscs(u"abc"_s, category).statement, statement) << category.toStdString();
}

TEST(StatementBuilder, OtherCategoryTextsSearchEveryRowWithTheTrimmedPattern)
{
    // Compared exactly: another letter case or a blank more is another text.
    for (const QString& category : {u"all files"_s, u"All Files "_s, u"Anything"_s, u""_s})
        EXPECT_EQ(allDiscs(u"  abc "_s, category).statement,
                  u"SELECT * FROM CDS WHERE FNAME LIKE  '*abc*' ORDER BY CDNAME "_s)
            << category.toStdString();
    // A named category keeps the pattern's blanks: they are part of what is searched for.
    EXPECT_EQ(allDiscs(u" a "_s, u"Videos"_s).statement,
              u"SELECT * FROM CDS WHERE TYPE = 6  AND FNAME LIKE '* a *' ORDER BY CDNAME "_s);
}

TEST(StatementBuilder, PatternsGoBetweenStarsUnchanged)
{
    EXPECT_EQ(allDiscs(u"*.txt"_s, u"All Files"_s).statement,
              u"SELECT * FROM CDS WHERE FNAME LIKE  '**.txt*' AND TYPE<>99 ORDER BY CDNAME "_s);
    EXPECT_EQ(allDiscs(u"*.*"_s, u"All Files"_s).statement,
              u"SELECT * FROM CDS WHERE FNAME LIKE  '**.**' AND TYPE<>99 ORDER BY CDNAME "_s);
    EXPECT_EQ(allDiscs(u"*.*"_s, u"All Files"_s).patternText, u"*.*"_s);
}

TEST(StatementBuilder, FoldersOnlyTurnsStarDotStarIntoStar)
{
    const SearchStatement built = allDiscs(u"*.*"_s, u"Folders Only"_s);
    EXPECT_EQ(built.patternText, u"*"_s);
    EXPECT_EQ(built.statement,
              u"SELECT * FROM CDS WHERE TYPE = 100  AND FNAME LIKE '***' ORDER BY CDNAME "_s);
    // Only that exact text: others stay as they are.
    EXPECT_EQ(allDiscs(u"*.* "_s, u"Folders Only"_s).patternText, u"*.* "_s);
    EXPECT_EQ(allDiscs(u"*.*"_s, u"Image Files"_s).patternText, u"*.*"_s);
}

TEST(StatementBuilder, OneDiscScopeEndsWithTheTitleOrderedByName)
{
    EXPECT_EQ(buildSearchStatement({u"abc"_s, u"All Files"_s, true, u"PHOTOS"_s}).statement,
              u"SELECT * FROM CDS WHERE FNAME LIKE  '*abc*' AND TYPE<>99 AND CDNAME = 'PHOTOS'"
              u" ORDER BY FNAME"_s);
    EXPECT_EQ(buildSearchStatement({u"it's"_s, u"Music Files"_s, true, u"Ann's CD"_s}).statement,
              u"SELECT * FROM CDS WHERE TYPE = 4  AND FNAME LIKE '*it''s*' AND CDNAME = "
              u"'Ann''s CD' ORDER BY FNAME"_s); // apostrophes doubled
    // The title is ignored for the scope of all discs.
    EXPECT_EQ(buildSearchStatement({u"abc"_s, u"All Files"_s, false, u"PHOTOS"_s}).statement,
              u"SELECT * FROM CDS WHERE FNAME LIKE  '*abc*' AND TYPE<>99 ORDER BY CDNAME "_s);
}

TEST(StatementBuilder, EnterInAnEmptyBoxSearchesForStarDotStarAndOnlyBlanksAreTrimmed)
{
    EXPECT_EQ(patternTextOnEnter(QString()), u"*.*"_s);
    EXPECT_EQ(patternTextOnEnter(u" "_s), u" "_s);
    EXPECT_EQ(patternTextOnEnter(u"abc"_s), u"abc"_s);
    EXPECT_EQ(withoutOuterBlanks(u"  a b  "_s), u"a b"_s);
    EXPECT_EQ(withoutOuterBlanks(u"\ta\t"_s), u"\ta\t"_s);
    EXPECT_EQ(withoutOuterBlanks(u"   "_s), u""_s);
}

} // namespace
} // namespace platterly::search
