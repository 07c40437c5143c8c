#!/usr/bin/env bash
# Builds the benchmark programs, generates inputs in a temporary folder and prints a report
# of timings against their targets. A missed target is reported, not fatal; a crash is.
#
# Set TANDEMIX_BENCH_TIMER=bash to time processes with bash's `time` even when
# /usr/bin/time (Debian package "time") is installed.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
runs=3

build_release

make_work bench

if [[ ${TANDEMIX_BENCH_TIMER:-} != bash && -x /usr/bin/time ]] &&
    /usr/bin/time -f '%e %M' -o /dev/null true 2>/dev/null; then
    gnu_time=1
else
    gnu_time=0
fi

# The figures line of one in-process measurement; any failure ends the report.
run_bench() {
    local out status=0
    out=$("$bench" "$@") || status=$?
    ((status == 0)) || die "tandemix-bench $* exited with status $status"
    echo "$out"
}

# Times a whole process: sets wall_s and peak_kib (empty when unknown). Standard output goes
# to the file OUT. Statuses in OK (space-separated) count as success, since diff reports
# differences with status 1.
time_process() {
    local out=$1 ok=$2 status=0
    shift 2
    if ((gnu_time)); then
        /usr/bin/time -f '%e %M' -o "$work/time" "$@" >"$out" || status=$?
        # A non-zero status puts a note before the figures: the figures are the last line.
        read -r wall_s peak_kib < <(tail -n 1 "$work/time")
    else
        local TIMEFORMAT='%3R'
        { time "$@" >"$out" 2>&3 || status=$?; } 3>&2 2>"$work/time"
        wall_s=$(tail -n 1 "$work/time")
        peak_kib=""
    fi
    [[ " $ok " == *" $status "* ]] || die "'$*' exited with status $status"
}

# Wall seconds of a shell pipeline, which /usr/bin/time cannot wrap as a single command.
time_pipeline() {
    local start=$EPOCHREALTIME
    eval "$1" || die "'$1' failed"
    calc "$EPOCHREALTIME - $start"
}

echo
echo "== machine"
echo "nproc=$(nproc)  $(uname -srm)"
if ((gnu_time)); then
    echo "whole-process timing: /usr/bin/time -f '%e %M'"
else
    echo "whole-process timing: bash time; peak memory from the program's own getrusage figure"
fi
echo "every timing is the best of $runs runs"

# shellcheck disable=SC2317  # called through a variable
gen_disjoint() { "$gen" disjoint "$1" "$2" "$3"; }
# shellcheck disable=SC2317
gen_vocab5() { "$gen" vocab "$1" 5 "$2" "$3"; }

# Aligns generated pairs of two sizes: the time must stay low and grow about linearly.
scaling() {
    local generate=$1 small=$2 large=$3 size line t best_small="" best_large=""
    local -a times
    for size in "$small" "$large"; do
        "$generate" "$size" "$work/a" "$work/b" || die "generator failed"
        times=()
        for ((r = 0; r < runs; r++)); do
            line=$(run_bench align "$work/a" "$work/b")
            t=$(field align_s "$line")
            times+=("$t")
        done
        t=$(min_of "${times[@]}")
        printf '  %7d lines each: load %.3f s  align %.4f s  rows %s  peak %s MiB\n' "$size" \
            "$(field load_s "$line")" "$t" "$(field rows "$line")" "$(field peak_rss_mib "$line")"
        if [[ $size == "$small" ]]; then best_small=$t; else best_large=$t; fi
    done
    target "align time, $small lines (s) < 0.5" "$(calc "$best_small")" "$best_small < 0.5"
    local ratio
    ratio=$(calc "$best_large / ($best_small > 0 ? $best_small : 1e-9)")
    target "align time ratio ${large}/${small} <= 2.3" "$ratio" "$ratio <= 2.3"
}

echo
echo "== disjoint: no line in common"
scaling gen_disjoint 100000 200000

echo
echo "== vocabulary: every line one of 5"
scaling gen_vocab5 100000 200000

echo
echo "== edited: 1,000,000 lines, 1% changed/inserted/deleted"
"$gen" edited 1000000 "$work/a" "$work/b" || die "generator failed"
size_a=$(stat -c %s "$work/a")
size_b=$(stat -c %s "$work/b")
combined=$((size_a + size_b))
printf '  inputs: %s + %s lines, %.1f + %.1f MB\n' "$(wc -l <"$work/a")" "$(wc -l <"$work/b")" \
    "$(calc "$size_a / 1e6")" "$(calc "$size_b / 1e6")"
ours=()
theirs=()
peaks=()
for ((r = 0; r < runs; r++)); do
    # Alternating the two programs exposes them to the same machine conditions.
    time_process "$work/figures" 0 "$bench" align "$work/a" "$work/b"
    ours+=("$wall_s")
    line=$(<"$work/figures")
    if [[ -n $peak_kib ]]; then
        peaks+=("$peak_kib")
    else
        peak_kib=$(field peak_rss_mib "$line")
        peaks+=("$(calc "$peak_kib * 1024")")
    fi
    time_process /dev/null "0 1" diff "$work/a" "$work/b"
    theirs+=("$wall_s")
