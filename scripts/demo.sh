#!/usr/bin/env bash
# Installs what is missing, builds, and compares the bundled example files and folders.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target tandemix-example

echo
echo "== Two files: examples/files/packing-list-1.txt against packing-list-2.txt"
build/release/examples/tandemix-example examples/files/packing-list-1.txt \
    examples/files/packing-list-2.txt
echo
echo "== Two folders: examples/folders/before against examples/folders/after"
build/release/examples/tandemix-example examples/folders/before examples/folders/after
