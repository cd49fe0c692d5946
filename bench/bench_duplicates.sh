#!/usr/bin/env bash
# Finding duplicates in a catalogue of ten million entries, timed as whole processes beside
# the sqlite3 shell grouping the same rows with GROUP BY (ASCII case folding only, so it does
# less than the program, which folds all of Unicode).
#
#   bench/bench_duplicates.sh [--entries N] [--rounds N] [--remove]
#
# The catalogue is written by `platterly-bench --make-duplicates` (discs of 500,000 entries,
# each after the first taking a fifth of its files from the ones before) and kept in
# /tmp/platterly-bench for the next run unless --remove is given. Both programs are built in a
# Release build folder: build/release-bench in the source tree unless PLATTERLY_BENCH_BUILD_DIR
# names another. Medians of wall time; peak memory from GNU time.
set -euo pipefail

entries=10000000
rounds=3
remove=0
while [[ $# -gt 0 ]]; do
    case "$1" in
    --entries) entries="$2"; shift 2 ;;
    --rounds) rounds="$2"; shift 2 ;;
    --remove) remove=1; shift ;;
    *)
        echo "usage: bench_duplicates.sh [--entries N] [--rounds N] [--remove]" >&2
        exit 2
        ;;
    esac
done
for tool in sqlite3 /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "bench_duplicates.sh: $tool is needed" >&2; exit 2; }
done

source "$(dirname "${BASH_SOURCE[0]}")/release_build.sh"
build_release bench_duplicates.sh platterly-cli platterly-bench

mkdir -p /tmp/platterly-bench
catalogue="/tmp/platterly-bench/duplicates-$entries.db2"
work="$(mktemp -d "${TMPDIR:-/tmp}/platterly-duplicates.XXXXXX")"
cleanup() {
    rm -rf "$work"
    [[ $remove -eq 1 ]] && rm -f "$catalogue"
    return 0
}
trap cleanup EXIT
if [[ ! -f "$catalogue" ]]; then
    echo "Writing a catalogue of $entries entries to $catalogue ..." >&2
    "$build_dir/bin/platterly-bench" --make-duplicates "$catalogue" "$entries" >/dev/null
    sync "$catalogue"
fi
cat "$catalogue" >/dev/null # into the page cache

# run NAME COMMAND...: median wall seconds and largest peak memory of the rounds.
run() {
    local name="$1" times=() peak=0
    shift
    for ((i = 0; i < rounds; i++)); do
        /usr/bin/time -f "%e %M" -o "$work/time" "$@" >"$work/$name.out" 2>"$work/$name.err"
        read -r seconds kib <"$work/time"
        times+=("$seconds")
        ((kib > peak)) && peak=$kib
    done
    median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{t[NR] = $1} END {print t[int((NR + 1) / 2)]}')
    echo "$median $((peak / 1024))"
}

read -r ours ours_mib < <(run ours "$build_dir/bin/platterly-cli" --catalogue "$catalogue" \
    duplicates --json)
read -r theirs theirs_mib < <(run theirs sqlite3 "$catalogue" \
    "SELECT lower(FNAME), SIZE, count(*) FROM CDS WHERE SIZE > 0
     GROUP BY lower(FNAME), SIZE HAVING count(*) > 1")
# The same listing in SQL: the groups, then every copy of them (not in wasted order).
read -r listing listing_mib < <(run listing sqlite3 "$catalogue" \
    "WITH d AS (SELECT lower(FNAME) AS n, SIZE AS s FROM CDS WHERE SIZE > 0
                GROUP BY 1, 2 HAVING count(*) > 1)
     SELECT c.CDNAME, c.FNAME, c.PATH, c.SIZE FROM d JOIN CDS c
     ON c.SIZE = d.s AND lower(c.FNAME) = d.n")
groups=$(wc -l <"$work/ours.out")
their_groups=$(wc -l <"$work/theirs.out")
copies=$(wc -l <"$work/listing.out")
echo
echo "Duplicates among $entries entries ($(date '+%Y-%m-%d %H:%M'), load $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%-40s %10s %10s %10s\n' "" "seconds" "peak MiB" "groups"
printf '%-40s %10s %10s %10s\n' "platterly-cli duplicates --json" "$ours" "$ours_mib" "$groups"
printf '%-40s %10s %10s %10s\n' "sqlite3 GROUP BY lower(FNAME), SIZE" "$theirs" "$theirs_mib" \
    "$their_groups"
printf '%-40s %10s %10s %10s\n' "sqlite3, every copy of those groups" "$listing" "$listing_mib" \
    "($copies copies)"
echo "ratio to the grouping alone: $(awk -v a="$ours" -v b="$theirs" 'BEGIN {printf "%.2f", a / b}');" \
    "to the listing of the copies: $(awk -v a="$ours" -v b="$listing" 'BEGIN {printf "%.2f", a / b}')"
echo "(peak memory of platterly-cli: what it holds, the catalogue read through SQLite's page cache)"
