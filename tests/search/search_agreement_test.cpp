// Every search, answered from the name index and by SQLite alone, against a row-by-row
// evaluation of the same Jet pattern over catalogues made by the cataloguing run.
#include "search/statement_builder.h"
#include "search_fixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::search::test {
namespace {

const QStringList kTitles = {u"Photos 2004"_s, u"it's mine"_s, u"Étés"_s};

// The category box texts tried: the nine categories and texts that are none of them.
QStringList categoryTexts()
{
    QStringList texts = searchCategories();
    texts << u"all files"_s << u"Anything"_s << u" All Files"_s;
    return texts;
}

Expectation expectationFor(const SearchRequest& request)
{
    static const QHash<QString, qint64> codes = {
        {u"Image Files"_s, 1},           {u"Documents"_s, 2},     {u"Web Pages"_s, 3},
        {u"Music Files"_s, 4},           {u"Executives"_s, 5},    {u"Videos"_s, 6},
        {u"Compressed(Zip) Files"_s, 7}, {u"Folders Only"_s, 100}};
    Expectation expectation;
    QString pattern = request.patternText;
    if (request.categoryText == u"All Files"_s) {
        expectation.typeTest = NameQuery::TypeTest::NotEqual;
        expectation.typeCode = 99;
    } else if (codes.contains(request.categoryText)) {
        expectation.typeTest = NameQuery::TypeTest::Equal;
        expectation.typeCode = codes.value(request.categoryText);
        if (request.categoryText == u"Folders Only"_s && pattern == u"*.*"_s)
            pattern = u"*"_s;
    } else {
        while (pattern.startsWith(u' '))
            pattern.remove(0, 1);
        while (pattern.endsWith(u' '))
            pattern.chop(1);
    }
    expectation.likePattern = u'*' + pattern + u'*';
    if (request.oneDiscOnly)
        expectation.title = request.discTitle;
    return expectation;
}

class SearchAgreement : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_catalogue = new CatalogueOnDisk;
        NameMaker names(20240611);
        // One disc large enough for several blocks of the index, two small ones.
        const int sizes[] = {2500, 300, 40};
        for (int disc = 0; disc < 3; ++disc) {
            platterly::test::TempTree tree;
            fillTree(tree, names, sizes[disc]);
            ASSERT_TRUE(s_catalogue->addDisc(kTitles.at(disc), tree.root()));
        }
    }
    static void TearDownTestSuite()
    {
        delete s_catalogue;
        s_catalogue = nullptr;
    }

    // Runs the search both ways and compares each with the reference.
    static std::size_t expectAgreement(const SearchRequest& request,
                                       const SearchFilters& limits = {})
    {
        const SearchStatement built = buildSearchStatement(request, limits);
        Expectation expectation = expectationFor(request);
        expectation.limits = limits;
        const std::vector<Row> expected = expectedRows(s_catalogue->path(), expectation);
        const std::string context = "pattern [" + request.patternText.toStdString() +
                                    "] category [" + request.categoryText.toStdString() +
                                    "] statement " + built.statement.toStdString();
        const SearchRows indexed = searchRows(s_catalogue->path(), built.statement, true);
        EXPECT_TRUE(indexed.answeredByIndex) << context;
        EXPECT_EQ(indexed.rows, expected) << "name index: " << context;
        const SearchRows scanned = searchRows(s_catalogue->path(), built.statement, false);
        EXPECT_FALSE(scanned.answeredByIndex);
        EXPECT_EQ(scanned.rows, expected) << "SQL: " << context;
        return expected.size();
    }

    static CatalogueOnDisk* s_catalogue;
};

CatalogueOnDisk* SearchAgreement::s_catalogue = nullptr;

TEST_F(SearchAgreement, GeneratedPatternsInEveryCategoryAndScope)
{
    NameMaker maker(77);
    const QStringList categories = categoryTexts();
    int rowsSeen = 0;
    for (int round = 0; round < 160; ++round) {
        SearchRequest request;
        request.patternText = maker.pattern();
        request.categoryText = categories.at(round % categories.size());
        request.oneDiscOnly = maker.below(3) == 0;
        // Titles are compared case-blind: the scope is also given in other letter cases.
        request.discTitle = kTitles.at(maker.below(int(kTitles.size())));
        if (maker.below(2) == 0)
            request.discTitle = request.discTitle.toUpper();
        expectAgreement(request);
        rowsSeen += int(expectedRows(s_catalogue->path(), expectationFor(request)).size());
    }
    // The patterns must find something, or the comparisons above prove little.
    EXPECT_GT(rowsSeen, 2000);
}

TEST_F(SearchAgreement, PatternsWithoutALiteralAndWithLongLiterals)
{
    const QStringList patterns = {
        u""_s,     u"*"_s,      u"*.*"_s,     u"?"_s,    u"#"_s,    u"[!x]"_s, u"é"_s,
        u"ÉTÉ"_s,  u"straße"_s, u"STRASSE"_s, u"it's"_s, u"100%"_s, u"a_b"_s,  u"songsongsong"_s,
        u"ré?b"_s, u" "_s};
    for (const QString& category : categoryTexts())
        for (const QString& pattern : patterns) {
            expectAgreement({pattern, category, false, {}});
            expectAgreement({pattern, category, true, kTitles.at(1)});
            expectAgreement({pattern, category, true, u"Nope"_s}); // no such disc
        }
}

TEST_F(SearchAgreement, LimitsOnSizeAndTimeAgreeWithARowByRowEvaluation)
{
    NameMaker maker(91);
    const QStringList categories = categoryTexts();
    std::size_t rowsSeen = 0;
    for (int round = 0; round < 120; ++round) {
        SearchRequest request;
        // Every name, or a few: the rows of a block's hits are read as a range or one by one.
        request.patternText = round % 3 == 0 ? u"*"_s : maker.pattern();
        request.categoryText = categories.at(round % categories.size());
        request.oneDiscOnly = maker.below(4) == 0;
        request.discTitle = kTitles.at(maker.below(int(kTitles.size())));
        SearchFilters limits;
        if (maker.below(2) == 0)
            limits.largerThan = sizeNearALimit(maker.below(9));
        if (maker.below(3) == 0)
            limits.smallerThan = sizeNearALimit(maker.below(9));
        if (maker.below(2) == 0)
            limits.modifiedFrom = dayNearALimit(maker.below(5));
        if (maker.below(3) == 0)
            limits.modifiedBefore = dayNearALimit(maker.below(5));
        rowsSeen += expectAgreement(request, limits);
    }
    EXPECT_GT(rowsSeen, 2000u);
}

} // namespace
} // namespace platterly::search::test
