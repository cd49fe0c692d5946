#include "search_fixture.h"

#include "catalogue/catalogue_file.h"
#include "cataloguing/cataloguing_run.h"
#include "platform/sql/casefold.h"
#include "platform/sql/data_control.h"
#include "search/name_index_planner.h"
#include "search/search_run.h"

#include <QDate>
#include <algorithm>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace Qt::StringLiterals;

namespace platterly::search::test {

namespace {

const QStringList kPieces = {u"ab"_s, u"Cd"_s, u"ré"_s,   u"ÉTÉ"_s,  u"straße"_s, u"ß"_s,  u"x"_s,
                             u"42"_s, u"7"_s,  u"it's"_s, u"100%"_s, u"a_b"_s,    u"o'"_s, u" "_s,
                             u"."_s,  u"Bé"_s, u"MIX"_s,  u"song"_s, u"Ré"_s,     u"_"_s};
const QStringList kExtensions = {u".txt"_s, u".MP3"_s, u".jpg"_s, u".htm"_s, u".zip"_s,
                                 u".exe"_s, u".avi"_s, u".Doc"_s, u".dat"_s, u""_s};
const QStringList kWild = {u"*"_s, u"?"_s, u"#"_s, u"[a-c]"_s, u"[!x]"_s};

QString textColumn(sqlite3_stmt* row, int column)
{
    if (sqlite3_column_type(row, column) == SQLITE_NULL)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(row, column)),
                             sqlite3_column_bytes(row, column));
}

std::optional<qint64> integerColumn(sqlite3_stmt* row, int column)
{
    if (sqlite3_column_type(row, column) != SQLITE_INTEGER)
        return std::nullopt;
    return sqlite3_column_int64(row, column);
}

// The limits as their words say, one row at a time; an unknown value passes no limit on it.
bool withinLimits(const SearchFilters& limits, std::optional<qint64> size,
                  std::optional<qint64> modified)
{
    if ((limits.largerThan || limits.smallerThan) && !size)
        return false;
    if ((limits.modifiedFrom || limits.modifiedBefore) && !modified)
        return false;
    return (!limits.largerThan || *size > *limits.largerThan) &&
           (!limits.smallerThan || *size < *limits.smallerThan) &&
           (!limits.modifiedFrom || *modified >= *limits.modifiedFrom) &&
           (!limits.modifiedBefore || *modified < *limits.modifiedBefore);
}

} // namespace

void PrintTo(const Row& row, std::ostream* out)
{
    *out << '[' << row.title.toStdString() << " | " << row.name.toStdString() << " | "
         << row.path.toStdString() << ']';
}

QString NameMaker::piece()
{
    return kPieces.at(below(int(kPieces.size())));
}

QString NameMaker::name()
{
    QString text = piece();
    for (int extra = below(4); extra > 0; --extra)
        text += piece();
    text += kExtensions.at(below(int(kExtensions.size())));
    // A leading dot hides an entry from the catalogue; a leading blank is fine but rare.
    if (text.startsWith(u'.'))
        text.prepend(u'n');
    return text;
}

QString NameMaker::pattern()
{
    QString text;
    for (int parts = 1 + below(3); parts > 0; --parts) {
        if (below(3) == 0) {
            text += kWild.at(below(int(kWild.size())));
        } else {
            // A literal run of one to four characters, cut out of a piece.
            const QString from = piece() + piece();
            const int length = 1 + below(4);
            text += from.mid(below(int(std::max<qsizetype>(1, from.size() - length + 1))), length);
        }
    }
    return text;
}

qint64 sizeNearALimit(int pick)
{
    static const qint64 sizes[] = {0,       1,       1023,    1024,           1025,
                                   1048575, 1048576, 1048577, qint64{5} << 30};
    return sizes[pick % int(std::size(sizes))];
}

qint64 dayNearALimit(int pick)
{
    return QDate(2020, 1, 1).addDays(pick % 5).startOfDay().toSecsSinceEpoch();
}

void fillTree(platterly::test::TempTree& tree, NameMaker& names, int entries)
{
    // Sizes and times come from a generator of their own: the names stay what they were.
    std::mt19937 details{static_cast<unsigned>(entries)};
    const auto below = [&details](int bound) {
        return std::uniform_int_distribution<int>(0, bound - 1)(details);
    };
    const auto time = [&below] {
        static const qint64 offsets[] = {-1, 0, 1, 43200};
        return dayNearALimit(below(5)) + offsets[below(4)];
    };
    QStringList folders{QString()};
    for (int made = 0; made < entries; ++made) {
        const QString parent = folders.at(names.below(int(folders.size())));
        const QString relative = parent.isEmpty() ? names.name() : parent + u'/' + names.name();
        if (QFileInfo::exists(tree.path(relative)))
            continue; // the same name twice in a folder
        if (names.below(8) == 0 && folders.size() < 40) {
            tree.addFolder(relative);
            folders.append(relative);
        } else {
            tree.addFile(relative);
            tree.setSize(relative, sizeNearALimit(below(9)));
            tree.setModified(relative, time());
        }
    }
    // Folders last: adding to a folder changes its time.
    for (const QString& folder : folders)
        tree.setModified(folder, time());
}

