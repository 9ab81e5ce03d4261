#!/usr/bin/env bash
# The photo library in the real program under Xvfb, 20,000 photos in 200 folders (made once
# with e2e_photo_tree, kept in ${TMPDIR:-/tmp}/vistaloom-bench-library):
#   - first start (no index): exec to the index written, and to the first presented frame;
#   - cached start: exec to the first frame with the index there, against the demo theme;
#   - resident memory (VmRSS, VmHWM) after a few seconds, with the library and with the theme;
#   - frame periods from 2 s before to 5 s after the first scene change, while the next
#     scene's photos are prepared on the worker.
# Usage: bash bench/measure_photo_library.sh [BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/saver_bench_lib.sh"
saver_bench_setup "${1:-}"
tree_tool=${VISTALOOM_E2E_PHOTO_TREE:-$build/tests/e2e_photo_tree}
photos=${TMPDIR:-/tmp}/vistaloom-bench-library
size=${PHOTO_SIZE:-320x240}
if [ ! -f "$photos/.made-$size" ]; then
    rm -rf "$photos"
    "$tree_tool" "$photos" 20000 200 0 "$size" >/dev/null
    touch "$photos/.made-$size"
fi
install_demo_theme || fail "no demo theme in $DEMO"
geometry=${GEOMETRY:-1920x1080x24}
start_x "$geometry"
now_us() { echo $(($(date +%s%N) / 1000)); }
first_frame_us() { awk '$2 == "first-frame-presented-unix-us" {print $3; exit}' "$1"; }
# Polls for `file` every millisecond; prints the wall-clock microseconds it appeared.
watch_file() {
    python3 - "$1" <<'PY' &
import glob, sys, time
end = time.time() + 60
while time.time() < end:
    if glob.glob(sys.argv[1]):
        print(time.time_ns() // 1000)
        break
    time.sleep(0.001)
PY
}

# One start: prints "ms-to-first-frame rss-kb hwm-kb" after `settle` seconds.
one_start() {
    local log=$E2E_DIR/start.log settle=$1
    shift
    rm -f "$log"
    local t0
    t0=$(now_us)
    VISTALOOM_FRAME_LOG="$log" start_saver /S "$@"
    wait_for_frames "$log" 5 60 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
    sleep "$settle"
    local rss hwm first
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$SAVER_PID/status")
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$SAVER_PID/status")
    first=$(first_frame_us "$log")
    kill -TERM "$SAVER_PID"
    wait_exit "$SAVER_PID" 20
    echo "$(((first - t0) / 1000)) $rss $hwm"
}

write_settings "active_module=Demo"
echo "demo theme:"
for i in 1 2 3; do echo "  start $i: first frame ms, VmRSS kB, VmHWM kB: $(one_start 3)"; done
# The theme's music stays off with photos: this is the like-for-like memory figure.
write_settings "active_module=Demo" "mute_audio=1"
echo "demo theme, muted:"
for i in 1 2 3; do echo "  start $i: first frame ms, VmRSS kB, VmHWM kB: $(one_start 3)"; done

rm -rf "$XDG_CACHE_HOME/vistaloom"
write_settings "active_module=Demo" "photo_folder=$photos"
watch_file "$XDG_CACHE_HOME/vistaloom/photos-*.index" >"$E2E_DIR/index-at" &
watcher=$!
t0=$(now_us)
result=$(one_start 3)
wait "$watcher" || true
echo "photo library, first start (no index; the OS file cache is warm):"
echo "  exec to index written: $((($(cat "$E2E_DIR/index-at") - t0) / 1000)) ms"
echo "  first frame ms, VmRSS kB, VmHWM kB: $result"
echo "photo library, cached starts:"
for i in 1 2 3; do echo "  start $i: first frame ms, VmRSS kB, VmHWM kB: $(one_start 3)"; done

# Frame periods from 2 s before to 5 s after the first scene change. With photos the change
# is where the second set of picture lines comes; a theme's run is cut at the same frame.
change_periods() {
    local label=$1 log=$E2E_DIR/change-$1.log at=${3:-}
    write_settings "active_module=Demo" "mute_audio=1" $2
    VISTALOOM_FRAME_LOG="$log" start_saver /S
    if [ -z "$at" ]; then
        wait_for 60 pictures_at_least "$log" 40 || fail "no scene change within 60 s"
        sleep 6
    else
        wait_for 70 frames_at_least "$log" $((at + 120)) || fail "too few frames"
    fi
    kill -TERM "$SAVER_PID"
    wait_exit "$SAVER_PID" 20
    python3 - "$log" "$label" "$at" <<'PY'
import sys
log, label, at = sys.argv[1], sys.argv[2], sys.argv[3]
frames, change, pictures, last = {}, int(at) if at else None, 0, 0
for line in open(log).read().splitlines():
    parts = line.split()
    if parts and parts[0] == "picture":
        pictures += 1
        if pictures == 21 and change is None:
            change = last
    elif len(parts) == 2 and parts[0].isdigit():
        last = int(parts[0])
        frames[last] = int(parts[1])
target = next(ms for ms in range(1, 2000) if 1000 // ms <= 20)
window = [n for n in sorted(frames) if change - 40 <= n <= change + 100 and n + 1 in frames]
periods = [frames[n + 1] - frames[n] for n in window]
print(f"  {label}: scene change at frame {change}; {len(periods)} periods, min {min(periods)}"
      f"  median {sorted(periods)[len(periods) // 2]}  max {max(periods)} ms, target {target};"
      f" within {target}..{target + 2}: "
      f"{100.0 * sum(target <= p <= target + 2 for p in periods) / len(periods):.1f}%")
worst = sorted(zip(periods, window), reverse=True)[:3]
print("    longest: " + ", ".join(f"{p} ms at frame {n}" for p, n in worst))
print(f"CHANGE {change}", file=sys.stderr)
PY
}
pictures_at_least() { [ "$(grep -c '^picture' "$1")" -ge "$2" ]; }
echo "frame periods around the first scene change (35 s in), frame_rate 20, muted:"
change_periods photos "photo_folder=$photos" "" 2>"$E2E_DIR/change"
change_periods theme "" "$(awk '/^CHANGE/ {print $2}' "$E2E_DIR/change")" 2>/dev/null
