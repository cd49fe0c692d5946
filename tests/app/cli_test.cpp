#include "cli_process.h"
#include "platform/sql/sqlite_db.h"
#include "support/disc_images.h"
#include "support/temp_tree.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using Outcome = platterly::test::CliOutcome;

class CliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_catalogue = m_dir.filePath(u"cat.db2"_s);
        ASSERT_EQ(cli({u"init"_s, m_catalogue}).status, 0);
    }

    Outcome cli(const QStringList& args) { return platterly::test::runCli(args, m_dir.path()); }

    Outcome onCatalogue(QStringList args)
    {
        args.prepend(m_catalogue);
        args.prepend(u"--catalogue"_s);
        return cli(args);
    }

    static QList<QJsonObject> jsonLines(const QString& text)
    {
        QList<QJsonObject> objects;
        for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
            objects.append(document.object());
        }
        return objects;
    }

    QTemporaryDir m_dir;
    QString m_catalogue;
};

} // namespace

TEST_F(CliTest, CataloguesAFolderAndListsItBack)
{
    platterly::test::TempTree tree;
    tree.addFile(u"a.txt"_s);
    tree.addFile(u"Music/b.mp3"_s);

    Outcome added = onCatalogue({u"add"_s, tree.root(), u"Bob's CD"_s});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    EXPECT_EQ(added.out, u"Finished: Bob's CD holds 1 folders and 2 files\n"_s);

    const auto discs = jsonLines(onCatalogue({u"discs"_s, u"--json"_s}).out);
    ASSERT_EQ(discs.size(), 1);
    EXPECT_EQ(discs[0][u"CDNAME"_s].toString(), u"Bob's CD"_s);
    EXPECT_EQ(discs[0][u"DATE"_s].toString(), QDate::currentDate().toString(Qt::ISODate));

    const auto rows = jsonLines(onCatalogue({u"tree"_s, u"BOB'S cd"_s, u"--json"_s}).out);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_TRUE(rows[3][u"PATH"_s].toString().endsWith(u"\\Music\\"_s));

    const auto totals = jsonLines(onCatalogue({u"totals"_s, u"--json"_s}).out).value(0);
    EXPECT_EQ(totals[u"TCDS"_s].toInt(), 1);
    EXPECT_EQ(totals[u"TFILES"_s].toInt(), 2);

    // A damaged row of an absurd depth is left out of the picture.
    {
        platterly::sql::SqlError error;
        auto db = platterly::sql::Database::open(m_catalogue, &error);
        ASSERT_TRUE(db);
        ASSERT_FALSE(db->exec(u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) "
                              u"VALUES ('Bob''s CD', 'deep', 'E:\\', 1e15, 0)"_qs));
    }
    const Outcome pictured = onCatalogue({u"tree"_s, u"Bob's CD"_s});
    EXPECT_EQ(pictured.status, 0) << pictured.err.toStdString();
    QStringList names = pictured.out.split(u'\n');
    for (QString& line : names)
        line = line.section(u'\t', 0, 0); // the name, without its size and time
    EXPECT_EQ(names.join(u'\n'), u"Bob's CD\n  a.txt\n  Music\n    b.mp3\n"_s);
}

