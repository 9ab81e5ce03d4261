#!/usr/bin/env bash
# With two screens of different sizes, the second at 200%, /S covers each with its own
# saver whose scene has that screen's real pixel size; the run ends on both together.
# Qt's offscreen platform stands in for the two monitors (Xvfb cannot place two).
source "$(dirname "$0")/lib.sh"
make_sandbox
make_theme demo
write_settings "active_module=demo" "frame_rate=60"
cat >"$E2E_DIR/screens.json" <<'JSON'
{"screens": [
  {"name": "left", "x": 0, "y": 0, "width": 640, "height": 480, "logicalDpi": 96, "dpr": 1},
  {"name": "right", "x": 640, "y": 0, "width": 400, "height": 300, "logicalDpi": 96, "dpr": 2}
]}
JSON
export QT_QPA_PLATFORM="offscreen:configfile=$E2E_DIR/screens.json"

# "width height colours" of a screenshot, or a failure naming it.
scene_of() {
    [ -s "$1" ] || fail "no screenshot $(basename "$1"): $(cat "$E2E_DIR/saver.err")"
    png_stats "$1"
}

note "one saver per screen, each scene the screen's real pixel size"
start_saver /S --frames 60 --seed 4 --mute --screenshot "$E2E_DIR/shot.png"
wait_exit "$SAVER_PID" 40
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
read -r w h colours _ < <(scene_of "$E2E_DIR/shot.png")
[ "$w" -eq 640 ] && [ "$h" -eq 480 ] || fail "first screen's scene is ${w}x${h}"
read -r w h colours _ < <(scene_of "$E2E_DIR/shot-2.png")
[ "$w" -eq 800 ] && [ "$h" -eq 600 ] || fail "second screen's scene is ${w}x${h}, not 800x600"
[ "$colours" -ge 3 ] || fail "the second screen shows $colours colours"
[ ! -e "$E2E_DIR/shot-3.png" ] || fail "a third saver for two screens"
if [ -n "${E2E_SCREENSHOT:-}" ] && [ -n "$IMAGEMAGICK" ]; then
    "$IMAGEMAGICK" "$E2E_DIR/shot.png" "$E2E_DIR/shot-2.png" -background '#303030' \
        -splice 8x0 +append -chop 8x0 "$E2E_SCREENSHOT"
fi

note "SIGTERM ends the run on both screens, each with its clean-up"
rm -f "$E2E_DIR"/term*.png
VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver /S --mute --screenshot "$E2E_DIR/term.png"
wait_for_frames "$E2E_DIR/frames.log" 10 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 15
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS after SIGTERM"
[ -s "$E2E_DIR/term.png" ] && [ -s "$E2E_DIR/term-2.png" ] || fail "a screen's run did not end cleanly"
[ -z "$(temp_items)" ] || fail "temporary item files left: $(temp_items)"
echo PASS
