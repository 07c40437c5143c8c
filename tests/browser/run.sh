#!/usr/bin/env bash
# Runs the browser tests: the framed report's top page scripts and the one-file report.
#   run.sh REPORT_DIR   test the report already in REPORT_DIR
#   run.sh              generate one with the command-line program $TANDEMIX_CLI
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

if [ "$#" -gt 1 ]; then
    echo "usage: $0 [REPORT_DIR]" >&2
    exit 2
fi
if [ "$#" -eq 1 ]; then
    if [ ! -f "$1/Tandemix.htm" ]; then
        echo "error : no report in $1" >&2
        exit 2
    fi
    TANDEMIX_REPORT_DIR="$(cd "$1" && pwd)"
    export TANDEMIX_REPORT_DIR
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

missing=()
[ -x /usr/bin/chromium ] || missing+=(chromium)
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ "${#missing[@]}" -gt 0 ]; then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cd "$here"
if [ -f package-lock.json ]; then
    npm ci --no-audit --no-fund
else
    npm install --no-audit --no-fund
fi
tests=(report-scripts.test.js)
# The one-file report is written here by the command-line program.
if [ -n "${TANDEMIX_CLI:-}" ]; then
    tests+=(single-report.test.js)
fi
node --test "${tests[@]}"
