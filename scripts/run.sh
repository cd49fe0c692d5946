#!/usr/bin/env bash
# Builds the program (release) and starts it.
#   bash scripts/run.sh                      the desktop program, on the default catalogue
#   bash scripts/run.sh add ~/Music "Music"  the command line with these arguments
# The build folder is a portable copy of the program: its catalogue db.db2, settings.ini,
# sounds and help.pdf lie beside the programs in build/release/bin.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

bin=build/release/bin
if [ $# -gt 0 ]; then
    exec "$bin/platterly-cli" "$@"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display to show the program's windows on."
    echo "Run it under a virtual display:   xvfb-run -a $bin/platterly"
    echo "or use the command line:          $bin/platterly-cli --help"
    echo
    echo "Catalogued discs in $bin/db.db2:"
    exec "$bin/platterly-cli" discs
fi
exec "$bin/platterly"
