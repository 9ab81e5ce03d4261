#!/usr/bin/env bash
# Times `vistaloom-theme make` on twenty 6000 x 4000 JPEG photos and reports the wall clock,
# the CPU time and the peak resident memory (from /usr/bin/time -v).
#
#   bench/measure_theme_make.sh [BUILD_DIR]     (default: build)
#   MEASURE_PHOTOS=DIR   where the generated photos are kept between runs
#                        (default: ${TMPDIR:-/tmp}/vistaloom-bench-photos)
#   MEASURE_RUNS=3       how many timed runs
#
# The photos are noisy fractal landscapes, about 13 MB each, so the decoder has as much
# entropy to get through as with real camera pictures. Making them takes a minute the first
# time; four different ones are made and copied to twenty names.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
tool=${VISTALOOM_THEME_TOOL:-$build/tools/vistaloom-theme}
photos=${MEASURE_PHOTOS:-${TMPDIR:-/tmp}/vistaloom-bench-photos}
runs=${MEASURE_RUNS:-3}
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 1; }
command -v convert >/dev/null || { echo "needs ImageMagick's convert" >&2; exit 1; }

mkdir -p "$photos"
for seed in 1 2 3 4; do
    base="$photos/base$seed.jpg"
    [ -s "$base" ] || convert -seed "$seed" -size 1500x1000 plasma:fractal -resize '6000x4000!' \
        -attenuate 0.4 +noise Gaussian -quality 92 "$base"
done
mkdir -p "$photos/set"
for i in $(seq -w 1 20); do
    [ -s "$photos/set/photo$i.jpg" ] || cp "$photos/base$(((10#$i - 1) % 4 + 1)).jpg" "$photos/set/photo$i.jpg"
done
echo "photos: $(identify -format '%wx%h' "$photos/set/photo01.jpg"), $(du -sh "$photos/set" | cut -f1) in $photos/set"

work=$(mktemp -d "${TMPDIR:-/tmp}/vistaloom-bench-make.XXXXXX")
trap 'rm -rf "$work"' EXIT
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
for run in $(seq 1 "$runs"); do
    rm -f "$work"/Bench.*
    /usr/bin/time -v "$tool" make "$work/Bench" "$photos/set" >/dev/null 2>"$work/time.txt" ||
        { cat "$work/time.txt" >&2; exit 1; }
    wall=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$work/time.txt")
    user=$(sed -n 's/.*User time (seconds): //p' "$work/time.txt")
    sys=$(sed -n 's/.*System time (seconds): //p' "$work/time.txt")
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
    echo "run $run: wall $wall, cpu ${user}s user + ${sys}s system, peak resident $((rss / 1024)) MB"
done
"$tool" verify "$work/Bench" >/dev/null && echo "the theme verifies"
