#!/usr/bin/env bash
# Faults from outside while the saver runs: its theme deleted or cut short, its temporary
# folder removed, the sound device failing, the themes folder unusable. The saver keeps
# drawing, ends on SIGTERM with status 0, leaves no temporary file and the settings as they
# were.
source "$(dirname "$0")/lib.sh"
start_x 640x480x24
make_sandbox
cp "$VISTALOOM_DEMO_THEME_DIR/Demo.icf" "$VISTALOOM_DEMO_THEME_DIR/Demo.img" "$INSTALL_DIR/"
write_settings "active_module=Demo" "mute_audio=0"
cp "$SETTINGS_FILE" "$E2E_DIR/settings.before"
LOG="$E2E_DIR/frames.log"

# Starts a windowed saver and waits until it draws.
run_saver() {
    rm -f "$LOG"
    VISTALOOM_FRAME_LOG="$LOG" start_saver /S --windowed 320x240
    wait_for_frames "$LOG" 10 || fail "$1: the saver did not start: $(cat "$E2E_DIR/saver.err")"
}
# The saver is still drawing: more frames come after `seconds`.
keeps_drawing() {
    local before
    before=$(wc -l <"$LOG")
    sleep "$2"
    is_running "$SAVER_PID" || fail "$1: the saver ended: $(cat "$E2E_DIR/saver.err")"
    [ "$(wc -l <"$LOG")" -gt "$before" ] || fail "$1: no frames drawn any more"
}
# SIGTERM, then the checks every case shares.
end_saver() {
    kill -TERM "$SAVER_PID"
    wait_exit "$SAVER_PID" 10
    [ "$E2E_STATUS" -eq 0 ] || fail "$1: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
    [ -z "$(temp_items)" ] || fail "$1: temporary item files left: $(temp_items)"
    cmp -s "$E2E_DIR/settings.before" "$SETTINGS_FILE" || fail "$1: the settings file changed"
}
restore_theme() {
    cp "$VISTALOOM_DEMO_THEME_DIR/Demo.icf" "$VISTALOOM_DEMO_THEME_DIR/Demo.img" "$INSTALL_DIR/"
}

note "theme files deleted while the music step reads them"
run_saver deleted
rm -f "$INSTALL_DIR/Demo.icf" "$INSTALL_DIR/Demo.img"
keeps_drawing deleted 5
end_saver deleted
restore_theme

note "theme container truncated mid-run"
run_saver truncated
truncate -s 100 "$INSTALL_DIR/Demo.img"
keeps_drawing truncated 5
end_saver truncated
restore_theme

note "temporary folder removed mid-run"
run_saver "temp folder"
rm -rf "$XDG_RUNTIME_DIR/vistaloom"
keeps_drawing "temp folder" 5
end_saver "temp folder"

note "sound device failing: writes to a full device, or no device at all"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/full run_saver "full audio device"
keeps_drawing "full audio device" 5
end_saver "full audio device"
SDL_AUDIODRIVER=no-such-driver run_saver "no audio device"
keeps_drawing "no audio device" 3
end_saver "no audio device"

note "themes folder unusable: a file in its place, or unreadable"
mv "$INSTALL_DIR" "$E2E_DIR/themes.away"
echo "not a folder" >"$INSTALL_DIR"
run_saver "themes folder is a file"
keeps_drawing "themes folder is a file" 2
end_saver "themes folder is a file"
grep -q "no themes" "$E2E_DIR/saver.err" || fail "nothing said about the themes folder"
rm -f "$INSTALL_DIR"
mv "$E2E_DIR/themes.away" "$INSTALL_DIR"
if [ "$(id -u)" -ne 0 ]; then
    chmod 000 "$INSTALL_DIR"
    run_saver "themes folder unreadable"
    keeps_drawing "themes folder unreadable" 2
    end_saver "themes folder unreadable"
    chmod 755 "$INSTALL_DIR"
else
    note "(root reads any folder: the unreadable case is left to non-root runs)"
fi
echo PASS
