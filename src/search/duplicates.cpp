#include "search/duplicates.h"

#include "catalogue/name_index.h"

#include <algorithm>
#include <map>
#include <sqlite3.h>
#include <string>

namespace platterly::search {

namespace {

using sql::SqlError;

std::uint64_t spread(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// Which keys were seen once, and which more than once, as bits: a key may share its bit with
// another, so "seen twice" can be wrong the one way only.
class SeenTwice
{
public:
    explicit SeenTwice(unsigned bits) : m_mask((std::size_t{1} << bits) - 1)
    {
        m_once.assign((m_mask + 1) / 64, 0);
        m_twice.assign((m_mask + 1) / 64, 0);
    }
    void add(std::uint64_t key)
    {
        const std::size_t at = spread(key) & m_mask;
        const std::uint64_t bit = std::uint64_t{1} << (at & 63);
        std::uint64_t& once = m_once[at >> 6];
        if (once & bit)
            m_twice[at >> 6] |= bit;
        once |= bit;
    }
    bool repeated(std::uint64_t key) const
    {
        const std::size_t at = spread(key) & m_mask;
        return (m_twice[at >> 6] >> (at & 63)) & 1;
    }

private:
    std::size_t m_mask;
    std::vector<std::uint64_t> m_once;
    std::vector<std::uint64_t> m_twice;
};

// The name as the program compares names: case folded; bytes that are not UTF-8 as they are.
void foldName(sqlite3_stmt* row, int column, std::string& folded)
{
    folded.clear();
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
    const int length = sqlite3_column_bytes(row, column);
    if (text && !catalogue::appendFoldedName(text, length, folded))
        folded.assign(text, static_cast<std::size_t>(length));
}

std::uint64_t keyOf(qint64 size, const std::string& folded)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : folded)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    return spread(hash ^ spread(static_cast<std::uint64_t>(size)));
}

struct Candidate
{
    std::uint64_t key;
    qint64 size;
    qint64 rowid;
};

struct FoundGroup
{
    qint64 size = 0;
    std::string folded;
    std::vector<qint64> rowids; // ascending
};

class Finder
{
public:
    Finder(const sql::Database& db, qint64 minSize) : m_db(db), m_minSize(minSize) {}

    SqlError collect(std::vector<FoundGroup>& groups);

private:
    std::optional<sql::Statement> scan(const char* select);
    SqlError markSizes(SeenTwice& sizes);
    SqlError markKeys(const SeenTwice& sizes, SeenTwice& keys);
    SqlError keepCandidates(const SeenTwice& sizes, const SeenTwice& keys,
                            std::vector<Candidate>& kept);
    SqlError split(const std::vector<Candidate>& run, std::vector<FoundGroup>& groups);

