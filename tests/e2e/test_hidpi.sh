#!/usr/bin/env bash
# On a 200% screen the scene has the screen's real pixel size, not half of it blown up.
source "$(dirname "$0")/lib.sh"
start_x 800x600x24
make_sandbox
make_theme demo
write_settings "active_module=demo" "frame_rate=60"

QT_SCALE_FACTOR=2 start_saver /S --frames 30 --seed 9 --mute --screenshot "$E2E_DIR/hidpi.png"
wait_exit "$SAVER_PID" 40
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
read -r w h colours _ < <(png_stats "$E2E_DIR/hidpi.png")
note "hidpi.png: ${w}x${h}, $colours colours"
[ "$w" -eq 800 ] && [ "$h" -eq 600 ] || fail "scene is ${w}x${h} on an 800x600 screen at 200%"

# A window of 300 x 200 device-independent pixels is 600 x 400 real ones.
QT_SCALE_FACTOR=2 start_saver /S --windowed 300x200 --frames 10 --mute --screenshot "$E2E_DIR/win.png"
wait_exit "$SAVER_PID" 40
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
read -r w h _ _ < <(png_stats "$E2E_DIR/win.png")
[ "$w" -eq 600 ] && [ "$h" -eq 400 ] || fail "a 300x200 window at 200% has a ${w}x${h} scene"
# Pictures at the screen's scale: one picture, on black, measured where it is wholly on the
# screen. At 200% it covers 640 x 480 real pixels, as 320 x 240 does at 100%; the setting
# picture_scale=1 keeps the old one-to-one size.
picture_size() {
    QT_SCALE_FACTOR=2 start_saver /S --frames 140 --seed 3 --mute --no-gradients --speed 20 \
        --screenshot "$E2E_DIR/picture.png"
    wait_exit "$SAVER_PID" 40
    [ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
    "$IMAGEMAGICK" "$E2E_DIR/picture.png" -fuzz 10% -format '%@' info: | sed 's/+.*//'
}
start_x 1600x1200x24
write_settings "active_module=demo" "frame_rate=60" "sprite_active=1"
size=$(picture_size)
note "a picture at 200%: $size"
[ "$size" = 640x480 ] || fail "a picture at 200% covers $size real pixels, not 640x480"
write_settings "active_module=demo" "frame_rate=60" "sprite_active=1" "picture_scale=1"
size=$(picture_size)
[ "$size" = 320x240 ] || fail "with picture_scale=1 a picture covers $size, not 320x240"
echo PASS
