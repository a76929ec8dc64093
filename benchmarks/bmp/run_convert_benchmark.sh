#!/bin/bash
# tessaly-convert decode beside ImageMagick's convert on every BMP of a
# folder (the BMP Suite's g/ folder: each kind of BMP a program should read),
# each file written as a PPM by both, in paired interleaved rounds
# (benchmarks/paired/paired_runs.py). Prints one line per file: the medians
# and ours / theirs, wall and processor time.
#
#   benchmarks/bmp/run_convert_benchmark.sh FOLDER [path/to/tessaly-convert] [rounds]
#
# CONVERT=... names ImageMagick's program; by default its own binary, not a
# wrapper that may stand first on the PATH.
set -euo pipefail

folder="$1"
tool="$(realpath "${2:-$(dirname "$0")/../../build/bin/tessaly-convert}")"
rounds="${3:-10}"
convert="${CONVERT:-$(command -v convert-im6.q16 || command -v convert)}"
runs="$(dirname "$0")/../paired/paired_runs.py"
work="$(mktemp -d /tmp/tessaly-convert-bench-XXXXXX)"
trap 'rm -rf "$work"' EXIT

echo "peer: $convert"
for file in "$folder"/*.bmp; do
    name="$(basename "$file" .bmp)"
    "$runs" --rounds "$rounds" "$tool decode $file $work/ours.ppm" "$convert $file $work/theirs.ppm" \
        >"$work/report.txt"
    python3 - "$name" "$work/report.txt" <<'PY'
import re, sys
name, report = sys.argv[1:]
lines = open(report).read().splitlines()
rows = [l for l in lines if " ms wall " in l]
ours, theirs = [re.findall(r"([\d.]+) ms", r) for r in rows]
load = [l for l in lines if l.startswith("load after")][0].split(":", 1)[1].strip()
print(f"{name:16} wall {float(ours[0]):7.1f} vs {float(theirs[0]):7.1f} ms ({float(ours[0]) / float(theirs[0]):4.2f})"
      f"   cpu {float(ours[1]):6.1f} vs {float(theirs[1]):6.1f} ms ({float(ours[1]) / max(float(theirs[1]), 0.1):4.2f})   load {load}")
PY
done
