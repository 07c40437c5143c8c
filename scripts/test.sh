#!/usr/bin/env bash
# Installs what is missing, builds with the default preset and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test
preset="${TANDEMIX_PRESET:-default}"
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
