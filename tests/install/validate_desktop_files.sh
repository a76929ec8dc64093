#!/usr/bin/env bash
# The installed desktop entry, metainfo and file type, checked by the tools
# the desktop itself uses.
#   validate_desktop_files.sh BUILD_DIR
set -euo pipefail
build="$1"
work="$(mktemp -d /tmp/tessaly-validate.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work" >/dev/null
share="$work/share"
app=org.tessaly.Tessaly
ran=0

if command -v desktop-file-validate >/dev/null; then
    echo "== desktop-file-validate"
    desktop-file-validate "$share/applications/$app.desktop"
    ran=1
else
    echo "SKIPPED: desktop-file-validate (desktop-file-utils) is missing"
fi
if command -v appstreamcli >/dev/null; then
    echo "== appstreamcli validate"
    appstreamcli validate --no-net --explain "$share/metainfo/$app.metainfo.xml"
    ran=1
else
    echo "SKIPPED: appstreamcli (appstream) is missing"
fi
if command -v update-mime-database >/dev/null; then
    echo "== update-mime-database"
    update-mime-database "$share/mime"
    grep -q 'application/x-tessaly-card' "$share/mime/globs2"
    grep -q ':Card.crd:cs' "$share/mime/globs2" || grep -q 'application/x-tessaly-card:Card.crd' "$share/mime/globs2"
    ran=1
else
    echo "SKIPPED: update-mime-database (shared-mime-info) is missing"
fi

echo "== the icon at every size, and the names that tie them together"
for size in 16 22 24 32 48 64 128 256 512; do
    file="$share/icons/hicolor/${size}x${size}/apps/$app.png"
    [ -s "$file" ] || { echo "FAILED: no $file"; exit 1; }
done
[ -s "$share/icons/hicolor/scalable/apps/$app.svg" ]
grep -qx "Icon=$app" "$share/applications/$app.desktop"
grep -qx 'MimeType=application/x-tessaly-card;' "$share/applications/$app.desktop"
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$share/metainfo/$app.metainfo.xml"

if [ "$ran" -eq 0 ]; then
    echo "SKIPPED: none of the validators is installed"
    exit 77
fi
echo "passed"
