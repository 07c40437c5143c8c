#!/usr/bin/env bash
# The matching rules against GNU diff in one run: lines touched under -b and -w with the
# minimal alignment on real pairs (adjacent npm releases, fetched once into the cache
# folder), two generated 1,000,000-line logs that differ in a time stamp on every line, and
# a hostile pattern. Prints the figures and whether each target is met; a missed target is
# reported, not fatal; a crash is.
#
# Lines touched as in quality_bench.sh: GNU diff's "<" plus ">" lines; ours added + deleted
# + 2 x changed rows. Empty lines are kept on our side so that both compare the same lines.
# Timings are the best of TANDEMIX_BENCH_RUNS runs (default 3), the runs taking turns.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
runs=${TANDEMIX_BENCH_RUNS:-3}

command -v npm >/dev/null || die "npm is needed to fetch the real inputs"
command -v diff >/dev/null || die "GNU diff is the baseline"

build_release
make_work ignore
mkdir "$work/report"

echo
echo "== machine"
echo "nproc=$(nproc)  $(uname -srm)  load: $(cut -d ' ' -f 1-3 /proc/loadavg)"

fetch() {
    local folder
    folder=$(npm_package "$1" "$2")
    echo "$folder/package/$3"
}

gnu_touched() {
    { diff "$@" || [[ $? == 1 ]]; } | grep -c '^[<>]' || true
}

# touched FLAG RULE A B: our lines touched under the minimal alignment and the blank rule.
blank_rules() {
    local title=$1 a=$2 b=$3 flag rule gnu ours limit
    echo
    echo "== $title"
    for flag in -b -w; do
        rule=$([[ $flag == -b ]] && echo space-change || echo all-space)
        gnu=$(gnu_touched "$flag" "$a" "$b")
        ours=$(field touched "$("$bench" align "$a" "$b" minimal keep-empty "$rule")")
        limit=$(calc "1.02 * $gnu")
        printf '  diff %s: %s lines touched; minimal %s: %s\n' "$flag" "$gnu" "$flag" "$ours"
        target "minimal $flag touched <= 1.02 x diff $flag = $limit" "$ours" "$ours <= $limit"
    done
}

blank_rules "typescript 5.3.3 -> 5.4.5, lib/typescript.js" \
    "$(fetch typescript 5.3.3 lib/typescript.js)" "$(fetch typescript 5.4.5 lib/typescript.js)"
blank_rules "jquery 3.6.0 -> 3.7.1, dist/jquery.js" \
    "$(fetch jquery 3.6.0 dist/jquery.js)" "$(fetch jquery 3.7.1 dist/jquery.js)"
blank_rules "lodash 4.17.20 -> 4.17.21, lodash.js" \
    "$(fetch lodash 4.17.20 lodash.js)" "$(fetch lodash 4.17.21 lodash.js)"

# Two logs of the same events, an hour and some milliseconds apart on every line.
echo
echo "== generated: two 1,000,000-line logs, a time stamp differs on every line"
log() {
    awk -v shift="$1" 'BEGIN {
        for (i = 0; i < 1000000; i++) {
            t = i + shift
            printf "%02d:%02d:%02d.%03d worker-%d request %d handled, %d bytes\n",
                int(t / 3600) % 24, int(t / 60) % 60, t % 60, (i * 7 + shift) % 1000,
                i % 8, i, (i * 37) % 5000
        }
    }'
}
log 0 >"$work/log1"
log 3600 >"$work/log2"
pattern='[0-9]{2}:[0-9]{2}:[0-9]{2}(\.[0-9]+)?'
status=0
"$cli" -q --ignore-matching "$pattern" -o "$work/report" "$work/log1" "$work/log2" || status=$?
target "differences with the pattern (exit status 0)" "$status" "$status == 0"
declare -a plain_t ignoring_t diff_t
for ((r = 0; r < runs; r++)); do
    plain_t+=("$(runs=1 best_time "$cli" -q -o "$work/report" "$work/log1" "$work/log2")")
    ignoring_t+=("$(runs=1 best_time "$cli" -q --ignore-matching "$pattern" -o "$work/report" \
        "$work/log1" "$work/log2")")
    diff_t+=("$(runs=1 best_time diff -I '[0-9][0-9]:[0-9][0-9]:[0-9][0-9]' "$work/log1" \
        "$work/log2")")
done
plain=$(min_of "${plain_t[@]}")
ignoring=$(min_of "${ignoring_t[@]}")
printf '  best s: without the option %s, with it %s; diff -I %s\n' "$plain" "$ignoring" \
    "$(min_of "${diff_t[@]}")"
printf '  runs (s): without %s | with %s | diff -I %s\n' "${plain_t[*]}" "${ignoring_t[*]}" \
    "${diff_t[*]}"
limit=$(calc "2 * $plain")
target "whole run with the pattern (s) <= 2 x without = $limit" "$ignoring" "$ignoring <= $limit"

echo
echo "== hostile pattern: (a+)+\$ over 50,000 a then b"
{ printf 'a%.0s' $(seq 50000); echo b; } >"$work/hostile1"
echo b >"$work/hostile2"
# A short run: the best of ten, since a loaded machine's noise is as large as the run.
hostile=$(runs=10 best_time "$cli" -q --ignore-matching '(a+)+$' -o "$work/report" \
    "$work/hostile1" "$work/hostile2")
gnu_hostile=$(runs=1 best_time timeout 10 diff -I '\(a\+\)\+$' "$work/hostile1" "$work/hostile2")
plain_hostile=$(runs=10 best_time "$cli" -q -o "$work/report" "$work/hostile1" "$work/hostile2")
printf '  whole run %s s (%s s without the pattern); diff -I the same: %s s (cut at 10 s)\n' \
    "$hostile" "$plain_hostile" "$gnu_hostile"
target "whole run with (a+)+\$ (s) < 0.1" "$hostile" "$hostile < 0.1"

echo
echo "== summary: $((targets - failures)) of $targets targets met"
exit 0
