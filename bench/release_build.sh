# Sourced by the bench scripts: builds the given targets in a Release build folder and sets
# `build_dir` to it (build/release-bench in the source tree unless PLATTERLY_BENCH_BUILD_DIR
# names another). A folder configured for another build type is refused: its figures would
# not be the program's.
#
#   build_release SCRIPT_NAME TARGET...
build_release() {
    local name="$1"
    shift
    local source_dir
    source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
    build_dir="${PLATTERLY_BENCH_BUILD_DIR:-$source_dir/build/release-bench}"
    if [[ ! -f "$build_dir/CMakeCache.txt" ]]; then
        cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release \
            -DPLATTERLY_BUILD_TESTS=OFF >&2
    fi
    if ! grep -q '^CMAKE_BUILD_TYPE:[A-Z]*=Release$' "$build_dir/CMakeCache.txt"; then
        echo "$name: $build_dir is not a Release build" >&2
        exit 2
    fi
    cmake --build "$build_dir" -j2 --target "$@" >&2
}
