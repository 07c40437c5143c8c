#!/usr/bin/env bash
# Builds the fuzz preset and runs each harness for a fixed time on a fresh copy of its seed
# corpus. A crash, a sanitizer report, a broken expectation, a leak or an input that takes
# longer than the time limit fails the run; the input that did it is kept in
# build/fuzz/runs/HARNESS/ and the last lines of the harness's output are shown.
#
#   fuzz/run_fuzzers.sh [SECONDS_PER_HARNESS [HARNESS...]]
#
# Without harness names every harness with a seed corpus in fuzz/corpus/ runs, one after
# the other.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
shift || true
if [[ $# -gt 0 ]]; then
    harnesses=("$@")
else
    harnesses=()
    for folder in fuzz/corpus/*/; do
        harnesses+=("$(basename "$folder")")
    done
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

runs=build/fuzz/runs
passed=0
failed=0
for harness in "${harnesses[@]}"; do
    work="$runs/$harness"
    rm -rf "$work"
    mkdir -p "$work/corpus"
    cp fuzz/corpus/"$harness"/* "$work/corpus/"
    log="$work/fuzz.log"
    echo "fuzzing $harness for $seconds s"
    # Every input stays small, so one that runs for 20 s hangs.
    if build/fuzz/fuzz/fuzz_"$harness" -max_total_time="$seconds" -max_len=4096 -timeout=20 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" \
        >"$log" 2>&1; then
        passed=$((passed + 1))
        executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
        inputs=$(find "$work/corpus" -type f | wc -l)
        echo "  $harness: $executions executions ($rate/s), corpus of $inputs inputs, nothing found"
    else
        failed=$((failed + 1))
        echo "  $harness FAILED; input and log in $work/" >&2
        tail -n 60 "$log" >&2
    fi
done
echo "fuzz: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
