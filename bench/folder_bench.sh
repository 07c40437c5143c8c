#!/usr/bin/env bash
# Folder comparison by content against `diff -rq` on real trees: the date-fns 2.29.3 and
# 2.30.0 packages (every file packed with one fixed time, 1,727 files differ in content), a
# tree against a copy of itself with every time changed, and the Python standard library
# against a copy. Prints each figure beside its baseline from the same run, with PASS or
# FAIL; a missed target is reported, not fatal.
#
# The packages are fetched with `npm pack` into TANDEMIX_BENCH_CACHE (default
# build/bench-cache), outside git. PYTHON_LIB names the library folder
# (default: the newest /usr/lib/python3.N).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
runs=3

echo "== building (release preset)"
cmake --preset release >/dev/null
cmake --build --preset release --target tandemix-cli tandemix-hash-bench >/dev/null
cli="$repo/build/release/cli/tandemix-cli"
"$repo/build/release/bench/tandemix-hash-bench" | sed 's/^/hash: /'

echo "== inputs"
old=$(npm_package date-fns 2.29.3)/package
new=$(npm_package date-fns 2.30.0)/package
python=${PYTHON_LIB:-$(ls -d /usr/lib/python3.[0-9]* 2>/dev/null | sort -V | tail -n 1)}
[[ -d $python ]] || die "no Python library folder; set PYTHON_LIB"

make_work folder-bench
cp -r "$old" "$work/touched"
find "$work/touched" -exec touch -d '2030-01-01 12:00' {} +
cp -r "$python" "$work/python"
out="$work/out"
mkdir "$out"
echo "date-fns: $(find "$old" -type f | wc -l) and $(find "$new" -type f | wc -l) files;" \
    "python: $python, $(find "$python" -type f | wc -l) files"

# The difference count of one comparison by content.
differences() {
    local line status=0
    line=$("$cli" --folder-contents -o "$out" "$1" "$2" 2>/dev/null | head -n 1) || status=$?
    ((status <= 1)) || die "tandemix-cli exited with $status on $1 $2"
    case $line in
        "Ergebnis: Keine Unterschiede") echo 0 ;;
        "Ergebnis: "*" Unterschiede") line=${line#Ergebnis: }; echo "${line% Unterschiede}" ;;
        *) die "unexpected result line: $line" ;;
    esac
}

echo "== differences"
differing=$(LC_ALL=C diff -rq "$old" "$new" | grep -c ' differ$' || true)
only=$(LC_ALL=C diff -rq "$old" "$new" | grep -c '^Only in ' || true)
found=$(differences "$old" "$new")
printf '  %-44s %8s  diff -rq %6s differ, %s only on one side\n' "date-fns 2.29.3 vs 2.30.0" \
    "$found" "$differing" "$only"
target "date-fns differences >= diff -rq's $differing" "$found" "$found >= $differing"
found=$(differences "$old" "$work/touched")
target "date-fns vs a copy with other times: 0 differences" "$found" "$found == 0"

echo "== whole run, --folder-contents, against diff -rq (best of $runs, warm cache)"
speed() {
    local name=$1 a=$2 b=$3 ours theirs ratio
    ours=$(best_time "$cli" --folder-contents -q -o "$out" "$a" "$b")
    theirs=$(best_time diff -rq "$a" "$b")
    ratio=$(calc "$ours / ($theirs > 0 ? $theirs : 0.001)")
    printf '  %-44s %7s s  diff -rq %7s s\n' "$name" "$ours" "$theirs"
    target "$name: time / diff -rq's <= 2" "$ratio" "$ratio <= 2"
}
speed "date-fns 2.29.3 vs 2.30.0" "$old" "$new"
speed "python library vs a copy" "$python" "$work/python"

echo
if ((failures > 0)); then
    echo "$failures target(s) missed"
else
    echo "all targets met"
fi
