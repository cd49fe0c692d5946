#!/usr/bin/env bash
# Cataloguing a disc image or an archive, beside cataloguing the folder tree it was made from.
#
#   bench/bench_image.sh [--entries N] [--rounds N] [--tree DIR] [--remove-tree]
#
# The tree (100,000 entries by default, in /tmp/platterly-bench/image-tree) is made by
# platterly-bench's generator and kept for the next run (--remove-tree removes it at the end).
# From it are made an ISO 9660 image with Rock Ridge and Joliet (xorriso), a zip file (Info-ZIP
# zip) and a gzip-compressed tar file. Each round catalogues the folder and each of them into a
# new catalogue, each in a child process (platterly-bench --catalogue-once), which times
# runCataloguing alone: for an image, reading its directory, the walk, the rows, the counts and
# the commit. Medians of wall time, warm page cache; the goal is at most twice the folder's time.
set -euo pipefail

entries=100000
rounds=5
tree=/tmp/platterly-bench/image-tree
remove_tree=0
while [[ $# -gt 0 ]]; do
    case "$1" in
    --entries) entries="$2"; shift 2 ;;
    --rounds) rounds="$2"; shift 2 ;;
    --tree) tree="$2"; shift 2 ;;
    --remove-tree) remove_tree=1; shift ;;
    *)
        echo "usage: bench_image.sh [--entries N] [--rounds N] [--tree DIR] [--remove-tree]" >&2
        exit 2
        ;;
    esac
done
for tool in xorriso zip tar; do
    if ! command -v "$tool" >/dev/null; then
        echo "bench_image.sh: $tool is needed to make the images" >&2
        exit 2
    fi
done

source "$(dirname "${BASH_SOURCE[0]}")/release_build.sh"
build_release bench_image.sh platterly-bench
bench="$build_dir/bin/platterly-bench"

work="$(mktemp -d "${TMPDIR:-/tmp}/platterly-image.XXXXXX")"
cleanup() {
    rm -rf "$work"
    # Only a tree with the generator's stamp is ever removed.
    if [[ $remove_tree -eq 1 && -f "$tree.stamp" ]]; then
        rm -rf "$tree" "$tree.stamp"
    fi
}
trap cleanup EXIT

if [[ ! -f "$tree.stamp" ]] || ! grep -q "entries=$entries\$" "$tree.stamp"; then
    echo "Making the tree of $entries entries in $tree ..." >&2
    "$bench" --tree "$tree" --entries "$entries" --rounds 1 --keep >"$work/tree.log"
fi

# The generator gives files sizes up to 1 GiB as holes; an image would hold them as data
# (terabytes). The images need only the directory: the files are made empty, once.
find "$tree" -type f -size +0 -exec truncate -s 0 {} +

echo "Making the images ..." >&2
xorriso -as mkisofs -R -J -joliet-long -quiet -o "$work/tree.iso" "$tree" 2>"$work/xorriso.log"
(cd "$tree" && zip -q -r "$work/tree.zip" .)
tar -C "$tree" -czf "$work/tree.tar.gz" .
find "$tree" -printf '%h/%f\n' >/dev/null # the tree into the page cache

# Seconds runCataloguing took for one source, into a new catalogue removed afterwards.
catalogue_seconds() {
    local out
    out=$("$bench" --catalogue-once "$1" "$work/round.db2")
    rm -f "$work/round.db2"
    sed -n 's/^seconds=\([0-9.]*\).*/\1/p' <<<"$out"
}
median() { printf '%s\n' "$@" | sort -n | awk '{t[NR] = $1} END {print t[int((NR + 1) / 2)]}'; }

sources=(folder iso zip targz)
declare -A path=([folder]="$tree" [iso]="$work/tree.iso" [zip]="$work/tree.zip"
    [targz]="$work/tree.tar.gz")
declare -A times
for ((round = 1; round <= rounds; round++)); do
    line="round $round:"
    for source in "${sources[@]}"; do
        seconds=$(catalogue_seconds "${path[$source]}")
        times[$source]+="$seconds "
        line+=" $source $seconds s"
    done
    echo "$line" >&2
done

folder_median=$(median ${times[folder]})
echo
echo "Cataloguing $entries entries, medians of $rounds rounds ($(date '+%Y-%m-%d %H:%M')," \
    "load $(cut -d' ' -f1-3 /proc/loadavg))"
printf '%-26s %12s %10s %8s   %s\n' "source" "size MB" "seconds" "ratio" "rounds"
for source in "${sources[@]}"; do
    # shellcheck disable=SC2086 # the times are split on purpose
    m=$(median ${times[$source]})
    size="-"
    [[ $source != folder ]] && size=$(awk -v b="$(stat -c %s "${path[$source]}")" \
        'BEGIN {printf "%.1f", b / 1e6}')
    printf '%-26s %12s %10.2f %8.2f   %s\n' "$source" "$size" "$m" \
        "$(awk -v a="$m" -v b="$folder_median" 'BEGIN {print a / b}')" "${times[$source]}"
done
echo "ratio: the source's time over the folder's (goal for an image: at most 2)"
