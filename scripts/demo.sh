#!/usr/bin/env bash
# Installs what is missing, builds, and compares the bundled example files and folders.
# The reports go to out/ in the repository, each in both forms: the one-file report
# (Tandemix-Bericht.html) works in any browser; the framed report (Tandemix.htm) has working
# controls only in the report viewer. At the end it says how to open them.
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
    status=0
    "$cli" -q --report single -o "$PWD/$out" "$@" || status=$?
    [ "$status" -le 1 ] || exit "$status"
    echo "$PWD/$out/Tandemix-Bericht.html"
}

compare "Two files: examples/files/packing-list-1.txt against packing-list-2.txt" out/files \
    examples/files/packing-list-1.txt examples/files/packing-list-2.txt
compare "Two folders: examples/folders/before against examples/folders/after" out/folders \
    examples/folders/before examples/folders/after

# Where each form works: the one-file report anywhere, the framed one in the viewer only.
viewer=$(command -v tandemix-viewer || true)
[ -n "$viewer" ] || [ ! -x build/default/app/tandemix-viewer ] || viewer=build/default/app/tandemix-viewer
echo
echo "To open a report with every control working:"
echo "  in your web browser:  xdg-open out/files/Tandemix-Bericht.html"
if [ -n "$viewer" ]; then
    echo "  in the report viewer: $viewer out/files/Tandemix.htm"
else
    echo "  Tandemix.htm (the framed report) needs the report viewer, which this demo does not"
    echo "  build: scripts/test.sh builds it as build/default/app/tandemix-viewer."
fi
