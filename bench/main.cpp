#include "bench_driver.h"
#include "bench_options.h"
#include "child_modes.h"
#include "duplicates_catalogue.h"
#include "platform/archive/image_reader.h"
#include "search_once.h"
#include "storage_layouts.h"

#include <cstdio>

// platterly-bench: how fast the cataloguing run lists a large tree into a catalogue, next to
// find on the same tree, and how much memory it takes.
int main(int argc, char** argv)
{
    using namespace platterly::bench;
    platterly::archive::settleTimeZone();
    std::string error;
    const auto command = parseCommandLine(argc, argv, error);
    if (!command) {
        std::fprintf(stderr, "platterly-bench: %s\n\n%s", error.c_str(), usageText().c_str());
        return 2;
    }
    switch (command->kind) {
    case Command::Kind::Help:
        std::printf("%s", usageText().c_str());
        return 0;
    case Command::Kind::CatalogueOnce:
        return catalogueOnce(command->tree, command->catalogue);
    case Command::Kind::UpdateOnce:
        return updateOnce(command->tree, command->catalogue);
    case Command::Kind::MakeDuplicates:
        return makeDuplicatesCatalogue(command->catalogue, command->rows);
    case Command::Kind::StorageOnce:
        return storageOnce(command->catalogue);
    case Command::Kind::WalkOnce:
        return walkOnce(command->tree);
    case Command::Kind::SearchOnce:
        return searchOnce({command->catalogue, command->pattern, command->category, command->disc,
                           command->larger, command->limit, command->options.rounds,
                           command->useIndex});
    case Command::Kind::Benchmark:
        break;
    }
    return runBenchmark(command->options);
}