    const sql::Database& m_db;
    qint64 m_minSize;
    SqlError m_error;
    std::string m_folded;
    std::optional<sql::Statement> m_name;
};

std::optional<sql::Statement> Finder::scan(const char* select)
{
    auto statement = m_db.prepare(QString::fromLatin1(select), &m_error);
    if (statement)
        statement->bindInt(1, m_minSize);
    return statement;
}

SqlError Finder::markSizes(SeenTwice& sizes)
{
    auto rows = scan("SELECT SIZE FROM CDS WHERE SIZE >= ?1");
    if (!rows)
        return m_error;
    sqlite3_stmt* row = rows->handle();
    sql::Statement::Step step;
    while ((step = rows->step()) == sql::Statement::Step::Row)
        sizes.add(static_cast<std::uint64_t>(sqlite3_column_int64(row, 0)));
    return step == sql::Statement::Step::Error ? m_db.lastError() : SqlError{};
}

SqlError Finder::markKeys(const SeenTwice& sizes, SeenTwice& keys)
{
    auto rows = scan("SELECT SIZE, FNAME FROM CDS WHERE SIZE >= ?1");
    if (!rows)
        return m_error;
    sqlite3_stmt* row = rows->handle();
    sql::Statement::Step step;
    while ((step = rows->step()) == sql::Statement::Step::Row) {
        const qint64 size = sqlite3_column_int64(row, 0);
        if (!sizes.repeated(static_cast<std::uint64_t>(size)))
            continue;
        foldName(row, 1, m_folded);
        keys.add(keyOf(size, m_folded));
    }
    return step == sql::Statement::Step::Error ? m_db.lastError() : SqlError{};
}

SqlError Finder::keepCandidates(const SeenTwice& sizes, const SeenTwice& keys,
                                std::vector<Candidate>& kept)
{
    auto rows = scan("SELECT _rowid_, SIZE, FNAME FROM CDS WHERE SIZE >= ?1");
    if (!rows)
        return m_error;
    sqlite3_stmt* row = rows->handle();
    sql::Statement::Step step;
    while ((step = rows->step()) == sql::Statement::Step::Row) {
        const qint64 size = sqlite3_column_int64(row, 1);
        if (!sizes.repeated(static_cast<std::uint64_t>(size)))
            continue;
        foldName(row, 2, m_folded);
        const std::uint64_t key = keyOf(size, m_folded);
        if (keys.repeated(key))
            kept.push_back({key, size, sqlite3_column_int64(row, 0)});
    }
    return step == sql::Statement::Step::Error ? m_db.lastError() : SqlError{};
}

// Rows of one key and size, told apart by their folded names.
SqlError Finder::split(const std::vector<Candidate>& run, std::vector<FoundGroup>& groups)
{
    if (!m_name)
        m_name = m_db.prepare(QStringLiteral("SELECT FNAME FROM CDS WHERE _rowid_ = ?1"), &m_error);
    if (!m_name)
        return m_error;
    sql::Statement* name = &*m_name;
    std::map<std::string, std::vector<qint64>> byName;
    for (const Candidate& candidate : run) {
        name->reset();
        name->bindInt(1, candidate.rowid);
        if (name->step() != sql::Statement::Step::Row)
            continue;
        foldName(name->handle(), 0, m_folded);
        byName[m_folded].push_back(candidate.rowid);
    }
    for (auto& [folded, rowids] : byName)
        if (rowids.size() > 1)
            groups.push_back({run.front().size, folded, std::move(rowids)});
    return {};
}

SqlError Finder::collect(std::vector<FoundGroup>& groups)
{
    std::vector<Candidate> kept;
    {
        SeenTwice sizes(26);
        if (SqlError error = markSizes(sizes))
            return error;
        SeenTwice keys(27);
        if (SqlError error = markKeys(sizes, keys))
            return error;
        if (SqlError error = keepCandidates(sizes, keys, kept))
            return error;
    }
    std::sort(kept.begin(), kept.end(), [](const Candidate& a, const Candidate& b) {
        return a.key != b.key ? a.key < b.key
                              : (a.size != b.size ? a.size < b.size : a.rowid < b.rowid);
    });
    for (std::size_t begin = 0, end = 0; begin < kept.size(); begin = end) {
        for (end = begin + 1; end < kept.size() && kept[end].key == kept[begin].key &&
                              kept[end].size == kept[begin].size;
             ++end) {
        }
        if (end - begin < 2)
            continue;
        if (SqlError error = split(
                {kept.begin() + std::ptrdiff_t(begin), kept.begin() + std::ptrdiff_t(end)}, groups))
            return error;
    }
    return {};
}

bool hasSizes(const sql::Database& db)
{
    sql::SqlError ignored;
    auto columns = db.prepare(QStringLiteral("PRAGMA table_info(CDS)"), &ignored);
    while (columns && columns->step() == sql::Statement::Step::Row)
        if (columns->text(1).compare(QLatin1String("SIZE"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

SqlError findDuplicates(const sql::Database& db, qint64 minSize,
                        const std::function<bool(const DuplicateGroup&)>& visit)
{
    if (!db.tableExists(QStringLiteral("CDS")))
        return {sql::ErrorCode::TableNotFound,
                QStringLiteral("The file %1 holds no table CDS: it is not a catalogue file.")
                    .arg(db.path())};
    // Every pass reads the file as it stands at one moment.
    const sql::ReadScope readScope(db);
    if (!hasSizes(db))
        return {}; // made before sizes were recorded: no file has a known size
    std::vector<FoundGroup> groups;
    if (SqlError error = Finder(db, std::max<qint64>(minSize, 1)).collect(groups))
        return error;
    std::sort(groups.begin(), groups.end(), [](const FoundGroup& a, const FoundGroup& b) {
        // In long double: a product of two 64-bit numbers may not fit in one.
        const long double wastedA = static_cast<long double>(a.size) * (a.rowids.size() - 1);
        const long double wastedB = static_cast<long double>(b.size) * (b.rowids.size() - 1);
        if (wastedA != wastedB)
            return wastedA > wastedB;
        if (a.size != b.size)
            return a.size > b.size;
        return a.folded != b.folded ? a.folded < b.folded : a.rowids < b.rowids;
    });
    SqlError error;
    auto copy = db.prepare(QStringLiteral("SELECT CDNAME, PATH, FNAME FROM CDS WHERE _rowid_ = ?1"),
                           &error);
    if (!copy)
        return error;
    for (const FoundGroup& found : groups) {
        DuplicateGroup group;
        group.size = found.size;
        for (const qint64 rowid : found.rowids) {
            copy->reset();
            copy->bindInt(1, rowid);
            if (copy->step() != sql::Statement::Step::Row)
                return db.lastError();
            if (group.copies.empty())
                group.name = copy->text(2);
            group.copies.push_back({copy->text(0), copy->text(1)});
        }
        if (!visit(group))
            break;
    }
    return {};
}

} // namespace platterly::search
