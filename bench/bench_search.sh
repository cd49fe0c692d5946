#!/usr/bin/env bash
# The catalogue search on a generated tree of a million entries, timed as whole processes
# beside grep over a plain file of the same names (and plocate when it is installed).
#
#   bench/bench_search.sh [--entries N] [--rounds N] [--tree DIR] [--remove-tree]
#
# The tree is made by platterly-bench's generator and kept for the next run (reused while its
# stamp matches; --remove-tree removes it at the end). The catalogue is made from it by
# `platterly-cli add`, which keeps the name index as it goes.
# Both programs are built in a Release build folder: build/release-bench in the source tree
# unless PLATTERLY_BENCH_BUILD_DIR names another. Medians of wall time, warm page cache.
set -euo pipefail

entries=1000000
rounds=21
tree=/tmp/platterly-bench/search-tree
remove_tree=0
while [[ $# -gt 0 ]]; do
    case "$1" in
    --entries) entries="$2"; shift 2 ;;
    --rounds) rounds="$2"; shift 2 ;;
    --tree) tree="$2"; shift 2 ;;
    --remove-tree) remove_tree=1; shift ;;
    *)
        echo "usage: bench_search.sh [--entries N] [--rounds N] [--tree DIR] [--remove-tree]" >&2
        exit 2
        ;;
    esac
done

source "$(dirname "${BASH_SOURCE[0]}")/release_build.sh"
build_release bench_search.sh platterly-cli platterly-bench
cli="$build_dir/bin/platterly-cli"

work="$(mktemp -d "${TMPDIR:-/tmp}/platterly-search.XXXXXX")"
cleanup() {
    rm -rf "$work"
    # Only a tree with the generator's stamp is ever removed.
    if [[ $remove_tree -eq 1 && -f "$tree.stamp" ]]; then
        rm -rf "$tree" "$tree.stamp"
    fi
}
trap cleanup EXIT

# The tree: one benchmark round of platterly-bench makes it (or finds it made). Trees of the
# generator's version 2 on have the sizes the filtered searches need.
if [[ ! -f "$tree.stamp" ]] || ! grep -q "version=[2-9] .*entries=$entries\$" "$tree.stamp"; then
    echo "Making the tree of $entries entries in $tree (a minute or more) ..." >&2
    "$build_dir/bin/platterly-bench" --tree "$tree" --entries "$entries" --rounds 1 --keep \
        >"$work/tree.log"
fi
find "$tree" -mindepth 1 -printf '%f\n' >"$work/names.txt"
find "$tree" -mindepth 1 -printf '%f\t%s\t%y\n' >"$work/sizes.txt"

# Median wall time of a command in milliseconds, its output going to a file (grep stops at
# the first match when it writes to /dev/null). The clock is bash's own, so that no process
# is started inside the measurement but the one measured.
median_ms() {
    local times=() start end
    for ((i = 0; i < rounds; i++)); do
        start=${EPOCHREALTIME/[.,]/}
        "$@" >"$work/out" 2>"$work/err" || true
        end=${EPOCHREALTIME/[.,]/}
        times+=($((end - start)))
    done
    printf '%s\n' "${times[@]}" | sort -n |
        awk '{t[NR] = $1} END {printf "%.1f", t[int((NR + 1) / 2)] / 1000}'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

# Cataloguing with the name index, beside find listing the same tree.
catalogue="$work/search.db2"
"$cli" init "$catalogue" >/dev/null
find "$tree" -printf '%h/%f\n' >/dev/null
start=${EPOCHREALTIME/[.,]/}
"$cli" --catalogue "$catalogue" add "$tree" Bench >/dev/null
end=${EPOCHREALTIME/[.,]/}
add_ms=$(((end - start) / 1000))
find_ms=$(rounds=3 median_ms find "$tree" -printf '%h/%f\n')
size=$(stat -c %s "$catalogue")
echo
echo "Cataloguing $entries entries with the name index: $add_ms ms;" \
    "find: $find_ms ms (ratio $(ratio "$add_ms" "$find_ms"))"
if command -v sqlite3 >/dev/null; then
    cp "$catalogue" "$work/bare.db2"
    sqlite3 "$work/bare.db2" "DROP TABLE NAMEINDEX; DROP TABLE NAMEINDEX_GRAMS;
        DROP TABLE NAMEINDEX_STATE; VACUUM;"
    bare=$(stat -c %s "$work/bare.db2")
    echo "Catalogue file: $size bytes, of which the name index $((size - bare))" \
        "($(ratio $(((size - bare) * 100)) "$bare") % of the file without it)"
    rm -f "$work/bare.db2"
else
    echo "Catalogue file: $size bytes (sqlite3 not installed: index size not measured)"
fi

# The new file's pages are written out to the disc now, not while searches are timed.
sync "$catalogue"

search() { "$cli" --catalogue "$catalogue" search "$@"; }
# The first search of a file builds nothing (the index came with the cataloguing); run it
# once so that the page cache holds the file.
search zzzz >/dev/null 2>&1

plocate_db=""
if command -v plocate >/dev/null && command -v updatedb >/dev/null; then
    plocate_db="$work/plocate.db"
    updatedb -l 0 -U "$tree" -o "$plocate_db"
fi

echo
printf '%-44s %8s %12s %10s %7s %12s' "search" "hits" "platterly ms" "grep ms" "ratio" "in-process"
[[ -n "$plocate_db" ]] && printf ' %10s' "plocate ms"
echo
# The same search timed inside one process, as the window runs it on the catalogue it has
# open (no program start, no printing): median of the rounds, in milliseconds.
in_process_ms() {
    local pattern="$1" limit=0 options=()
    shift
    while [[ $# -gt 0 ]]; do
        case "$1" in
        --limit) limit="$2"; shift 2 ;;
        --category | --disc | --larger) options+=("$1" "$2"); shift 2 ;;
        --without-index) options+=("$1"); shift ;;
        *) shift ;;
        esac
    done
    "$build_dir/bin/platterly-bench" --rounds 21 --search-once "$catalogue" "$pattern" "$limit" \
        "${options[@]}" | sed -n 's/^median_ms=\([0-9.]*\).*/\1/p' |
        awk '{printf "%.1f", $1}'
}

