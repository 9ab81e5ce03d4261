#!/usr/bin/env bash
# The 1080p defaults (muted, composed on the X server) against popsquares and against the
# floor, in interleaved rounds: on a shared or virtual machine one run of each can be off by a
# third, and the three drift together, so a ratio is only worth its round and the median of
# several rounds.
#
#   bench/measure_ratio.sh [BUILD_DIR]     MEASURE_ROUNDS=5  MEASURE_SECONDS=20
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
rounds=${MEASURE_ROUNDS:-5}
pop=() floor=() bare=()
for ((i = 1; i <= rounds; i++)); do
    out=$(MEASURE_PRESENTERS=xpixmap MEASURE_CASES="defaults-1080p-muted floor-1080p popsquares-1080p" \
        "$here/measure_saver.sh" "$@")
    p=$(sed -n 's/^defaults-1080p-muted by xpixmap against popsquares: \([0-9.]*\)x$/\1/p' <<<"$out")
    f=$(sed -n 's/^defaults-1080p-muted by xpixmap against the floor: \([0-9.]*\)x.*/\1/p' <<<"$out")
    b=$(sed -n 's/.*(the floor against popsquares: \([0-9.]*\)x)$/\1/p' <<<"$out")
    echo "round $i: against popsquares ${p}x, against the floor ${f}x, the floor against popsquares ${b}x"
    pop+=("$p")
    floor+=("$f")
    bare+=("$b")
done
python3 - "${pop[*]}" "${floor[*]}" "${bare[*]}" <<'PY'
import statistics, sys
pop, floor, bare = ([float(v) for v in a.split()] for a in sys.argv[1:4])
print(f"median of {len(pop)} rounds: against popsquares {statistics.median(pop):.2f}x "
      f"(from {min(pop):.2f} to {max(pop):.2f}), against the floor {statistics.median(floor):.2f}x, "
      f"the floor against popsquares {statistics.median(bare):.2f}x "
      f"(from {min(bare):.2f} to {max(bare):.2f})")
PY
