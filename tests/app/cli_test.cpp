#include "cli_process.h"
#include "platform/sql/sqlite_db.h"
#include "support/temp_tree.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Outcome = platterly::test::CliOutcome;

class CliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_catalogue = m_dir.filePath(QStringLiteral("cat.db2"));
    }

    Outcome cli(const QStringList& args) { return platterly::test::runCli(args, m_dir.path()); }

    Outcome onCatalogue(QStringList args)
    {
        args.prepend(m_catalogue);
        args.prepend(QStringLiteral("--catalogue"));
        return cli(args);
    }

    static QList<QJsonObject> jsonLines(const QString& text)
    {
        QList<QJsonObject> objects;
        for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
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
    tree.addFile(QStringLiteral("a.txt"));
    tree.addFile(QStringLiteral("Music/b.mp3"));
    ASSERT_EQ(cli({QStringLiteral("init"), m_catalogue}).status, 0);

    Outcome added = onCatalogue({QStringLiteral("add"), tree.root(), QStringLiteral("Bob's CD")});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    EXPECT_EQ(added.out, QStringLiteral("Finished: Bob's CD holds 1 folders and 2 files\n"));

    const auto discs =
        jsonLines(onCatalogue({QStringLiteral("discs"), QStringLiteral("--json")}).out);
    ASSERT_EQ(discs.size(), 1);
    EXPECT_EQ(discs[0][QStringLiteral("CDNAME")].toString(), QStringLiteral("Bob's CD"));
    EXPECT_EQ(discs[0][QStringLiteral("DATE")].toString(),
              QDate::currentDate().toString(Qt::ISODate));

    const auto rows = jsonLines(
        onCatalogue({QStringLiteral("tree"), QStringLiteral("BOB'S cd"), QStringLiteral("--json")})
            .out);
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0][QStringLiteral("TYPE")].toInt(), 99);
    EXPECT_EQ(rows[3][QStringLiteral("LEVEL")].toInt(), 3);
    EXPECT_TRUE(rows[3][QStringLiteral("PATH")].toString().endsWith(QStringLiteral("\\Music\\")));

    const auto totals =
        jsonLines(onCatalogue({QStringLiteral("totals"), QStringLiteral("--json")}).out);
    ASSERT_EQ(totals.size(), 1);
    EXPECT_EQ(totals[0][QStringLiteral("TCDS")].toInt(), 1);
    EXPECT_EQ(totals[0][QStringLiteral("TFILES")].toInt(), 2);

    // A damaged row of an absurd depth is left out of the picture.
    {
        platterly::sql::SqlError error;
        auto db = platterly::sql::Database::open(m_catalogue, &error);
        ASSERT_TRUE(db);
        ASSERT_FALSE(db->exec(u"INSERT INTO CDS (CDNAME, FNAME, PATH, LEVEL, TYPE) "
                              u"VALUES ('Bob''s CD', 'deep', 'E:\\', 1e15, 0)"_qs));
    }
    const Outcome pictured = onCatalogue({QStringLiteral("tree"), QStringLiteral("Bob's CD")});
    EXPECT_EQ(pictured.status, 0) << pictured.err.toStdString();
    QStringList names = pictured.out.split(u'\n');
    for (QString& line : names)
        line = line.section(u'\t', 0, 0); // the name, without its size and time
    EXPECT_EQ(names.join(u'\n'), QStringLiteral("Bob's CD\n  a.txt\n  Music\n    b.mp3\n"));
}