# row LABEL GREP-ARGUMENTS PLOCATE-TEXT PLATTERLY-ARGUMENTS...
row() {
    local label="$1" grep_args="$2" plocate_text="$3"
    shift 3
    local ours theirs hits
    ours=$(median_ms search "$@")
    hits=$(sed -n 's/.*(\([0-9]*\))$/\1/p; s/^Only 1.*/1/p; s/^No Files.*/0/p' "$work/err")
    # shellcheck disable=SC2086 # the grep arguments are split on purpose
    theirs=$(median_ms grep $grep_args "$work/names.txt")
    printf '%-44s %8s %12s %10s %7s %12s' "$label" "${hits:-?}" "$ours" "$theirs" \
        "$(ratio "$ours" "$theirs")" "$(in_process_ms "$@")"
    if [[ -n "$plocate_db" ]]; then
        if [[ -n "$plocate_text" ]]; then
            printf ' %10s' "$(median_ms plocate -d "$plocate_db" -c -i -b "$plocate_text")"
        else
            printf ' %10s' "-"
        fi
    fi
    echo
}
row "rare 'mo-fi', first 100 rows + total" "-ciF mo-fi" mo-fi mo-fi --limit 100
row "common 'rea', first 100 rows + total" "-ciF rea" rea rea --limit 100
row "'*.mp3', first 100 rows + total" "-ciF .mp3" .mp3 '*.mp3' --limit 100
row "'*', Music Files, first 100 rows + total" "-ciE \.(wav|voc|wma|mp2|mp3|mpeg|asf)$" "" \
    '*' --category "Music Files" --limit 100
row "'rea' on one disc (by name), all rows" "-iF rea" "" rea --disc Bench
row "'.mp3', all rows" "-iF .mp3" "" .mp3
row "'*.mp3' on one disc (by name), all rows" "-iF .mp3" "" '*.mp3' --disc Bench
echo "The same by name, in-process, without the name index (plain SQL, ORDER BY FNAME):" \
    "$(in_process_ms '*.mp3' --disc Bench --without-index) ms"

# Limits on size: the reference is awk over the names with their sizes, files only.
# filtered LABEL AWK-PROGRAM PLATTERLY-ARGUMENTS...
filtered() {
    local label="$1" program="$2"
    shift 2
    local ours theirs hits
    ours=$(median_ms search "$@")
    hits=$(sed -n 's/.*(\([0-9]*\))$/\1/p; s/^Only 1.*/1/p; s/^No Files.*/0/p' "$work/err")
    theirs=$(median_ms awk -F '\t' "$program" "$work/sizes.txt")
    printf '%-44s %8s %12s %10s %7s %12s\n' "$label" "${hits:-?}" "$ours" "$theirs" \
        "$(ratio "$ours" "$theirs")" "$(in_process_ms "$@")"
}
filtered "'*' larger than 512M, first 100 rows + total" \
    '$3 == "f" && $2 > 536870912 {n++} END {print n}' '*' --larger 512M --limit 100
