# Shared by the benchmark scripts (sourced, not run): the repository's place, a byte-wise
# locale, the download cache, the arithmetic bash lacks, and the tally of targets.

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
# The engine orders and compares bytes; the baselines should too, whatever the user's locale.
export LC_ALL=C
# Real inputs are fetched once into this folder, which git ignores.
cache=${TANDEMIX_BENCH_CACHE:-$repo/build/bench-cache}
targets=0
failures=0

die() {
    echo "ERROR: $*" >&2
    exit 1
}

# Floating-point helpers; bash has integers only.
calc() { awk "BEGIN { printf \"%.4f\", $1 }"; }
holds() { awk "BEGIN { exit !($1) }"; }
min_of() { printf '%s\n' "$@" | sort -g | head -n 1; }
max_of() { printf '%s\n' "$@" | sort -g | tail -n 1; }

# Best wall time in seconds of a command whose status may be 0 or 1, after one warm-up run;
# each script sets `runs`.
best_time() {
    local start times=() r
    "$@" >/dev/null 2>&1 || true
    for ((r = 0; r < runs; r++)); do
        start=$EPOCHREALTIME
        "$@" >/dev/null 2>&1 || true
        times+=("$(calc "$EPOCHREALTIME - $start")")
    done
    min_of "${times[@]}"
}

# The value of KEY in a line of key=value figures.
field() {
    local key=$1 pair
    for pair in $2; do
        if [[ $pair == "$key="* ]]; then
            echo "${pair#*=}"
            return 0
        fi
    done
    die "no figure '$key' in: $2"
}

# Prints one target line and counts it. Not to be called in a subshell: it keeps the tally.
target() {
    local description=$1 value=$2 condition=$3 outcome=PASS
    targets=$((targets + 1))
    if ! holds "$condition"; then
        outcome=FAIL
        failures=$((failures + 1))
    fi
    printf '  target: %-52s %12s  %s\n' "$description" "$value" "$outcome"
}

# Prints the folder into which the npm package PACKAGE@VERSION is unpacked (its files under
# package/), fetching it into the cache the first time.
npm_package() {
    local package=$1 version=$2 folder="$cache/$1-$2" tarball
    if [[ ! -d $folder/package ]]; then
        command -v npm >/dev/null || die "npm is needed to fetch $package@$version"
        mkdir -p "$folder"
        tarball=$(cd "$folder" && npm pack --silent "$package@$version" | tail -n 1) ||
            die "npm pack $package@$version failed"
        tar -xzf "$folder/$tarball" -C "$folder" || die "cannot unpack $tarball"
        rm -f "${folder:?}/$tarball"
    fi
    echo "$folder"
}

# Builds the release preset's programs and names them: bench, gen and cli.
build_release() {
    echo "== building (release preset)"
    cmake --preset release >/dev/null
    cmake --build --preset release --target tandemix-bench tandemix-bench-gen tandemix-cli "$@"
    bench="$repo/build/release/bench/tandemix-bench"
    gen="$repo/build/release/bench/tandemix-bench-gen"
    cli="$repo/build/release/cli/tandemix-cli"
}

# A temporary folder for one script's inputs and reports, removed when it ends: work.
make_work() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/tandemix-$1.XXXXXX")
    trap 'rm -rf "$work"' EXIT
}
