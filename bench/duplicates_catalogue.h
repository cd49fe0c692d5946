#pragma once

#include <cstdint>
#include <string>

namespace platterly::bench {

// Writes a catalogue of `entries` rows for the duplicates benchmark without walking a tree
// (--make-duplicates CATALOGUE ENTRIES): discs of 500,000 entries, a tenth of them folders,
// names from the tree's generator and sizes spread as the tree's are; every disc after the
// first takes a fifth of its files from the discs before it, copies with the same size and
// now and then another letter case, as a backup disc would. The same seed makes the same
// catalogue on every machine.
int makeDuplicatesCatalogue(const std::string& catalogue, std::uint64_t entries);

} // namespace platterly::bench
