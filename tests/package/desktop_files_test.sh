#!/usr/bin/env bash
# Validates the AppStream metainfo and the desktop entries of the window and the viewer, and
# checks what a validator does not: German beside English, the viewer's file types, the
# project's own identifiers and the icon sizes.
#
#   desktop_files_test.sh RESOURCES_DIR
# Exits 77 (skipped) where appstreamcli is missing (Debian package appstream).
set -uo pipefail

resources=$1
if ! command -v appstreamcli >/dev/null; then
    echo "appstreamcli not found (Debian package appstream): the metainfo is not validated"
    exit 77
fi
# shellcheck source=../support/checks.sh
source "$(dirname "$0")/../support/checks.sh"

appstreamcli validate --no-net "$resources"/*.metainfo.xml || fail "the metainfo is not valid"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$resources"/*.desktop || fail "a desktop entry is not valid"
else
    echo "desktop-file-validate not found (Debian package desktop-file-utils): entries not checked"
fi

# entry FILE KEY: the value of KEY in the desktop entry.
entry() {
    sed -n "s/^$2=//p" "$1"
}

for desktop in tandemix tandemix-viewer; do
    file=$resources/$desktop.desktop
    for key in Name Comment; do
        [[ -n $(entry "$file" "$key") ]] || fail "$desktop: no $key"
        [[ -n $(entry "$file" "$key\\[de\\]") ]] || fail "$desktop: no $key[de]"
    done
done
[[ $(entry "$resources/tandemix-viewer.desktop" MimeType) == \
    "application/hta;application/x-tandemix-report;" ]] ||
    fail "the viewer registers for [$(entry "$resources/tandemix-viewer.desktop" MimeType)]"
for type in application/hta application/x-tandemix-report; do
    grep -q "<mime-type type=\"$type\">" "$resources/tandemix-hta.xml" ||
        fail "tandemix-hta.xml does not define $type"
done

metainfo=$(basename "$resources"/*.metainfo.xml .metainfo.xml)
[[ $metainfo == dev.tandemix.Tandemix ]] || fail "the metainfo is named $metainfo"
grep -q "<id>$metainfo</id>" "$resources/$metainfo.metainfo.xml" ||
    fail "the metainfo's id is not its file name"
if grep -l 'example' "$resources"/*.desktop "$resources"/*.metainfo.xml "$resources"/debian/*; then
    fail "placeholder addresses in the metadata"
fi

for size in 16 32 48 64 128 256; do
    dimensions=$(file -b "$resources/icons/tandemix-$size.png" 2>/dev/null | cut -d, -f2 | xargs)
    [[ $dimensions == "$size x $size" ]] || fail "tandemix-$size.png is [$dimensions]"
done
grep -q '<svg ' "$resources/icons/tandemix.svg" || fail "no scalable icon"
finish "desktop metadata"
