#include "maintenance_fixture.h"

#include "catalogue/catalogue_file.h"
#include "cataloguing/cataloguing_run.h"
#include "search/name_index_planner.h"
#include "search/results_grid_format.h"
#include "search/search_run.h"
#include "search/statement_builder.h"
#include "support/catalogue_rows.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <zip.h>

namespace platterly::maintenance::test {

void MaintenanceTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_file = m_dir.filePath(QStringLiteral("db.db2"));
    ASSERT_FALSE(catalogue::createEmptyCatalogue(m_file));
}

bool MaintenanceTest::addDisc(const QString& title, int folders, int files)
{
    auto tree = std::make_unique<platterly::test::TempTree>();
    QString chain;
    QStringList depths = {QString()};
    for (int i = 1; i <= folders; ++i) {
        chain += QStringLiteral("Folder%1/").arg(i);
        tree->addFolder(chain);
        depths.append(chain);
    }
    for (int i = 0; i < files; ++i)
        tree->addFile(depths.at(i % depths.size()) + QStringLiteral("song%1.mp3").arg(i));

    sql::DataControl data;
    data.setDatabaseName(m_file);
    const cataloguing::CataloguingRequest request{title, tree->root(), QStringLiteral("D:\\"),
                                                  QDate(2006, 3, 5)};
    const cataloguing::RunResult result = cataloguing::runCataloguing(data, request);
    EXPECT_EQ(result.outcome, cataloguing::RunOutcome::Finished) << result.message.toStdString();
    m_trees.push_back(std::move(tree));
    return result.outcome == cataloguing::RunOutcome::Finished;
}

QStringList MaintenanceTest::snapshotOf(const QString& file)
{
    QStringList lines;
    sql::SqlError error;
    auto db = sql::Database::open(file, &error);
    EXPECT_TRUE(db) << error.message.toStdString();
    if (!db)
        return lines;
    for (const char* table : {"CDS", "TOTAL", "TOTALS"}) {
        auto rows = db->prepare(
            QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                .arg(platterly::test::snapshotFields(QLatin1String(table)), QLatin1String(table)),
            &error);
        EXPECT_TRUE(rows) << error.message.toStdString();
        while (rows && rows->step() == sql::Statement::Step::Row) {
            QStringList cells = {QLatin1String(table)};
            for (int i = 0; i < rows->columnCount(); ++i)
                cells.append(rows->value(i).toString());
            lines.append(cells.join(QLatin1Char('|')));
        }
    }
    return lines;
}

QStringList MaintenanceTest::rowsOf(const char* table, const QString& title) const
{
    const QString prefix = QLatin1String(table) + QLatin1Char('|') + title + QLatin1Char('|');
    return snapshot().filter(
        QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(prefix)));
}

catalogue::Totals MaintenanceTest::totals() const
{
    sql::DataControl data;
    data.setDatabaseName(m_file);
    catalogue::Totals sums;
    EXPECT_FALSE(catalogue::readTotals(data, &sums));
    return sums;
}

void MaintenanceTest::foreignSql(const QString& statements) const
{
    sql::SqlError error;
    auto db = sql::Database::open(m_file, &error);
    ASSERT_TRUE(db) << error.message.toStdString();
    const sql::SqlError failed = db->exec(statements);
    ASSERT_FALSE(failed) << failed.message.toStdString();
}

void MaintenanceTest::injectFailure(sql::DataControl& data, const QString& when)
{
    sql::SqlError error;
    sql::Database* db = data.database(&error);
    ASSERT_TRUE(db) << error.message.toStdString();
    const QString table = when.section(QStringLiteral(" ON "), 1);
    const QString trigger = QStringLiteral("CREATE TEMP TRIGGER injected ") +
                            when.section(QStringLiteral(" ON "), 0, 0) +
                            QStringLiteral(" ON main.") + table +
                            QStringLiteral(" BEGIN SELECT RAISE(ABORT, 'injected failure'); END");
    error = db->exec(trigger);
    ASSERT_FALSE(error) << error.message.toStdString();
}

