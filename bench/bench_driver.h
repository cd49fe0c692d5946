#pragma once

#include "bench_options.h"

namespace platterly::bench {

// The whole benchmark: makes or reuses the tree, warms the page cache with one find, times
// find, the walk alone and the cataloguing run alternately for the given rounds, prints the
// medians and the goals, and removes the tree unless asked to keep it. Returns the exit
// status: 0 when every step ran, whether or not the goals were met.
int runBenchmark(const BenchOptions& options);

} // namespace platterly::bench
