#include "maintenance/docx_export.h"
#include "maintenance/results_grid.h"
#include "maintenance_fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace platterly;
using maintenance::ExistingFile;
using maintenance::GridText;
using maintenance::test::MaintenanceTest;
using maintenance::test::readDocxTable;

namespace {

QStringList joinedRows(const std::vector<QStringList>& rows)
{
    QStringList joined;
    for (const QStringList& row : rows)
        joined.append(row.join(QLatin1Char('|')));
    return joined;
}

class ExportTest : public MaintenanceTest
{
protected:
    maintenance::SearchGrid search(const QString& pattern, const QString& disc = {})
    {
        sql::DataControl data;
        data.setDatabaseName(file());
        return maintenance::searchResultsGrid(
            data, {pattern, QStringLiteral("All Files"), !disc.isEmpty(), disc});
    }
    QString document(const char* name) const
    {
        return folder() + QLatin1Char('/') + QLatin1String(name);
    }
};

// The cells of every table row of an HTML page, their markup removed.
std::vector<QStringList> htmlTableRows(const QString& html)
{
    std::vector<QStringList> rows;
    static const QRegularExpression row(QStringLiteral("<tr[^>]*>(.*?)</tr>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cell(QStringLiteral("<t[dh][^>]*>(.*?)</t[dh]>"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    for (const auto& rowMatch : row.globalMatch(html)) {
        QStringList cells;
        for (const auto& cellMatch : cell.globalMatch(rowMatch.captured(1))) {
            QString text = cellMatch.captured(1).remove(tag).simplified();
            text.replace(QLatin1String("&lt;"), QLatin1String("<"))
                .replace(QLatin1String("&gt;"), QLatin1String(">"))
                .replace(QLatin1String("&quot;"), QLatin1String("\""))
                .replace(QLatin1String("&#39;"), QLatin1String("'"))
                .replace(QLatin1String("&amp;"), QLatin1String("&"));
            cells.append(text);
        }
        rows.push_back(cells);
    }
    return rows;
}

} // namespace

TEST(ExportText, CellsAreTabSeparatedAndEveryLineEndsWithCrLf)
{
    const GridText grid = {
        {QStringLiteral("  CD NAME   "), QStringLiteral("FILE NAME  "), QStringLiteral("PATH ")},
        {QStringLiteral("Disc"), QString(), QStringLiteral("D:\\")},
        {QStringLiteral("Disc"), QStringLiteral("a b.txt"), QStringLiteral("D:\\A\\")},
    };
    EXPECT_EQ(
        maintenance::exportText(grid),
        QStringLiteral("CD NAME\tFILE NAME\tPATH\r\nDisc\t\tD:\\\r\nDisc\ta b.txt\tD:\\A\\\r\n"));
    EXPECT_EQ(maintenance::exportText({}), QString());
}

TEST(ExportText, TheGridFormatGivesCaptionsAndWidths)
{
    const QString format = maintenance::resultsGridFormat();
    EXPECT_EQ(format, QStringLiteral("^CD NAME") + QString(35, u' ') +
                          QStringLiteral("|^FILE NAME") + QString(65, u' ') +
                          QStringLiteral("|^PATH") + QString(164, u' ') + QStringLiteral("|^Size") +
                          QString(8, u' ') + QStringLiteral("|^Modified") + QString(14, u' '));
    // On screen a column is as wide as its caption and padding, without the mark.
    EXPECT_EQ(maintenance::parseGridFormat(format)[2].shownCharacters, 168);
    EXPECT_EQ(
        maintenance::resultsGridHeader(),
        (QStringList{QStringLiteral("CD NAME"), QStringLiteral("FILE NAME"), QStringLiteral("PATH"),
                     QStringLiteral("Size"), QStringLiteral("Modified")}));
}

TEST_F(ExportTest, HitsMakeATableOfAHeaderAndOneRowEach)
{
    ASSERT_TRUE(addDisc(QStringLiteral("Bob's CD"), 1, 3));
    ASSERT_TRUE(addDisc(QStringLiteral("Other"), 0, 0));
    const maintenance::SearchGrid found = search(QStringLiteral("song"));
    ASSERT_FALSE(found.outcome.error) << found.outcome.error.message.toStdString();
    ASSERT_EQ(found.grid.size(), 4u);
    EXPECT_EQ(found.outcome.found, 3);
    // The grid holds what a window search with the same boxes shows.
    QStringList shown = joinedRows(found.grid);
    EXPECT_EQ(shown.takeFirst(), QStringLiteral("CD NAME|FILE NAME|PATH|Size|Modified"));
    EXPECT_EQ(shown, searchResults(QStringLiteral("song")));

    const QString path = document("three.docx");
    const maintenance::ExportResult written =
        maintenance::writeDocx(path, found.grid, ExistingFile::Refuse);
    ASSERT_TRUE(written.ok) << written.message.toStdString();
    const maintenance::test::DocxTable table = readDocxTable(path);
    ASSERT_TRUE(table.wellFormed) << table.error.toStdString();
    EXPECT_TRUE(table.headerRowMarked);
    EXPECT_EQ(joinedRows(table.rows), joinedRows(found.grid));

    // No hits give the header alone, and an empty grid an empty page.
    const maintenance::SearchGrid none = search(QStringLiteral("no such name"));
    ASSERT_EQ(none.grid.size(), 1u);
    ASSERT_TRUE(maintenance::writeDocx(path, none.grid, ExistingFile::Replace).ok);
    EXPECT_EQ(joinedRows(readDocxTable(path).rows),
              QStringList{QStringLiteral("CD NAME|FILE NAME|PATH|Size|Modified")});
    ASSERT_TRUE(maintenance::writeDocx(path, {}, ExistingFile::Replace).ok);
    const maintenance::test::DocxTable empty = readDocxTable(path);
    EXPECT_TRUE(empty.wellFormed) << empty.error.toStdString();
    EXPECT_TRUE(empty.rows.empty());
}

TEST(DocxExport, CellTextsSurviveEscapingAndEmptyCellsKeepTheirPlace)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const GridText grid = {
        {QStringLiteral(" CD NAME "), QStringLiteral("FILE NAME"), QStringLiteral("PATH")},
        {QStringLiteral("A&B <\"disc\"> 'one'"), QString(), QStringLiteral("D:\\]]>\\")},
        {QString(), QStringLiteral("tab\there"), QStringLiteral("two\nlines")},
        {QStringLiteral("bell\x07") + QChar(0xD800),
         QStringLiteral("é ß 日本 ") + QString::fromUcs4(U"\U0001F600"), QString()},
        {QStringLiteral("short row")},
    };
    const QString path = dir.filePath(QStringLiteral("special.docx"));
    ASSERT_TRUE(maintenance::writeDocx(path, grid, ExistingFile::Refuse).ok);
    const maintenance::test::DocxTable table = readDocxTable(path);
    ASSERT_TRUE(table.wellFormed) << table.error.toStdString();
    const QString replaced(QChar::ReplacementCharacter);
    const std::vector<QStringList> expected = {
        {QStringLiteral("CD NAME"), QStringLiteral("FILE NAME"), QStringLiteral("PATH")},
        grid[1],
        grid[2],
        {QStringLiteral("bell") + replaced + replaced, grid[3][1], QString()},
        {QStringLiteral("short row"), QString(), QString()},
    };
    EXPECT_EQ(table.rows, expected);
}

