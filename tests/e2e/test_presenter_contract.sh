#!/usr/bin/env bash
# The presenter contract on a real X server: composing on the server, shared memory, plain
# image requests and the toolkit's path all start there and must all pass the same cases.
# Frames composed on the server are the frames composed here, byte for byte, and a server
# that cannot take our pixels in shared memory gets them the plain way.
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_PRESENTER_CONTRACT:?path of presenter_contract_qt_test}"
start_x 640x480x24
QT_QPA_PLATFORM=xcb VISTALOOM_EXPECT_PRESENTERS="xpixmap shm xcb qt" "$VISTALOOM_PRESENTER_CONTRACT" ||
    fail "the presenter contract failed under X11"

make_sandbox
cp "$VISTALOOM_DEMO_THEME_DIR/Demo.icf" "$VISTALOOM_DEMO_THEME_DIR/Demo.img" "$INSTALL_DIR/"
wallpaper=$XDG_DATA_HOME/vistaloom/vistaloom_wallpaper.bmp
# Prints the path the run went by ("xpixmap", "shm", ...), from its frame log.
shoot() {
    local out=$1
    shift
    rm -f "$wallpaper"
    "$VISTALOOM" /S --fps "$@" --screenshot "$out.png" >"$E2E_DIR/out" 2>"$E2E_DIR/err" ||
        fail "exit status $?: $(cat "$E2E_DIR/err")"
    cp "$wallpaper" "$out.bmp" || fail "no wallpaper written"
    sed -n 's/^presentation //p' "$E2E_DIR/frames.log"
}
# Ten fast sprites at 60 frames a second, with and without borders, crossing the edges; the
# scene changes are the core test's (tests/compose/draw_list_test.cpp).
export VISTALOOM_FRAME_LOG=$E2E_DIR/frames.log
for run in "1 100 0" "2 300 1" "3 300 1" "4 40 0" "5 150 1"; do
    read -r seed frames borders <<<"$run"
    write_settings "active_module=Demo" "mute_audio=1" "sprite_active=10" "frame_rate=60" \
        "speed_scale=5" "borders_on=$borders" "save_wallpaper=1" "show_time=1"
    server=$(shoot "$E2E_DIR/server-$seed" --seed "$seed" --frames "$frames")
    client=$(VISTALOOM_NO_XPIXMAP=1 shoot "$E2E_DIR/client-$seed" --seed "$seed" --frames "$frames")
    [ "$server $client" = "xpixmap shm" ] || fail "seed $seed went by '$server' and '$client'"
    cmp -s "$E2E_DIR/server-$seed.png" "$E2E_DIR/client-$seed.png" ||
        fail "seed $seed: the screenshots differ"
    cmp -s "$E2E_DIR/server-$seed.bmp" "$E2E_DIR/client-$seed.bmp" ||
        fail "seed $seed: the wallpapers differ"
done
# Other screens draw a mirrored or spanned scene from our memory, so it is composed here.
for mode in mirror span; do
    path=$(shoot "$E2E_DIR/$mode" --seed 1 --frames 10 --screens "$mode")
    [ "$path" = shm ] || fail "a scene in $mode mode went by '$path'"
done
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true

note "a server without shared memory: plain image requests"
start_x 640x480x24 -extension MIT-SHM
path=$(shoot "$E2E_DIR/plain" --seed 1 --frames 30)
[ "$path" = xcb ] || fail "without shared memory the run went by '$path'"
echo PASS
