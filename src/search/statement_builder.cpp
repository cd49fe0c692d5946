#include "search/statement_builder.h"

#include "platform/sql/jet_like.h"
#include "platform/sql/sqlite_db.h"

namespace platterly::search {

namespace {

// A category and the statement texts around its pattern. The blanks inside them are part of
// the statements the program has always run, and are kept as they are.
struct Category
{
    QLatin1String name;
    QLatin1String beforePattern;
    QLatin1String afterPattern;
};

constexpr QLatin1String kAfterTypedPattern{"*'"};

const Category kCategories[] = {
    {QLatin1String("All Files"), QLatin1String("SELECT * FROM CDS WHERE FNAME LIKE  '*"),
     QLatin1String("*' AND TYPE<>99")},
    {QLatin1String("Image Files"),
     QLatin1String("SELECT * FROM CDS WHERE TYPE = 1   AND FNAME LIKE '*"), kAfterTypedPattern},
    {QLatin1String("Documents"),
     QLatin1String("SELECT * FROM CDS WHERE TYPE = 2  AND FNAME LIKE '*"), kAfterTypedPattern},
    {QLatin1String("Web Pages"),
     QLatin1String("SELECT * FROM CDS WHERE TYPE = 3  AND FNAME LIKE '*"), kAfterTypedPattern},
    {QLatin1String("Music Files"),
     QLatin1String("SELECT * FROM CDS WHERE TYPE = 4  AND FNAME LIKE '*"), kAfterTypedPattern},
    {QLatin1String("Executives"),
     QLatin1String("SELECT * FROM CDS WHERE TYPE = 5  AND FNAME LIKE '*"), kAfterTypedPattern},
    {QLatin1String("Videos"), QLatin1String("SELECT * FROM CDS WHERE TYPE = 6  AND FNAME LIKE '*"),
     kAfterTypedPattern},
    {QLatin1String("Compressed(Zip) Files"),
     QLatin1String("SELECT * FROM CDS WHERE TYPE = 7  AND FNAME LIKE '*"), kAfterTypedPattern},
    {QLatin1String("Folders Only"),
     QLatin1String("SELECT * FROM CDS WHERE TYPE = 100  AND FNAME LIKE '*"), kAfterTypedPattern},
};

const Category kAnyOtherText{
    QLatin1String(), QLatin1String("SELECT * FROM CDS WHERE FNAME LIKE  '*"), kAfterTypedPattern};

const QLatin1String kFoldersOnly("Folders Only");

const Category* categoryNamed(const QString& text)
{
    for (const Category& category : kCategories)
        if (text == category.name)
            return &category;
    return nullptr;
}

} // namespace

const QStringList& searchCategories()
{
    static const QStringList names = [] {
        QStringList list;
        for (const Category& category : kCategories)
            list.append(category.name);
        return list;
    }();
    return names;
}

QString withoutOuterBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

QString patternTextOnEnter(const QString& boxText)
{
    return boxText.isEmpty() ? QStringLiteral("*.*") : boxText;
}

SearchStatement buildSearchStatement(const SearchRequest& request, const SearchFilters& filters)
{
    SearchStatement built;
    built.patternText = request.patternText;
    const Category* category = categoryNamed(request.categoryText);
    QString pattern;
    if (category == nullptr) {
        category = &kAnyOtherText;
        pattern = withoutOuterBlanks(request.patternText);
    } else {
        // A folder name need not hold a dot, so "*.*" would miss most folders.
        if (category->name == kFoldersOnly && built.patternText == QLatin1String("*.*"))
            built.patternText = QStringLiteral("*");
        pattern = built.patternText;
    }
    built.statement = category->beforePattern + sql::quoteSqlText(pattern) +
                      category->afterPattern + filters.conditions();
    // The stars around the pattern and blanks trimmed off its ends change neither whether Jet
    // takes it nor what it says about it, but they would move every position it names.
    QString why;
    if (!sql::JetLikePattern::compile(built.patternText, &why))
        built.patternError = QStringLiteral("Invalid pattern string: ") + why;
    if (request.oneDiscOnly)
        built.statement += QStringLiteral(" AND CDNAME = '") +
                           sql::quoteSqlText(request.discTitle) +
                           QStringLiteral("' ORDER BY FNAME");
    else
        built.statement += QStringLiteral(" ORDER BY CDNAME ");
    return built;
}

} // namespace platterly::search
