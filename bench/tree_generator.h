#pragma once

#include <cstdint>
#include <string>

namespace platterly::bench {

// What the generated tree holds. A tree of `entries` entries has entries / 10 folders and
// the rest files; folders are 1 to 7 levels deep, so entries are 1 to 8 levels deep. Files
// have sizes spread over the powers of two up to 1 GiB (holes: they take no disc space) and
// every entry a time of change between 2005 and 2025.
struct TreeShape
{
    std::uint64_t entries = 0;
    std::uint64_t folders = 0;
    std::uint64_t files = 0;
    double averageNameLength = 0; // bytes; 0 when the tree was reused and not measured
    double secondsToMake = 0;     // 0 when reused
    bool reused = false;
};

struct TreeOutcome
{
    bool ok = false;
    std::string error;
    TreeShape shape;
};

// The stamp file beside the tree (TREE.stamp): written once the tree is complete, so that a
// half-made tree is never taken for a finished one.
std::string stampPath(const std::string& tree);

// Makes the tree at `tree`, or reuses it when its stamp says it was made by this generator
// with the same entry count. A mismatched tree of ours is removed and made again; a folder
// that is not ours and not empty is left alone and refused. Progress goes to stderr.
TreeOutcome prepareTree(const std::string& tree, std::uint64_t entries);

// Removes the tree and its stamp; only a tree with a stamp, so nothing else is ever removed.
bool removeTree(const std::string& tree, std::string& error);

} // namespace platterly::bench
