#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platterly::bench {

inline constexpr std::uint64_t kDefaultEntries = 1'000'000;
inline constexpr int kDefaultRounds = 3;
inline const std::string kDefaultTree = "/tmp/platterly-bench/tree";

struct BenchOptions
{
    std::string tree = kDefaultTree; // where the generated tree lives
    std::uint64_t entries = kDefaultEntries;
    int rounds = kDefaultRounds;
    bool keep = false;    // leave the tree in place for the next run
    bool storage = false; // compare ways of storing sizes and times after the rounds
};

// What the command line asks for: a benchmark run, or one measured step run in a child
// process of the benchmark (so that its peak memory is its own).
struct Command
{
    enum class Kind
    {
        Benchmark,
        CatalogueOnce,  // --catalogue-once TREE CATALOGUE
        UpdateOnce,     // --update-once TREE CATALOGUE
        StorageOnce,    // --storage-once CATALOGUE
        MakeDuplicates, // --make-duplicates CATALOGUE ENTRIES
        WalkOnce,       // --walk-once TREE
        SearchOnce,     // --search-once CATALOGUE PATTERN LIMIT
        Help,
    };
    Kind kind = Kind::Benchmark;
    BenchOptions options;
    std::string tree;                   // for the child steps
    std::string catalogue;              // for --catalogue-once, --update-once, --storage-once
                                        // and --search-once
    std::string pattern;                // for --search-once
    long long limit = 0;                // for --search-once: rows to deliver, 0 for all
    std::string category = "All Files"; // for --search-once: --category
    std::string disc;                   // for --search-once: --disc, one disc's rows
    std::string larger;                 // for --search-once: --larger, a size limit
    std::uint64_t rows = 0;             // for --make-duplicates
    bool useIndex = true;               // for --search-once: false with --without-index
};

// Reads the command line; on a mistake returns nothing and says why in `error`.
std::optional<Command> parseCommandLine(int argc, char** argv, std::string& error);

std::string usageText();

} // namespace platterly::bench
