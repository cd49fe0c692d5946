#!/usr/bin/env bash
# Checks that every #include "..." of src/, tests/ and bench/ follows the libraries' declared
# dependencies, as the CMakeLists.txt files state them. Every library puts all of src/ on the
# include path, so the compiler would accept any include; this check is what keeps the layers.
#
# The rule, in CMake's own terms:
# - Each folder with a CMakeLists.txt that makes a target (platterly_add_library,
#   platterly_add_test, add_library, add_executable) holds that target's files; a file
#   belongs to the target(s) of the nearest such folder above it. A header belongs to the
#   library of the folder it lies in.
# - A file may include the headers of its own target, of every library its target links
#   (PUBLIC or PRIVATE; a test's DEPS and its test-support library), and of every library
#   reached from those through PUBLIC links only: what CMake hands on with a library.
# - A header of a library may include only what the library hands on: its own headers and
#   those reached through its PUBLIC links. So a library links another PUBLIC exactly when
#   one of its headers includes that library's headers, and PRIVATE otherwise; a PUBLIC link
#   that no header needs is reported too.
# - Headers under tests/ are the tests' own helpers: including them is not checked here (the
#   linker refuses a test that uses a helper library it does not link).
#
# Prints one line per fault (file, line, header, what is missing) and exits 1 when there is
# any; prints nothing and exits 0 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."

