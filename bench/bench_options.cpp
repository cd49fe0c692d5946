#include "bench_options.h"

#include <charconv>
#include <string_view>

namespace platterly::bench {

namespace {

// Each round of a million entries takes several seconds of a shared machine.
constexpr std::uint64_t kMostRounds = 25;

std::optional<std::uint64_t> parseCount(std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (status != std::errc() || end != text.data() + text.size() || value == 0)
        return std::nullopt;
    return value;
}

} // namespace

std::string usageText()
{
    return "usage: platterly-bench [--tree DIR] [--entries N] [--rounds N] [--keep] [--storage]\n"
           "\n"
           "Generates a tree of files with sizes and times (default 1,000,000 entries under\n"
           "/tmp/platterly-bench/tree), warms the page cache with find, then times find (names\n"
           "alone, and with sizes and times), the walk, the cataloguing run and the update of\n"
           "an unchanged disc alternately and prints medians, the ratios, the peak memory of\n"
           "the cataloguing and the size of the catalogue file.\n"
           "\n"
           "  --tree DIR    where the tree is made; reused when its stamp file\n"
           "                (DIR.stamp) matches the entry count\n"
           "  --entries N   entries in the tree (about 10 % folders)\n"
           "  --rounds N    timed rounds of each tool (default 3)\n"
           "  --keep        leave the tree in place for the next run\n"
           "  --storage     afterwards, compare storing sizes and times in CDS with a table\n"
           "                of their own (writing, file size, reading)\n"
           "\n"
           "Steps run in a child process (useful under a profiler):\n"
           "  --catalogue-once TREE CATALOGUE   catalogue TREE (a folder, or a disc image or\n"
           "                                    archive) into a new file CATALOGUE\n"
           "  --update-once TREE CATALOGUE      catalogue TREE into a new file, then time\n"
           "                                    updating the disc from the unchanged TREE\n"
           "  --storage-once CATALOGUE          the storage comparison on CATALOGUE's rows\n"
           "  --make-duplicates CATALOGUE N     write a catalogue of N entries with copies, for\n"
           "                                    bench_duplicates.sh\n"
           "  --walk-once TREE                  walk TREE as the cataloguing does, writing "
           "nothing\n"
           "  --search-once CATALOGUE PATTERN LIMIT\n"
           "                                    time the search for PATTERN inside this process\n"
           "                                    (LIMIT rows, 0 for all, then the total; --rounds\n"
           "                                    timed rounds after a warm-up; --category, --disc\n"
           "                                    and --larger as the search command takes them;\n"
           "                                    --without-index runs the plain SQL statement)\n";
}

std::optional<Command> parseCommandLine(int argc, char** argv, std::string& error)
{
    Command command;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const int valuesLeft = argc - i - 1;
        auto needValues = [&](int count) {
            if (valuesLeft >= count)
                return true;
            error = std::string(argument) + " needs " + std::to_string(count) + " value(s)";
            return false;
        };
        if (argument == "--help" || argument == "-h") {
            command.kind = Command::Kind::Help;
        } else if (argument == "--keep") {
            command.options.keep = true;
        } else if (argument == "--storage") {
            command.options.storage = true;
        } else if (argument == "--update-once") {
            if (!needValues(2))
                return std::nullopt;
            command.kind = Command::Kind::UpdateOnce;
            command.tree = argv[++i];
            command.catalogue = argv[++i];
        } else if (argument == "--make-duplicates") {
            if (!needValues(2))
                return std::nullopt;
            command.kind = Command::Kind::MakeDuplicates;
            command.catalogue = argv[++i];
            const auto count = parseCount(argv[++i]);
            if (!count) {
                error = "--make-duplicates needs a number of entries";
                return std::nullopt;
            }
            command.rows = *count;
        } else if (argument == "--storage-once") {
            if (!needValues(1))
                return std::nullopt;
            command.kind = Command::Kind::StorageOnce;
            command.catalogue = argv[++i];
        } else if (argument == "--tree") {
            if (!needValues(1))
                return std::nullopt;
            command.options.tree = argv[++i];
        } else if (argument == "--entries" || argument == "--rounds") {
            if (!needValues(1))
                return std::nullopt;
            const auto count = parseCount(argv[++i]);
            if (!count) {
                error = std::string(argument) + " needs a whole number above zero";
                return std::nullopt;
            }
            if (argument == "--entries") {
                command.options.entries = *count;
            } else if (*count > kMostRounds) {
                error = "--rounds takes at most " + std::to_string(kMostRounds);
                return std::nullopt;
            } else {
                command.options.rounds = static_cast<int>(*count);
            }
        } else if (argument == "--catalogue-once") {
            if (!needValues(2))
                return std::nullopt;
            command.kind = Command::Kind::CatalogueOnce;
            command.tree = argv[++i];
            command.catalogue = argv[++i];
        } else if (argument == "--search-once") {
            if (!needValues(3))
                return std::nullopt;
            command.kind = Command::Kind::SearchOnce;
            command.catalogue = argv[++i];
            command.pattern = argv[++i];
            const std::string_view limit = argv[++i];
            const auto count = parseCount(limit);
            if (limit != "0" && !count) {
                error = "--search-once needs a whole number of rows (0 for all)";
                return std::nullopt;
            }
            command.limit = limit == "0" ? 0 : static_cast<long long>(*count);
        } else if (argument == "--category" || argument == "--disc" || argument == "--larger") {
            if (!needValues(1))
                return std::nullopt;
            (argument == "--category" ? command.category
             : argument == "--disc"   ? command.disc
                                      : command.larger) = argv[++i];
        } else if (argument == "--without-index") {
            command.useIndex = false;
        } else if (argument == "--walk-once") {
            if (!needValues(1))
                return std::nullopt;
            command.kind = Command::Kind::WalkOnce;
            command.tree = argv[++i];
        } else {
            error = "unknown argument " + std::string(argument);
            return std::nullopt;
        }
    }
    return command;
}

} // namespace platterly::bench
