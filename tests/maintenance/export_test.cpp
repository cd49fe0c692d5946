#include "maintenance/docx_export.h"
#include "maintenance/results_grid.h"
#include "maintenance_fixture.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

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
        joined.append(row.join(u'|'));
    return joined;
}

class ExportTest : public MaintenanceTest
{
protected:
    maintenance::SearchGrid search(const QString& pattern, const QString& disc = {})
    {
        sql::DataControl data;
        data.setDatabaseName(file());
        return maintenance::searchResultsGrid(data,
                                              {pattern, u"All Files"_s, !disc.isEmpty(), disc});
    }
};

// The cells of every table row of an HTML page, their markup removed.
std::vector<QStringList> htmlTableRows(const QString& html)
{
    std::vector<QStringList> rows;
    static const QRegularExpression row(u"<tr[^>]*>(.*?)</tr>"_s,
                                        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression cell(u"<t[dh][^>]*>(.*?)</t[dh]>"_s,
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tag(u"<[^>]*>"_s);
    for (const auto& rowMatch : row.globalMatch(html)) {
        QStringList cells;
        for (const auto& cellMatch : cell.globalMatch(rowMatch.captured(1))) {
            QString text = cellMatch.captured(1).remove(tag).simplified();
            text.replace(u"&lt;"_s, u"<"_s)
                .replace(u"&gt;"_s, u">"_s)
                .replace(u"&quot;"_s, u"\""_s)
                .replace(u"&#39;"_s, u"'"_s)
                .replace(u"&amp;"_s, u"&"_s);
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
        {u"  CD NAME   "_s, u"FILE NAME  "_s, u"PATH "_s},
        {u"Disc"_s, QString(), u"D:\\"_s},
        {u"Disc"_s, u"a b.txt"_s, u"D:\\A\\"_s},
    };
    EXPECT_EQ(maintenance::exportText(grid),
              u"CD NAME\tFILE NAME\tPATH\r\nDisc\t\tD:\\\r\nDisc\ta b.txt\tD:\\A\\\r\n"_s);
}

TEST(ExportText, TheGridFormatGivesCaptionsAndWidths)
{
    const QString format = maintenance::resultsGridFormat();
    EXPECT_EQ(format, u"^CD NAME"_s + QString(35, u' ') + u"|^FILE NAME"_s + QString(65, u' ') +
                          u"|^PATH"_s + QString(164, u' ') + u"|^Size"_s + QString(8, u' ') +
                          u"|^Modified"_s + QString(14, u' '));
    // On screen a column is as wide as its caption and padding, without the mark.
    EXPECT_EQ(maintenance::parseGridFormat(format)[2].shownCharacters, 168);
}

TEST_F(ExportTest, HitsMakeATableOfAHeaderAndOneRowEach)
{
    ASSERT_TRUE(addDisc(u"Bob's CD"_s, 1, 3));
    ASSERT_TRUE(addDisc(u"Other"_s, 0, 0));
    const maintenance::SearchGrid found = search(u"song"_s);
    ASSERT_FALSE(found.outcome.error) << found.outcome.error.message.toStdString();
    ASSERT_EQ(found.grid.size(), 4u);
    EXPECT_EQ(found.outcome.found, 3);
    // The grid holds what a window search with the same boxes shows.
    QStringList shown = joinedRows(found.grid);
    EXPECT_EQ(shown.takeFirst(), u"CD NAME|FILE NAME|PATH|Size|Modified"_s);
    EXPECT_EQ(shown, searchResults(u"song"_s));

    const QString path = folder() + u"/three.docx"_s;
    const maintenance::ExportResult written =
        maintenance::writeDocx(path, found.grid, ExistingFile::Refuse);
    ASSERT_TRUE(written.ok) << written.message.toStdString();
    const maintenance::test::DocxTable table = readDocxTable(path);
    ASSERT_TRUE(table.wellFormed) << table.error.toStdString();
    EXPECT_TRUE(table.headerRowMarked);
    EXPECT_EQ(joinedRows(table.rows), joinedRows(found.grid));

    // No hits give the header alone.
    const maintenance::SearchGrid none = search(u"no such name"_s);
    ASSERT_EQ(none.grid.size(), 1u);
    ASSERT_TRUE(maintenance::writeDocx(path, none.grid, ExistingFile::Replace).ok);
    EXPECT_EQ(joinedRows(readDocxTable(path).rows),
              QStringList{u"CD NAME|FILE NAME|PATH|Size|Modified"_s});
}

TEST(DocxExport, CellTextsSurviveEscapingAndEmptyCellsKeepTheirPlace)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const GridText grid = {
        {u" CD NAME "_s, u"FILE NAME"_s, u"PATH"_s},
        {u"A&B <\"disc\"> 'one'"_s, QString(), u"D:\\]]>\\"_s},
        {QString(), u"tab\there"_s, u"two\nlines"_s},
        {u"bell\x07"_s + QChar(0xD800), u"é ß 日本 "_s + QString::fromUcs4(U"\U0001F600"),
         QString()},
        {u"short row"_s},
    };
    const QString path = dir.filePath(u"special.docx"_s);
    ASSERT_TRUE(maintenance::writeDocx(path, grid, ExistingFile::Refuse).ok);
    const maintenance::test::DocxTable table = readDocxTable(path);
    ASSERT_TRUE(table.wellFormed) << table.error.toStdString();
    const QString replaced(QChar::ReplacementCharacter);
    const std::vector<QStringList> expected = {
        {u"CD NAME"_s, u"FILE NAME"_s, u"PATH"_s},
        grid[1],
        grid[2],
        {u"bell"_s + replaced + replaced, grid[3][1], QString()},
        {u"short row"_s, QString(), QString()},
    };
    EXPECT_EQ(table.rows, expected);
}

TEST(DocxExport, AFailedWriteLeavesNoPartialDocument)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const GridText grid = {maintenance::resultsGridHeader(), {u"Disc"_s, u"a.txt"_s, u"D:\\"_s}};
    const maintenance::ExportResult missingFolder =
        maintenance::writeDocx(dir.filePath(u"missing/out.docx"_s), grid, ExistingFile::Refuse);
    EXPECT_FALSE(missingFolder.ok);
    EXPECT_TRUE(missingFolder.message.contains(u"out.docx"_s));

    ASSERT_TRUE(QDir(dir.path()).mkpath(u"taken.docx/inside"_s));
    EXPECT_FALSE(
        maintenance::writeDocx(dir.filePath(u"taken.docx"_s), grid, ExistingFile::Replace).ok);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{u"taken.docx"_s});
}

