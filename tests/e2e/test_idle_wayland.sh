#!/usr/bin/env bash
# The Wayland idle source against a real compositor, headless sway: it reports after its time
# with no input, not while keys are typed, again after a second arm, and says so when the
# compositor goes away.
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_IDLE_PROBE:?path of the idle probe}"
command -v wtype >/dev/null || fail "wtype is needed (scripts/install-deps)"
make_sandbox

note "no compositor: no source, and a reason"
set +e
WAYLAND_DISPLAY="$E2E_DIR/nobody-here" "$VISTALOOM_IDLE_PROBE" wayland 1000 >"$E2E_DIR/none.out" 2>"$E2E_DIR/none.err"
status=$?
set -e
[ "$status" -eq 2 ] || fail "no compositor: status $status, expected 2"
grep -q "no Wayland compositor" "$E2E_DIR/none.err" || fail "no compositor: $(cat "$E2E_DIR/none.err")"

start_sway
expected=kde-idle
if command -v wayland-info >/dev/null; then
    globals=$(wayland-info 2>/dev/null | grep -oE "'(ext_idle_notifier_v1|org_kde_kwin_idle)'" | tr '\n' ' ')
    note "sway $(sway --version | awk '{print $3}') offers: $globals"
    case $globals in *ext_idle_notifier_v1*) expected=ext-idle-notify ;; esac
fi

# probe MS [COUNT]: runs the probe in the background; sets PROBE_PID, output in probe.out.
probe() {
    # Emptied before it starts, so that nobody reads the last run's lines as this one's.
    : >"$E2E_DIR/probe.out"
    "$VISTALOOM_IDLE_PROBE" wayland "$@" >"$E2E_DIR/probe.out" 2>"$E2E_DIR/probe.err" &
    PROBE_PID=$!
    E2E_PIDS+=("$PROBE_PID")
}
# Milliseconds of the Nth "idle" report.
idle_ms() { awk -v n="$1" '$1 == "idle" && ++seen == n {print $2}' "$E2E_DIR/probe.out"; }

note "no input: reports after 2 s, and after 2 s more when armed again while still idle"
probe 2000 2
wait_exit "$PROBE_PID" 15
[ "$E2E_STATUS" -eq 0 ] || fail "no input: status $E2E_STATUS: $(cat "$E2E_DIR/probe.err")"
grep -qx "armed $expected" "$E2E_DIR/probe.out" || fail "protocol: $(head -n1 "$E2E_DIR/probe.out"), expected $expected"
note "protocol used: $expected"
for n in 1 2; do
    ms=$(idle_ms $n)
    [ -n "$ms" ] || fail "no input: report $n missing: $(cat "$E2E_DIR/probe.out")"
    # The idle time before the second arm must not count: it would report at once.
    [ "$ms" -ge 1900 ] && [ "$ms" -le 3500 ] || fail "no input: report $n after $ms ms, expected about 2000"
done

note "keys typed every 0.5 s hold the report off until typing stops"
(for _ in 1 2 3 4 5 6 7 8; do wtype a; sleep 0.5; done) &
typist=$!
E2E_PIDS+=("$typist")
probe 1500
wait_exit "$PROBE_PID" 20
[ "$E2E_STATUS" -eq 0 ] || fail "typing: status $E2E_STATUS: $(cat "$E2E_DIR/probe.err")"
ms=$(idle_ms 1)
# The eighth key comes at least 3.5 s after the first; the report 1.5 s after that.
[ -n "$ms" ] && [ "$ms" -ge 4800 ] || fail "typing: reported after ${ms:-no} ms, while keys were still typed"
wait "$typist"

note "the compositor going away ends the wait with \"lost\""
probe 60000
wait_for 5 grep -q '^armed' "$E2E_DIR/probe.out" || fail "lost: probe did not arm"
kill "$SWAY_PID"
wait_exit "$PROBE_PID" 5
[ "$E2E_STATUS" -eq 3 ] || fail "lost: status $E2E_STATUS, expected 3: $(cat "$E2E_DIR/probe.out")"
grep -qx lost "$E2E_DIR/probe.out" || fail "lost: $(cat "$E2E_DIR/probe.out")"
note "ok"