filtered "'rea' larger than 1M, first 100 rows + total" \
    '$3 == "f" && $2 > 1048576 && tolower($1) ~ /rea/ {n++} END {print n}' \
    rea --larger 1M --limit 100
filtered "'.mp3' larger than 1M, all rows" \
    '$3 == "f" && $2 > 1048576 && tolower($1) ~ /\.mp3/ {print}' .mp3 --larger 1M
# Against SQLite's own ways of finding a text in a name, whole processes of the sqlite3 shell
# on the same file: a plain LIKE scan of CDS, and an FTS5 index with the trigram tokenizer
# (case-blind, any text of three letters or more) kept in a copy of the catalogue.
if command -v sqlite3 >/dev/null; then
    fts="$work/fts5.db2"
    cp "$catalogue" "$fts"
    start=${EPOCHREALTIME/[.,]/}
    sqlite3 "$fts" "CREATE VIRTUAL TABLE NAMES USING fts5(FNAME, tokenize = 'trigram',
        content = 'CDS', content_rowid = 'rowid'); INSERT INTO NAMES(NAMES) VALUES ('rebuild');"
    end=${EPOCHREALTIME/[.,]/}
    sync "$fts"
    echo
    echo "FTS5 trigram index: built in $(((end - start) / 1000)) ms," \
        "$(($(stat -c %s "$fts") - size)) bytes more in the file"
    printf '%-44s %12s %10s %10s %11s %11s\n' "search" "platterly ms" "FTS5 ms" "LIKE ms" \
        "ratio FTS5" "ratio LIKE"
    # sql_row LABEL LIMIT FTS5-CONDITION LIKE-CONDITION ORDER PLATTERLY-ARGUMENTS...
    sql_row() {
        local label="$1" limit="$2" fts_where="$3" like_where="$4" order="$5"
        shift 5
        local ours by_fts by_like
        ours=$(median_ms search "$@")
        statement() { # FROM WHERE
            if [[ $limit -gt 0 ]]; then
                echo "SELECT count(*) FROM $1 WHERE $2;
                    SELECT CDS.CDNAME, CDS.FNAME, CDS.PATH FROM $1 WHERE $2 $order LIMIT $limit;"
            else
                echo "SELECT CDS.CDNAME, CDS.FNAME, CDS.PATH FROM $1 WHERE $2 $order;"
            fi
        }
        by_fts=-
        if [[ -n "$fts_where" ]]; then
            by_fts=$(median_ms sqlite3 "$fts" \
                "$(statement "NAMES JOIN CDS ON CDS.rowid = NAMES.rowid" "$fts_where")")
        fi
        by_like=$(median_ms sqlite3 "$catalogue" "$(statement CDS "$like_where")")
        printf '%-44s %12s %10s %10s %11s %11s\n' "$label" "$ours" "$by_fts" "$by_like" \
            "$([[ $by_fts == - ]] && echo - || ratio "$ours" "$by_fts")" "$(ratio "$ours" "$by_like")"
    }
    sql_row "rare 'mo-fi', first 100 rows + total" 100 "NAMES MATCH '\"mo-fi\"'" \
        "FNAME LIKE '%mo-fi%'" "" mo-fi --limit 100
    sql_row "common 'rea', first 100 rows + total" 100 "NAMES MATCH '\"rea\"'" \
        "FNAME LIKE '%rea%'" "" rea --limit 100
    sql_row "'*.mp3', first 100 rows + total" 100 \
        "NAMES MATCH '\".mp3\"' AND CDS.FNAME LIKE '%.mp3'" "FNAME LIKE '%.mp3'" "" \
        '*.mp3' --limit 100
    sql_row "'rea' on one disc (by name), all rows" 0 \
        "NAMES MATCH '\"rea\"' AND CDS.CDNAME = 'Bench'" \
        "FNAME LIKE '%rea%' AND CDNAME = 'Bench'" "ORDER BY CDS.FNAME" rea --disc Bench
    sql_row "'.mp3', all rows" 0 "NAMES MATCH '\".mp3\"'" "FNAME LIKE '%.mp3%'" "" .mp3
    rm -f "$fts"
fi

echo
echo "grep: grep -c -i -F (or, for all rows, grep -i -F) over names.txt, one name a line;"
echo "for the limits, awk over the names with their sizes (find -printf '%f\\t%s\\t%y')."
echo "platterly: whole processes of platterly-cli search, started and timed by this script;"
echo "in-process: the same search inside one process on the open catalogue (platterly-bench"
echo "--search-once), rows handed to a consumer that keeps nothing."