void MaintenanceTest::removeInjectedFailure(sql::DataControl& data)
{
    sql::SqlError error;
    sql::Database* db = data.database(&error);
    ASSERT_TRUE(db) << error.message.toStdString();
    error = db->exec(QStringLiteral("DROP TRIGGER temp.injected"));
    ASSERT_FALSE(error) << error.message.toStdString();
}

void MaintenanceTest::buildNameIndex() const
{
    sql::SqlError error;
    auto db = sql::Database::open(m_file, &error);
    ASSERT_TRUE(db) << error.message.toStdString();
    ASSERT_FALSE(search::prepareNameIndex(*db));
    ASSERT_EQ(catalogue::nameIndexStatus(*db), catalogue::NameIndexStatus::Current);
}

namespace {

QStringList runWindowSearch(const QString& file, const QString& pattern, const QString& disc,
                            bool useIndex, bool* indexAnswered)
{
    sql::DataControl data;
    data.setDatabaseName(file);
    if (useIndex)
        search::useNameIndex(data);
    const search::SearchStatement built =
        search::buildSearchStatement({pattern, QStringLiteral("All Files"), !disc.isEmpty(), disc});
    QStringList rows;
    const search::SearchOutcome outcome =
        search::runSearch(data, built.statement, [&rows](const search::ResultRow& row) {
            rows.append(search::resultCells(row).join(QLatin1Char('|')));
            return true;
        });
    EXPECT_FALSE(outcome.error) << outcome.error.message.toStdString();
    if (indexAnswered)
        *indexAnswered = data.rowidAnswer() != nullptr;
    return rows;
}

} // namespace

QStringList MaintenanceTest::searchResults(const QString& pattern, const QString& disc,
                                           bool* indexAnswered) const
{
    return runWindowSearch(m_file, pattern, disc, true, indexAnswered);
}

QStringList MaintenanceTest::cdsRowsMatching(const QString& pattern) const
{
    return runWindowSearch(m_file, pattern, {}, false, nullptr);
}

namespace {

QByteArray readPart(const QString& docxPath, const char* name, QString* error)
{
    int code = 0;
    zip_t* archive = zip_open(docxPath.toUtf8().constData(), ZIP_RDONLY, &code);
    if (archive == nullptr) {
        *error = QStringLiteral("not a zip archive (libzip error %1)").arg(code);
        return {};
    }
    QByteArray bytes;
    zip_stat_t stat;
    zip_file_t* part = nullptr;
    if (zip_stat(archive, name, 0, &stat) == 0 && (part = zip_fopen(archive, name, 0))) {
        bytes.resize(static_cast<qsizetype>(stat.size));
        if (zip_fread(part, bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
            *error = QStringLiteral("cannot read %1").arg(QLatin1String(name));
        zip_fclose(part);
    } else {
        *error = QStringLiteral("no part %1").arg(QLatin1String(name));
    }
    zip_close(archive);
    return bytes;
}

} // namespace

DocxTable readDocxTable(const QString& docxPath)
{
    DocxTable table;
    const QByteArray xml = readPart(docxPath, "word/document.xml", &table.error);
    if (!table.error.isEmpty())
        return table;
    // Cell text as a word processor shows it: text runs, tabs and line breaks.
    QXmlStreamReader reader(xml);
    QString* cell = nullptr;
    while (!reader.atEnd()) {
        reader.readNext();
        const auto name = reader.name();
        if (reader.isStartElement() && name == u"tr") {
            table.rows.emplace_back();
        } else if (reader.isStartElement() && name == u"tblHeader") {
            table.headerRowMarked = table.rows.size() == 1;
        } else if (reader.isStartElement() && name == u"tc" && !table.rows.empty()) {
            table.rows.back().append(QString());
            cell = &table.rows.back().back();
        } else if (reader.isEndElement() && name == u"tc") {
            cell = nullptr;
        } else if (cell && reader.isStartElement() && name == u"t") {
            *cell += reader.readElementText();
        } else if (cell && reader.isStartElement() && name == u"tab") {
            *cell += QLatin1Char('\t');
        } else if (cell && reader.isStartElement() && name == u"br") {
            *cell += QLatin1Char('\n');
        }
    }
    table.wellFormed = !reader.hasError();
    if (reader.hasError())
        table.error = reader.errorString();
    return table;
}

} // namespace platterly::maintenance::test
