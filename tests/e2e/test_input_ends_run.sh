#!/usr/bin/env bash
# A key press ends a run, a click ends a run, and with mouse_sensitivity 2 the third mouse
# movement ends it while two do not.
source "$(dirname "$0")/lib.sh"
start_x
make_sandbox
make_theme demo
write_settings "active_module=demo" "mouse_sensitivity=2"

# Starts a full-screen saver and waits until its frame loop runs (input before that is
# ignored by design).
start_running_saver() {
    rm -f "$E2E_DIR/frames.log"
    VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver /S
    wait_for_frames "$E2E_DIR/frames.log" 3 || fail "the saver did not start presenting frames"
}

expect_clean_end() {
    wait_exit "$SAVER_PID" 10
    [ "$E2E_STATUS" -eq 0 ] || fail "$1: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
    [ -z "$(temp_items)" ] || fail "$1: temporary item files left"
}

note "key press"
xdotool mousemove 512 384
start_running_saver
xdotool key space
expect_clean_end "key press"

note "click"
start_running_saver
xdotool click 1
expect_clean_end "click"

note "mouse movement"
start_running_saver
xdotool mousemove 100 100
sleep 0.3
xdotool mousemove 200 150
sleep 1
is_running "$SAVER_PID" || fail "two movements ended the run (sensitivity 2)"
xdotool mousemove 300 200
expect_clean_end "third movement"
echo PASS
