#!/usr/bin/env bash
# Installs the Debian packages a command needs, and only those missing; prints nothing when
# everything is there.
#
#   install-deps.sh demo   building the command-line program (no Qt, browser or Node.js)
#   install-deps.sh test   building everything and running every suite (the default)
set -euo pipefail

# What building tandemix-cli needs (RE2 runs the patterns of the matching rules; liburing
# reads the first pieces of many files at once in a folder comparison).
demo=(cmake ninja-build g++ libcurl4-openssl-dev libssl-dev libre2-dev liburing-dev)

# What the suites add: GoogleTest; the window (Qt 6 Widgets and WebEngine), the font its
# caption widths are tested with, and its screenshots under Xvfb; the web tests' loopback
# server and certificates; the report scripts in a real
# browser; the metadata, package and formatting checks; the fuzz harnesses (clang and
# libFuzzer); the benchmark script's baselines; git, which the difftool test drives.
test=("${demo[@]}" libgtest-dev
    qt6-base-dev qt6-webengine-dev fonts-dejavu-core xvfb xauth
    python3 openssl
    chromium
    appstream desktop-file-utils dpkg-dev file groff-base clang-format
    clang libclang-rt-14-dev
    diffutils findutils time git)

command=${1:-test}
case $command in
    demo) packages=("${demo[@]}") ;;
    test) packages=("${test[@]}") ;;
    *)
        echo "usage: $0 [demo|test]" >&2
        exit 2
        ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [[ $command == test ]]; then
    # Node.js may come from elsewhere than Debian (its own npm then conflicts with Debian's):
    # what counts is that the commands are there.
    command -v node >/dev/null 2>&1 || missing+=(nodejs)
    command -v npm >/dev/null 2>&1 || missing+=(npm)
fi

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
