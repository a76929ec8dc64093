#!/usr/bin/env bash
# `cpack -G DEB` makes a package that lintian finds no error in, that installs
# with apt-get under /usr and is removed again without a trace.
#   debian_package_test.sh BUILD_DIR
set -euo pipefail
build="$1"
work="$(mktemp -d /tmp/tessaly-deb.XXXXXX)"
trap 'rm -rf "$work"' EXIT

echo "== cpack -G DEB"
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
deb="$(ls "$work"/tessaly_*.deb)"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb" >"$work/contents"
for path in ./usr/bin/tessaly ./usr/share/tessaly/tessaly.html ./usr/share/tessaly/Template/ \
            ./usr/share/applications/org.tessaly.Tessaly.desktop ./usr/share/doc/tessaly/copyright; do
    grep -q " $path" "$work/contents" || { echo "FAILED: $path is not in the package"; exit 1; }
done
# The libraries' packages, worked out from the program's links.
dpkg-deb --field "$deb" Depends | grep -q 'libqt6widgets6' \
    || { echo "FAILED: the dependencies were not worked out"; exit 1; }

if command -v lintian >/dev/null; then
    echo "== lintian"
    lintian --tag-display-limit 0 "$deb" | tee "$work/lintian" || true
    if grep -q '^E:' "$work/lintian"; then
        echo "FAILED: lintian reports errors"
        exit 1
    fi
else
    echo "SKIPPED: lintian is missing"
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: installing the package needs root (CI runs as root)"
    exit 77
fi
if dpkg-query -W -f='${Status}' tessaly 2>/dev/null | grep -q 'install ok installed'; then
    echo "SKIPPED: a tessaly package is installed on this machine already; left alone"
    exit 77
fi
echo "== apt-get install"
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "$deb" >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log"; exit 1; }
status=0
/usr/bin/tessaly --version || status=$?
[ -d /usr/share/tessaly/Template ] || status=1
echo "== apt-get remove --purge"
DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y tessaly >"$work/apt.log" 2>&1 \
    || { cat "$work/apt.log"; exit 1; }
[ "$status" -eq 0 ] || { echo "FAILED: the installed program did not answer"; exit 1; }
for left in /usr/bin/tessaly /usr/share/tessaly /usr/share/applications/org.tessaly.Tessaly.desktop; do
    [ ! -e "$left" ] || { echo "FAILED: $left is left after removing"; exit 1; }
done
echo "passed"
