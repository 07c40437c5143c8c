#!/usr/bin/env bash
# Runs the browser tests of the framed and the one-file report, on reports that the
# command-line program $TANDEMIX_CLI writes.
set -euo pipefail

: "${TANDEMIX_CLI:?names the command-line program}"
cd "$(dirname "${BASH_SOURCE[0]}")"
source ./setup.sh
tandemix_node_setup /usr/bin/chromium=chromium
node --test report-scripts.test.js single-report.test.js single-look.test.js tree-report.test.js
