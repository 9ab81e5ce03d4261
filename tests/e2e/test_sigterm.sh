#!/usr/bin/env bash
# SIGTERM, SIGINT and the other ending signals (SIGHUP, SIGPIPE ...) end a run the way input
# does: exit 0, temporary item files and the emptied runtime folder removed, settings
# untouched. Also while the run is still being set up.
source "$(dirname "$0")/lib.sh"
start_x
make_sandbox
make_theme demo
write_settings "active_module=demo"
cp "$SETTINGS_FILE" "$E2E_DIR/settings.before"

for sig in TERM INT HUP PIPE USR1 ALRM; do
    note "SIG$sig during the frame loop"
    rm -f "$E2E_DIR/frames.log"
    VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver /S
    wait_for_frames "$E2E_DIR/frames.log" 5 || fail "the saver did not start"
    kill -"$sig" "$SAVER_PID"
    wait_exit "$SAVER_PID" 10
    [ "$E2E_STATUS" -eq 0 ] || fail "SIG$sig: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
    [ -z "$(temp_items)" ] || fail "SIG$sig: temporary item files left: $(temp_items)"
    [ ! -e "$XDG_RUNTIME_DIR/vistaloom" ] || fail "SIG$sig: empty runtime folder left behind"
done

note "SIGTERM as soon as the window is up"
start_saver /S
wait_for 10 saver_window_shown || fail "no saver window"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "early SIGTERM: exit status $E2E_STATUS"
[ -z "$(temp_items)" ] || fail "early SIGTERM: temporary item files left"

cmp -s "$E2E_DIR/settings.before" "$SETTINGS_FILE" || fail "the saver changed the settings file"
echo PASS
