#!/usr/bin/env bash
# Checks the includes against the libraries' dependencies, builds everything with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/check-layers.sh
bash scripts/install-deps.sh --tests
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
