#!/usr/bin/env bash
# Installs what is missing, builds, installs the program into dist/ and starts it.
# Cards live in dist/MyCard/, which no script ever removes.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

tessaly_install_packages
tessaly_build

DIST="${TESSALY_DIST:-$TESSALY_ROOT/dist}"
# The program's own folder: everything beside the program, cards in MyCard/.
cmake --install "$TESSALY_BUILD" --prefix "$DIST" --component Beside
mkdir -p "$DIST/MyCard"
exec "$DIST/tessaly"
