#!/usr/bin/env bash
# The layer-shell saver's pointer, scaled outputs and outputs nobody sees (headless sway, two
# outputs, the first at scale 2): a few small movements leave the run going and more than the
# sensitivity end it, as does a click; a scale-2 output shows the scene in device pixels and an
# output whose scale changes during the run gets a scene at its new scale;
# while the compositor asks for no frames the saver draws none and costs nothing, and it goes
# on when they come again.
source "$(dirname "$0")/lib.sh"
command -v grim >/dev/null || fail "grim is needed (scripts/install-deps)"
[ -x "${VISTALOOM_E2E_VIRTUAL_POINTER:-}" ] || fail "VISTALOOM_E2E_VIRTUAL_POINTER is not set"
make_sandbox
make_theme
write_settings "mute_audio=1" "mouse_sensitivity=20"
SWAY_OUTPUTS="HEADLESS-1:640x480 HEADLESS-2:400x300" start_sway
SWAYSOCK=$(ls "$SWAY_DIR"/runtime/sway-ipc.*.sock | sed -n 1p)
export SWAYSOCK
swaymsg output HEADLESS-1 scale 2 >/dev/null
FRAMES="$E2E_DIR/frames.log"
pointer() { "$VISTALOOM_E2E_VIRTUAL_POINTER" "$@"; }
frame_count() { wc -l <"$FRAMES"; }
output_size() { python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print(*struct.unpack(">II", d[16:24]))' "$1"; }
same_picture() {
    local differ
    differ=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
    note "$1 against $2: $differ pixels differ"
    [ "$differ" = 0 ]
}

note "pointer: movements within the sensitivity leave the run going, more end it"
VISTALOOM_FRAME_LOG="$FRAMES" start_saver /S --seed 3
wait_for_frames "$FRAMES" 10 20 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
pointer --hold 500 move 10 || fail "the virtual pointer did not run"
sleep 0.5
is_running "$SAVER_PID" || fail "ten movements ended the run (sensitivity 20)"
pointer move 15
wait_exit "$SAVER_PID" 5
[ "$E2E_STATUS" -eq 0 ] || fail "movements: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"

note "pointer: a click ends the run"
rm -f "$FRAMES"
VISTALOOM_FRAME_LOG="$FRAMES" start_saver /S --seed 4
wait_for_frames "$FRAMES" 10 20 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
pointer move 1 click
wait_exit "$SAVER_PID" 5
[ "$E2E_STATUS" -eq 0 ] || fail "click: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"

note "scale 2: the scene in device pixels; a scale changed during the run is followed"
write_settings "mute_audio=1" "objects_off=1" "show_time=0"
rm -f "$FRAMES"
VISTALOOM_FRAME_LOG="$FRAMES" start_saver /S --seed 6 --screenshot "$E2E_DIR/picture.png"
wait_for_frames "$FRAMES" 10 20 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
swaymsg output HEADLESS-2 scale 2 >/dev/null
sleep 1.5
grim -o HEADLESS-1 "$E2E_DIR/screen-1.png"
grim -o HEADLESS-2 "$E2E_DIR/screen-2.png"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 5
[ "$E2E_STATUS" -eq 0 ] || fail "scaled run: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
# At scale 2 the 640x480 output is a 320x240 surface; its scene has the output's every pixel.
[ "$(output_size "$E2E_DIR/picture.png")" = "640 480" ] ||
    fail "the scale-2 output's scene is $(output_size "$E2E_DIR/picture.png"), not 640 480"
same_picture "$E2E_DIR/screen-1.png" "$E2E_DIR/picture.png" ||
    fail "the scale-2 output does not show its scene pixel for pixel"
# The second output's first saver wrote picture-2.png; the one its new scale brought, -3.
[ -f "$E2E_DIR/picture-3.png" ] || fail "the output whose scale changed got no new scene"
[ "$(output_size "$E2E_DIR/picture-3.png")" = "400 300" ] ||
    fail "after the scale change the scene is $(output_size "$E2E_DIR/picture-3.png"), not 400 300"
same_picture "$E2E_DIR/screen-2.png" "$E2E_DIR/picture-3.png" ||
    fail "the output whose scale changed does not show its new scene"

note "a compositor that asks for no frames gets none, and the run costs nothing meanwhile"
# sway 1.7's headless outputs cannot be switched off (dpms off fails to commit), so the
# compositor is stopped instead: it sends no frame callbacks, as for an output that is off.
write_settings "mute_audio=1"
rm -f "$FRAMES"
VISTALOOM_FRAME_LOG="$FRAMES" start_saver /S --seed 7
wait_for_frames "$FRAMES" 10 20 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
sway_pid=$(pgrep -u nobody -x sway | sed -n 1p)
kill -STOP "$sway_pid"
sleep 1.5
before=$(frame_count)
ticks_before=$(awk '{print $14 + $15}' "/proc/$SAVER_PID/stat")
sleep 3
after=$(frame_count)
ticks_after=$(awk '{print $14 + $15}' "/proc/$SAVER_PID/stat")
kill -CONT "$sway_pid"
note "no frames asked for: $((after - before)) frames and $((ticks_after - ticks_before)) CPU ticks in 3 s"
[ "$after" -eq "$before" ] || fail "$((after - before)) frames were drawn that nobody asked for"
[ $((ticks_after - ticks_before)) -le 3 ] ||
    fail "waiting for the compositor cost $((ticks_after - ticks_before)) ticks in 3 s"
wait_for 5 frames_at_least "$FRAMES" $((after + 10)) || fail "no frames after the compositor came back"
grim -o HEADLESS-1 "$E2E_DIR/back.png"
read -r _ _ colours _ < <(png_stats "$E2E_DIR/back.png")
[ "$colours" -gt 50 ] || fail "after the compositor came back the output shows no scene ($colours colours)"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 5
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
note "ok"
