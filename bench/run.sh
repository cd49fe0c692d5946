#!/usr/bin/env bash
# Builds platterly-bench in a Release build folder and runs it; every argument goes to the
# benchmark (try --help). The build folder is build/release-bench in the source tree unless
# PLATTERLY_BENCH_BUILD_DIR names another one.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${PLATTERLY_BENCH_BUILD_DIR:-$source_dir/build/release-bench}"

if [[ -f "$build_dir/CMakeCache.txt" ]]; then
    # Figures of an unoptimised build say nothing about the program: refuse them.
    build_type="$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build_dir/CMakeCache.txt")"
    if [[ "$build_type" != "Release" ]]; then
        echo "run.sh: $build_dir is a '$build_type' build, not Release" >&2
        exit 2
    fi
else
    cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release \
        -DPLATTERLY_BUILD_TESTS=OFF >&2
fi
# Two cores on the machines here: more jobs only slow everything else down.
cmake --build "$build_dir" -j2 --target platterly-bench >&2
exec "$build_dir/bin/platterly-bench" "$@"
