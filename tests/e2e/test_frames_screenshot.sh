#!/usr/bin/env bash
# A run with --frames ends by itself with exit 0, its screenshot shows the background and the
# sprites, the settings file is the same afterwards, and --seed makes a run repeatable.
source "$(dirname "$0")/lib.sh"
start_x
make_sandbox
make_theme demo
write_settings "active_module=demo" "gradients_on=0" "frame_rate=60"
cp "$SETTINGS_FILE" "$E2E_DIR/settings.before"

note "black background: whatever is not black is a sprite"
start_saver /S --windowed 640x480 --frames 150 --seed 3 --screenshot "$E2E_DIR/sprites.png"
wait_exit "$SAVER_PID" 40
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
[ -s "$E2E_DIR/sprites.png" ] || fail "no screenshot written"
read -r w h colours nonblack < <(png_stats "$E2E_DIR/sprites.png")
note "sprites.png: ${w}x${h}, $colours colours, $nonblack not black"
[ "$w" -eq 640 ] && [ "$h" -eq 480 ] || fail "screenshot is ${w}x${h}, expected the 640x480 scene"
python3 -c "import sys; sys.exit(0 if 0.01 < $nonblack < 0.99 else 1)" ||
    fail "no sprites on the black background ($nonblack not black)"
[ "$colours" -ge 3 ] || fail "only $colours colours: the sprites' pictures are missing"
cmp -s "$E2E_DIR/settings.before" "$SETTINGS_FILE" || fail "the saver changed the settings file"

note "gradient background over the whole scene"
write_settings "active_module=demo" "gradients_on=1" "frame_rate=60"
cp "$SETTINGS_FILE" "$E2E_DIR/settings.before"
start_saver /S --windowed 640x480 --frames 20 --seed 5 --screenshot "$E2E_DIR/gradient.png"
wait_exit "$SAVER_PID" 40
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
read -r w h colours nonblack < <(png_stats "$E2E_DIR/gradient.png")
note "gradient.png: ${w}x${h}, $colours colours, $nonblack not black"
python3 -c "import sys; sys.exit(0 if $nonblack > 0.9 else 1)" || fail "background not painted"
[ "$colours" -ge 20 ] || fail "only $colours colours: no gradient"
cmp -s "$E2E_DIR/settings.before" "$SETTINGS_FILE" || fail "the saver changed the settings file"
[ -z "$(temp_items)" ] || fail "temporary item files left: $(temp_items)"

note "the same seed gives the same pictures"
# Muted: the music step draws from the same random source, at moments set by the clock.
write_settings "active_module=demo" "gradients_on=1" "frame_rate=60" "mute_audio=1"
start_saver /S --windowed 640x480 --frames 40 --seed 5 --screenshot "$E2E_DIR/again.png"
wait_exit "$SAVER_PID" 40
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
start_saver /S --windowed 640x480 --frames 40 --seed 5 --screenshot "$E2E_DIR/again2.png"
wait_exit "$SAVER_PID" 40
cmp -s "$E2E_DIR/again.png" "$E2E_DIR/again2.png" || fail "two runs with --seed 5 differ"
start_saver /S --windowed 640x480 --frames 40 --seed 6 --screenshot "$E2E_DIR/other.png"
wait_exit "$SAVER_PID" 40
! cmp -s "$E2E_DIR/again.png" "$E2E_DIR/other.png" || fail "--seed 6 gives the same run as --seed 5"
echo PASS