CatalogueOnDisk::CatalogueOnDisk() : m_path(m_folder.path(u"cat.db2"_s))
{
    const sql::SqlError error = catalogue::createEmptyCatalogue(m_path);
    EXPECT_FALSE(error) << error.message.toStdString();
}

bool CatalogueOnDisk::addDisc(const QString& title, const QString& nativeRoot)
{
    sql::DataControl data;
    data.setDatabaseName(m_path);
    const cataloguing::CataloguingRequest request{title, nativeRoot, u"D:\\"_s, {}};
    const cataloguing::RunResult result = cataloguing::runCataloguing(data, request);
    EXPECT_EQ(result.outcome, cataloguing::RunOutcome::Finished) << result.message.toStdString();
    return result.outcome == cataloguing::RunOutcome::Finished;
}

void CatalogueOnDisk::foreignSql(const QString& statements)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(m_path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, statements.toUtf8().constData(), nullptr, nullptr, &message);
    EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

SearchRows searchRows(const QString& file, const QString& statement, bool useIndex)
{
    sql::DataControl data;
    data.setDatabaseName(file);
    if (useIndex)
        useNameIndex(data);
    SearchRows result;
    const SearchOutcome outcome = runSearch(data, statement, [&](const ResultRow& row) {
        result.rows.push_back({row.title, row.name, row.path});
        return true;
    });
    result.error = outcome.error.message;
    result.answeredByIndex = data.rowidAnswer() != nullptr;
    EXPECT_EQ(outcome.found, qint64(result.rows.size()));
    EXPECT_EQ(outcome.total, outcome.found);
    return result;
}

std::vector<Row> expectedRows(const QString& file, const Expectation& expectation)
{
    struct Candidate
    {
        Row row;
        bool titleIsNull = false;
    };
    std::vector<Candidate> found;
    const auto pattern = sql::JetLikePattern::compile(expectation.likePattern);
    EXPECT_TRUE(pattern.has_value());
    if (!pattern)
        return {};
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT CDNAME, FNAME, PATH, TYPE, SIZE, MODIFIED FROM CDS ORDER BY rowid",
                       -1, &rows, nullptr);
    while (sqlite3_step(rows) == SQLITE_ROW) {
        if (sqlite3_column_type(rows, 1) == SQLITE_NULL || !pattern->matches(textColumn(rows, 1)))
            continue;
        if (!withinLimits(expectation.limits, integerColumn(rows, 4), integerColumn(rows, 5)))
            continue;
        const bool typeIsNull = sqlite3_column_type(rows, 3) == SQLITE_NULL;
        const bool typeIsCode = sqlite3_column_type(rows, 3) == SQLITE_INTEGER &&
                                sqlite3_column_int64(rows, 3) == expectation.typeCode;
        if (expectation.typeTest == NameQuery::TypeTest::Equal && !typeIsCode)
            continue;
        if (expectation.typeTest == NameQuery::TypeTest::NotEqual && (typeIsNull || typeIsCode))
            continue;
        const bool titleIsNull = sqlite3_column_type(rows, 0) == SQLITE_NULL;
        const QString title = textColumn(rows, 0);
        if (expectation.title && (titleIsNull || !sql::equalsFolded(title, *expectation.title)))
            continue;
        found.push_back({{title, textColumn(rows, 1), textColumn(rows, 2)}, titleIsNull});
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
    // Names as a reader expects them: decomposed, without their accents, case-blind, the
    // sharp s and ligatures spelt out and stroked letters under their base letters.
    const auto key = [](const QString& name) {
        QString plain = name.normalized(QString::NormalizationForm_D);
        plain.removeIf([](QChar c) { return c.unicode() >= 0x300 && c.unicode() <= 0x36F; });
        plain = sql::foldCase(plain);
        const std::pair<const char16_t*, const char16_t*> spelt[] = {
            {u"ß", u"ss"}, {u"æ", u"ae"}, {u"œ", u"oe"}, {u"ø", u"o"}, {u"ł", u"l"}, {u"đ", u"d"}};
        for (const auto& [letter, spelling] : spelt)
            plain.replace(QString::fromUtf16(letter), QString::fromUtf16(spelling));
        return plain;
    };
    std::stable_sort(found.begin(), found.end(), [&](const Candidate& a, const Candidate& b) {
        if (expectation.title)
            return key(a.row.name) < key(b.row.name);
        if (a.titleIsNull || b.titleIsNull)
            return a.titleIsNull && !b.titleIsNull;
        return key(a.row.title) < key(b.row.title);
    });
    std::vector<Row> expected;
    for (const Candidate& candidate : found)
        expected.push_back(candidate.row);
    return expected;
}

} // namespace platterly::search::test
