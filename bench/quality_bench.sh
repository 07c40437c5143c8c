#!/usr/bin/env bash
# Compares the minimal alignment with the default greedy pass and with GNU diff, on real
# file pairs (adjacent npm releases, fetched once into a cache folder) and on generated
# pairs, and prints lines touched, times and peak memory against their targets. A missed
# target is reported, not fatal; a crash is.
#
# Lines touched: GNU diff's "<" plus ">" lines; for our passes added + deleted + 2 x changed
# rows, which counts the same lines. Empty lines are kept (--keep-empty-lines), so that all
# three compare the same lines. Every timing is the best of TANDEMIX_BENCH_RUNS runs
# (default 5; three times as many for small pairs), the programs taking turns. The memory
# target is the peak of loading and aligning, above that of two empty inputs; the whole
# process's peak, which holds the report pages too, is shown beside it.
#
# The downloads go to TANDEMIX_BENCH_CACHE, by default build/bench-cache, which git ignores.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
runs=${TANDEMIX_BENCH_RUNS:-5}

command -v npm >/dev/null || die "npm is needed to fetch the real inputs"
command -v diff >/dev/null || die "GNU diff is the baseline"
/usr/bin/time -f '%e %M' -o /dev/null true 2>/dev/null ||
    die "/usr/bin/time is needed for peak memory (Debian package \"time\")"

build_release

make_work quality
mkdir "$work/report"

# Prints the path of FILE (a path inside the package) from the npm package PACKAGE@VERSION.
fetch() {
    local folder
    folder=$(npm_package "$1" "$2")
    echo "$folder/package/$3"
}

# Times a whole process: sets wall_s and peak_kib. Statuses in OK count as success.
time_process() {
    local ok=$1 status=0
    shift
    /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null || status=$?
    [[ " $ok " == *" $status "* ]] || die "'$*' exited with status $status"
    # A non-zero status puts a note before the figures: the figures are the last line.
    read -r wall_s peak_kib < <(tail -n 1 "$work/time")
}

echo
echo "== machine"
echo "nproc=$(nproc)  $(uname -srm)  load: $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo "every time is the best of $runs runs (small pairs: $((3 * runs))); peak memory is the most"

# What the program holds before it reads a line: the memory target counts above it.
: >"$work/empty"
base_mib=$(field peak_rss_mib "$("$bench" align "$work/empty" "$work/empty" minimal)")
printf 'tandemix-bench on two empty inputs: peak %.1f MiB\n' "$base_mib"

