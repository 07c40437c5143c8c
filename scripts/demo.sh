#!/usr/bin/env bash
# Installs what is missing, builds, and compares the bundled example files and folders.
# The reports go to out/ in the repository; open the printed Tandemix.htm in a browser
# served over http (or in the report viewer) to use its search and scrolling.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh demo
# The command line alone: no window, and no tests (they need GoogleTest).
cmake --preset release -DTANDEMIX_BUILD_APP=OFF -DTANDEMIX_BUILD_TESTS=OFF >/dev/null
cmake --build --preset release --target tandemix-cli
cli=build/release/cli/tandemix-cli

compare() {
    local title=$1 out=$2
    shift 2
    mkdir -p "$out"
    echo
    echo "== $title"
    local status=0
    "$cli" -o "$PWD/$out" "$@" || status=$?
    # Like diff: 0 no differences, 1 differences, 2 trouble.
    [ "$status" -le 1 ] || exit "$status"
}

compare "Two files: examples/files/packing-list-1.txt against packing-list-2.txt" out/files \
    examples/files/packing-list-1.txt examples/files/packing-list-2.txt
compare "Two folders: examples/folders/before against examples/folders/after" out/folders \
    examples/folders/before examples/folders/after
