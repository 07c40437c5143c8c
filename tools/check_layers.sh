#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. The engine's layers,
# bottom up: base, document (with web beside it), diff and folders (beside each other),
# report, run; the front-end support desktop/, the front ends cli/ and app/ and the fuzz
# harnesses fuzz/ sit on top.
#
#   tools/check_layers.sh [SOURCE_ROOT]
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"

declare -A allowed=(
    [base]="base"
    [document]="base document"
    [web]="base web"
    [diff]="base document diff"
    [folders]="base document folders"
    [report]="base document diff folders report"
    [run]="base document diff folders report web run"
    [desktop]="base document diff folders report web run desktop"
    [cli]="base document diff folders report web run desktop cli"
    [app]="base document diff folders report web run desktop app"
    [fuzz]="base document diff folders report web run support"
)

status=0
for folder in "${!allowed[@]}"; do
    [[ -d "$root/$folder" ]] || continue
    while IFS= read -r match; do
        file=${match%%:*}
        rest=${match#*:}
        line=${rest%%:*}
        included=$(sed -E 's/.*#include "([^"/]+)\/.*/\1/' <<<"$rest")
        if [[ " ${allowed[$folder]} " != *" $included "* ]]; then
            echo "${file#"$root"/}:$line: $folder/ must not include $included/" >&2
            status=1
        fi
    done < <(grep -rnE '^\s*#\s*include "[^"/]+/' "$root/$folder" \
                 --include='*.h' --include='*.cpp' --include='*.inc' || true)
done
if [[ $status -eq 0 ]]; then
    echo "layers: every include points down"
fi
exit $status
