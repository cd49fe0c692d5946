#include "platform/drives/stored_path_lookup.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace platterly::drives {
namespace {

class StoredPaths : public ::testing::Test
{
protected:
    std::optional<QString> folder(const QString& storedRest)
    {
        return lookup.findFolder(tree.root(), storedFolderNames(storedRest));
    }

    test::TempTree tree;
    StoredPathLookup lookup;
};

TEST_F(StoredPaths, MatchExactlyFirstThenWithoutRegardToCaseButNeverAmbiguously)
{
    tree.addFile(u"Photos/2004/Beach.jpg"_s);
    tree.addFolder(u"Docs"_s);
    tree.addFolder(u"DOCS"_s);
    tree.addFolder(u"Straße"_s);
    tree.addFile(u"music"_s); // a file: no folder of that name

    EXPECT_EQ(folder(u"PHOTOS\\2004\\"_s), tree.path(u"Photos/2004"_s));
    EXPECT_EQ(folder(u"Docs\\"_s), tree.path(u"Docs"_s));
    EXPECT_EQ(folder(u"DOCS\\"_s), tree.path(u"DOCS"_s));
    EXPECT_EQ(folder(u"docs\\"_s), std::nullopt); // Docs or DOCS?
    EXPECT_EQ(folder(u"STRASSE\\"_s), tree.path(u"Straße"_s));
    EXPECT_EQ(folder(u"MUSIC\\"_s), std::nullopt);
    EXPECT_EQ(folder(QString()), tree.root());

    const QString photos = *folder(u"PHOTOS\\2004\\"_s);
    EXPECT_EQ(lookup.findEntry(photos, u"BEACH.JPG"_s), tree.path(u"Photos/2004/Beach.jpg"_s));
    EXPECT_EQ(lookup.findEntry(photos, u"Sea.jpg"_s), std::nullopt);
}

TEST_F(StoredPaths, NamesWithBackslashesAndDotsStayInsideTheirFolder)
{
    // A folder whose name holds a backslash is split by the stored form; "a" beside it holds
    // no "b".
    tree.addFile(u"a\\b/f.txt"_s);
    tree.addFolder(u"a"_s);
    tree.addFile(u"inner/x\\..\\..\\secret"_s);
    tree.addFile(u"secret"_s);

    EXPECT_EQ(folder(u"a\\b\\"_s), tree.path(u"a\\b"_s));
    const QString inner = tree.path(u"inner"_s);
    EXPECT_EQ(lookup.findEntry(inner, u"x\\..\\..\\secret"_s),
              tree.path(u"inner/x\\..\\..\\secret"_s));
    // ".." is never the name of an entry: nothing stored leads out of the folder.
    EXPECT_EQ(lookup.findFolder(inner, {u".."_s, u"a"_s}), std::nullopt);
    EXPECT_EQ(lookup.findEntry(inner, u"../secret"_s), std::nullopt);
    EXPECT_EQ(lookup.findEntry(inner, u".."_s), std::nullopt);
}

} // namespace
} // namespace platterly::drives
