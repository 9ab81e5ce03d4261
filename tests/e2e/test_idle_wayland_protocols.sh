#!/usr/bin/env bash
# The Wayland idle source's choice of protocol and its requests, against e2e_idle_compositor,
# a compositor that offers only a seat and the idle protocols and records what it is asked:
# ext-idle-notify-v1 is preferred (no Debian 12 compositor offers it to test with), a new arm
# replaces the notification, and a compositor with neither protocol gives no source.
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_IDLE_PROBE:?path of the idle probe}"
: "${VISTALOOM_IDLE_COMPOSITOR:?path of the test compositor}"
make_sandbox
COMPOSITORS=0

# compositor OPTIONS...: starts one on a socket of its own; sets WAYLAND_DISPLAY, COMP_LOG and
# COMP_PID, with its stdin on descriptor 3.
compositor() {
    COMPOSITORS=$((COMPOSITORS + 1))
    local name="idle-test-$COMPOSITORS"
    COMP_LOG="$E2E_DIR/$name.out"
    rm -f "$E2E_DIR/$name.in"
    mkfifo "$E2E_DIR/$name.in"
    "$VISTALOOM_IDLE_COMPOSITOR" "$name" "$@" <"$E2E_DIR/$name.in" >"$COMP_LOG" 2>&1 &
    COMP_PID=$!
    E2E_PIDS+=("$COMP_PID")
    exec 3>"$E2E_DIR/$name.in"
    wait_for 5 grep -qx ready "$COMP_LOG" || fail "the test compositor did not start"
    export WAYLAND_DISPLAY="$XDG_RUNTIME_DIR/$name"
}
tell() { echo "$*" >&3; }
probe() {
    # Emptied before it starts, so that nobody reads the last run's lines as this one's.
    : >"$E2E_DIR/probe.out"
    "$VISTALOOM_IDLE_PROBE" wayland "$@" >"$E2E_DIR/probe.out" 2>"$E2E_DIR/probe.err" &
    PROBE_PID=$!
    E2E_PIDS+=("$PROBE_PID")
}
recorded() { grep -c -x -- "$1" "$COMP_LOG" || true; }
notifications_made() { [ "$(recorded "get_idle_notification $1")" -eq "$2" ]; }

note "both offered: ext-idle-notify-v1, a notification with the armed time, its idled reported"
compositor --kde --ext
probe 1500 2
wait_for 5 grep -qx 'armed ext-idle-notify' "$E2E_DIR/probe.out" || fail "protocol: $(cat "$E2E_DIR/probe.out" "$E2E_DIR/probe.err")"
wait_for 5 grep -qx 'get_idle_notification 1500' "$COMP_LOG" || fail "no notification for 1500 ms: $(cat "$COMP_LOG")"
# Activity before the compositor says idle changes nothing.
tell resumed
tell idled
wait_for 5 grep -q '^idle' "$E2E_DIR/probe.out" || fail "idled was not reported"
note "armed again: the old notification goes, a new one counts from now"
wait_for 5 notifications_made 1500 2 || fail "no second notification: $(cat "$COMP_LOG")"
[ "$(recorded 'destroy notification')" -ge 1 ] || fail "the first notification was left behind: $(cat "$COMP_LOG")"
[ "$(grep -c '^get_idle_timeout' "$COMP_LOG" || true)" -eq 0 ] || fail "KDE's protocol used as well"
tell idled
wait_exit "$PROBE_PID" 5
[ "$E2E_STATUS" -eq 0 ] || fail "second report: status $E2E_STATUS: $(cat "$E2E_DIR/probe.out")"
[ "$(grep -c '^idle' "$E2E_DIR/probe.out")" -eq 2 ] || fail "reports: $(cat "$E2E_DIR/probe.out")"

note "the compositor going away ends the wait with \"lost\""
probe 60000
wait_for 5 grep -q '^armed' "$E2E_DIR/probe.out" || fail "lost: probe did not arm"
tell quit
wait_exit "$PROBE_PID" 5
[ "$E2E_STATUS" -eq 3 ] || fail "lost: status $E2E_STATUS, expected 3: $(cat "$E2E_DIR/probe.out")"

note "KDE's protocol only: its idle timeout with the armed time"
compositor --kde
probe 2500
wait_for 5 grep -qx 'armed kde-idle' "$E2E_DIR/probe.out" || fail "kde: $(cat "$E2E_DIR/probe.out" "$E2E_DIR/probe.err")"
wait_for 5 grep -qx 'get_idle_timeout 2500' "$COMP_LOG" || fail "kde: $(cat "$COMP_LOG")"
tell idled
wait_exit "$PROBE_PID" 5
[ "$E2E_STATUS" -eq 0 ] || fail "kde: status $E2E_STATUS"
tell quit

note "neither protocol: no source, and a reason"
compositor
set +e
"$VISTALOOM_IDLE_PROBE" wayland 1000 >"$E2E_DIR/probe.out" 2>"$E2E_DIR/probe.err"
status=$?
set -e
[ "$status" -eq 2 ] || fail "neither: status $status, expected 2"
grep -q "neither ext-idle-notify-v1 nor org_kde_kwin_idle" "$E2E_DIR/probe.err" || fail "neither: $(cat "$E2E_DIR/probe.err")"
tell quit
note "ok"
