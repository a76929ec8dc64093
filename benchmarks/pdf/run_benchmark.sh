#!/bin/bash
# A card with a 24-megapixel phone photo in its frame, printed to PDF at the
# page's resolution (tessaly-render CARD OUT.pdf: read the card folder, draw
# the page at 1200 dpi with the photo averaged down to 300 pixels an inch and
# stored as JPEG, the text as text), beside LibreOffice exporting a one-page
# document holding the same photo to PDF (soffice --headless --convert-to
# pdf of a flat OpenDocument text with the photo in it). The photo lies in the card folder twice over: as the 24-bit BMP the
# picture dialog writes, and as the JPEG itself. The 96-pixel BMP export of
# the same card is timed too.
#
#   benchmarks/pdf/run_benchmark.sh [path/to/tessaly-render [CARD_FOLDER]]
#
# CARD_FOLDER defaults to the shipped Birthday template beside the tool.
# Wall-clock times on a shared machine are noisy: repeat, and read them with
# the load average printed first.
set -euo pipefail

tool="$(realpath "${1:-$(dirname "$0")/../../build/bin/tessaly-render}")"
template="$(realpath "${2:-$(dirname "$tool")/Template/Birthday}")"
for needed in hyperfine convert soffice python3; do
    command -v "$needed" >/dev/null || { echo "missing: $needed" >&2; exit 1; }
done

work="$(mktemp -d /tmp/tessaly-pdf-bench-XXXXXX)"
trap 'rm -rf "$work"' EXIT

lscpu | sed -n 's/^Model name: *//p'
uptime
# 6000 x 4000 with a photograph's noise, coded as a phone codes it.
convert -size 6000x4000 gradient:'#d08040-#4080c0' -attenuate 0.5 +noise Gaussian -quality 92 "$work/photo.jpg"
cp -r "$template" "$work/bmp-card"
convert "$work/photo.jpg" -type TrueColor "BMP3:$work/bmp-card/picture.bmp"
cp -r "$template" "$work/jpeg-card"
cp "$work/photo.jpg" "$work/jpeg-card/picture.bmp"  # read by its contents, whatever its name
python3 - "$work/photo.jpg" "$work/photo.fodt" <<'PY'
import base64, sys
photo = base64.b64encode(open(sys.argv[1], "rb").read()).decode()
open(sys.argv[2], "w").write(f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
<office:body><office:text><text:p>Happy Birthday!<draw:frame draw:name="photo" text:anchor-type="as-char"
 svg:width="2.92in" svg:height="2.42in"><draw:image><office:binary-data>{photo}</office:binary-data>
</draw:image></draw:frame></text:p></office:text></office:body></office:document>
""")
PY

hyperfine --warmup 1 --runs 8 -N --export-json "$work/times.json" \
    "$tool $work/bmp-card $work/bmp.pdf" \
    "$tool $work/jpeg-card $work/jpeg.pdf" \
    "$tool $work/bmp-card $work/card.bmp" \
    "soffice --headless --convert-to pdf --outdir $work/office $work/photo.fodt"
python3 - "$work/times.json" "$work" <<'PY'
import json, os, sys
names = ["PDF, photo as BMP", "PDF, photo as JPEG", "96-pixel BMP export", "LibreOffice PDF"]
for name, result in zip(names, json.load(open(sys.argv[1]))["results"]):
    print(f"{name}: median {result['median']*1000:.0f} ms")
work = sys.argv[2]
for name in ["bmp.pdf", "jpeg.pdf", "office/photo.pdf"]:
    print(f"{name}: {os.path.getsize(os.path.join(work, name)) / 1e6:.2f} MB")
PY
pdfimages -list "$work/jpeg.pdf"
pdfimages -list "$work/office/photo.pdf"
