#!/usr/bin/env bash
# The tree comparison against the tools people use for it, on three pairs of folders: the
# date-fns 2.29.3 and 2.30.0 package trees, Debian's Python standard library against
# another build of it, and a generated pair of 100,000 files with 1,000 changed. For each
# pair, from one run on one machine (Release build, warm cache, each time the best of
# `runs`, the two commands of a comparison taking turns):
#   - `--brief` against `diff -rq`: the same entries (a moved file counts as its two
#     "Only in" lines) in at most 0.8 x its time;
#   - the whole `--report single --alignment minimal` run against `diff -ruN`: at most
#     1.0 x its time, peak memory at most 2 x the largest changed pair's bytes + 64 MB,
#     the report at most 1.2 x the bytes of the changed and one-sided text files + 300
#     bytes per entry; `git diff --no-index --stat`'s time beside;
#   - the report in headless Chromium from file:// at 1400x900 (single_report_bench.js
#     tree): tree and first file's rows within 1.0 s (1.5 s for the generated pair), the
#     next file within 100 ms.
# A report that is not a tree report (no tandemix-tree-shown mark in it), or a run that
# fails, gives "n/a" for its figures. Missed targets are reported, not fatal.
#
# Inputs are fetched once into TANDEMIX_BENCH_CACHE (default build/bench-cache), outside
# git: the npm packages with `npm pack`, the other Python build with `apt-get download` of
# the Debian packages that own the installed library's files (another version where the
# archive has one) and `dpkg-deb -x`. PYTHON_LIB names the installed library folder
# (default /usr/lib/python3.11); NEXT_FILE_KEY the report's next-file key (default "N", which Shift+N gives).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
runs=${TANDEMIX_BENCH_RUNS:-3}
not_measured=0

echo "== building (release preset)"
cmake --preset release >/dev/null
cmake --build --preset release --target tandemix-cli >/dev/null
cli="$repo/build/release/cli/tandemix-cli"

# --- inputs ---

