#!/usr/bin/env bash
# Validates the AppStream metainfo and the desktop entries of the window and the viewer.
#
#   desktop_files_test.sh RESOURCES_DIR
# Exits 77 (skipped) where appstreamcli is missing (Debian package appstream).
set -uo pipefail

resources=$1
if ! command -v appstreamcli >/dev/null; then
    echo "appstreamcli not found (Debian package appstream): the metainfo is not validated"
    exit 77
fi
status=0
appstreamcli validate --no-net "$resources"/*.metainfo.xml || status=1
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$resources"/*.desktop || status=1
else
    echo "desktop-file-validate not found (Debian package desktop-file-utils): entries not checked"
fi
exit $status
