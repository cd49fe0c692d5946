#include "storage_layouts.h"

#include "median.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace platterly::bench {

namespace {

using Clock = std::chrono::steady_clock;

struct Rows
{
    std::vector<std::string> titles, names, paths;
    std::vector<sqlite3_int64> levels, types;
    std::vector<std::optional<sqlite3_int64>> sizes, times;
};

enum class Layout
{
    FiveFields,
    Columns,
    OwnTable
};

const char* nameOf(Layout layout)
{
    switch (layout) {
    case Layout::FiveFields:
        return "five fields";
    case Layout::Columns:
        return "columns";
    case Layout::OwnTable:
        return "own table";
    }
    return "";
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string textAt(sqlite3_stmt* row, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(row, column)))
                : std::string();
}

std::optional<sqlite3_int64> integerAt(sqlite3_stmt* row, int column)
{
    if (sqlite3_column_type(row, column) != SQLITE_INTEGER)
        return std::nullopt;
    return sqlite3_column_int64(row, column);
}

bool readRows(const std::string& catalogue, Rows& rows)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(catalogue.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return false;
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT CDNAME, FNAME, PATH, LEVEL, TYPE, SIZE, MODIFIED FROM CDS"
                       " ORDER BY rowid",
                       -1, &select, nullptr);
    while (select && sqlite3_step(select) == SQLITE_ROW) {
        rows.titles.push_back(textAt(select, 0));
        rows.names.push_back(textAt(select, 1));
        rows.paths.push_back(textAt(select, 2));
        rows.levels.push_back(sqlite3_column_int64(select, 3));
        rows.types.push_back(sqlite3_column_int64(select, 4));
        rows.sizes.push_back(integerAt(select, 5));
        rows.times.push_back(integerAt(select, 6));
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return !rows.names.empty();
}

void bindOptional(sqlite3_stmt* statement, int index, const std::optional<sqlite3_int64>& value)
{
    if (value)
        sqlite3_bind_int64(statement, index, *value);
    else
        sqlite3_bind_null(statement, index);
}