work="$(mktemp -d "${TMPDIR:-/tmp}/check-layers.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# 1. Targets and links, from the build files: "T target folder kind" and "D target dep mode".
for list in $(find src tests bench -name CMakeLists.txt | sort); do
    awk -v folder="$(dirname "$list")" '
        { sub(/#.*/, ""); gsub(/[()]/, " & "); for (i = 1; i <= NF; ++i) tok[++n] = $i }
        function isTarget(name) { return name !~ /^\$/ }
        END {
            for (i = 1; i <= n; ++i) {
                command = tok[i]
                if (tok[i + 1] != "(") continue
                if (command != "platterly_add_library" && command != "platterly_add_test" &&
                    command != "add_library" && command != "add_executable" &&
                    command != "target_link_libraries") continue
                name = tok[i + 2]
                if (!isTarget(name)) continue
                kind = (command == "platterly_add_library" || command == "add_library") ? "lib" : "exe"
                if (command != "target_link_libraries") print "T", name, folder, kind
                mode = (command == "target_link_libraries") ? "PUBLIC" : "NONE"
                gui = 0
                for (j = i + 3; j <= n && tok[j] != ")"; ++j) {
                    word = tok[j]
                    if (word == "PUBLIC_DEPS" || word == "PUBLIC" || word == "INTERFACE") mode = "PUBLIC"
                    else if (word == "PRIVATE_DEPS" || word == "PRIVATE" || word == "DEPS") mode = "PRIVATE"
                    else if (word == "GUI" && command == "platterly_add_test") gui = 1
                    else if (mode != "NONE" && isTarget(word)) print "D", name, word, mode
                }
                # platterly_add_test links the test-support library (GUI: its widgets form).
                if (command == "platterly_add_test")
                    print "D", name, (gui ? "platterly_test_support_gui" : "platterly_test_support"), "PRIVATE"
                i = j
            }
        }' "$list"
done >"$work/targets"

# 2. Includes, resolved to files: "file line header resolved". A name is looked up beside
# the including file, then in src/, then in tests/; one found nowhere (a system or generated
# header) is not checked.
include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)"'
while IFS= read -r hit; do
    file="${hit%%:*}"
    rest="${hit#*:}"
    line="${rest%%:*}"
    [[ "${rest#*:}" =~ $include_pattern ]] || continue
    header="${BASH_REMATCH[1]}"
    for candidate in "${file%/*}/$header" "src/$header" "tests/$header"; do
        if [[ -f "$candidate" ]]; then
            echo "$file $line $header $candidate"
            break
        fi
    done
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' src tests bench \
             --include='*.h' --include='*.cpp') >"$work/includes"

# 3. The check.
awk '
    FNR == NR && $1 == "T" { ++targetCount; target[targetCount] = $2; kind[$2] = $4
                             folderTargets[$3] = folderTargets[$3] " " $2; next }
    FNR == NR && $1 == "D" { ++linkCount; linkFrom[linkCount] = $2; linkTo[linkCount] = $3
                             linkMode[linkCount] = $4; next }
    FNR == NR { next }
    { ++includeCount; incFile[includeCount] = $1; incLine[includeCount] = $2
      incHeader[includeCount] = $3; incResolved[includeCount] = $4 }

    function dirOf(path) { if (path !~ /\//) return "."; sub(/\/[^\/]*$/, "", path); return path }
    # The targets of the nearest folder above `path` that makes one.
    function ownersOf(path,   folder) {
        folder = dirOf(path)
        while (!(folder in folderTargets) && folder != ".") folder = dirOf(folder)
        return (folder in folderTargets) ? folderTargets[folder] : ""
    }
    function known(name) { return name in kind }

    END {
        # handed[t, x]: x is t itself or reached from t through PUBLIC links only.
        for (i = 1; i <= targetCount; ++i) handed[target[i], target[i]] = 1
        do {
            changed = 0
            for (l = 1; l <= linkCount; ++l) {
                if (linkMode[l] != "PUBLIC" || !known(linkTo[l])) continue
                for (i = 1; i <= targetCount; ++i) {
                    x = target[i]
                    if ((linkTo[l], x) in handed && !((linkFrom[l], x) in handed)) {
                        handed[linkFrom[l], x] = 1; changed = 1
                    }
                }
            }
        } while (changed)
        # seen[t, x]: what a file of t may include; shown[t, x]: what a header of library t may.
        for (i = 1; i <= targetCount; ++i) {
            t = target[i]
            for (j = 1; j <= targetCount; ++j)
                if ((t, target[j]) in handed) { seen[t, target[j]] = 1; shown[t, target[j]] = 1 }
        }
        for (l = 1; l <= linkCount; ++l) {
            if (!known(linkTo[l])) continue
            for (j = 1; j <= targetCount; ++j)
                if ((linkTo[l], target[j]) in handed) seen[linkFrom[l], target[j]] = 1
        }

        faults = 0
        for (k = 1; k <= includeCount; ++k) {
            if (incResolved[k] ~ /^tests\//) continue
            split(ownersOf(incResolved[k]), headerOwners, " ")
            fileOwners = ownersOf(incFile[k])
            if (fileOwners == "") {
                print incFile[k] ": no target of the build owns this file"; ++faults; continue
            }
            isHeader = incFile[k] ~ /\.h$/
            split(fileOwners, owners, " ")
            for (o in owners) {
                t = owners[o]
                ok = 0
                for (h in headerOwners) {
                    x = headerOwners[h]
                    if (isHeader && kind[t] == "lib" ? ((t, x) in shown) : ((t, x) in seen)) ok = 1
                    # A header included by a header of its library: the dependency it needs.
                    if (isHeader && kind[t] == "lib" && incFile[k] ~ /^src\//)
                        for (l = 1; l <= linkCount; ++l)
                            if (linkFrom[l] == t && linkMode[l] == "PUBLIC" && (linkTo[l], x) in handed)
                                needed[l] = 1
                }
                if (ok) continue
                ++faults
                owner = headerOwners[1]
                if (isHeader && kind[t] == "lib" && (t, owner) in seen)
                    printf "%s:%s: header includes %s of %s, which %s links PRIVATE: its dependents do not get it (link it PUBLIC)\n", incFile[k], incLine[k], incHeader[k], owner, t
                else
                    printf "%s:%s: includes %s of %s, which %s does not declare\n", incFile[k], incLine[k], incHeader[k], owner, t
            }
        }
        for (l = 1; l <= linkCount; ++l) {
            t = linkFrom[l]
            if (linkMode[l] != "PUBLIC" || !known(linkTo[l]) || kind[t] != "lib" || (l in needed)) continue
            if (!(t in libFolder)) {
                for (f in folderTargets) if (index(folderTargets[f] " ", " " t " ")) libFolder[t] = f
            }
            if (libFolder[t] !~ /^src\//) continue
            printf "%s: %s links %s PUBLIC, but none of its headers includes it (link it PRIVATE)\n", libFolder[t] "/CMakeLists.txt", t, linkTo[l]
            ++faults
        }
        exit faults > 0
    }' "$work/targets" "$work/includes"
