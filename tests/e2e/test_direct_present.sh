#!/usr/bin/env bash
# What the X server shows is exactly the saver's picture, whether frames travel through
# shared memory or, where that is refused, in plain image requests; the clock box stays on
# top of it.
source "$(dirname "$0")/lib.sh"
[ -n "$IMAGEMAGICK" ] || fail "ImageMagick is needed to read the screen"
start_x 640x480x24
make_sandbox
make_theme demo

# Prints "count left top right bottom" of the pixels where two pictures differ.
differences() {
    "$IMAGEMAGICK" "$1" -depth 8 "rgb:$E2E_DIR/a.raw"
    "$IMAGEMAGICK" "$2" -depth 8 "rgb:$E2E_DIR/b.raw"
    python3 - "$E2E_DIR/a.raw" "$E2E_DIR/b.raw" 640 <<'PY'
import sys
a, b, w = open(sys.argv[1], 'rb').read(), open(sys.argv[2], 'rb').read(), int(sys.argv[3])
assert len(a) == len(b), 'sizes differ'
xs, ys = [], []
for i in range(0, len(a), 3):
    if a[i:i + 3] != b[i:i + 3]:
        xs.append(i // 3 % w); ys.append(i // 3 // w)
print(len(xs), min(xs, default=0), min(ys, default=0), max(xs, default=0), max(ys, default=0))
PY
}

# Runs the saver (no sprites, so the picture holds still), grabs the screen, and ends the run
# so that it writes its own picture as a screenshot.
screen_and_picture() {
    VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver /S --seed 2 --fps \
        --screenshot "$E2E_DIR/picture.png"
    wait_for_frames "$E2E_DIR/frames.log" 10 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
    sleep 0.5
    "$IMAGEMAGICK" x:root -depth 8 "$E2E_DIR/screen.png" 2>/dev/null ||
        import -window root "$E2E_DIR/screen.png"
    kill -TERM "$SAVER_PID"
    wait_exit "$SAVER_PID" 20
    [ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
    rm -f "$E2E_DIR/frames.log"
}

for path in shm xcb; do
    if [ "$path" = xcb ]; then export VISTALOOM_NO_SHM=1; fi
    note "$path: the screen shows the picture, the clock box on top"
    write_settings "active_module=demo" "objects_off=1" "show_time=1" "mute_audio=1"
    screen_and_picture
    read -r count left top right bottom < <(differences "$E2E_DIR/screen.png" "$E2E_DIR/picture.png")
    note "$count pixels differ, within ($left,$top)-($right,$bottom)"
    # The clock box sits at the top centre and is 30 pixels high at most; the information
    # line (--fps) along the bottom.
    [ "$count" -gt 100 ] && [ "$top" -lt 5 ] && [ "$bottom" -gt 450 ] ||
        fail "$path: the boxes are not both on the screen"
    python3 -c "import sys; sys.exit(0 if $count < 640 * 80 else 1)" ||
        fail "$path: $count pixels differ: the picture did not reach the screen"
done
unset VISTALOOM_NO_SHM

note "without boxes the screen is the picture, pixel for pixel"
write_settings "active_module=demo" "objects_off=1" "show_time=0" "mute_audio=1"
VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver /S --seed 4 --screenshot "$E2E_DIR/picture.png"
wait_for_frames "$E2E_DIR/frames.log" 10 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
sleep 0.5
"$IMAGEMAGICK" x:root -depth 8 "$E2E_DIR/screen.png" 2>/dev/null || import -window root "$E2E_DIR/screen.png"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 20
read -r count _ < <(differences "$E2E_DIR/screen.png" "$E2E_DIR/picture.png")
[ "$count" -eq 0 ] || fail "$count pixels on the screen differ from the picture"
echo PASS
