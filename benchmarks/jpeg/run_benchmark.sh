#!/bin/bash
# The JPEG encoder beside libjpeg-turbo's cjpeg on the same 24-bit BMPs, in
# one run: a 793 x 559 card and a 4000 x 3000 photo, both made from the
# photographs Debian's python3-skimage package ships (downloaded, unpacked
# into a temporary folder, never installed). Prints the time ratio
# (ours / cjpeg, hyperfine means) and the size ratio for each.
#
#   benchmarks/jpeg/run_benchmark.sh [path/to/tessaly-convert]
#
# Sequential: tessaly-convert jpeg (quality 9) against
#   cjpeg -quality 100 -sample 1x1 -optimize -dct float
# Progressive: tessaly-convert jpeg --progressive (default script) against
#   the same cjpeg options with -progressive.
# Our times include the sync and rename of the atomic file writer.
# Goal: time ratio <= 1.0 with one thread and <= 0.7 with two; size within
# 1 % (sequential) and 2 % (progressive); peak memory no more than cjpeg's.
#
# THREADS="1 2" (the default) lists the thread counts ours runs with, each
# timed beside cjpeg in the same hyperfine run. The encoder's vector kernels
# follow the CPU; TESSALY_JPEG_SIMD=avx2 (or =portable) in the environment
# measures a lower path, for instance the one a machine without AVX-512
# runs. The CPU model, the load, the kernels and the thread counts are
# printed, and after each timing one run of each program reports its peak
# memory and page faults (GNU time).
set -euo pipefail

tool="${1:-$(dirname "$0")/../../build/bin/tessaly-convert}"
tool="$(realpath "$tool")"
threads="${THREADS:-1 2}"
for needed in hyperfine cjpeg convert dpkg-deb apt-get python3 /usr/bin/time; do
    command -v "$needed" >/dev/null || { echo "missing: $needed" >&2; exit 1; }
done

work="$(mktemp -d /tmp/tessaly-jpeg-bench-XXXXXX)"
trap 'rm -rf "$work"' EXIT
cd "$work"

apt-get download python3-skimage >/dev/null 2>&1 || { echo "cannot download python3-skimage" >&2; exit 1; }
dpkg-deb -x python3-skimage_*.deb skimage
data="$(find skimage -type d -path '*skimage/data' | head -1)"
convert "$data/coffee.png" -resize '793x559!' -type TrueColor BMP3:card.bmp
convert "$data/astronaut.png" -resize '4000x3000!' -type TrueColor BMP3:photo.bmp

memory() { /usr/bin/time -f '%M %R %F' "$@" 2>&1 >/dev/null | tail -1; }

run() { # name, our options, cjpeg extra options
    local name="$1" ours="$2" theirs="$3"
    for picture in card photo; do
        local runs=10
        [ "$picture" = card ] && runs=40 # short runs: more of them against noise
        local commands=()
        for n in $threads; do
            commands+=("$tool jpeg --threads $n $ours $picture.bmp ours$n.jpg")
        done
        commands+=("cjpeg -quality 100 -sample 1x1 -optimize -dct float $theirs -outfile theirs.jpg $picture.bmp")
        hyperfine --warmup 3 --runs "$runs" -N --export-json "$name-$picture.json" "${commands[@]}" >/dev/null
        python3 - "$name" "$picture" "$name-$picture.json" "$threads" <<'PY'
import json, os, sys
name, picture, report, threads = sys.argv[1:]
results = json.load(open(report))["results"]
theirs = results[-1]["mean"]
theirs_size = os.path.getsize("theirs.jpg")
for n, result in zip(threads.split(), results):
    ours, ours_size = result["mean"], os.path.getsize(f"ours{n}.jpg")
    print(f"{name:11} {picture:5} {n} thread{'s' if n != '1' else ' '}  time {ours*1000:7.1f} ms vs"
          f" {theirs*1000:7.1f} ms  ratio {ours/theirs:5.2f}   size {ours_size:9d} vs {theirs_size:9d}"
          f"  ratio {ours_size/theirs_size:6.4f}")
PY
        read -r theirs_kb theirs_minor theirs_major < <(memory cjpeg -quality 100 -sample 1x1 -optimize \
            -dct float $theirs -outfile theirs.jpg $picture.bmp)
        for n in $threads; do
            read -r ours_kb ours_minor ours_major < <(memory "$tool" jpeg --threads "$n" $ours $picture.bmp ours.jpg)
            printf '%-11s %-5s %s thread%s  peak %6.1f MB vs %6.1f MB   page faults %7d vs %7d (major %d vs %d)\n' \
                "$name" "$picture" "$n" "$([ "$n" = 1 ] && echo ' ' || echo s)" \
                "$(echo "$ours_kb / 1024" | bc -l)" "$(echo "$theirs_kb / 1024" | bc -l)" \
                "$ours_minor" "$theirs_minor" "$ours_major" "$theirs_major"
        done
    done
}

echo "CPU: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for n in $threads; do
    echo "ours with --threads $n: $("$tool" jpeg --threads "$n" --kernels)${TESSALY_JPEG_SIMD:+ (TESSALY_JPEG_SIMD=$TESSALY_JPEG_SIMD)}"
done
echo "tessaly-convert jpeg vs cjpeg (ratios: ours / cjpeg)"
run sequential "" ""
run progressive "--progressive" "-progressive"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
