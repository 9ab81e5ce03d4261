#!/usr/bin/env bash
# The X server goes away under a running saver (a session ends, Xvfb is killed): the saver
# ends by itself with an ordinary exit status, no core dump, no temporary item file left,
# the settings untouched.
source "$(dirname "$0")/lib.sh"
make_sandbox
make_theme demo
write_settings "active_module=demo"
cp "$SETTINGS_FILE" "$E2E_DIR/settings.before"

for how in TERM KILL; do
    note "X server ended with SIG$how"
    start_x 640x480x24
    rm -f "$E2E_DIR/frames.log"
    VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver /S --windowed 320x240
    wait_for_frames "$E2E_DIR/frames.log" 10 || fail "the saver did not start"
    [ -n "$(temp_items)" ] || fail "no temporary item files while running (nothing to check)"
    kill -"$how" "$XVFB_PID"
    wait_exit "$SAVER_PID" 10
    [ "$E2E_STATUS" -lt 128 ] || fail "SIG$how: ended by a signal (status $E2E_STATUS)"
    [ -z "$(temp_items)" ] || fail "SIG$how: temporary item files left: $(temp_items)"
    cmp -s "$E2E_DIR/settings.before" "$SETTINGS_FILE" || fail "SIG$how: settings changed"
done
echo PASS