TEST_F(CliTest, UpdatesADiscFromWhereItWasCataloguedOrFromAFolder)
{
    platterly::test::TempTree tree;
    tree.addFile(QStringLiteral("a.txt"), "alpha");
    tree.addFile(QStringLiteral("Music/b.mp3"));
    tree.setAllModified(1'600'000'000);
    ASSERT_EQ(cli({QStringLiteral("init"), m_catalogue}).status, 0);
    ASSERT_EQ(onCatalogue({QStringLiteral("add"), tree.root(), QStringLiteral("Disc")}).status, 0);

    tree.addFile(QStringLiteral("Music/c.mp3"));
    tree.setSize(QStringLiteral("a.txt"), 2048);
    QFile::remove(tree.path(QStringLiteral("Music/b.mp3")));
    tree.setModified(QStringLiteral("Music"), 1'700'000'000);
    const Outcome updated = onCatalogue({QStringLiteral("update"), QStringLiteral("disc")});
    ASSERT_EQ(updated.status, 0) << updated.err.toStdString();
    EXPECT_EQ(updated.out.toStdString(),
              QStringLiteral("Updated Disc: 1 added, 1 removed, 2 changed; it holds "
                             "1 folders and 2 files\n")
                  .toStdString());

    const Outcome again = onCatalogue(
        {QStringLiteral("update"), QStringLiteral("Disc"), tree.root(), QStringLiteral("--json")});
    ASSERT_EQ(again.status, 0) << again.err.toStdString();
    const auto counts = jsonLines(again.out);
    ASSERT_EQ(counts.size(), 1);
    EXPECT_EQ(counts[0][QStringLiteral("ADDED")].toInt() +
                  counts[0][QStringLiteral("REMOVED")].toInt() +
                  counts[0][QStringLiteral("CHANGED")].toInt(),
              0);
    EXPECT_EQ(counts[0][QStringLiteral("FILES")].toInt(), 2);

    EXPECT_EQ(onCatalogue({QStringLiteral("update"), QStringLiteral("Nope")}).status, 1);
}

TEST_F(CliTest, FailuresSayWhyOnOneLineAndExitOne)
{
    platterly::test::TempTree tree;
    ASSERT_EQ(cli({QStringLiteral("init"), m_catalogue}).status, 0);
    ASSERT_EQ(onCatalogue({QStringLiteral("add"), tree.root(), QStringLiteral("Disc")}).status, 0);

    // A title or a catalogue file already taken: the tests of two programs racing for one.
    const struct
    {
        QStringList args;
        const char* says;
    } failures[] = {
        {{QStringLiteral("add"), tree.root(), QStringLiteral("  ")}, "Enter CD Title"},
        {{QStringLiteral("add"), tree.path(QStringLiteral("gone")), QStringLiteral("X")},
         "does not exist"},
        {{QStringLiteral("add"), tree.root(), QStringLiteral("12345678901234567890123456")}, "25"},
        {{QStringLiteral("tree"), QStringLiteral("Nothing")}, "Nothing"},
    };
    for (const auto& failure : failures) {
        const Outcome outcome = onCatalogue(failure.args);
        EXPECT_EQ(outcome.status, 1) << failure.says;
        EXPECT_TRUE(outcome.err.contains(QString::fromUtf8(failure.says)))
            << outcome.err.toStdString();
        EXPECT_EQ(outcome.err.count(QLatin1Char('\n')), 1) << outcome.err.toStdString();
    }

    // A file that is not a catalogue.
    tree.addFile(QStringLiteral("notes.db2"), "just text, not a database");
    Outcome notCatalogue = cli({QStringLiteral("--catalogue"),
                                tree.path(QStringLiteral("notes.db2")), QStringLiteral("discs")});
    EXPECT_EQ(notCatalogue.status, 1);
    EXPECT_TRUE(notCatalogue.err.contains(QStringLiteral("not a catalogue")));
}

TEST_F(CliTest, WrongUsageExitsTwoAndEveryCommandHasHelp)
{
    for (const QStringList& wrong :
         {QStringList{}, QStringList{QStringLiteral("frobnicate")},
          QStringList{QStringLiteral("add"), QStringLiteral("only-one")},
          QStringList{QStringLiteral("discs"), QStringLiteral("--bogus")},
          QStringList{QStringLiteral("--catalogue")}, QStringList{QStringLiteral("delete")},
          QStringList{QStringLiteral("rename"), QStringLiteral("only-one")},
          QStringList{QStringLiteral("backup"), QStringLiteral("a"), QStringLiteral("b")},
          QStringList{QStringLiteral("export"), QStringLiteral("out.docx")},
          QStringList{QStringLiteral("export"), QStringLiteral("out.docx"), QStringLiteral("x"),
                      QStringLiteral("--disc")}}) {
        const Outcome outcome = cli(wrong);
        EXPECT_EQ(outcome.status, 2) << wrong.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(outcome.err.contains(QStringLiteral("usage:"))) << outcome.err.toStdString();
    }
    for (const char* command : {"init", "add", "update", "discs", "totals", "tree", "drives",
                                "delete", "rename", "backup", "export"}) {
        const Outcome outcome = cli({QString::fromUtf8(command), QStringLiteral("--help")});
        EXPECT_EQ(outcome.status, 0) << command;
        EXPECT_TRUE(outcome.out.startsWith(QStringLiteral("usage: platterly-cli"))) << command;
    }
}

TEST_F(CliTest, DrivesListTheRootFileSystemAsC)
{
    const Outcome outcome = cli({QStringLiteral("drives"), QStringLiteral("--json")});
    ASSERT_EQ(outcome.status, 0);
    const auto drives = jsonLines(outcome.out);
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(drives[0][QStringLiteral("ROOT")].toString(), QStringLiteral("C:\\"));
    EXPECT_EQ(drives[0][QStringLiteral("MOUNTPOINT")].toString(), QStringLiteral("/"));
}
