#include "duplicates_catalogue.h"

#include "catalogue/catalogue_file.h"
#include "name_generator.h"
#include "seeded_random.h"

#include <QFile>
#include <cctype>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace platterly::bench {

namespace {

constexpr std::uint64_t kSeed = 0x4475706c69636174ULL;
constexpr std::uint64_t kEntriesPerDisc = 500'000;
constexpr std::uint32_t kCopiedPercent = 20;
constexpr std::uint32_t kOtherCasePercent = 10;

struct Copyable
{
    std::string name;
    std::int64_t size;
};

// Sizes over the powers of two from 1 byte to 1 GiB, as the generated tree's files have.
std::int64_t fileSize(SeededRandom& random)
{
    if (random.percent(3))
        return 0;
    const std::uint32_t bits = random.below(30);
    return static_cast<std::int64_t>((std::uint64_t{1} << bits) +
                                     random.next() % (std::uint64_t{1} << bits));
}

class DiscWriter
{
public:
    DiscWriter(sqlite3* db, SeededRandom& random) : m_random(random), m_names(random)
    {
        sqlite3_prepare_v2(db, "INSERT INTO CDS VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)", -1, &m_insert,
                           nullptr);
    }
    ~DiscWriter() { sqlite3_finalize(m_insert); }

    void write(const std::string& title, std::uint64_t entries, std::vector<Copyable>& pool)
    {
        row(title, title, title, 1, 99, -1);
        std::vector<std::string> folders;
        for (std::uint64_t i = 0; i < entries / 10; ++i) {
            folders.push_back("D:\\" + m_names.folderName() + "\\");
            row(title, folders.back().substr(3, folders.back().size() - 4), "D:\\", 2, 100, -1);
        }
        const std::size_t poolBefore = pool.size();
        for (std::uint64_t i = entries / 10; i < entries; ++i) {
            const std::string& folder = folders[m_random.below(std::uint32_t(folders.size()))];
            if (poolBefore > 0 && m_random.percent(kCopiedPercent)) {
                Copyable copy = pool[m_random.next() % poolBefore];
                if (m_random.percent(kOtherCasePercent))
                    for (char& c : copy.name)
                        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                row(title, copy.name, folder, 3, 0, copy.size);
                continue;
            }
            const Copyable made{m_names.fileName(), fileSize(m_random)};
            row(title, made.name, folder, 3, 0, made.size);
            if (m_random.percent(10))
                pool.push_back(made);
        }
    }

private:
    void row(const std::string& title, const std::string& name, const std::string& path, int level,
             int type, std::int64_t size)
    {
        sqlite3_bind_text(m_insert, 1, title.data(), int(title.size()), SQLITE_STATIC);
        sqlite3_bind_text(m_insert, 2, name.data(), int(name.size()), SQLITE_STATIC);
        sqlite3_bind_text(m_insert, 3, path.data(), int(path.size()), SQLITE_STATIC);
        sqlite3_bind_int(m_insert, 4, level);
        sqlite3_bind_int(m_insert, 5, type);
        if (size >= 0)
            sqlite3_bind_int64(m_insert, 6, size);
        else
            sqlite3_bind_null(m_insert, 6);
        sqlite3_bind_int64(m_insert, 7, 1'600'000'000 + std::int64_t(m_random.below(1'000'000)));
        sqlite3_step(m_insert);
        sqlite3_reset(m_insert);
    }

    SeededRandom& m_random;
    NameGenerator m_names;
    sqlite3_stmt* m_insert = nullptr;
};

} // namespace

int makeDuplicatesCatalogue(const std::string& catalogue, std::uint64_t entries)
{
    if (const sql::SqlError error =
            catalogue::createEmptyCatalogue(QFile::decodeName(catalogue.c_str()))) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message));
        return 1;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(catalogue.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 1;
    SeededRandom random(kSeed);
    std::vector<Copyable> pool;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    {
        DiscWriter writer(db, random);
        for (std::uint64_t made = 0, disc = 1; made < entries; made += kEntriesPerDisc, ++disc)
            writer.write("Disc " + std::to_string(disc), std::min(kEntriesPerDisc, entries - made),
                         pool);
    }
    const int status = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::printf("entries=%llu\n", static_cast<unsigned long long>(entries));
    return status == SQLITE_OK ? 0 : 1;
}

} // namespace platterly::bench
