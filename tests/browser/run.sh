#!/usr/bin/env bash
# Runs the browser tests of the framed and the one-file report, on reports that the
# command-line program $TANDEMIX_CLI writes.
set -euo pipefail

: "${TANDEMIX_CLI:?names the command-line program}"
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

cd "$(dirname "${BASH_SOURCE[0]}")"
npm ci --no-audit --no-fund
node --test report-scripts.test.js single-report.test.js single-look.test.js