TEST(DocxExport, AFailedWriteLeavesNoPartialDocument)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const GridText grid = {
        maintenance::resultsGridHeader(),
        {QStringLiteral("Disc"), QStringLiteral("a.txt"), QStringLiteral("D:\\")}};
    const maintenance::ExportResult missingFolder = maintenance::writeDocx(
        dir.filePath(QStringLiteral("missing/out.docx")), grid, ExistingFile::Refuse);
    EXPECT_FALSE(missingFolder.ok);
    EXPECT_TRUE(missingFolder.message.contains(QLatin1String("out.docx")));

    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("taken.docx/inside")));
    EXPECT_FALSE(maintenance::writeDocx(dir.filePath(QStringLiteral("taken.docx")), grid,
                                        ExistingFile::Replace)
                     .ok);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("taken.docx")});
}

TEST(DocxExport, TheDefaultNameIsDatedAndNeverOverwritesAnEarlierExport)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDate day(2026, 12, 5);
    const QString first = maintenance::exportDefaultPath(dir.path(), day);
    EXPECT_EQ(first, dir.path() + QStringLiteral("/Search results 2026-12-05.docx"));
    ASSERT_TRUE(
        maintenance::writeDocx(first, {maintenance::resultsGridHeader()}, ExistingFile::Refuse).ok);
    EXPECT_EQ(maintenance::exportDefaultPath(dir.path(), day),
              dir.path() + QStringLiteral("/Search results 2026-12-05 (2).docx"));
}

TEST_F(ExportTest, AWordProcessorReadsTheTable)
{
    QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    ASSERT_TRUE(addDisc(QStringLiteral("Tom & Jerry's <CD>"), 1, 3));
    const maintenance::SearchGrid found = search(QStringLiteral("song"));
    ASSERT_EQ(found.grid.size(), 4u);
    const QString path = document("results.docx");
    ASSERT_TRUE(maintenance::writeDocx(path, found.grid, ExistingFile::Refuse).ok);

    // A profile of its own, so that a LibreOffice the user has open is not disturbed.
    const QString out = folder() + QStringLiteral("/converted");
    QProcess process;
    process.start(office, {QStringLiteral("-env:UserInstallation=file://") + folder() +
                               QStringLiteral("/office-profile"),
                           QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                           QStringLiteral("html:HTML (StarWriter)"), QStringLiteral("--outdir"),
                           out, path});
    ASSERT_TRUE(process.waitForFinished(300000));
    QFile html(out + QStringLiteral("/results.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly)) << process.readAllStandardError().toStdString();
    const QString page = QString::fromUtf8(html.readAll());
    EXPECT_TRUE(page.contains(QLatin1String("<thead"))); // the header row is marked as such
    EXPECT_EQ(joinedRows(htmlTableRows(page)), joinedRows(found.grid));
}
