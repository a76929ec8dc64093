#!/usr/bin/env bash
# ./run.sh's layout: the program installed into a folder of its own keeps
# everything beside it, as it always did, and nothing of the system layout.
#   beside_program_test.sh BUILD_DIR
set -euo pipefail
build="$1"
work="$(mktemp -d /tmp/tessaly-beside.XXXXXX)"
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/dist" --component Beside >/dev/null
for entry in tessaly tessaly-convert tessaly-render tessaly-picture-reader tessaly.html Template; do
    [ -e "$work/dist/$entry" ] || { echo "FAILED: no $entry beside the program"; exit 1; }
done
ls "$work/dist"/Template/*/template.bmp >/dev/null
for entry in bin share; do
    [ ! -e "$work/dist/$entry" ] || { echo "FAILED: $entry/ in the program's own folder"; exit 1; }
done
echo "passed"
