#!/usr/bin/env bash
# SIGTERM at every phase: early in start-up (before our handler is in place the default
# action ends us, status 143), while the window and the theme are being set up, in the frame
# loop, and again while the run is already shutting down and saving the wallpaper. Every
# time: no crash or abort, no hang, no temporary item file, no half-written wallpaper, the
# settings as they were.
source "$(dirname "$0")/lib.sh"
start_x 640x480x24
make_sandbox
cp "$VISTALOOM_DEMO_THEME_DIR/Demo.icf" "$VISTALOOM_DEMO_THEME_DIR/Demo.img" "$INSTALL_DIR/"
write_settings "active_module=Demo" "save_wallpaper=1"
cp "$SETTINGS_FILE" "$E2E_DIR/settings.before"

check_end() {
    local what=$1
    wait_exit "$SAVER_PID" 15
    case "$E2E_STATUS" in
        0 | 143) ;;
        *) fail "$what: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")" ;;
    esac
    [ -z "$(temp_items)" ] || fail "$what: temporary item files left: $(temp_items)"
    [ -z "$(find "$XDG_DATA_HOME" -name '*.partial')" ] || fail "$what: half-written wallpaper"
    cmp -s "$E2E_DIR/settings.before" "$SETTINGS_FILE" || fail "$what: the settings file changed"
}

note "SIGTERM at fixed moments of start-up"
for delay in 0 0.01 0.03 0.06 0.1 0.15 0.25 0.4 0.6 0.9 1.3; do
    start_saver /S --windowed 320x240
    sleep "$delay"
    kill -TERM "$SAVER_PID"
    check_end "SIGTERM after ${delay}s"
done

note "SIGTERM twice: the second arrives while the first is being handled"
for pause in 0 0.005 0.02 0.05; do
    rm -f "$E2E_DIR/frames.log"
    VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver /S --windowed 320x240
    wait_for_frames "$E2E_DIR/frames.log" 5 || fail "the saver did not start"
    kill -TERM "$SAVER_PID"
    sleep "$pause"
    kill -TERM "$SAVER_PID" 2>/dev/null || true
    check_end "second SIGTERM after ${pause}s"
done

note "SIGTERM while a run that reached its last frame shuts down"
for pause in 0 0.01 0.05; do
    rm -f "$E2E_DIR/frames.log"
    VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver /S --windowed 320x240 --frames 40
    wait_for_frames "$E2E_DIR/frames.log" 39 || fail "the saver did not draw"
    sleep "$pause"
    kill -TERM "$SAVER_PID" 2>/dev/null || true
    check_end "SIGTERM at the last frame + ${pause}s"
done
echo PASS
