#!/usr/bin/env bash
# Shared set-up for run.sh and test.sh: install missing Debian packages,
# configure and build. Sourced, not run.
set -euo pipefail

TESSALY_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TESSALY_BUILD="${TESSALY_BUILD:-$TESSALY_ROOT/build}"

tessaly_missing_packages() {
    local pkg
    grep -v -E '^\s*(#|$)' "$TESSALY_ROOT/packages.txt" | while read -r pkg; do
        dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q '^install ok installed$' \
            || echo "$pkg"
    done
}

tessaly_install_packages() {
    local missing
    missing=$(tessaly_missing_packages | tr '\n' ' ')
    if [ -z "${missing// /}" ]; then
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "These Debian packages are missing: $missing" >&2
        echo "Run this script as root once, or: sudo apt-get install $missing" >&2
        exit 1
    fi
    echo "Installing: $missing"
    apt-get update
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing
}

tessaly_build() {
    cmake -S "$TESSALY_ROOT" -B "$TESSALY_BUILD" -DCMAKE_BUILD_TYPE="${TESSALY_BUILD_TYPE:-Release}"
    cmake --build "$TESSALY_BUILD" -j"$(nproc)"
}