# Measures one pair and prints its figures and targets. SPEED is "relative" (the minimal
# pass's whole process within 1.25 x the greedy one's) or a bound in seconds.
measure() {
    local title=$1 a=$2 b=$3 speed=$4 quality=$5
    local lines_a lines_b bytes gnu_lines greedy minimal r count=$runs
    local -a diff_t greedy_t minimal_t greedy_peak minimal_peak diff_peak greedy_align minimal_align
    local -a greedy_mem minimal_mem
    lines_a=$(wc -l <"$a")
    lines_b=$(wc -l <"$b")
    bytes=$(($(stat -c %s "$a") + $(stat -c %s "$b")))
    # Small pairs take a tenth of a second, where a busy machine's noise weighs most.
    if ((bytes < 5000000)); then
        count=$((3 * runs))
    fi
    echo
    echo "== $title"
    printf '  inputs: %s / %s lines, %.1f MB together\n' "$lines_a" "$lines_b" "$(calc "$bytes / 1e6")"

    gnu_lines=$({ diff "$a" "$b" || [[ $? == 1 ]]; } | grep -c '^[<>]' || true)
    for ((r = 0; r < count; r++)); do
        time_process "0 1" diff "$a" "$b"
        diff_t+=("$wall_s")
        diff_peak+=("$peak_kib")
        time_process "0 1" "$cli" -q --keep-empty-lines -o "$work/report" "$a" "$b"
        greedy_t+=("$wall_s")
        greedy_peak+=("$peak_kib")
        time_process "0 1" "$cli" -q --keep-empty-lines --alignment minimal -o "$work/report" \
            "$a" "$b"
        minimal_t+=("$wall_s")
        minimal_peak+=("$peak_kib")
        greedy=$("$bench" align "$a" "$b" greedy keep-empty) || die "tandemix-bench failed"
        greedy_align+=("$(field align_s "$greedy")")
        greedy_mem+=("$(field peak_rss_mib "$greedy")")
        minimal=$("$bench" align "$a" "$b" minimal keep-empty) || die "tandemix-bench failed"
        minimal_align+=("$(field align_s "$minimal")")
        minimal_mem+=("$(field peak_rss_mib "$minimal")")
    done

    local best_diff best_greedy best_minimal
    best_diff=$(min_of "${diff_t[@]}")
    best_greedy=$(min_of "${greedy_t[@]}")
    best_minimal=$(min_of "${minimal_t[@]}")
    local peak_minimal
    peak_minimal=$(max_of "${minimal_peak[@]}")
    # Align: load and align in one process (tandemix-bench); process: the whole command
    # line run, report pages written.
    printf '  %-17s %8s %10s %11s %11s %12s\n' "" "touched" "align s" "process s" \
        "align MiB" "process MiB"
    printf '  %-17s %8s %10s %11.2f %11s %12.1f\n' "GNU diff" "$gnu_lines" "-" "$best_diff" \
        "-" "$(calc "$(max_of "${diff_peak[@]}") / 1024")"
    printf '  %-17s %8s %10.4f %11.2f %11.1f %12.1f\n' "greedy (default)" \
        "$(field touched "$greedy")" "$(min_of "${greedy_align[@]}")" "$best_greedy" \
        "$(max_of "${greedy_mem[@]}")" "$(calc "$(max_of "${greedy_peak[@]}") / 1024")"
    printf '  %-17s %8s %10.4f %11.2f %11.1f %12.1f\n' "minimal" "$(field touched "$minimal")" \
        "$(min_of "${minimal_align[@]}")" "$best_minimal" "$(max_of "${minimal_mem[@]}")" \
        "$(calc "$peak_minimal / 1024")"
    printf '  runs (s): diff %s | greedy %s | minimal %s\n' "${diff_t[*]}" "${greedy_t[*]}" \
        "${minimal_t[*]}"

    if [[ $quality == yes ]]; then
        local limit
        limit=$(calc "1.02 * $gnu_lines")
        target "minimal lines touched <= 1.02 x GNU diff = $limit" "$(field touched "$minimal")" \
            "$(field touched "$minimal") <= $limit"
    fi
    if [[ $speed == relative ]]; then
        local limit
        limit=$(calc "1.25 * $best_greedy")
        target "minimal process (s) <= 1.25 x greedy = $limit" "$best_minimal" \
            "$best_minimal <= $limit"
    else
        target "minimal process (s) < $speed" "$best_minimal" "$best_minimal < $speed"
    fi
    local net limit_mib
    net=$(calc "$(max_of "${minimal_mem[@]}") - $base_mib")
    limit_mib=$(calc "3 * $bytes / 1048576")
    target "minimal align peak over empty (MiB) < 3 x inputs = $limit_mib" "$net" \
        "$net < $limit_mib"
}

ts1=$(fetch typescript 5.3.3 lib/typescript.js)
ts2=$(fetch typescript 5.4.5 lib/typescript.js)
jq1=$(fetch jquery 3.6.0 dist/jquery.js)
jq2=$(fetch jquery 3.7.1 dist/jquery.js)
lo1=$(fetch lodash 4.17.20 lodash.js)
lo2=$(fetch lodash 4.17.21 lodash.js)

"$gen" edited 1000000 "$work/edited1" "$work/edited2" || die "generator failed"
"$gen" disjoint 100000 "$work/disjoint1" "$work/disjoint2" || die "generator failed"
"$gen" vocab 100000 5 "$work/vocab1" "$work/vocab2" || die "generator failed"

measure "typescript 5.3.3 -> 5.4.5, lib/typescript.js" "$ts1" "$ts2" relative yes
measure "jquery 3.6.0 -> 3.7.1, dist/jquery.js" "$jq1" "$jq2" relative yes
measure "lodash 4.17.20 -> 4.17.21, lodash.js" "$lo1" "$lo2" relative yes
measure "generated: 1,000,000 lines, 1% changed/inserted/deleted" \
    "$work/edited1" "$work/edited2" relative yes
measure "generated: 100,000 lines each, no line in common" \
    "$work/disjoint1" "$work/disjoint2" 0.5 no
measure "generated: 100,000 lines each, every line one of 5" \
    "$work/vocab1" "$work/vocab2" 0.5 no

echo
echo "== summary: $((targets - failures)) of $targets targets met"
exit 0
