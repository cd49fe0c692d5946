// Disc images and archives added and found again from the command line.
#include "cli_process.h"
#include "support/disc_images.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using CliRun = platterly::test::CliOutcome;

class CliImageTest : public ::testing::Test
{
protected:
    CliRun run(const QStringList& args)
    {
        return platterly::test::runCli(QStringList{u"--catalogue"_s, catalogue} + args);
    }

    platterly::test::TempTree tree;
    QString catalogue = tree.path(u"cat.db2"_s);
};

} // namespace

TEST_F(CliImageTest, AnImageIsAddedUnderItsLabelAndItsEntriesAreLocatedInsideIt)
{
    platterly::test::addDiscContents(tree, u"disc"_s);
    const QString iso = tree.path(u"photos.iso"_s);
    if (const QString error = platterly::test::makeIso(tree.path(u"disc"_s), iso, u"PHOTOS_2004"_s);
        !error.isEmpty())
        GTEST_SKIP() << error.toStdString();
    ASSERT_EQ(run({u"init"_s, catalogue}).status, 0);

    const CliRun added = run({u"add"_s, iso});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    EXPECT_EQ(added.out.toStdString(), "Finished: PHOTOS_2004 holds 7 folders and 9 files\n");
    const CliRun found = run({u"search"_s, u"beach"_s, u"--locate"_s});
    EXPECT_TRUE(found.out.endsWith(u"\t"_s + iso + u"//Photos 2004/Summer/beach.jpg\n"_s))
        << found.out.toStdString();

    // Refused, naming the file and what is wrong.
    const QString cut = tree.path(u"cut.iso"_s);
    platterly::test::truncateCopy(iso, cut, 100000);
    const CliRun refused = run({u"add"_s, cut, u"Bad"_s});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.startsWith(u"platterly-cli: \""_s + cut + u"\" cannot be read"_s))
        << refused.err.toStdString();
    EXPECT_EQ(run({u"add"_s, tree.path(u"disc"_s)}).status, 2); // a folder needs a title
}
