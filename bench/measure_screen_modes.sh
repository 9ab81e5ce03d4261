#!/usr/bin/env bash
# CPU of the real saver on two screens in each screen mode, on Qt's offscreen platform (Xvfb
# shows Qt one screen only), or with MEASURE_ON=wayland on headless sway's two outputs through
# the layer-shell path (then the compositor's CPU too). Each mode runs MEASURE_SECONDS after a
# second to settle, then ends with SIGTERM; with SHOTS_DIR set, every screen's last picture
# goes there as MODE.png, MODE-2.png.
#
#   bench/measure_screen_modes.sh [BUILD_DIR]    MEASURE_SECONDS=10  MODES="each main mirror span"
#   SCREENS_JSON='[{...}, {...}]'   the screens (default: two 1920 x 1080 side by side)
#   MEASURE_ON=wayland              sway with two 1920 x 1080 outputs side by side
set -euo pipefail
seconds=${MEASURE_SECONDS:-10}
source "$(dirname "$0")/saver_bench_lib.sh"
saver_bench_setup "${1:-}"
install_demo_theme || fail "no demo theme in $DEMO (build the default preset first)"
write_settings "active_module=Demo" "mute_audio=1" "frame_rate=60"
hz=$(getconf CLK_TCK)
screens=${SCREENS_JSON:-'[{"name": "a", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "dpr": 1},
 {"name": "b", "x": 1920, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "dpr": 1}]'}
printf '{"synchronousWindowSystemEvents": false, "windowFrameMargins": false, "screens": %s}\n' \
    "$screens" >"$E2E_DIR/screens.json"
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
platform="offscreen:configfile=$E2E_DIR/screens.json"
server_pid=
if [ "${MEASURE_ON:-}" = wayland ]; then
    unset DISPLAY
    platform=wayland
    SWAY_OUTPUTS="HEADLESS-1:1920x1080 HEADLESS-2:1920x1080" start_sway
    server_pid=$SWAY_PID
    SWAYSOCK=$(ls "$SWAY_DIR"/runtime/sway-ipc.*.sock | sed -n 1p)
    SWAYSOCK=$SWAYSOCK swaymsg output HEADLESS-2 position 1920 0 >/dev/null
fi
# The compositor's own process (setpriv execs it, so the pid is sway's).
server_ticks() { if [ -n "$server_pid" ]; then cpu_ticks "$server_pid"; else echo 0; fi; }

for mode in ${MODES:-each main mirror span}; do
    shot=()
    [ -n "${SHOTS_DIR:-}" ] && mkdir -p "$SHOTS_DIR" && shot=(--screenshot "$SHOTS_DIR/$mode.png")
    QT_QPA_PLATFORM="$platform" start_saver /S --screens "$mode" --seed 4 "${shot[@]}"
    sleep 1
    is_running "$SAVER_PID" || fail "$mode: the saver ended: $(cat "$E2E_DIR/saver.err")"
    t0=$(cpu_ticks "$SAVER_PID")
    s0=$(server_ticks)
    sleep "$seconds"
    t1=$(cpu_ticks "$SAVER_PID")
    s1=$(server_ticks)
    kill -TERM "$SAVER_PID"
    wait_exit "$SAVER_PID" 20
    python3 -c "import sys; t0, t1, s0, s1, hz = map(int, sys.argv[2:7]); secs = float(sys.argv[7]); print(f'{sys.argv[1]}: CPU {100.0 * (t1 - t0) / hz / secs:.1f}% of one core' + (f', compositor {100.0 * (s1 - s0) / hz / secs:.1f}%' if sys.argv[8] else ''))" \
        "$mode" "$t0" "$t1" "$s0" "$s1" "$hz" "$seconds" "$server_pid"
done