# Prints the folder holding another build of the installed Python library at usr/lib/NAME,
# fetching it the first time.
other_python() {
    local lib=$1 name folder pkg installed version
    name=$(basename "$lib")
    folder="$cache/$name-other"
    if [[ ! -d $folder/tree/usr/lib/$name ]]; then
        command -v apt-get >/dev/null && command -v dpkg-deb >/dev/null || return 1
        rm -rf "$folder" && mkdir -p "$folder/debs"
        for pkg in $(find "$lib" -type f ! -path '*/__pycache__/*' -print0 |
            xargs -0 dpkg -S 2>/dev/null | cut -d: -f1 | sort -u); do
            installed=$(dpkg-query -W -f '${Version}' "$pkg" 2>/dev/null || true)
            version=$(apt-cache madison "$pkg" | awk -F '|' -v v="$installed" \
                '{ gsub(/ /, "", $2) } $2 != v { print $2; exit }')
            (cd "$folder/debs" && apt-get download -q "$pkg${version:+=$version}" >/dev/null 2>&1) ||
                return 1
        done
        for deb in "$folder"/debs/*.deb; do
            dpkg-deb -x "$deb" "$folder/tree"
        done
    fi
    echo "$folder/tree/usr/lib/$name"
}

# The folder itself, or a copy without site-packages and dist-packages where it has them.
without_packages() {
    local lib=$1 copy=$2
    if [[ -e $lib/site-packages || -e $lib/dist-packages ]]; then
        cp -a "$lib" "$copy"
        rm -rf "$copy/site-packages" "$copy/dist-packages"
        echo "$copy"
    else
        echo "$lib"
    fi
}

echo "== inputs"
make_work tree-bench
pairs=()
old=$(npm_package date-fns 2.29.3)/package
new=$(npm_package date-fns 2.30.0)/package
pairs+=("date-fns 2.29.3 vs 2.30.0|$old|$new|1.0")
python=${PYTHON_LIB:-/usr/lib/python3.11}
if [[ -d $python ]] && other=$(other_python "$python"); then
    pairs+=("Python library: Debian's vs another build|$(without_packages "$python" "$work/py1")|$(
        without_packages "$other" "$work/py2")|1.0")
    echo "python: $python against $other, from: $(cd "$cache/$(basename "$python")-other/debs" && echo *.deb)"
else
    echo "python: no $python or no Debian packages to fetch; that pair is left out"
fi
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
pairs+=("generated, 100,000 files, 1,000 changed|$work/gen1|$work/gen2|1.5")

browser=0
if [[ -x /usr/bin/chromium ]] && command -v node >/dev/null &&
    (cd "$repo/tests/browser" && npm ci --no-audit --no-fund --silent >/dev/null 2>&1); then
    browser=1
fi

# --- helpers ---

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

# The CPU time (user and system) the shell's children have used so far, in seconds: cpu_now.
# Not in a subshell, whose children these are not.
children_cpu() {
    times >"$work/times"
    cpu_now=$(awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/)
                             printf "%.4f", u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$work/times")
}

# Best wall times of two commands (each given as one string) taking turns, after one
# warm-up run of each, and their least CPU times, a steadier figure on a busy machine:
# "TIME1 TIME2 CPU1 CPU2".
paired() {
    local first=() second=() first_cpu=() second_cpu=() r start cpu
    eval "$1" >/dev/null 2>&1 || true
    eval "$2" >/dev/null 2>&1 || true
    for ((r = 0; r < runs; r++)); do
        children_cpu && cpu=$cpu_now start=$EPOCHREALTIME
        eval "$1" >/dev/null 2>&1 || true
        first+=("$(calc "$EPOCHREALTIME - $start")") && children_cpu
        first_cpu+=("$(calc "$cpu_now - $cpu")")
        children_cpu && cpu=$cpu_now start=$EPOCHREALTIME
        eval "$2" >/dev/null 2>&1 || true
        second+=("$(calc "$EPOCHREALTIME - $start")") && children_cpu
        second_cpu+=("$(calc "$cpu_now - $cpu")")
    done
    echo "$(min_of "${first[@]}") $(min_of "${second[@]}") $(min_of "${first_cpu[@]}")" \
        "$(min_of "${second_cpu[@]}")"
}

# A target that could not be measured: printed, and counted apart from the missed ones.
unmeasured() {
    not_measured=$((not_measured + 1))
    printf '  target: %-52s %12s  %s\n' "$1" "n/a" "$2"
}

# From --brief's lines in the file BRIEF: the entries of both trees, the largest changed pair's
# bytes, and the bytes of the changed and one-sided text files (no NUL in the first 8 KiB),
# as "entries=N largest=N text=N".
sizes() {
    python3 - "$1" "$2" "$3" <<'PY'
import os, sys
tops = sys.argv[1:3]
def unescape(path):
    out, i = [], 0
    while i < len(path):
        if path[i] == "\\" and i + 1 < len(path):
            out.append({"t": "\t", "n": "\n", "\\": "\\"}.get(path[i + 1], path[i + 1]))
            i += 2
        else:
            out.append(path[i])
            i += 1
    return "".join(out)
def files(path):
    if os.path.isdir(path):
        for folder, _, names in os.walk(path):
            for name in names:
                yield os.path.join(folder, name)
    elif os.path.isfile(path):
        yield path
def text_bytes(path):
    with open(path, "rb") as f:
        return 0 if b"\0" in f.read(8192) else os.path.getsize(path)
names = set()
for side, top in enumerate(tops):
    for folder, subfolders, others in os.walk(top):
        for name in subfolders + others:
            names.add(os.path.relpath(os.path.join(folder, name), top))
largest = text = 0
with open(sys.argv[3], "rb") as brief:
    lines = brief.read().decode("utf-8", "surrogateescape").splitlines()
for line in lines:
    word, *paths = line.split("\t")
    paths = [unescape(p) for p in paths]
    if word == "geändert":
        pair = [os.path.join(top, paths[0]) for top in tops]
        if all(os.path.isfile(p) for p in pair):
            largest = max(largest, sum(os.path.getsize(p) for p in pair))
        text += sum(text_bytes(f) for p in pair for f in files(p))
    elif word in ("nur-in-1", "nur-in-2"):
        text += sum(text_bytes(f) for f in files(os.path.join(tops[int(word[-1]) - 1], paths[0])))
    elif word == "verschoben":
        text += sum(text_bytes(f) for f in files(os.path.join(tops[0], paths[0])))
print(f"entries={len(names)} largest={largest} text={text}")
PY
}

# --- one pair ---

compare() {
    local name=$1 a=$2 b=$3 open_limit=$4 ours theirs ratio figures report status
    echo
    echo "== $name"
    echo "  1: $a"
    echo "  2: $b"
    ours=$("$cli" --brief "$a" "$b") || true
    theirs=$(diff -rq "$a" "$b") || true
    printf '  diff -rq %s lines; --brief %s lines, %s of them moves\n' "$(wc -l <<<"$theirs")" \
        "$(wc -l <<<"$ours")" "$(grep -c '^verschoben' <<<"$ours" || true)"
    if [[ "$(without_moves <<<"$ours")" == "$(from_diff "$a" "$b" <<<"$theirs")" ]]; then
        target "--brief: the entries of diff -rq" "same" "1"
    else
        target "--brief: the entries of diff -rq" "other" "0"
    fi
    local ours_time theirs_time ours_cpu theirs_cpu
    read -r ours_time theirs_time ours_cpu theirs_cpu < <(paired "'$cli' --brief '$a' '$b'" \
        "diff -rq '$a' '$b'")
    ratio=$(calc "$ours_time / ($theirs_time > 0 ? $theirs_time : 0.001)")
    printf '  --brief %.3f s (CPU %.3f s)   diff -rq %.3f s (CPU %.3f s)\n' "$ours_time" "$ours_cpu" \
        "$theirs_time" "$theirs_cpu"
    target "--brief: time / diff -rq's <= 0.8" "$ratio" "$ratio <= 0.8"

    printf '%s\n' "$ours" >"$work/brief"
    figures=$(sizes "$a" "$b" "$work/brief")
    local entries largest text memory_limit bytes_limit
    entries=$(field entries "$figures")
    largest=$(field largest "$figures")
    text=$(field text "$figures")
    memory_limit=$(printf "%.1f" "$(calc "(2 * $largest + 64 * 1048576) / 1048576")")
    bytes_limit=$(calc "1.2 * $text + 300 * $entries")
    printf '  %s entries; changed and one-sided text files %s bytes; largest changed pair %s bytes\n' \
        "$entries" "$text" "$largest"

    report="$work/report"
    rm -rf "$report" && mkdir -p "$report"
    status=0
    /usr/bin/time -f '%M' -o "$work/peak" "$cli" -q --report single --alignment minimal \
        -o "$report" "$a" "$b" >/dev/null 2>"$work/stderr" || status=$?
    local page="$report/Tandemix-Bericht.html" run_time diff_time git_time peak
    git_time=$(best_time git diff --no-index --stat "$a" "$b")
    if ((status > 1)) || [[ ! -f $page ]] || ! grep -q 'tandemix-tree-shown' "$page"; then
        diff_time=$(best_time diff -ruN "$a" "$b")
        printf '  report run n/a (status %s, no tree report)   diff -ruN %.3f s   git diff --no-index --stat %.3f s\n' \
            "$status" "$diff_time" "$git_time"
        unmeasured "report run: time / diff -ruN's <= 1.0" "no tree report"
        unmeasured "report run: peak memory <= $memory_limit MiB" "no tree report"
        unmeasured "report: bytes <= $(printf '%.0f' "$bytes_limit")" "no tree report"
        unmeasured "browser: tree and first rows <= $open_limit s" "no tree report"
        unmeasured "browser: next file <= 100 ms" "no tree report"
        return
    fi
    local run_cpu diff_cpu
    read -r run_time diff_time run_cpu diff_cpu < <(paired \
        "'$cli' -q --report single --alignment minimal -o '$report' '$a' '$b'" "diff -ruN '$a' '$b'")
    # time's last line: before it stands a line on the exit status 1 of a run with differences.
    peak=$(calc "$(tail -n 1 "$work/peak") / 1024")
    printf '  report run %.3f s (CPU %.3f s)   diff -ruN %.3f s (CPU %.3f s)   git diff --no-index --stat %.3f s\n' \
        "$run_time" "$run_cpu" "$diff_time" "$diff_cpu" "$git_time"
    ratio=$(calc "$run_time / ($diff_time > 0 ? $diff_time : 0.001)")
    target "report run: time / diff -ruN's <= 1.0" "$ratio" "$ratio <= 1.0"
    target "report run: peak memory <= $memory_limit MiB" "$peak" "$peak <= $memory_limit"
    bytes=$(stat -c %s "$page")
    target "report: bytes <= $(printf '%.0f' "$bytes_limit")" "$bytes" "$bytes <= $bytes_limit"
    if ((browser == 0)); then
        unmeasured "browser: tree and first rows <= $open_limit s" "no Chromium or node"
        unmeasured "browser: next file <= 100 ms" "no Chromium or node"
        return
    fi
    figures=$(node "$repo/bench/single_report_bench.js" tree "$page" "${NEXT_FILE_KEY:-N}" || true)
    echo "  browser: $figures"
    if [[ $figures == *failure=* || $figures != *next_file_ms=* ]]; then
        unmeasured "browser: tree and first rows <= $open_limit s" "page failed"
        unmeasured "browser: next file <= 100 ms" "page failed"
        return
    fi
    local opened next
    opened=$(calc "$(field opened_ms "$figures") / 1000")
    next=$(field next_file_ms "$figures")
    target "browser: tree and first rows <= $open_limit s" "$opened" "$opened <= $open_limit"
    target "browser: next file <= 100 ms" "$next" "$next <= 100"
}

echo "== measured at: $(uptime)"
for pair in "${pairs[@]}"; do
    IFS='|' read -r name a b limit <<<"$pair"
    compare "$name" "$a" "$b" "$limit"
done

echo
echo "== done at: $(uptime)"
if ((failures > 0)); then
    echo "$failures of $targets target(s) missed; $not_measured not measured"
else
    echo "all $targets measured targets met; $not_measured not measured"
fi
