#!/usr/bin/env bash
# The full-screen saver on a compositor with layer shell (headless sway, two outputs): an
# overlay surface on each output that shows the moving scene, no window in sway's tree, a key
# that ends the run at once, outputs plugged in and out during the run, and SIGTERM.
source "$(dirname "$0")/lib.sh"
command -v grim >/dev/null || fail "grim is needed (scripts/install-deps)"
make_sandbox
make_theme
write_settings "mute_audio=1"
start_sway
SWAYSOCK=$(ls "$SWAY_DIR"/runtime/sway-ipc.*.sock | head -n1)
export SWAYSOCK
FRAMES="$E2E_DIR/frames.log"

shot() { grim -o "$1" "$2"; }
# Prints "width height colours nonblack" for output $1's screen now.
output_stats() {
    shot "$1" "$E2E_DIR/$1-$2.png" && png_stats "$E2E_DIR/$1-$2.png"
}
# A scene: the gradient and the sprites give many colours, not a flat fill.
expect_scene() {
    local output=$1 tag=$2 w h colours nonblack
    read -r w h colours nonblack < <(output_stats "$output" "$tag")
    note "$output ($tag): ${w}x$h, $colours colours, $nonblack not black"
    [ "$colours" -gt 50 ] || fail "$output ($tag) shows no scene ($colours colours)"
}
outputs_shown() { [ "$(swaymsg -t get_outputs -r | python3 -c 'import json,sys; print(sum(o["active"] for o in json.load(sys.stdin)))')" -eq "$1" ]; }
no_saver_window() {
    ! swaymsg -t get_tree -r | grep -q '"app_id": "vistaloom"\|Screen Saver Main Form'
}

VISTALOOM_FRAME_LOG="$FRAMES" start_saver /S --seed 3 --fps
wait_for_frames "$FRAMES" 20 20 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
grep -q '^presentation wayland-layer$' "$FRAMES" || fail "the run did not take the layer-shell path"

note "both outputs show the scene, and it moves"
for output in HEADLESS-1 HEADLESS-2; do expect_scene "$output" a; done
sleep 1
for output in HEADLESS-1 HEADLESS-2; do
    expect_scene "$output" b
    cmp -s "$E2E_DIR/$output-a.png" "$E2E_DIR/$output-b.png" && fail "$output: the scene stands still"
done
no_saver_window || fail "the saver shows up as a window in sway's tree"

note "an output plugged in gains a scene; one switched off loses it, the run goes on"
swaymsg create_output >/dev/null
wait_for 5 outputs_shown 3 || fail "sway did not add an output"
sleep 1.5
expect_scene HEADLESS-3 new
swaymsg output HEADLESS-2 disable >/dev/null
sleep 1
is_running "$SAVER_PID" || fail "the run ended with an output: $(cat "$E2E_DIR/saver.err")"
expect_scene HEADLESS-1 after-disable

note "a key ends the run within a second, with status 0"
wtype a
started=$(date +%s%N)
wait_exit "$SAVER_PID" 5
took=$((($(date +%s%N) - started) / 1000000))
note "the key ended the run after $took ms"
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
[ "$took" -lt 1000 ] || fail "the key took $took ms to end the run"

note "SIGTERM ends a run with status 0"
rm -f "$FRAMES"
VISTALOOM_FRAME_LOG="$FRAMES" start_saver /S --seed 4
wait_for_frames "$FRAMES" 10 20 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 5
[ "$E2E_STATUS" -eq 0 ] || fail "SIGTERM: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
note "moving pictures on black leave nothing behind them in the buffers they are drawn in"
# The next frame's buffer is brought up to date from the one just shown only where that frame
# does not draw; a fault there shows as pictures smeared along their way.
write_settings "mute_audio=1" "gradients_on=0" "show_time=0" "sprite_active=4" "frame_rate=60"
rm -f "$FRAMES"
VISTALOOM_FRAME_LOG="$FRAMES" start_saver /S --seed 5
wait_for_frames "$FRAMES" 120 20 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
for i in 1 2 3; do
    read -r w h colours nonblack < <(output_stats HEADLESS-1 "trail-$i")
    note "HEADLESS-1, shot $i: $nonblack of it not black, $colours colours"
    [ "$colours" -gt 1 ] || fail "no pictures on the black background"
    # Four 320 x 240 pictures cover at most this share of the 800 x 600 output.
    python3 -c "import sys; sys.exit($nonblack > 4 * 320 * 240 / (800 * 600))" ||
        fail "$nonblack of the output is not black, more than four pictures cover: a trail"
    sleep 0.7
done
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 5

note "without boxes each output shows its saver's picture pixel for pixel"
write_settings "mute_audio=1" "objects_off=1" "show_time=0"
rm -f "$FRAMES"
VISTALOOM_FRAME_LOG="$FRAMES" start_saver /S --seed 6 --screenshot "$E2E_DIR/picture.png"
wait_for_frames "$FRAMES" 10 20 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
sleep 0.5
shot HEADLESS-1 "$E2E_DIR/screen.png"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 5
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
differ=$(compare -metric AE "$E2E_DIR/screen.png" "$E2E_DIR/picture.png" null: 2>&1 || true)
note "$differ pixels differ"
[ "$differ" = 0 ] || fail "the output does not show the saver's picture ($differ pixels differ)"
note "ok"