done
best_ours=$(min_of "${ours[@]}")
best_diff=$(min_of "${theirs[@]}")
peak_mib=$(calc "$(max_of "${peaks[@]}") / 1024")
limit_mib=$(calc "3 * $combined / 1048576")
printf '  tandemix-bench (last run): load %.3f s  align %.3f s  rows %s  changed %s  deleted %s  added %s\n' \
    "$(field load_s "$line")" "$(field align_s "$line")" "$(field rows "$line")" \
    "$(field changed "$line")" "$(field deleted "$line")" "$(field added "$line")"
printf '  whole process: tandemix-bench %.2f s   GNU diff %.2f s   (runs: %s | %s)\n' \
    "$best_ours" "$best_diff" "${ours[*]}" "${theirs[*]}"
ratio=$(calc "$best_ours / ($best_diff > 0 ? $best_diff : 0.01)")
target "load+align time / diff time < 1" "$ratio" "$ratio < 1"
target "peak memory (MiB) < 3 x inputs = $limit_mib" "$peak_mib" "$peak_mib < $limit_mib"
# The lines of both inputs and the rows of both sides, texts aside, per row.
bytes_per_row=$(field bytes_per_row "$line")
target "input and result lines, bytes per row <= 48" "$bytes_per_row" "$bytes_per_row <= 48"

echo
echo "== end to end: tandemix-cli on the same pair, report written"
mkdir -p "$work/report"
rows=$(field rows "$line")
# end_to_end NAME ARGS...: runs tandemix-cli with ARGS and GNU diff on the last two, by turns,
# and sets best_ours, best_diff (seconds) and peak_ours, peak_diff (KiB, empty when unknown).
end_to_end() {
    local name=$1
    shift
    local -a ours=() theirs=() ours_peaks=() diff_peaks=()
    local files=("${@: -2}")
    for ((r = 0; r < runs; r++)); do
        time_process /dev/null "0 1" "$cli" -q -o "$work/report" "$@"
        ours+=("$wall_s")
        ours_peaks+=("${peak_kib:-0}")
        time_process /dev/null "0 1" diff "${files[@]}"
        theirs+=("$wall_s")
        diff_peaks+=("${peak_kib:-0}")
    done
    best_ours=$(min_of "${ours[@]}")
    best_diff=$(min_of "${theirs[@]}")
    peak_ours=""
    peak_diff=""
    if ((gnu_time)); then
        peak_ours=$(max_of "${ours_peaks[@]}")
        peak_diff=$(max_of "${diff_peaks[@]}")
    fi
    printf '  %s: tandemix-cli %.2f s   GNU diff %.2f s   (runs: %s | %s)\n' "$name" \
        "$best_ours" "$best_diff" "${ours[*]}" "${theirs[*]}"
    if [[ -n $peak_ours ]]; then
        printf '  %s: peak memory tandemix-cli %.1f MiB   GNU diff %.1f MiB\n' "$name" \
            "$(calc "$peak_ours / 1024")" "$(calc "$peak_diff / 1024")"
    fi
}
end_to_end "1M-line pair" "$work/a" "$work/b"
report_mb=$(calc "$(cat "$work/report/"*.htm | wc -c) / 1e6")
printf '  report: %.0f MB of pages\n' "$report_mb"
ratio=$(calc "$best_ours / ($best_diff > 0 ? $best_diff : 0.01)")
target "cli time / diff time <= 1.2" "$ratio" "$ratio <= 1.2"
if [[ -n $peak_ours ]]; then
    peak_mib=$(calc "$peak_ours / 1024")
    limit_mib=$(calc "1.6 * $combined / 1048576")
    target "cli peak memory (MiB) < 1.6 x inputs = $limit_mib" "$peak_mib" "$peak_mib < $limit_mib"
    printf '  (cli peak - inputs) / rows: %.1f bytes per row, index and buffers included\n' \
        "$(calc "($peak_ours * 1024 - $combined) / $rows")"
fi

echo
echo "== tags: 10 MB of '>' broken after every tag, against itself with one more line first"
head -c 10000000 /dev/zero | tr '\0' '>' >"$work/tags-a"
{ echo x; cat "$work/tags-a"; } >"$work/tags-b"
end_to_end "10 MB of >" --break-after-tags "$work/tags-a" "$work/tags-b"
if [[ -n $peak_ours ]]; then
    peak_mb=$(calc "$peak_ours * 1024 / 1e6")
    target "cli peak memory (MB) < 600" "$peak_mb" "$peak_mb < 600"
fi
rm -f "$work/tags-a" "$work/tags-b"

echo
echo "== folder: 20,000 files"
"$gen" folder 20000 "$work/folder" || die "generator failed"
ours=()
theirs=()
for ((r = 0; r < runs; r++)); do
    line=$(run_bench folder "$work/folder")
    t=$(field folder_s "$line")
    ours+=("$t")
    t=$(time_pipeline "find '$work/folder' -printf '%T@ %p\n' | sort >/dev/null")
    theirs+=("$t")
done
best_ours=$(min_of "${ours[@]}")
best_find=$(min_of "${theirs[@]}")
printf '  LoadFolder %.4f s (%s lines)   find | sort %.4f s   ratio %s (no target)\n' \
    "$best_ours" "$(field lines "$line")" "$best_find" \
    "$(calc "$best_ours / ($best_find > 0 ? $best_find : 1e-9)")"

echo
echo "== summary: $((targets - failures)) of $targets targets met"
exit 0
