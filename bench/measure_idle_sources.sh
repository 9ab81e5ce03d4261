#!/usr/bin/env bash
# What the watcher's Wayland and GNOME idle sources cost while they wait: each is armed for an
# hour in e2e_idle_probe, under headless sway (KDE's protocol) and against the idle monitor
# stand-in on a test session bus, and sampled for MEASURE_SECONDS: CPU time (from
# /proc/PID/schedstat, in nanoseconds), wake-ups (voluntary context switches, all threads)
# and resident memory; then the whole watcher, `vistaloom --watch`, on the same compositor.
#
#   bench/measure_idle_sources.sh [BUILD_DIR]     MEASURE_SECONDS=30
set -euo pipefail
if [ -z "${VISTALOOM_IN_TEST_BUS:-}" ]; then
    exec dbus-run-session -- env VISTALOOM_IN_TEST_BUS=1 bash "$0" "$@"
fi
seconds=${MEASURE_SECONDS:-30}
source "$(dirname "$0")/saver_bench_lib.sh"
saver_bench_setup "${1:-}"
probe_bin=$build/tests/e2e_idle_probe
monitor_bin=$build/tests/e2e_idle_monitor
[ -x "$probe_bin" ] && [ -x "$monitor_bin" ] || fail "build e2e_idle_probe and e2e_idle_monitor first"

cpu_ns() { awk '{print $1}' "/proc/$1/schedstat"; }
wakeups() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches/ {n += $2} END {print n}'; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }

sample() {
    local name=$1 pid=$2 c0 c1 w0 w1
    sleep 2
    c0=$(cpu_ns "$pid"); w0=$(wakeups "$pid")
    sleep "$seconds"
    c1=$(cpu_ns "$pid"); w1=$(wakeups "$pid")
    is_running "$pid" || fail "$name: the probe ended while waiting"
    python3 - "$name" "$c0" "$c1" "$w0" "$w1" "$seconds" "$(rss_kb "$pid")" <<'PY'
import sys
name, c0, c1, w0, w1, secs, rss = sys.argv[1:8]
secs = float(secs)
cpu = 100.0 * (int(c1) - int(c0)) / 1e9 / secs
print(f"{name}: CPU {cpu:.4f}% of one core, wake-ups/s {(int(w1) - int(w0)) / secs:.2f}, "
      f"resident {int(rss) / 1024:.1f} MB over {secs:.0f} s")
PY
}

start_sway
"$probe_bin" wayland 3600000 >"$E2E_DIR/wayland.out" 2>&1 &
wayland_probe=$!
E2E_PIDS+=("$wayland_probe")

# Its input stays open, or it would take the end of it for "quit".
mkfifo "$E2E_DIR/monitor.in"
"$monitor_bin" <"$E2E_DIR/monitor.in" >"$E2E_DIR/monitor.out" 2>&1 &
E2E_PIDS+=("$!")
exec 3>"$E2E_DIR/monitor.in"
wait_for 10 grep -qx ready "$E2E_DIR/monitor.out" || fail "the idle monitor stand-in did not start"
"$probe_bin" gnome 3600000 >"$E2E_DIR/gnome.out" 2>&1 &
gnome_probe=$!
E2E_PIDS+=("$gnome_probe")

wait_for 5 grep -q '^armed' "$E2E_DIR/wayland.out" || fail "wayland: $(cat "$E2E_DIR/wayland.out")"
wait_for 5 grep -q '^armed' "$E2E_DIR/gnome.out" || fail "gnome: $(cat "$E2E_DIR/gnome.out")"
sample "wayland ($(awk '/^armed/ {print $2}' "$E2E_DIR/wayland.out"), sway headless)" "$wayland_probe"
sample "gnome (idle monitor stand-in)" "$gnome_probe"

# The whole watcher on the same compositor, waiting for an hour's idle time.
"$VISTALOOM" --watch --after 3600 >"$E2E_DIR/watch.out" 2>"$E2E_DIR/watch.err" &
watcher=$!
E2E_PIDS+=("$watcher")
wait_for 5 grep -q 'watching' "$E2E_DIR/watch.err" || fail "watcher: $(cat "$E2E_DIR/watch.err")"
sample "vistaloom --watch ($(grep -o 'watching ([^)]*)' "$E2E_DIR/watch.err"))" "$watcher"
