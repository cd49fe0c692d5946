#include "platform/drives/stored_path_lookup.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

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
    tree.addFile(QStringLiteral("Photos/2004/Beach.jpg"));
    tree.addFolder(QStringLiteral("Docs"));
    tree.addFolder(QStringLiteral("DOCS"));
    tree.addFolder(QStringLiteral("Straße"));
    tree.addFile(QStringLiteral("music")); // a file: no folder of that name

    EXPECT_EQ(folder(QStringLiteral("PHOTOS\\2004\\")), tree.path(QStringLiteral("Photos/2004")));
    EXPECT_EQ(folder(QStringLiteral("Docs\\")), tree.path(QStringLiteral("Docs")));
    EXPECT_EQ(folder(QStringLiteral("DOCS\\")), tree.path(QStringLiteral("DOCS")));
    EXPECT_EQ(folder(QStringLiteral("docs\\")), std::nullopt); // Docs or DOCS?
    EXPECT_EQ(folder(QStringLiteral("STRASSE\\")), tree.path(QStringLiteral("Straße")));
    EXPECT_EQ(folder(QStringLiteral("MUSIC\\")), std::nullopt);
    EXPECT_EQ(folder(QString()), tree.root());

    const QString photos = *folder(QStringLiteral("PHOTOS\\2004\\"));
    EXPECT_EQ(lookup.findEntry(photos, QStringLiteral("BEACH.JPG")),
              tree.path(QStringLiteral("Photos/2004/Beach.jpg")));
    EXPECT_EQ(lookup.findEntry(photos, QStringLiteral("Sea.jpg")), std::nullopt);
}

TEST_F(StoredPaths, NamesWithBackslashesAndDotsStayInsideTheirFolder)
{
    // A folder whose name holds a backslash is split by the stored form; "a" beside it holds
    // no "b".
    tree.addFile(QStringLiteral("a\\b/f.txt"));
    tree.addFolder(QStringLiteral("a"));
    tree.addFile(QStringLiteral("inner/x\\..\\..\\secret"));
    tree.addFile(QStringLiteral("secret"));

    EXPECT_EQ(folder(QStringLiteral("a\\b\\")), tree.path(QStringLiteral("a\\b")));
    const QString inner = tree.path(QStringLiteral("inner"));
    EXPECT_EQ(lookup.findEntry(inner, QStringLiteral("x\\..\\..\\secret")),
              tree.path(QStringLiteral("inner/x\\..\\..\\secret")));
    // ".." is never the name of an entry: nothing stored leads out of the folder.
    EXPECT_EQ(lookup.findFolder(inner, {QStringLiteral(".."), QStringLiteral("a")}), std::nullopt);
    EXPECT_EQ(lookup.findEntry(inner, QStringLiteral("../secret")), std::nullopt);
    EXPECT_EQ(lookup.findEntry(inner, QStringLiteral("..")), std::nullopt);
}

} // namespace
} // namespace platterly::drives
