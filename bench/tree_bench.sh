#!/usr/bin/env bash
# The tree comparison's short form against `diff -rq`: `tandemix-cli --brief` on the
# date-fns 2.29.3 and 2.30.0 package trees and on a generated pair of 100,000 files with
# 1,000 changed. It must find exactly the entries diff -rq reports (a moved file counts as
# its two "Only in" lines) in at most 0.8 x diff -rq's time (best of 3, warm cache). Prints
# each figure beside its baseline from the same run, with PASS or FAIL; a missed target is
# reported, not fatal.
#
# The packages are fetched with `npm pack` into TANDEMIX_BENCH_CACHE (default
# build/bench-cache), outside git.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
runs=3

echo "== building (release preset)"
cmake --preset release >/dev/null
cmake --build --preset release --target tandemix-cli >/dev/null
cli="$repo/build/release/cli/tandemix-cli"

echo "== inputs"
old=$(npm_package date-fns 2.29.3)/package
new=$(npm_package date-fns 2.30.0)/package
make_work tree-bench
# 100 folders of 1,000 files of 1 to 4 KiB; in the copy 500 files keep their size with one
# byte changed and 500 grow by a line.
python3 - "$work/gen1" "$work/gen2" <<'PY'
import os, random, sys
random.seed(100000)
for side in sys.argv[1:]:
    os.makedirs(side)
for folder in range(100):
    for side in sys.argv[1:]:
        os.makedirs(f"{side}/d{folder:03}")
    for number in range(1000):
        body = (f"line {folder} {number} " * random.randint(50, 200)).encode()
        name = f"d{folder:03}/f{number:04}.txt"
        with open(f"{sys.argv[1]}/{name}", "wb") as out:
            out.write(body)
        index = folder * 1000 + number
        if index % 200 == 0:
            body = body[:-1] + b"#"
        elif index % 200 == 100:
            body = body + b"added line\n"
        with open(f"{sys.argv[2]}/{name}", "wb") as out:
            out.write(body)
PY
echo "date-fns: $(find "$old" -type f | wc -l) and $(find "$new" -type f | wc -l) files;" \
    "generated: $(find "$work/gen1" -type f | wc -l) files a side"

# diff -rq's lines as --brief words them; --brief's with each move as its two lines.
from_diff() {
    sed -E -e "s|^Files $1/(.*) and $2/.* differ\$|geändert\t\1|" \
        -e "s|^Only in $1: (.*)\$|nur-in-1\t\1|" -e "s|^Only in $1/(.*): (.*)\$|nur-in-1\t\1/\2|" \
        -e "s|^Only in $2: (.*)\$|nur-in-2\t\1|" -e "s|^Only in $2/(.*): (.*)\$|nur-in-2\t\1/\2|" \
        -e "s|^File $1/(.*) is a .* while file $2/.*\$|art\t\1|" | sort
}
without_moves() {
    awk -F '\t' '$1 == "verschoben" { print "nur-in-1\t" $2; print "nur-in-2\t" $3; next }
                 { print }' | sort
}

compare() {
    local name=$1 a=$2 b=$3 ours theirs entries moves ours_time theirs_time ratio
    ours=$("$cli" --brief "$a" "$b") || true
    theirs=$(diff -rq "$a" "$b") || true
    entries=$(wc -l <<<"$theirs")
    moves=$(grep -c '^verschoben' <<<"$ours" || true)
    printf '  %-36s diff -rq %6s entries; --brief %6s lines, %s of them moves\n' "$name" \
        "$entries" "$(wc -l <<<"$ours")" "$moves"
    if [[ "$(without_moves <<<"$ours")" == "$(from_diff "$a" "$b" <<<"$theirs")" ]]; then
        target "$name: the entries of diff -rq" "same" "1"
    else
        target "$name: the entries of diff -rq" "other" "0"
    fi
    ours_time=$(best_time "$cli" --brief "$a" "$b")
    theirs_time=$(best_time diff -rq "$a" "$b")
    ratio=$(calc "$ours_time / ($theirs_time > 0 ? $theirs_time : 0.001)")
    printf '  %-36s --brief %7s s  diff -rq %7s s\n' "$name" "$ours_time" "$theirs_time"
    target "$name: time / diff -rq's <= 0.8" "$ratio" "$ratio <= 0.8"
}

echo "== --brief against diff -rq (best of $runs, warm cache)"
compare "date-fns 2.29.3 vs 2.30.0" "$old" "$new"
compare "generated, 100,000 files" "$work/gen1" "$work/gen2"

echo
if ((failures > 0)); then
    echo "$failures target(s) missed"
else
    echo "all targets met"
fi
