#!/usr/bin/env bash
# A theme made from a folder of photos verifies and the saver runs it; an interrupted make
# leaves nothing in the themes folder and no staging files.
source "$(dirname "$0")/lib.sh"
[ -n "$IMAGEMAGICK" ] || fail "ImageMagick's convert is needed to paint test photos"
start_x
make_sandbox
export TMPDIR="$E2E_DIR/tmp"
mkdir -p "$TMPDIR"

photos="$E2E_DIR/photos"
mkdir -p "$photos"
"$IMAGEMAGICK" -size 900x300 gradient:red-yellow "$photos/1 wide.jpg"
"$IMAGEMAGICK" -size 200x600 gradient:blue-cyan "$photos/2 tall.png"
"$IMAGEMAGICK" -size 40x30 xc:green "$photos/3 tiny.bmp"
echo "not a picture" >"$photos/4 broken.jpg"

note "make a theme from four files, one of them broken"
"$VISTALOOM_THEME_TOOL" make "$INSTALL_DIR/Photos" "$photos" >"$E2E_DIR/make.out" 2>"$E2E_DIR/make.err" ||
    fail "make failed: $(cat "$E2E_DIR/make.err")"
grep -q "skipped 4 broken.jpg" "$E2E_DIR/make.err" || fail "the broken photo was not named"
grep -q "3 pictures for 20 places" "$E2E_DIR/make.out" || fail "no word about repeating: $(cat "$E2E_DIR/make.out")"
"$VISTALOOM_THEME_TOOL" verify "$INSTALL_DIR/Photos" >/dev/null || fail "verify refuses the made theme"

note "the saver runs it"
write_settings "active_module=Photos" "gradients_on=0" "frame_rate=60"
start_saver /S --windowed 320x240 --frames 20 --seed 1 --screenshot "$E2E_DIR/photos.png"
wait_exit "$SAVER_PID" 40
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
read -r w h colours nonblack < <(png_stats "$E2E_DIR/photos.png")
note "photos.png: ${w}x${h}, $colours colours, $nonblack not black"
[ "$colours" -ge 3 ] || fail "only $colours colours: the photos are not on screen"

note "an interrupted make leaves nothing"
slow="$E2E_DIR/slow"
mkdir -p "$slow"
# Big but plain: quick to write, yet each takes a while to decode.
"$IMAGEMAGICK" -size 4000x4000 xc:gray50 "$slow/p01.png"
for i in $(seq -w 2 20); do cp "$slow/p01.png" "$slow/p$i.png"; done
"$VISTALOOM_THEME_TOOL" make "$INSTALL_DIR/Slow" "$slow" >"$E2E_DIR/slow.out" 2>"$E2E_DIR/slow.err" &
make_pid=$!
E2E_PIDS+=("$make_pid")
wait_for 30 grep -q '^\[1/' "$E2E_DIR/slow.out" || fail "make never started reading"
kill -INT "$make_pid"
wait_exit "$make_pid" 30
[ "$E2E_STATUS" -eq 130 ] || fail "interrupted make ended with $E2E_STATUS: $(cat "$E2E_DIR/slow.err")"
left=$(ls -A "$INSTALL_DIR" | grep -v '^Photos\.i[cm][fg]$' || true)
[ -z "$left" ] || fail "left in the themes folder: $left"
[ -z "$(ls -A "$TMPDIR")" ] || fail "staging files left: $(ls -A "$TMPDIR")"
echo PASS
