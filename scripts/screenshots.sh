#!/usr/bin/env bash
# Takes the README's screenshots under Xvfb: the main window, and the report viewer showing
# the comparison of the two example files. Writes docs/screenshots/*.png.
# Needs a build of the default preset (cmake --preset default && cmake --build --preset default).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TANDEMIX_BUILD_DIR:-$root/build/default}"
shots="$root/docs/screenshots"
tool="$build/tools/screenshots/tandemix-screenshots"
cli="$build/cli/tandemix-cli"
for program in "$tool" "$cli"; do
    [[ -x "$program" ]] || { echo "missing $program: build the default preset first" >&2; exit 2; }
done
command -v xvfb-run >/dev/null || { echo "xvfb-run missing (Debian: xvfb xauth)" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$shots"

# The web engine refuses to start its sandbox as root; screenshots only, never the programs.
if [[ $(id -u) -eq 0 ]]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---disable-gpu}"
export QT_QPA_PLATFORM=xcb
screen="-screen 0 1280x800x24"

input1="$root/examples/files/packing-list-1.txt"
input2="$root/examples/files/packing-list-2.txt"
xvfb-run -a -s "$screen" "$tool" window "$input1" "$input2" "$shots/main-window.png"

"$cli" --quiet --container hta --output-dir "$work" "$input1" "$input2" || [[ $? -eq 1 ]]
xvfb-run -a -s "$screen" "$tool" viewer "$work/Tandemix.hta" "$shots/report-viewer.png"

echo "written: $shots/main-window.png $shots/report-viewer.png"
