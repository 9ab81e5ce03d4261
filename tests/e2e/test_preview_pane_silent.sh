#!/usr/bin/env bash
# A settings dialog's preview pane (a host window smaller than the screen) shows the saver
# without its music; a daemon's window that covers the screen plays it.
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_E2E_HOST:?path of the e2e_host_window helper}"
: "${VISTALOOM_DEMO_THEME_DIR:?folder of the demo theme, which has a tune}"
start_x 800x600x24
make_sandbox
cp "$VISTALOOM_DEMO_THEME_DIR/Demo.icf" "$VISTALOOM_DEMO_THEME_DIR/Demo.img" "$INSTALL_DIR/"
write_settings "active_module=Demo" "mute_audio=0"

# True while the process has the audio device open (SDL's audio thread runs).
sounding() {
    local t
    for t in /proc/"$1"/task/*; do
        case $(cat "$t/comm" 2>/dev/null) in SDLAudio*) return 0 ;; esac
    done
    return 1
}

run_in_host() {
    local size=$1
    "$VISTALOOM_E2E_HOST" "$size" >"$E2E_DIR/host-$size.out" 2>/dev/null &
    HOST_PID=$!
    E2E_PIDS+=("$HOST_PID")
    wait_for 10 grep -qE '^[0-9]+$' "$E2E_DIR/host-$size.out" || fail "the host window did not start"
    rm -f "$E2E_DIR/frames.log"
    VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver -window-id "$(head -n1 "$E2E_DIR/host-$size.out")"
    wait_for_frames "$E2E_DIR/frames.log" 3 || fail "nothing drawn in $size: $(cat "$E2E_DIR/saver.err")"
}

note "a window as large as the screen plays the tune (the music step comes after 2 s)"
run_in_host 800x600
wait_for 10 sounding "$SAVER_PID" || fail "no music in a daemon's full-screen window"
kill -TERM "$SAVER_PID"; wait_exit "$SAVER_PID" 10; kill "$HOST_PID"

note "a preview pane stays silent"
run_in_host 200x150
sleep 5
sounding "$SAVER_PID" && fail "the preview pane plays music"
kill -TERM "$SAVER_PID"; wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS after SIGTERM"
echo PASS