TEST_F(CliTest, UpdatesADiscFromWhereItWasCataloguedOrFromAFolder)
{
    platterly::test::TempTree tree;
    tree.addFile(u"a.txt"_s, "alpha");
    tree.addFile(u"Music/b.mp3"_s);
    tree.setAllModified(1'600'000'000);
    ASSERT_EQ(onCatalogue({u"add"_s, tree.root(), u"Disc"_s}).status, 0);

    tree.addFile(u"Music/c.mp3"_s);
    tree.setSize(u"a.txt"_s, 2048);
    QFile::remove(tree.path(u"Music/b.mp3"_s));
    tree.setModified(u"Music"_s, 1'700'000'000);
    const Outcome updated = onCatalogue({u"update"_s, u"disc"_s});
    ASSERT_EQ(updated.status, 0) << updated.err.toStdString();
    EXPECT_EQ(updated.out, u"Updated Disc: 1 added, 1 removed, 2 changed; it holds "
                           u"1 folders and 2 files\n"_s);

    const Outcome again = onCatalogue({u"update"_s, u"Disc"_s, tree.root(), u"--json"_s});
    ASSERT_EQ(again.status, 0) << again.err.toStdString();
    const QJsonObject counts = jsonLines(again.out).value(0);
    EXPECT_EQ(counts[u"FILES"_s].toInt(), 2);
    for (const QString& count : {u"ADDED"_s, u"REMOVED"_s, u"CHANGED"_s})
        EXPECT_EQ(counts[count].toInt(-1), 0);

    EXPECT_EQ(onCatalogue({u"update"_s, u"Nope"_s}).status, 1);
}

TEST_F(CliTest, FailuresSayWhyOnOneLineAndExitOne)
{
    platterly::test::TempTree tree;
    ASSERT_EQ(onCatalogue({u"add"_s, tree.root(), u"Disc"_s}).status, 0);

    // A title or a catalogue file already taken: the tests of two programs racing for one.
    const struct
    {
        QStringList args;
        const char* says;
    } failures[] = {
        {{u"add"_s, tree.root(), u"  "_s}, "Enter CD Title"},
        {{u"add"_s, tree.path(u"gone"_s), u"X"_s}, "does not exist"},
        {{u"add"_s, tree.root(), u"12345678901234567890123456"_s}, "25"},
        {{u"tree"_s, u"Nothing"_s}, "Nothing"},
    };
    for (const auto& failure : failures) {
        const Outcome outcome = onCatalogue(failure.args);
        EXPECT_EQ(outcome.status, 1) << failure.says;
        EXPECT_TRUE(outcome.err.contains(QString::fromUtf8(failure.says)))
            << outcome.err.toStdString();
        EXPECT_EQ(outcome.err.count(u'\n'), 1) << outcome.err.toStdString();
    }

    // A file that is not a catalogue.
    tree.addFile(u"notes.db2"_s, "just text, not a database");
    Outcome notCatalogue = cli({u"--catalogue"_s, tree.path(u"notes.db2"_s), u"discs"_s});
    EXPECT_EQ(notCatalogue.status, 1);
    EXPECT_TRUE(notCatalogue.err.contains(u"not a catalogue"_s));
}

TEST_F(CliTest, WrongUsageExitsTwoAndEveryCommandHasHelp)
{
    for (const QStringList& wrong :
         {QStringList{}, QStringList{u"frobnicate"_s}, QStringList{u"add"_s, u"only-one"_s},
          QStringList{u"discs"_s, u"--bogus"_s}, QStringList{u"--catalogue"_s},
          QStringList{u"export"_s, u"out.docx"_s, u"x"_s, u"--disc"_s}}) {
        const Outcome outcome = cli(wrong);
        EXPECT_EQ(outcome.status, 2) << wrong.join(u' ').toStdString();
        EXPECT_TRUE(outcome.err.contains(u"usage:"_s)) << outcome.err.toStdString();
    }
    for (const char* command : {"init", "add", "update", "discs", "totals", "tree", "drives",
                                "delete", "rename", "backup", "export"}) {
        const Outcome outcome = cli({QString::fromUtf8(command), u"--help"_s});
        EXPECT_EQ(outcome.status, 0) << command;
        EXPECT_TRUE(outcome.out.startsWith(u"usage: platterly-cli"_s)) << command;
    }
}

TEST_F(CliTest, DrivesListTheRootFileSystemAsC)
{
    const Outcome outcome = cli({u"drives"_s, u"--json"_s});
    ASSERT_EQ(outcome.status, 0);
    const auto drives = jsonLines(outcome.out);
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(drives[0][u"ROOT"_s].toString(), u"C:\\"_s);
    EXPECT_EQ(drives[0][u"MOUNTPOINT"_s].toString(), u"/"_s);
}

TEST_F(CliTest, AnImageIsAddedUnderItsLabelAndItsEntriesAreLocatedInsideIt)
{
    platterly::test::TempTree tree;
    platterly::test::addDiscContents(tree, u"disc"_s);
    const QString iso = tree.path(u"photos.iso"_s);
    if (const QString error = platterly::test::makeIso(tree.path(u"disc"_s), iso, u"PHOTOS_2004"_s);
        !error.isEmpty())
        GTEST_SKIP() << error.toStdString();

    const Outcome added = onCatalogue({u"add"_s, iso});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    EXPECT_EQ(added.out.toStdString(), "Finished: PHOTOS_2004 holds 7 folders and 9 files\n");
    const Outcome found = onCatalogue({u"search"_s, u"beach"_s, u"--locate"_s});
    EXPECT_TRUE(found.out.endsWith(u"\t"_s + iso + u"//Photos 2004/Summer/beach.jpg\n"_s))
        << found.out.toStdString();

    // Refused, naming the file and what is wrong.
    const QString cut = tree.path(u"cut.iso"_s);
    platterly::test::truncateCopy(iso, cut, 100000);
    const Outcome refused = onCatalogue({u"add"_s, cut, u"Bad"_s});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.startsWith(u"platterly-cli: \""_s + cut + u"\" cannot be read"_s))
        << refused.err.toStdString();
    EXPECT_EQ(onCatalogue({u"add"_s, tree.path(u"disc"_s)}).status, 2); // a folder needs a title
}
