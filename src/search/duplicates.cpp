#include "search/duplicates.h"

#include "catalogue/name_index.h"

#include <algorithm>
#include <cstring>
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

// Eight bytes at a time: the names of millions of rows are hashed twice.
std::uint64_t hashBytes(const std::string& bytes)
{
    std::uint64_t hash = spread(bytes.size());
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        hash = spread(hash ^ word);
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, bytes.data() + at, bytes.size() - at);
    return spread(hash ^ tail);
}

// The name as the program compares names: case folded; bytes that are not UTF-8 as they are.
void foldName(sqlite3_stmt* row, int column, std::string& folded)
{
    folded.clear();
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
    const auto length = static_cast<std::size_t>(sqlite3_column_bytes(row, column));
    if (!text)
        return;
    const bool ascii = std::all_of(text, text + length,
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        folded.assign(text, length);
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + ('a' - 'A'));
    } else if (!catalogue::appendFoldedName(text, static_cast<qsizetype>(length), folded)) {
        folded.assign(text, length);
    }
}

std::uint64_t keyOf(qint64 size, const std::string& folded)
{
    return spread(hashBytes(folded) ^ spread(static_cast<std::uint64_t>(size)));
}

// The keys met more than once. Most rows are tested against a bit set small enough to stay
// in the processor's cache; only those it lets through are looked up in the set itself.
class RepeatedKeys
{
public:
    explicit RepeatedKeys(std::vector<std::uint64_t> keys)
    {
        std::sort(keys.begin(), keys.end());
        std::vector<std::uint64_t> repeated;
        for (std::size_t i = 1; i < keys.size(); ++i)
            if (keys[i] == keys[i - 1] && (repeated.empty() || repeated.back() != keys[i]))
                repeated.push_back(keys[i]);
        keys = {};
        std::size_t slots = 16;
        while (slots < repeated.size() * 2)
            slots *= 2;
        m_slots.assign(slots, 0);
        for (const std::uint64_t key : repeated) {
            m_filter[(key >> 40) % kFilterWords] |= bit(key);
            std::size_t at = key & (slots - 1);
            while (m_slots[at] != 0)
                at = (at + 1) & (slots - 1);
            m_slots[at] = key | 1; // 0 marks an empty slot
        }
    }

    bool contains(std::uint64_t key) const
    {
        if (!(m_filter[(key >> 40) % kFilterWords] & bit(key)))
            return false;
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t at = key & mask; m_slots[at] != 0; at = (at + 1) & mask)
            if (m_slots[at] == (key | 1))
                return true;
        return false;
    }

private:
    static constexpr std::size_t kFilterWords = std::size_t{1} << 18; // 2 MiB of bits
    static std::uint64_t bit(std::uint64_t key) { return std::uint64_t{1} << ((key >> 32) & 63); }

    std::vector<std::uint64_t> m_filter = std::vector<std::uint64_t>(kFilterWords, 0);
    std::vector<std::uint64_t> m_slots;
};

struct Candidate
{
    std::uint64_t key;
    qint64 size;
    qint64 rowid;
};

// Rows whose size and folded name hash alike: a group, to be checked against the names.
struct FoundGroup
{
    qint64 size = 0;
    std::vector<qint64> rowids; // ascending
};

class Finder
{
public:
    Finder(const sql::Database& db, qint64 minSize) : m_db(db), m_minSize(minSize) {}

    SqlError collect(std::vector<FoundGroup>& groups);

private:
    // Steps through the rows of at least the least size, handing each its size and key.
    template <typename Visit>
    SqlError eachRow(Visit visit);

    const sql::Database& m_db;
    qint64 m_minSize;
    std::string m_folded;
};

template <typename Visit>
SqlError Finder::eachRow(Visit visit)
{
    SqlError error;
    auto rows = m_db.prepare(
        QStringLiteral("SELECT _rowid_, SIZE, FNAME FROM CDS WHERE SIZE >= ?1"), &error);
    if (!rows)
        return error;
    rows->bindInt(1, m_minSize);
    sqlite3_stmt* row = rows->handle();
    sql::Statement::Step step;
    while ((step = rows->step()) == sql::Statement::Step::Row) {
        const qint64 size = sqlite3_column_int64(row, 1);
        foldName(row, 2, m_folded);
        visit(sqlite3_column_int64(row, 0), size, keyOf(size, m_folded));
    }
    return step == sql::Statement::Step::Error ? m_db.lastError() : SqlError{};
}

SqlError Finder::collect(std::vector<FoundGroup>& groups)
{
    std::vector<std::uint64_t> keys;
    if (SqlError error =
            eachRow([&keys](qint64, qint64, std::uint64_t key) { keys.push_back(key); }))
        return error;
    const RepeatedKeys repeated(std::move(keys));
    std::vector<Candidate> kept;
    if (SqlError error = eachRow([&](qint64 rowid, qint64 size, std::uint64_t key) {
            if (repeated.contains(key))
                kept.push_back({key, size, rowid});
        }))
        return error;
    std::sort(kept.begin(), kept.end(), [](const Candidate& a, const Candidate& b) {
        return a.key != b.key ? a.key < b.key
                              : (a.size != b.size ? a.size < b.size : a.rowid < b.rowid);
    });
    for (std::size_t begin = 0, end = 0; begin < kept.size(); begin = end) {
        FoundGroup group{kept[begin].size, {}};
        for (end = begin; end < kept.size() && kept[end].key == kept[begin].key &&
                          kept[end].size == kept[begin].size;
             ++end)
            group.rowids.push_back(kept[end].rowid);
        if (group.rowids.size() > 1)
            groups.push_back(std::move(group));
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
        return a.size != b.size ? a.size > b.size : a.rowids.front() < b.rowids.front();
    });
    SqlError error;
    auto copy = db.prepare(QStringLiteral("SELECT CDNAME, PATH, FNAME FROM CDS WHERE _rowid_ = ?1"),
                           &error);
    if (!copy)
        return error;
    std::string folded;
    for (const FoundGroup& found : groups) {
        // The rows of one key, by their folded names: almost always one name, so one group.
        std::map<std::string, DuplicateGroup> byName;
        for (const qint64 rowid : found.rowids) {
            copy->reset();
            copy->bindInt(1, rowid);
            if (copy->step() != sql::Statement::Step::Row)
                return db.lastError();
            foldName(copy->handle(), 2, folded);
            DuplicateGroup& group = byName[folded];
            if (group.copies.empty()) {
                group.name = copy->text(2);
                group.size = found.size;
            }
            group.copies.push_back({copy->text(0), copy->text(1)});
        }
        for (const auto& [name, group] : byName)
            if (group.copies.size() > 1 && !visit(group))
                return {};
    }
    return {};
}

} // namespace platterly::search
