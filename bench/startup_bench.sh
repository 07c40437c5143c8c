#!/usr/bin/env bash
# Start-up: how long a two-file run of two one-line files takes against GNU diff on the same
# files, for tools that start the program once per pair (git difftool -x, scripts). The two
# programs are run alternately so that both meet the same machine load; the medians count.
# Also counts the shared libraries the program loads for a file comparison.
#
# TANDEMIX_BENCH_CLI=PATH times that tandemix-cli instead of building the release preset;
# TANDEMIX_BENCH_RUNS sets the number of paired runs (default 300).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
runs=${TANDEMIX_BENCH_RUNS:-300}

if [[ -n ${TANDEMIX_BENCH_CLI:-} ]]; then
    cli=$TANDEMIX_BENCH_CLI
else
    build_release
fi
command -v diff >/dev/null || die "GNU diff (Debian package diffutils) is needed"

make_work startup
printf 'eins\n' >"$work/a"
printf 'zwei\n' >"$work/b"
mkdir "$work/out"
# The report is written durably (fsync); a folder in memory shows the run without the disk.
memory=""
if [[ -d /dev/shm && -w /dev/shm ]]; then
    memory=$(mktemp -d /dev/shm/tandemix-startup.XXXXXX)
    trap 'rm -rf "$work" "$memory"' EXIT
fi

# Appends the wall time of one run, in seconds, to the file NAME in the work folder. Status 1
# means "the inputs differ" to both programs.
timed() {
    local name=$1 start end status=0
    shift
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || status=$?
    end=$EPOCHREALTIME
    ((status <= 1)) || die "'$*' exited with status $status"
    echo "$start $end" >>"$work/$name"
}

# The median of the timings in the file NAME, in milliseconds.
median_ms() {
    awk '{ print ($2 - $1) * 1000 }' "$work/$1" | sort -g |
        awk '{ t[NR] = $1 } END { printf "%.2f", NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2 }'
}

# The shared objects a run loads, as the dynamic loader names them, one a line; the run's
# status does not matter here.
loaded_objects() {
    { LD_DEBUG=files "$@" 2>&1 >/dev/null || true; } |
        sed -nE 's/.*file=([^ ]+) +\[[0-9]+\]; +(needed by|dynamically loaded by|generating link map).*/\1/p' |
        sort -u
}

echo
echo "== machine"
echo "nproc=$(nproc)  $(uname -srm)  load: $(cut -d ' ' -f 1-3 /proc/loadavg)"
echo "$cli"
echo "every figure is the median of $runs runs, the programs taking turns"

compare=("$cli" -o "$work/out" "$work/a" "$work/b")
for ((r = 0; r < 10; r++)); do
    timed warm diff "$work/a" "$work/b"
    timed warm "${compare[@]}"
done
for ((r = 0; r < runs; r++)); do
    timed diff diff "$work/a" "$work/b"
    timed compare "${compare[@]}"
    timed version "$cli" --version
    if [[ -n $memory ]]; then
        timed memory "$cli" -o "$memory" "$work/a" "$work/b"
    fi
done

diff_ms=$(median_ms diff)
compare_ms=$(median_ms compare)
version_ms=$(median_ms version)
loaded_objects "${compare[@]}" >"$work/objects"
objects=$(grep -c . "$work/objects" || true)
curl_objects=$(grep -c -E 'libcurl|libssl|libcrypto|tandemix-web' "$work/objects" || true)

echo
echo "== two one-line files"
printf '  GNU diff                 %8.2f ms\n' "$diff_ms"
printf '  tandemix-cli A B         %8.2f ms\n' "$compare_ms"
if [[ -n $memory ]]; then
    printf '  the same, report in RAM  %8.2f ms\n' "$(median_ms memory)"
fi
printf '  tandemix-cli --version   %8.2f ms\n' "$version_ms"
printf '  shared objects loaded    %8d\n' "$objects"
ratio=$(calc "$compare_ms / $diff_ms")
target "two-file run / GNU diff <= 2" "$ratio" "$ratio <= 2"
target "web retrieval objects loaded by a file run = 0" "$curl_objects" "$curl_objects == 0"

echo
echo "$failures of $targets targets missed"
