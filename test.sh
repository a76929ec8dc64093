#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

tessaly_install_packages
tessaly_build

export QT_QPA_PLATFORM=offscreen
cd "$TESSALY_BUILD"
ctest --output-on-failure -j"$(nproc)" --timeout 1500
