#!/usr/bin/env bash
# The screen modes on the layer-shell saver (headless sway, two outputs side by side): each
# output its own scene (each), the first output's scene on both (mirror), one scene across
# both (span), the first alone with the second black (main); an output plugged in during a
# mirror run mirrors it too, and a key ends the run with every output's surface gone.
# Pictures stay still (no sprites, no clock), so two screenshots show the same frame.
source "$(dirname "$0")/lib.sh"
command -v grim >/dev/null || fail "grim is needed (scripts/install-deps)"
make_sandbox
make_theme
write_settings "mute_audio=1" "objects_off=1" "show_time=0"
SWAY_OUTPUTS="HEADLESS-1:800x600 HEADLESS-2:640x480" start_sway
SWAYSOCK=$(ls "$SWAY_DIR"/runtime/sway-ipc.*.sock | sed -n 1p)
export SWAYSOCK
swaymsg output HEADLESS-1 position 0 0 >/dev/null
swaymsg output HEADLESS-2 position 800 0 >/dev/null
FRAMES="$E2E_DIR/frames.log"

# Pixels that differ between two pictures (after `convert` options for the first).
differing() {
    local first=$1 second=$2
    shift 2
    convert "$first" "$@" png:- | compare -metric AE - "$second" null: 2>&1 || true
}
# The mean difference of two pictures of one size, as a fraction of full scale.
distance() {
    { compare -metric RMSE "$1" "$2" null: 2>&1 || true; } | sed -n 's/.*(\(.*\)).*/\1/p'
}

# Runs the saver in `mode` until its frames come, screenshots both outputs, ends it with
# SIGTERM; the scene screenshots are picture.png (first output) and picture-2.png.
run_mode() {
    local mode=$1
    rm -f "$FRAMES" "$E2E_DIR"/picture*.png "$E2E_DIR"/screen-*.png
    VISTALOOM_FRAME_LOG="$FRAMES" start_saver /S --seed 5 --screens "$mode" \
        --screenshot "$E2E_DIR/picture.png"
    wait_for_frames "$FRAMES" 10 20 || fail "$mode: no frames: $(cat "$E2E_DIR/saver.err")"
    sleep 0.5
    grim -o HEADLESS-1 "$E2E_DIR/screen-1.png"
    grim -o HEADLESS-2 "$E2E_DIR/screen-2.png"
    kill -TERM "$SAVER_PID"
    wait_exit "$SAVER_PID" 5
    [ "$E2E_STATUS" -eq 0 ] || fail "$mode: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
    [ -s "$E2E_DIR/picture.png" ] && [ -s "$E2E_DIR/picture-2.png" ] ||
        fail "$mode: a screenshot is missing: $(ls "$E2E_DIR")"
    [ ! -e "$E2E_DIR/picture-3.png" ] || fail "$mode: three screens for two outputs"
    if [ -n "${E2E_SCREENSHOT:-}" ]; then
        convert "$E2E_DIR/screen-1.png" "$E2E_DIR/screen-2.png" -background '#303030' \
            -splice 8x0 +append -chop 8x0 "${E2E_SCREENSHOT%.png}-$mode.png"
    fi
}

note "span: one scene across both outputs, each showing its part of it"
run_mode span
read -r w h _ < <(png_stats "$E2E_DIR/picture.png")
[ "$w $h" = "1440 600" ] || fail "span: the scene is ${w}x${h}, not the 1440x600 of both outputs: $(cat "$E2E_DIR/saver.err")"
n=$(differing "$E2E_DIR/picture.png" "$E2E_DIR/screen-1.png" -crop 800x600+0+0 +repage)
[ "$n" = 0 ] || fail "span: the first output differs from its part of the scene in $n pixels"
n=$(differing "$E2E_DIR/picture.png" "$E2E_DIR/screen-2.png" -crop 640x480+800+0 +repage)
[ "$n" = 0 ] || fail "span: the second output differs from its part of the scene in $n pixels"

note "mirror: the first output's scene on both, fitted to the smaller one"
run_mode mirror
n=$(differing "$E2E_DIR/picture-2.png" "$E2E_DIR/screen-2.png")
[ "$n" = 0 ] || fail "mirror: the second output does not show its picture ($n pixels differ)"
convert "$E2E_DIR/screen-1.png" -filter point -resize 640x480! "$E2E_DIR/screen-1-fitted.png"
d=$(distance "$E2E_DIR/screen-1-fitted.png" "$E2E_DIR/screen-2.png")
note "mirror: the outputs differ by $d after scaling"
read -r _ _ colours _ < <(png_stats "$E2E_DIR/screen-2.png")
[ "$colours" -gt 50 ] || fail "mirror: the second output shows no scene ($colours colours)"
awk -v d="$d" 'BEGIN { exit !(d != "" && d < 0.02) }' ||
    fail "mirror: the second output is no copy of the first (distance $d)"

note "each: two scenes of their own"
run_mode each
convert "$E2E_DIR/screen-1.png" -filter point -resize 640x480! "$E2E_DIR/screen-1-fitted.png"
d=$(distance "$E2E_DIR/screen-1-fitted.png" "$E2E_DIR/screen-2.png")
note "each: the outputs differ by $d after scaling"
awk -v d="$d" 'BEGIN { exit !(d != "" && d > 0.05) }' ||
    fail "each: the two outputs show the same scene (distance $d)"

note "main: the second output black"
run_mode main
read -r _ _ colours _ < <(png_stats "$E2E_DIR/screen-2.png")
n=$(convert "$E2E_DIR/screen-2.png" -format '%[fx:maxima.r+maxima.g+maxima.b]' info:)
[ "$colours" -eq 1 ] && [ "$n" = 0 ] || fail "main: the second output is not black ($colours colours)"
read -r _ _ colours _ < <(png_stats "$E2E_DIR/screen-1.png")
[ "$colours" -gt 50 ] || fail "main: the first output shows no scene ($colours colours)"

note "mirror: an output plugged in during the run mirrors the scene; a key ends the run"
rm -f "$FRAMES"
VISTALOOM_FRAME_LOG="$FRAMES" start_saver /S --seed 6 --screens mirror
wait_for_frames "$FRAMES" 10 20 || fail "plugged: no frames: $(cat "$E2E_DIR/saver.err")"
swaymsg create_output >/dev/null
outputs_shown() { [ "$(swaymsg -t get_outputs -r | python3 -c 'import json,sys; print(sum(o["active"] for o in json.load(sys.stdin)))')" -eq "$1" ]; }
wait_for 5 outputs_shown 3 || fail "sway did not add an output"
sleep 1.5
grim -o HEADLESS-3 "$E2E_DIR/third.png"
read -r _ _ colours _ < <(png_stats "$E2E_DIR/third.png")
[ "$colours" -gt 50 ] || fail "the plugged-in output shows no mirrored scene ($colours colours): $(cat "$E2E_DIR/saver.err")"
! swaymsg -t get_tree -r | grep -q 'Screen Saver Main Form' || fail "the saver is a window in the tree"
wtype a
wait_exit "$SAVER_PID" 2
[ "$E2E_STATUS" -eq 0 ] || fail "plugged: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
note "ok"
