#!/usr/bin/env bash
# -window-id and XSCREENSAVER_WINDOW draw the saver inside someone else's window, filling it
# and following its size; -root draws on the root window; input is the host's business;
# SIGTERM ends the run.
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_E2E_HOST:?path of the e2e_host_window helper}"
start_x
make_sandbox
make_theme demo
write_settings "active_module=demo" "gradients_on=1"

# Starts a host window; sets HOST_PID and HOST_ID.
HOSTS=0
start_host() {
    HOSTS=$((HOSTS + 1))
    local out="$E2E_DIR/host$HOSTS.out"
    "$VISTALOOM_E2E_HOST" "$@" >"$out" 2>"$E2E_DIR/host$HOSTS.err" &
    HOST_PID=$!
    E2E_PIDS+=("$HOST_PID")
    wait_for 10 grep -qE '^[0-9]+$' "$out" || fail "the host window did not start"
    HOST_ID=$(head -n1 "$out")
}

# Size of the saver's window inside the host, as "WxH".
child_size() {
    xwininfo -children -id "$HOST_ID" 2>/dev/null | grep '"Screen Saver Main Form"' |
        grep -oE '[0-9]+x[0-9]+\+' | tr -d + | head -n1
}
child_is() { [ "$(child_size)" = "$1" ]; }

IMPORT=/usr/bin/import
[ -x "$IMPORT" ] || IMPORT=$(command -v import) || fail "ImageMagick's import is needed"

note "-window-id"
start_host 400x300
VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver -window-id "$HOST_ID"
wait_for_frames "$E2E_DIR/frames.log" 3 || fail "nothing drawn: $(cat "$E2E_DIR/saver.err")"
wait_for 5 child_is 400x300 || fail "the saver does not fill the host (child: $(child_size))"
xdotool mousemove 10 10 click 1 key space
xdotool windowsize "$HOST_ID" 500 360
wait_for 10 child_is 500x360 || fail "the saver did not follow the host's new size ($(child_size))"
is_running "$SAVER_PID" || fail "input in the host ended an embedded saver"
lines=$(wc -l <"$E2E_DIR/frames.log")
wait_for_frames "$E2E_DIR/frames.log" $((lines + 3)) || fail "no frames after the resize"
"$IMPORT" -window "$HOST_ID" "$E2E_DIR/host.png" || fail "cannot grab the host window"
read -r w h colours nonblack < <(png_stats "$E2E_DIR/host.png")
note "host.png: ${w}x${h}, $colours colours, $nonblack not black"
[ "$w" -eq 500 ] && [ "$h" -eq 360 ] || fail "host grab is ${w}x${h}"
[ "$colours" -ge 20 ] || fail "the host window does not show the saver's gradient ($colours colours)"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "-window-id: exit status $E2E_STATUS after SIGTERM"
[ -z "$(temp_items)" ] || fail "temporary item files left"
kill "$HOST_PID"

note "XSCREENSAVER_WINDOW, and the saver ends when its host goes away"
start_host 320x240
rm -f "$E2E_DIR/frames.log"
XSCREENSAVER_WINDOW=$(printf '0x%x' "$HOST_ID") VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" \
    start_saver /S
wait_for_frames "$E2E_DIR/frames.log" 3 || fail "nothing drawn: $(cat "$E2E_DIR/saver.err")"
wait_for 5 child_is 320x240 || fail "the saver is not inside the XSCREENSAVER_WINDOW host"
kill "$HOST_PID"
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS after the host went away"

note "-root"
rm -f "$E2E_DIR/frames.log"
VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver -root
wait_for_frames "$E2E_DIR/frames.log" 5 || fail "nothing drawn on the root: $(cat "$E2E_DIR/saver.err")"
"$IMPORT" -window root "$E2E_DIR/root.png" || fail "cannot grab the root window"
read -r w h colours nonblack < <(png_stats "$E2E_DIR/root.png")
note "root.png: ${w}x${h}, $colours colours, $nonblack not black"
# The bare root window of the X server is a two-colour weave.
[ "$colours" -ge 20 ] || fail "the root window does not show the saver ($colours colours)"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "-root: exit status $E2E_STATUS after SIGTERM"

note "a window id that does not exist"
set +e
"$VISTALOOM" -window-id 0x7ffffff0 2>"$E2E_DIR/bad.err"
status=$?
set -e
[ "$status" -eq 1 ] || fail "a missing host window gave exit status $status"
[ "$(wc -l <"$E2E_DIR/bad.err")" -ge 1 ] || fail "no message for a missing host window"
echo PASS
