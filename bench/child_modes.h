#pragma once

#include <string>

namespace platterly::bench {

// The measured steps, each run alone in a child process of the benchmark so that the peak
// memory the parent reads through wait4 belongs to that step only. Each prints one line of
// key=value pairs on standard output for the parent and returns the process's exit status.

// Makes a new catalogue file and catalogues the tree (or a disc image or archive of it) into
// it, as the program's "add disc" does; the time covers runCataloguing alone (walk, rows,
// counts, commit).
int catalogueOnce(const std::string& tree, const std::string& catalogue);

// Makes a new catalogue file, catalogues the tree into it, then times updating that disc from
// the same, unchanged tree.
int updateOnce(const std::string& tree, const std::string& catalogue);

// Walks the tree as the cataloguing does but hands the rows to a sink that only counts them:
// what the walk costs without the writing.
int walkOnce(const std::string& tree);

} // namespace platterly::bench
