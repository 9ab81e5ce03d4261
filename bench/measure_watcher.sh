#!/usr/bin/env bash
# The idle watcher (vistaloom --watch) under Xvfb: CPU (% of one core, from /proc/PID/stat),
# wake-ups and peak resident memory while it waits, and the delay from the idle deadline (the
# last key press plus the idle time) to the saver's first presented frame.
#
#   bench/measure_watcher.sh [BUILD_DIR]     MEASURE_SECONDS=60   RUNS=3
#   BUS=1: with a session bus of its own, the watcher serving org.freedesktop.ScreenSaver
set -euo pipefail
seconds=${MEASURE_SECONDS:-60}
runs=${RUNS:-3}
source "$(dirname "$0")/saver_bench_lib.sh"
saver_bench_setup "${1:-}"
start_x 1920x1080x24
install_demo_theme || fail "no demo theme in $DEMO (build the default preset first)"
write_settings "active_module=Demo" "mute_audio=1"
if [ "${BUS:-0}" = 1 ]; then
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 --nopidfile)
    export DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | sed -n 1p)
    E2E_PIDS+=("$(echo "$bus" | sed -n 2p)")
else
    # The X11 source alone: the bus address leads nowhere.
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_DIR/no-bus"
fi
hz=$(getconf CLK_TCK)
log="$E2E_DIR/frames.log"
export VISTALOOM_FRAME_LOG="$log"

start_watcher() {
    "$VISTALOOM" --watch --after "$1" 2>"$E2E_DIR/watch.err" &
    WATCH_PID=$!
    E2E_PIDS+=("$WATCH_PID")
    wait_for 10 grep -q "watching" "$E2E_DIR/watch.err" || fail "the watcher did not start"
}
stop_watcher() {
    kill -TERM "$WATCH_PID"
    wait_exit "$WATCH_PID" 10
}
now_us() { date +%s%6N; }
saver_child() { ps -o pid= --ppid "$WATCH_PID" 2>/dev/null | tr -d ' ' | head -n1; }
first_frame_us() { awk '/^# first-frame-presented-unix-us/ {print $3; exit}' "$log" 2>/dev/null; }
has_first_frame() { [ -n "$(first_frame_us)" ]; }

# While waiting: a long idle time, so that nothing but the wait itself is measured.
start_watcher 7200
sleep 2
t0=$(awk '{print $14 + $15}' "/proc/$WATCH_PID/stat")
w0=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$WATCH_PID/status")
sleep "$seconds"
t1=$(awk '{print $14 + $15}' "/proc/$WATCH_PID/stat")
w1=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$WATCH_PID/status")
peak_kb=$(awk '/^VmHWM/ {print $2}' "/proc/$WATCH_PID/status")
rss_kb=$(awk '/^VmRSS/ {print $2}' "/proc/$WATCH_PID/status")
python3 - "$t0" "$t1" "$hz" "$seconds" "$w0" "$w1" "$rss_kb" "$peak_kb" <<'PY'
import sys
t0, t1, hz, secs, w0, w1, rss, peak = (float(v) for v in sys.argv[1:9])
print(f"waiting {secs:.0f} s: CPU {100.0 * (t1 - t0) / hz / secs:.3f}% of one core "
      f"({t1 - t0:.0f} ticks of 1/{hz:.0f} s), wake-ups {(w1 - w0) / secs:.2f}/s, "
      f"resident {rss / 1024:.1f} MB, peak {peak / 1024:.1f} MB")
PY
stop_watcher

# Idle deadline to first frame: a key press starts the idle time, which the watcher counts
# from the X server's own clock of the last input.
idle=3
start_watcher "$idle"
for run in $(seq 1 "$runs"); do
    rm -f "$log"
    xdotool mousemove $((100 + run)) 100 key shift
    pressed=$(now_us)
    wait_for $((idle + 15)) has_first_frame || fail "no saver frame (run $run)"
    delay_ms=$(( ($(first_frame_us) - pressed - idle * 1000000) / 1000 ))
    echo "run $run: idle deadline to first frame ${delay_ms} ms"
    child=$(saver_child)
    xdotool mousemove 400 300 key shift
    wait_for 10 is_gone "$child" || fail "the saver did not end on input"
done
peak_kb=$(awk '/^VmHWM/ {print $2}' "/proc/$WATCH_PID/status")
echo "watcher peak resident after $runs saver runs: $((peak_kb / 1024)) MB"
stop_watcher