// Writes the rows in one transaction; the seconds of the inserts and the commit.
double writeRows(sqlite3* db, Layout layout, const Rows& rows)
{
    const char* schema =
        layout == Layout::Columns
            ? "CREATE TABLE CDS (CDNAME TEXT, FNAME TEXT, PATH TEXT, LEVEL INTEGER, TYPE INTEGER,"
              " SIZE INTEGER, MODIFIED INTEGER);"
            : "CREATE TABLE CDS (CDNAME TEXT, FNAME TEXT, PATH TEXT, LEVEL INTEGER, TYPE INTEGER);"
              "CREATE TABLE DETAILS (ROWID INTEGER PRIMARY KEY, SIZE INTEGER, MODIFIED INTEGER);";
    sqlite3_exec(db, schema, nullptr, nullptr, nullptr);
    const auto start = Clock::now();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_stmt* details = nullptr;
    sqlite3_prepare_v2(db,
                       layout == Layout::Columns
                           ? "INSERT INTO CDS VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"
                           : "INSERT INTO CDS VALUES (?1, ?2, ?3, ?4, ?5)",
                       -1, &insert, nullptr);
    if (layout == Layout::OwnTable)
        sqlite3_prepare_v2(db, "INSERT INTO DETAILS VALUES (?1, ?2, ?3)", -1, &details, nullptr);
    for (std::size_t i = 0; i < rows.names.size(); ++i) {
        sqlite3_bind_text(insert, 1, rows.titles[i].data(), int(rows.titles[i].size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(insert, 2, rows.names[i].data(), int(rows.names[i].size()),
                          SQLITE_STATIC);
        sqlite3_bind_text(insert, 3, rows.paths[i].data(), int(rows.paths[i].size()),
                          SQLITE_STATIC);
        sqlite3_bind_int64(insert, 4, rows.levels[i]);
        sqlite3_bind_int64(insert, 5, rows.types[i]);
        if (layout == Layout::Columns) {
            bindOptional(insert, 6, rows.sizes[i]);
            bindOptional(insert, 7, rows.times[i]);
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
        if (details) {
            sqlite3_bind_int64(details, 1, sqlite3_last_insert_rowid(db));
            bindOptional(details, 2, rows.sizes[i]);
            bindOptional(details, 3, rows.times[i]);
            sqlite3_step(details);
            sqlite3_reset(details);
        }
    }
    sqlite3_finalize(insert);
    sqlite3_finalize(details);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return secondsSince(start);
}

// The median of three runs of `work`, in milliseconds.
template <typename Work>
double timed(Work work)
{
    std::vector<double> rounds;
    for (int round = 0; round < 3; ++round) {
        const auto start = Clock::now();
        work();
        rounds.push_back(secondsSince(start) * 1000);
    }
    return median(rounds);
}

// Steps through a statement to its end; with a rowid bound, once per tenth rowid.
void stepThrough(sqlite3* db, const char* sql, sqlite3_int64 rowidsTo = 0)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    if (!statement)
        return;
    for (sqlite3_int64 rowid = 1; rowidsTo == 0 || rowid <= rowidsTo; rowid += 10) {
        if (rowidsTo)
            sqlite3_bind_int64(statement, 1, rowid);
        while (sqlite3_step(statement) == SQLITE_ROW)
            sqlite3_column_bytes(statement, 0);
        sqlite3_reset(statement);
        if (!rowidsTo)
            break;
    }
    sqlite3_finalize(statement);
}

void measure(Layout layout, const Rows& rows, const std::string& file, double baseBytes)
{
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const double writing = writeRows(db, layout, rows);
    const double bytes = double(std::filesystem::file_size(file, ignored));
    const auto count = sqlite3_int64(rows.names.size());
    const char* lookup = layout == Layout::FiveFields
                             ? "SELECT FNAME, PATH FROM CDS WHERE rowid = ?1"
                         : layout == Layout::Columns
                             ? "SELECT FNAME, PATH, SIZE, MODIFIED FROM CDS WHERE rowid = ?1"
                             : "SELECT c.FNAME, c.PATH, d.SIZE, d.MODIFIED FROM CDS c"
                               " LEFT JOIN DETAILS d ON d.ROWID = c.rowid WHERE c.rowid = ?1";
    const double lookups = timed([&] { stepThrough(db, lookup, count); });
    const double filter = layout == Layout::FiveFields ? 0 : timed([&] {
        stepThrough(db, layout == Layout::Columns
                            ? "SELECT count(*) FROM CDS WHERE SIZE > 1048576"
                            : "SELECT count(*) FROM DETAILS WHERE SIZE > 1048576");
    });
    const double names =
        timed([&] { stepThrough(db, "SELECT count(*) FROM CDS WHERE FNAME LIKE '%rea%'"); });
    sqlite3_close(db);
    std::filesystem::remove(file, ignored);
    std::printf("%-12s %9.2f %9.1f %10.1f %14.1f %12.1f %12.1f\n", nameOf(layout), writing,
                bytes / 1e6,
                layout == Layout::FiveFields ? 0.0 : (bytes - baseBytes) / double(count), lookups,
                filter, names);
    std::fflush(stdout);
}

} // namespace

int storageOnce(const std::string& catalogue)
{
    Rows rows;
    if (!readRows(catalogue, rows)) {
        std::fprintf(stderr, "cannot read the rows of %s\n", catalogue.c_str());
        return 1;
    }
    std::printf("%zu rows of %s, written anew in each layout (medians of 3 for the reads)\n",
                rows.names.size(), catalogue.c_str());
    std::printf("%-12s %9s %9s %10s %14s %12s %12s\n", "layout", "write s", "file MB", "bytes/row+",
                "lookups ms", "filter ms", "names ms");
    // The layout without sizes first: the others are measured against its file.
    const std::string file = catalogue + ".layout";
    std::error_code ignored;
    double baseBytes = 0;
    {
        sqlite3* db = nullptr;
        std::filesystem::remove(file, ignored);
        sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        writeRows(db, Layout::FiveFields, rows);
        sqlite3_close(db);
        baseBytes = double(std::filesystem::file_size(file, ignored));
    }
    for (const Layout layout : {Layout::FiveFields, Layout::Columns, Layout::OwnTable})
        measure(layout, rows, file, baseBytes);
    return 0;
}

} // namespace platterly::bench
