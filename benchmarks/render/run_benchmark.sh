#!/bin/bash
# A whole JPEG export of a 793 x 559 card (tessaly-render CARD OUT.jpg: read
# the card folder, compose, draw the text boxes, write the BMP, read it back
# with our BMP decoder and code it with our JPEG encoder) beside libjpeg-turbo's
# cjpeg coding the same rendered BMP alone, with the export's settings
# (every quantizer 1, 1x1 sampling, optimized Huffman tables). The BMP export
# (render and BMP file only) is timed too, so the encode's share shows.
#
#   benchmarks/render/run_benchmark.sh [path/to/tessaly-render [CARD_FOLDER]]
#
# CARD_FOLDER defaults to the shipped Birthday template beside the tool.
# Wall-clock times on a shared machine are noisy: compare the ratio, and
# repeat. The CPU model is printed first.
set -euo pipefail

tool="$(realpath "${1:-$(dirname "$0")/../../build/bin/tessaly-render}")"
card="$(realpath "${2:-$(dirname "$tool")/Template/Birthday}")"
for needed in hyperfine cjpeg python3; do
    command -v "$needed" >/dev/null || { echo "missing: $needed" >&2; exit 1; }
done

work="$(mktemp -d /tmp/tessaly-render-bench-XXXXXX)"
trap 'rm -rf "$work"' EXIT

lscpu | sed -n 's/^Model name: *//p'
"$tool" "$card" "$work/card.bmp" # the Temp.bmp the export codes
python3 - "$work/card.bmp" <<'PY'
import struct, sys
header = open(sys.argv[1], "rb").read(26)
print("card %d x %d" % struct.unpack("<ii", header[18:26]))
PY
hyperfine --warmup 3 --runs 30 -N --export-json "$work/times.json" \
    "$tool $card $work/ours.jpg" \
    "cjpeg -quality 100 -sample 1x1 -optimize -dct float -outfile $work/theirs.jpg $work/card.bmp" \
    "$tool $card $work/ours.bmp"
python3 - "$work/times.json" "$(stat -c %s "$work/ours.jpg")" "$(stat -c %s "$work/theirs.jpg")" <<'PY'
import json, sys
export, cjpeg, bmp = (r["mean"] for r in json.load(open(sys.argv[1]))["results"])
print(f"JPEG export {export*1000:.1f} ms, of which render and BMP {bmp*1000:.1f} ms;"
      f" cjpeg encode alone {cjpeg*1000:.1f} ms; export / cjpeg {export/cjpeg:.2f}")
print(f"size: ours {int(sys.argv[2])} bytes, cjpeg {int(sys.argv[3])} bytes")
PY
