#!/usr/bin/env bash
# Checks the JavaScript with the prettier and eslint pinned in package.json: the format of
# the one-file report's parts, the browser tests and the benchmarks, and the lint of those
# and of the framed report's scripts (whose bytes are fixed, so they are never reformatted).
# With --fix, formats and fixes instead.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$here/setup.sh"
tandemix_node_setup >/dev/null
cd "$here/../.."
bin="$here/node_modules/.bin"
formatted=(report/single/*.js tests/browser/*.js bench/*.js eslint.config.js)
linted=("${formatted[@]}" report/scripts/*.js)
if [ "${1:-}" = "--fix" ]; then
    "$bin/prettier" --write "${formatted[@]}"
    "$bin/eslint" --fix "${linted[@]}"
else
    "$bin/prettier" --check "${formatted[@]}"
    "$bin/eslint" --max-warnings 0 "${linted[@]}"
fi
