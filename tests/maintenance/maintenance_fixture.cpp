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

using namespace Qt::StringLiterals;

namespace platterly::maintenance::test {

void MaintenanceTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_file = m_dir.filePath(u"db.db2"_s);
    ASSERT_FALSE(catalogue::createEmptyCatalogue(m_file));
}

bool MaintenanceTest::addDisc(const QString& title, int folders, int files)
{
    auto tree = std::make_unique<platterly::test::TempTree>();
    QString chain;
    QStringList depths = {QString()};
    for (int i = 1; i <= folders; ++i) {
        chain += u"Folder%1/"_s.arg(i);
        tree->addFolder(chain);
        depths.append(chain);
    }
    for (int i = 0; i < files; ++i)
        tree->addFile(depths.at(i % depths.size()) + u"song%1.mp3"_s.arg(i));

    sql::DataControl data;
    data.setDatabaseName(m_file);
    const cataloguing::CataloguingRequest request{title, tree->root(), u"D:\\"_s,
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
    for (const QString& table : {u"CDS"_s, u"TOTAL"_s, u"TOTALS"_s}) {
        auto rows = db->prepare(u"SELECT %1 FROM %2 ORDER BY rowid"_s.arg(
                                    platterly::test::snapshotFields(table), table),
                                &error);
        while (rows && rows->step() == sql::Statement::Step::Row) {
            QStringList cells = {table};
            for (int i = 0; i < rows->columnCount(); ++i)
                cells.append(rows->value(i).toString());
            lines.append(cells.join(u'|'));
        }
    }
    return lines;
}

QStringList MaintenanceTest::rowsOf(const char* table, const QString& title) const
{
    const QString prefix = QLatin1String(table) + u'|' + title + u'|';
    return snapshot().filter(QRegularExpression(u'^' + QRegularExpression::escape(prefix)));
}

void MaintenanceTest::foreignSql(const QString& statements) const
{
    sql::SqlError error;
    auto db = sql::Database::open(m_file, &error);
    ASSERT_TRUE(db) << error.message.toStdString();
    ASSERT_FALSE(db->exec(statements));
}

QString MaintenanceTest::failingAt(sql::DataControl& data, const QString& when,
                                   const std::function<QString()>& change)
{
    sql::Database* db = data.database();
    const QString table = when.section(u" ON "_s, 1);
    EXPECT_FALSE(db->exec(u"CREATE TEMP TRIGGER injected %1 ON main.%2 BEGIN "
                          u"SELECT RAISE(ABORT, 'injected failure'); END"_s.arg(
                              when.section(u" ON "_s, 0, 0), table)));
    const QString message = change();
    EXPECT_FALSE(db->exec(u"DROP TRIGGER temp.injected"_s));
    return message;
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
        search::buildSearchStatement({pattern, u"All Files"_s, !disc.isEmpty(), disc});
    QStringList rows;
    const search::SearchOutcome outcome =
        search::runSearch(data, built.statement, [&rows](const search::ResultRow& row) {
            rows.append(search::resultCells(row).join(u'|'));
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
    zip_stat_t stat;
    zip_file_t* part = nullptr;
    QByteArray bytes;
    if (archive && zip_stat(archive, name, 0, &stat) == 0 && (part = zip_fopen(archive, name, 0))) {
        bytes.resize(static_cast<qsizetype>(stat.size));
        if (zip_fread(part, bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
            *error = u"cannot read the part"_s;
        zip_fclose(part);
    } else {
        *error = u"no part %1 (libzip error %2)"_s.arg(QLatin1String(name)).arg(code);
    }
    if (archive)
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
            *cell += u'\t';
        } else if (cell && reader.isStartElement() && name == u"br") {
            *cell += u'\n';
        }
    }
    table.wellFormed = !reader.hasError();
    if (reader.hasError())
        table.error = reader.errorString();
    return table;
}

} // namespace platterly::maintenance::test
