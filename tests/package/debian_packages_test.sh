#!/usr/bin/env bash
# Builds the Debian packages of a build folder with cpack and checks their names, their
# dependencies and their files; then asks apt whether they would install here.
#
#   debian_packages_test.sh CPACK BUILD_DIR VERSION APP_BUILT
# Exits 77 (skipped) where dpkg-deb is missing.
set -euo pipefail

cpack=$1 build=$2 version=$3 app_built=$4
if ! command -v dpkg-deb >/dev/null; then
    echo "dpkg-deb not found (Debian package dpkg): the Debian packages are not checked"
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tandemix-deb-XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; exit 1; }

field() {
    dpkg-deb --field "$2" "$1"
}

# check_documents NAME: the copyright in the machine-readable format and a changelog that
# dpkg reads, compressed without a name or time stamp (gzip -9n).
check_documents() {
    local doc=$work/$1/usr/share/doc/$1 header
    head -n 1 "$doc/copyright" 2>/dev/null |
        grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "$1: no machine-readable copyright"
    grep -q '^License: ' "$doc/copyright" 2>/dev/null || fail "$1: copyright names no licence"
    header=$(od -An -tx1 -N8 "$doc/changelog.Debian.gz" 2>/dev/null | xargs)
    [[ $header == "1f 8b 08 00 00 00 00 00" ]] ||
        fail "$1: changelog.Debian.gz is not compressed with gzip -9n: [$header]"
    gzip -dc "$doc/changelog.Debian.gz" >"$work/$1.changelog" 2>/dev/null
    if command -v dpkg-parsechangelog >/dev/null; then
        [[ $(dpkg-parsechangelog -l "$work/$1.changelog" -S Version 2>&1) == "$version" ]] ||
            fail "$1: the changelog does not read as version $version"
    fi
}

# check_package NAME: sets deb to the package file and checks the fields every package has.
check_package() {
    local name=$1
    deb=$work/${name}_${version}_$(dpkg --print-architecture).deb
    if [[ ! -f $deb ]]; then
        fail "no package $name; cpack made: $(find "$work" -maxdepth 1 -name '*.deb' -printf '%f ')"
        return 1
    fi
    [[ $(field Package "$deb") == "$name" ]] || fail "$name: Package is $(field Package "$deb")"
    [[ $(field Version "$deb") == "$version" ]] || fail "$name: Version is $(field Version "$deb")"
    [[ -n $(field Depends "$deb") ]] || fail "$name: no Depends"
    [[ $(field Maintainer "$deb") == "Tandemix-Entwickler <tandemix@tandemix.dev>" ]] ||
        fail "$name: Maintainer is $(field Maintainer "$deb")"
    [[ $(field Homepage "$deb") == "https://tandemix.dev/" ]] ||
        fail "$name: Homepage is $(field Homepage "$deb")"
    dpkg-deb --contents "$deb" >"$work/$name.contents"
    mkdir "$work/$name" && dpkg-deb --extract "$deb" "$work/$name"
    if grep -rl 'example\.com\|tandemix\.example' "$work/$name/usr/share" | grep -v '/man1/'; then
        fail "$name: placeholder addresses in its metadata"
    fi
    check_documents "$name"
    # Nothing of the engine's development files goes into a package.
    if grep -E '/include/|\.a$|/cmake/' "$work/$name.contents"; then
        fail "$name: holds development files"
    fi
    if awk '{ print $2 }' "$work/$name.contents" | grep -v '^root/root$' | head -n 1 | grep -q .; then
        fail "$name: files not owned by root"
    fi
}

expect_content() {
    local name=$1 path
    shift
    for path in "$@" "usr/share/doc/$name/copyright" "usr/share/doc/$name/changelog.Debian.gz"; do
        grep -qE " \./$path\$" "$work/$name.contents" || fail "$name: lacks $path"
    done
}

packages=(tandemix-cli)
if check_package tandemix-cli; then
    expect_content tandemix-cli usr/bin/tandemix-cli usr/share/man/man1/tandemix-cli.1.gz \
        usr/share/bash-completion/completions/tandemix-cli
    [[ $(field Recommends "$deb") == *bash-completion* ]] ||
        fail "tandemix-cli: Recommends lacks bash-completion: $(field Recommends "$deb")"
    depends=$(field Depends "$deb")
    [[ ! $depends =~ [Qq]t ]] || fail "tandemix-cli depends on Qt: $depends"
    [[ $depends == *libc6* ]] || fail "tandemix-cli: Depends lacks libc6: $depends"
    grep -q ' \./usr/bin/tandemix$' "$work/tandemix-cli.contents" &&
        fail "tandemix-cli holds the window"
    if web_built "$build"; then
        grep -qE ' \./usr/lib/([^/]+/)?tandemix/tandemix-web\.so$' "$work/tandemix-cli.contents" ||
            fail "tandemix-cli lacks the web module"
        mkdir "$work/web-out"
        check_web_module tandemix-cli "$work/tandemix-cli/usr/bin/tandemix-cli" "$work/web-out"
    fi
fi

if [[ $app_built == ON ]]; then
    packages+=(tandemix)
    if check_package tandemix; then
        expect_content tandemix usr/bin/tandemix usr/bin/tandemix-viewer \
            usr/share/applications/tandemix.desktop usr/share/applications/tandemix-viewer.desktop \
            usr/share/mime/packages/tandemix-hta.xml \
            usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/tandemix.png \
            usr/share/icons/hicolor/scalable/apps/tandemix.svg \
            usr/share/metainfo/dev.tandemix.Tandemix.metainfo.xml
        depends=$(field Depends "$deb")
        for needed in "tandemix-cli (= $version)" libqt6webenginewidgets6 libqt6widgets6 \
            qt6-qpa-plugins; do
            [[ $depends == *"$needed"* ]] || fail "tandemix: Depends lacks $needed: $depends"
        done
        # The desktop's caches belong to the packages that own them (triggers update them).
        if grep -E 'usr/bin/tandemix-cli$|mime\.cache$|mimeinfo\.cache$' \
            "$work/tandemix.contents"; then
            fail "tandemix holds files of another package"
        fi
    fi
fi

count=$(find "$work" -maxdepth 1 -name '*.deb' | wc -l)
((count == ${#packages[@]})) || fail "cpack made $count packages, expected ${#packages[@]}"

# Would apt accept them here? A simulation resolves every Depends on this machine without
# installing anything; with no failure so far, the folder holds exactly our packages.
if command -v apt-get >/dev/null && ((failures == 0)); then
    apt-get install --simulate --no-install-recommends "$work"/*.deb >"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log" >&2; fail "apt would not install ${packages[*]}"; }
fi

for deb in "$work"/*.deb; do
    echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"
done
finish "Debian packages"