TEST(DocxExport, TheDefaultNameIsDatedAndNeverOverwritesAnEarlierExport)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDate day(2026, 12, 5);
    const QString first = maintenance::exportDefaultPath(dir.path(), day);
    EXPECT_EQ(first, dir.path() + u"/Search results 2026-12-05.docx"_s);
    ASSERT_TRUE(
        maintenance::writeDocx(first, {maintenance::resultsGridHeader()}, ExistingFile::Refuse).ok);
    EXPECT_EQ(maintenance::exportDefaultPath(dir.path(), day),
              dir.path() + u"/Search results 2026-12-05 (2).docx"_s);
}

TEST_F(ExportTest, AWordProcessorReadsTheTable)
{
    QString office = QStandardPaths::findExecutable(u"soffice"_s);
    if (office.isEmpty())
        office = QStandardPaths::findExecutable(u"libreoffice"_s);
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    ASSERT_TRUE(addDisc(u"Tom & Jerry's <CD>"_s, 1, 3));
    const maintenance::SearchGrid found = search(u"song"_s);
    ASSERT_EQ(found.grid.size(), 4u);
    const QString path = folder() + u"/results.docx"_s;
    ASSERT_TRUE(maintenance::writeDocx(path, found.grid, ExistingFile::Refuse).ok);

    // A profile of its own, so that a LibreOffice the user has open is not disturbed.
    const QString out = folder() + u"/converted"_s;
    QProcess process;
    process.start(office, {u"-env:UserInstallation=file://"_s + folder() + u"/office-profile"_s,
                           u"--headless"_s, u"--convert-to"_s, u"html:HTML (StarWriter)"_s,
                           u"--outdir"_s, out, path});
    ASSERT_TRUE(process.waitForFinished(300000));
    QFile html(out + u"/results.html"_s);
    ASSERT_TRUE(html.open(QIODevice::ReadOnly)) << process.readAllStandardError().toStdString();
    const QString page = QString::fromUtf8(html.readAll());
    EXPECT_TRUE(page.contains(u"<thead"_s)); // the header row is marked as such
    EXPECT_EQ(joinedRows(htmlTableRows(page)), joinedRows(found.grid));
}
