#!/usr/bin/env bash
# Runs a test program as the user nobody, for checks that permissions do not stop root.
# Exits with 77 (skipped) when not root, where the program's own run covers them, or when
# setpriv is missing.
set -u
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: not root; the regular test run covers these checks"
    exit 77
fi
if ! command -v setpriv >/dev/null; then
    echo "skipped: setpriv is missing, cannot become nobody"
    exit 77
fi
# The program writes its temporary folders where nobody may.
export TMPDIR=/tmp
exec setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"
