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
