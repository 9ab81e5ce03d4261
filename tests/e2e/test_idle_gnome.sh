#!/usr/bin/env bash
# The GNOME idle source against Mutter's idle monitor interface on a real session bus. No
# GNOME session runs headless here, so e2e_idle_monitor plays the monitor: it owns the name
# with Mutter's interface shape, keeps an idle time, fires watches as Mutter does and records
# every request.
if [ -z "${VISTALOOM_IN_TEST_BUS:-}" ]; then
    exec dbus-run-session -- env VISTALOOM_IN_TEST_BUS=1 bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_IDLE_PROBE:?path of the idle probe}"
: "${VISTALOOM_IDLE_MONITOR:?path of the idle monitor stand-in}"

note "no idle monitor on the bus: no source, and a reason"
set +e
"$VISTALOOM_IDLE_PROBE" gnome 1000 >"$E2E_DIR/none.out" 2>"$E2E_DIR/none.err"
status=$?
set -e
[ "$status" -eq 2 ] || fail "no monitor: status $status, expected 2"
grep -q "not on the session bus" "$E2E_DIR/none.err" || fail "no monitor: $(cat "$E2E_DIR/none.err")"

MONITOR_LOG="$E2E_DIR/monitor.out"
mkfifo "$E2E_DIR/monitor.in"
"$VISTALOOM_IDLE_MONITOR" <"$E2E_DIR/monitor.in" >"$MONITOR_LOG" 2>"$E2E_DIR/monitor.err" &
MONITOR_PID=$!
E2E_PIDS+=("$MONITOR_PID")
exec 3>"$E2E_DIR/monitor.in"
wait_for 10 grep -qx ready "$MONITOR_LOG" || fail "the idle monitor stand-in did not start"
tell() { echo "$*" >&3; }

probe() {
    # Emptied before it starts, so that nobody reads the last run's lines as this one's.
    : >"$E2E_DIR/probe.out"
    "$VISTALOOM_IDLE_PROBE" gnome "$@" >"$E2E_DIR/probe.out" 2>"$E2E_DIR/probe.err" &
    PROBE_PID=$!
    E2E_PIDS+=("$PROBE_PID")
}
idle_ms() { awk -v n="$1" '$1 == "idle" && ++seen == n {print $2}' "$E2E_DIR/probe.out"; }
# The requests recorded since line `from` of the monitor's log.
requests_since() { tail -n "+$1" "$MONITOR_LOG"; }
log_lines() { wc -l <"$MONITOR_LOG"; }
# "AddIdleWatch MS -> ID" asks for the interval plus the idle time already gone.
check_interval() {
    local from=$1 want=$2 what=$3 gone interval
    gone=$(requests_since "$from" | awk '$1 == "GetIdletime" {print $3; exit}')
    interval=$(requests_since "$from" | awk '$1 == "AddIdleWatch" {print $2; exit}')
    [ -n "$gone" ] && [ "$interval" = "$((want + gone))" ] ||
        fail "$what: asked AddIdleWatch ${interval:-none} after an idle time of ${gone:-none}: $(requests_since "$from")"
}
expect_idle_between() {
    local n=$1 low=$2 high=$3 what=$4 ms
    ms=$(idle_ms "$n")
    [ -n "$ms" ] && [ "$ms" -ge "$low" ] && [ "$ms" -le "$high" ] ||
        fail "$what: report $n after ${ms:-no} ms, expected $low..$high: $(cat "$E2E_DIR/probe.out")"
}

note "armed: an idle watch for the interval, its firing is reported; armed again, it counts anew"
tell activity
from=$(($(log_lines) + 1))
probe 1500 2
wait_exit "$PROBE_PID" 15
[ "$E2E_STATUS" -eq 0 ] || fail "armed: status $E2E_STATUS: $(cat "$E2E_DIR/probe.err")"
grep -qx "armed gnome" "$E2E_DIR/probe.out" || fail "armed: $(cat "$E2E_DIR/probe.out")"
check_interval "$from" 1500 "armed"
expect_idle_between 1 1400 3000 "armed"
# The second arm comes while the user is still idle: 1.5 s more, not at once.
expect_idle_between 2 1400 3000 "armed again"
requests_since "$from" | grep -q '^WatchFired' || fail "armed: no watch fired"
# Each report's idle watch is removed: it would fire again after every idle period.
[ "$(requests_since "$from" | grep -c '^RemoveWatch')" -ge 2 ] ||
    fail "armed: watches were left behind: $(requests_since "$from")"

note "already idle beyond the interval: 1.5 s from the arm, not never"
tell idle 60000
from=$(($(log_lines) + 1))
probe 1500
wait_exit "$PROBE_PID" 15
[ "$E2E_STATUS" -eq 0 ] || fail "idle beyond: status $E2E_STATUS: $(cat "$E2E_DIR/probe.err")"
check_interval "$from" 1500 "idle beyond"
expect_idle_between 1 1400 3000 "idle beyond"

note "already idle, then input: the user-active watch, then an idle watch counting from the input"
tell idle 60000
from=$(($(log_lines) + 1))
probe 2000
wait_for 5 grep -q '^armed' "$E2E_DIR/probe.out" || fail "active route: probe did not arm"
wait_for 5 grep -q '^AddIdleWatch' <(requests_since "$from") || fail "active route: no idle watch"
sleep 1
tell activity
wait_exit "$PROBE_PID" 15
[ "$E2E_STATUS" -eq 0 ] || fail "active route: status $E2E_STATUS: $(cat "$E2E_DIR/probe.err")"
requests_since "$from" | grep -q '^AddUserActiveWatch' || fail "active route: no user-active watch"
requests_since "$from" | grep -qx 'AddIdleWatch 2000 -> [0-9]*' ||
    fail "active route: no plain idle watch after the input: $(requests_since "$from")"
# One second before the input, two after it.
expect_idle_between 1 2900 4500 "active route"

note "the monitor leaving the bus ends the wait with \"lost\""
probe 60000
wait_for 5 grep -q '^armed' "$E2E_DIR/probe.out" || fail "lost: probe did not arm"
tell quit
wait_exit "$PROBE_PID" 5
[ "$E2E_STATUS" -eq 3 ] || fail "lost: status $E2E_STATUS, expected 3: $(cat "$E2E_DIR/probe.out")"
grep -qx lost "$E2E_DIR/probe.out" || fail "lost: $(cat "$E2E_DIR/probe.out")"
note "the session bus itself going away ends the wait with \"lost\" too"
bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 --nopidfile)
export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$bus")
bus_pid=$(sed -n 2p <<<"$bus")
E2E_PIDS+=("$bus_pid")
mkfifo "$E2E_DIR/monitor2.in"
"$VISTALOOM_IDLE_MONITOR" <"$E2E_DIR/monitor2.in" >"$E2E_DIR/monitor2.out" 2>&1 &
E2E_PIDS+=("$!")
exec 4>"$E2E_DIR/monitor2.in"
wait_for 10 grep -qx ready "$E2E_DIR/monitor2.out" || fail "the second idle monitor did not start"
probe 60000
wait_for 5 grep -q '^armed' "$E2E_DIR/probe.out" || fail "bus gone: probe did not arm"
kill "$bus_pid"
wait_exit "$PROBE_PID" 5
[ "$E2E_STATUS" -eq 3 ] || fail "bus gone: status $E2E_STATUS, expected 3: $(cat "$E2E_DIR/probe.out")"
note "ok"
