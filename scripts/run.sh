#!/usr/bin/env bash
# Builds the program (release) and runs the command line with the given arguments, on the
# catalogue db.db2 of the build's application folder unless --catalogue says otherwise.
#   bash scripts/run.sh add ~/Music "My Music"
#   bash scripts/run.sh discs
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

cli=build/release/bin/platterly-cli
if [ $# -eq 0 ]; then
    "$cli" --help
    echo
    echo "Catalogued discs in $(dirname "$cli")/db.db2:"
    exec "$cli" discs
fi
exec "$cli" "$@"
