# Sourced by the shell tests: `fail` counts a failed check and goes on, `finish` ends the
# test with the count (exit 1) or with "WHAT: ok".
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

finish() {
    if ((failures > 0)); then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "$1: ok"
}

# web_built BUILD_DIR: whether the build has web retrieval.
web_built() {
    grep -q '^TANDEMIX_BUILD_WEB:BOOL=ON$' "$1/CMakeCache.txt"
}

# check_web_module WHAT PROGRAM OUTPUT_DIR: the installed program does not link libcurl
# itself and finds its web module: a page on a closed port fails for the connection, not for
# a missing module.
check_web_module() {
    local what=$1 program=$2 out
    if ldd "$program" | grep -q libcurl; then
        fail "$what: the program links libcurl itself"
    fi
    out=$("$program" --web -o "$3" http://127.0.0.1:1/a http://127.0.0.1:1/b 2>&1) || true
    [[ $out == *"Verbindung abgelehnt"* ]] || fail "$what: the web module is not found: $out"
}
