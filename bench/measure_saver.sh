#!/usr/bin/env bash
# Measures the real saver under Xvfb: CPU of the saver and of the X server (percent of one
# core, from utime + stime in /proc/<pid>/stat) and the frame periods against the target.
#
#   bench/measure_saver.sh [BUILD_DIR]        (default: build)
#   MEASURE_SECONDS=30   length of each measured stretch
#   MEASURE_CASES="..."  which cases to run (default: "defaults-1080p 4k-60fps-10sprites")
#
# The saver writes "frame tick" for every presented frame to $VISTALOOM_FRAME_LOG; a period
# is the difference between the ticks of two consecutive frame numbers.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
build=$(cd "$build" && pwd)
export VISTALOOM=${VISTALOOM:-$build/src/vistaloom}
export VISTALOOM_THEME_TOOL=${VISTALOOM_THEME_TOOL:-$build/tools/vistaloom-theme}
DEMO=${VISTALOOM_DEMO_THEME_DIR:-$build/themes}
seconds=${MEASURE_SECONDS:-30}
cases=${MEASURE_CASES:-"defaults-1080p 4k-60fps-10sprites"}
source "$here/../tests/e2e/lib.sh"
make_sandbox
if [ -f "$DEMO/Demo.icf" ]; then
    cp "$DEMO/Demo.icf" "$DEMO/Demo.img" "$INSTALL_DIR/"
    theme=Demo
else
    make_theme Bench
    theme=Bench
fi
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

measure() {
    local name=$1 geometry=$2 rate=$3
    shift 3
    start_x "$geometry"
    write_settings "active_module=$theme" "$@"
    local log="$E2E_DIR/$name.frames"
    VISTALOOM_FRAME_LOG="$log" start_saver /S
    wait_for_frames "$log" 20 30 || fail "$name: the saver did not start: $(cat "$E2E_DIR/saver.err")"
    sleep 2  # past the start-up work
    local first_frame s0 x0 t0 s1 x1 t1
    first_frame=$(tail -n1 "$log" | cut -d' ' -f1)
    s0=$(cpu_ticks "$SAVER_PID"); x0=$(cpu_ticks "$XVFB_PID"); t0=$(date +%s.%N)
    sleep "$seconds"
    s1=$(cpu_ticks "$SAVER_PID"); x1=$(cpu_ticks "$XVFB_PID"); t1=$(date +%s.%N)
    local last_frame
    last_frame=$(tail -n1 "$log" | cut -d' ' -f1)
    kill -TERM "$SAVER_PID"
    wait_exit "$SAVER_PID" 20
    python3 - "$log" "$first_frame" "$last_frame" "$rate" "$name" "$geometry" \
        "$s0" "$s1" "$x0" "$x1" "$t0" "$t1" "$hz" <<'PY'
import sys
log, first, last, rate, name, geometry = sys.argv[1:7]
s0, s1, x0, x1 = (int(v) for v in sys.argv[7:11])
t0, t1, hz = float(sys.argv[11]), float(sys.argv[12]), int(sys.argv[13])
first, last, rate = int(first), int(last), int(rate)
wall = t1 - t0
saver = 100.0 * (s1 - s0) / hz / wall
xserver = 100.0 * (x1 - x0) / hz / wall
ticks = {}
for line in open(log):
    parts = line.split()
    if len(parts) == 2:
        ticks[int(parts[0])] = int(parts[1])
periods = sorted(ticks[n + 1] - ticks[n] for n in range(first, last)
                 if n in ticks and n + 1 in ticks)
# The smallest whole number of milliseconds with int(1000 / ms) <= rate.
target = next(ms for ms in range(1, 2000) if 1000 // ms <= rate)
within = sum(1 for p in periods if target <= p <= target + 2)
def pct(q):
    return periods[min(len(periods) - 1, int(q * len(periods)))]
print(f"{name} ({geometry}, frame_rate {rate}): {wall:.1f} s, {len(periods)} frame periods")
print(f"  CPU, percent of one core: saver {saver:.2f}  X server {xserver:.2f}  together {saver + xserver:.2f}")
if periods:
    print(f"  frame period ms: min {periods[0]}  median {pct(0.5)}  p99 {pct(0.99)}  max {periods[-1]}"
          f"  target {target}  within {target}..{target + 2}: {100.0 * within / len(periods):.1f}%")
PY
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
}

for c in $cases; do
    case $c in
    defaults-1080p) measure "$c" 1920x1080x24 20 ;;
    defaults-1080p-muted) measure "$c" 1920x1080x24 20 "mute_audio=1" ;;
    4k-60fps-10sprites) measure "$c" 3840x2160x24 60 "frame_rate=60" "sprite_active=10" ;;
    4k-60fps-10sprites-muted) measure "$c" 3840x2160x24 60 "frame_rate=60" "sprite_active=10" "mute_audio=1" ;;
    *) fail "unknown case $c" ;;
    esac
done
