// Duplicates: files of the same name and size in several places, against a plain grouping of
// every row.
#include "platform/sql/casefold.h"
#include "search/duplicates.h"
#include "search_fixture.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace platterly::search::test {
namespace {

// A group as text: "name|size|title path, title path, ...".
QString describe(const QString& name, qint64 size, const QStringList& copies)
{
    return name + u'|' + QString::number(size) + u'|' + copies.join(u", "_s);
}

QStringList found(const QString& file, qint64 minSize)
{
    sql::SqlError error;
    auto db = sql::Database::open(file, &error);
    EXPECT_TRUE(db);
    QStringList groups;
    error = findDuplicates(*db, minSize, [&groups](const DuplicateGroup& group) {
        QStringList copies;
        for (const DuplicateGroup::Copy& copy : group.copies)
            copies.append(copy.title + u' ' + copy.path);
        groups.append(describe(group.name, group.size, copies));
        return true;
    });
    EXPECT_FALSE(error) << error.message.toStdString();
    return groups;
}

// Every row read, grouped by folded name and size in a map, sorted as the groups must be.
QStringList plainGrouping(const QString& file, qint64 minSize)
{
    sql::SqlError error;
    auto db = sql::Database::open(file, &error);
    auto rows = db->prepare(u"SELECT CDNAME, FNAME, PATH, SIZE FROM CDS ORDER BY rowid"_s, &error);
    struct Group
    {
        qint64 first = 0; // the place of its first copy in stored order
        QString name;
        QStringList copies;
    };
    std::map<std::pair<QString, qint64>, Group> groups;
    for (qint64 row = 0; rows->step() == sql::Statement::Step::Row; ++row) {
        if (rows->isNull(3) || rows->integer(3) < std::max<qint64>(minSize, 1))
            continue;
        Group& group = groups[{sql::foldCase(rows->text(1)), rows->integer(3)}];
        if (group.copies.isEmpty())
            group = {row, rows->text(1), {}};
        group.copies.append(rows->text(0) + u' ' + rows->text(2));
    }
    struct Sorted
    {
        qint64 wasted, size, first;
        QString text;
    };
    std::vector<Sorted> sorted;
    for (const auto& [key, group] : groups)
        if (group.copies.size() > 1)
            sorted.push_back({key.second * (group.copies.size() - 1), key.second, group.first,
                              describe(group.name, key.second, group.copies)});
    std::sort(sorted.begin(), sorted.end(), [](const Sorted& a, const Sorted& b) {
        if (a.wasted != b.wasted)
            return a.wasted > b.wasted;
        return a.size != b.size ? a.size > b.size : a.first < b.first;
    });
    QStringList texts;
    for (const Sorted& group : sorted)
        texts.append(group.text);
    return texts;
}

} // namespace

TEST(Duplicates, GeneratedDiscsAgreeWithAPlainGrouping)
{
    CatalogueOnDisk catalogue;
    // Two discs made alike (the same names and sizes), and one other.
    for (const auto& [title, seed] :
         {std::pair{u"First"_s, 7u}, {u"Copy"_s, 7u}, {u"Other"_s, 8u}}) {
        platterly::test::TempTree tree;
        NameMaker names(seed);
        fillTree(tree, names, 600);
        ASSERT_TRUE(catalogue.addDisc(title, tree.root()));
    }
    // The copies' names in other letter cases: a group holds names that differ in case alone.
    catalogue.foreignSql(u"UPDATE CDS SET FNAME = upper(FNAME) WHERE CDNAME = 'Copy'"_s);
    for (const qint64 minSize : {qint64{1}, qint64{1024}, qint64{1} << 20}) {
        const QStringList groups = found(catalogue.path(), minSize);
        EXPECT_EQ(groups, plainGrouping(catalogue.path(), minSize)) << minSize;
        EXPECT_GT(groups.size(), minSize == 1 ? 100 : 0);
    }
}

} // namespace platterly::search::test
