#pragma once

#include "search/name_query.h"
#include "search/search_filters.h"
#include "support/temp_tree.h"

#include <QString>
#include <optional>
#include <ostream>
#include <random>
#include <vector>

namespace platterly::search::test {

// Names from a fixed seed, built of the characters searches trip over: letters in both cases,
// é and É, ß, digits, blanks, apostrophes, %, _ and dots.
class NameMaker
{
public:
    explicit NameMaker(unsigned seed) : m_random(seed) {}

    QString name();
    // A pattern box text made of the same pieces and the wild characters.
    QString pattern();
    int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(m_random); }

private:
    QString piece();

    std::mt19937 m_random;
};

// Fills `tree` with about `entries` files and folders of generated names, some folders deep,
// of sizes and times of change drawn from a few values on either side of the limits a search
// may set (1024-based units, local midnights).
void fillTree(platterly::test::TempTree& tree, NameMaker& names, int entries);

// A catalogue file made by the program, in a folder of its own.
class CatalogueOnDisk
{
public:
    CatalogueOnDisk();

    const QString& path() const { return m_path; }
    // Catalogues `nativeRoot` under `title` with the cataloguing run; false on a failure
    // (the test reports it).
    bool addDisc(const QString& title, const QString& nativeRoot);
    // Runs statements on the file through a plain SQLite connection, as another program would.
    void foreignSql(const QString& statements);

private:
    platterly::test::TempTree m_folder;
    QString m_path;
};

struct Row
{
    QString title;
    QString name;
    QString path;

    bool operator==(const Row&) const = default;
};
void PrintTo(const Row& row, std::ostream* out);

// Every row a statement gives through a data control, with the name index or without it.
struct SearchRows
{
    std::vector<Row> rows;
    bool answeredByIndex = false;
    QString error;
};
SearchRows searchRows(const QString& file, const QString& statement, bool useIndex);

// What a search asks for, spelt out for the reference below.
struct Expectation
{
    QString likePattern; // the LIKE value, stars included
    NameQuery::TypeTest typeTest = NameQuery::TypeTest::Any;
    qint64 typeCode = 0;
    std::optional<QString> title; // one disc
    SearchFilters limits;         // on SIZE and MODIFIED
};

// The rows the statement must give, found without the program's SQL: every CDS row read with
// a plain SQLite connection and tested with the Jet pattern and the limits, then put in the
// statement's order by a simple sort (by title, or by name within the disc, accents and case
// left aside, stored order between equals).
std::vector<Row> expectedRows(const QString& file, const Expectation& expectation);

// Sizes and local midnights around which the generated trees' values and the tests' limits lie.
qint64 sizeNearALimit(int pick);
qint64 dayNearALimit(int pick);

} // namespace platterly::search::test
