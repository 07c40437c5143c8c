# Sourced by the scripts here: installs the Debian packages named when a program of theirs
# is missing, then the pinned npm packages of package.json.
# Usage: tandemix_node_setup [PROGRAM=PACKAGE ...]
tandemix_node_setup() {
    local sudo="" missing=() pair
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    for pair in node=nodejs npm=npm "$@"; do
        command -v "${pair%%=*}" >/dev/null 2>&1 || missing+=("${pair#*=}")
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
        $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
    (cd "$(dirname "${BASH_SOURCE[0]}")" && npm ci --no-audit --no-fund)
}
