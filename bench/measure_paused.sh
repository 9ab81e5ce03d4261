#!/usr/bin/env bash
# CPU and wake-ups of the real saver while it draws and while a window covers it, under Xvfb
# at 1920x1080 with the demo theme. Wake-ups are voluntary context switches (each one a
# sleep that ended), counted per thread from /proc.
#
#   bench/measure_paused.sh [BUILD_DIR]     MEASURE_SECONDS=10   MUTE=1 (0: with music)
set -euo pipefail
seconds=${MEASURE_SECONDS:-10}
source "$(dirname "$0")/saver_bench_lib.sh"
saver_bench_setup "${1:-}"
start_x 1920x1080x24
install_demo_theme || fail "no demo theme in $DEMO (build the default preset first)"
write_settings "active_module=Demo" "mute_audio=${MUTE:-1}"
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# Voluntary context switches of the main thread and of all threads.
switches() {
    local main all=0 t
    main=$(awk '/^voluntary_ctxt_switches/ {print $2}' "/proc/$1/task/$1/status")
    for t in /proc/"$1"/task/*/status; do
        all=$((all + $(awk '/^voluntary_ctxt_switches/ {print $2}' "$t")))
    done
    echo "$main $all"
}
sample() {
    local name=$1 t0 t1 s0 s1
    t0=$(cpu_ticks "$SAVER_PID"); s0=$(switches "$SAVER_PID")
    sleep "$seconds"
    t1=$(cpu_ticks "$SAVER_PID"); s1=$(switches "$SAVER_PID")
    python3 - "$name" "$t0" "$t1" "$hz" "$seconds" $s0 $s1 <<'PY'
import sys
name, t0, t1, hz, secs, m0, a0, m1, a1 = sys.argv[1:10]
secs = float(secs)
cpu = 100.0 * (int(t1) - int(t0)) / int(hz) / secs
print(f"{name}: CPU {cpu:.2f}% of one core, wake-ups/s main thread {(int(m1) - int(m0)) / secs:.2f}, "
      f"all threads {(int(a1) - int(a0)) / secs:.2f}")
PY
}

log="$E2E_DIR/frames.log"
VISTALOOM_FRAME_LOG="$log" start_saver /S
wait_for_frames "$log" 20 30 || fail "the saver did not start"
sleep 2
sample "drawing (1920x1080, 20 fps)"
"$VISTALOOM_E2E_HOST" 1920x1080 >/dev/null 2>&1 &
cover=$!
E2E_PIDS+=("$cover")
sleep 2
sample "covered"
kill "$cover"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 10
