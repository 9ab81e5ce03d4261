#!/usr/bin/env bash
# The real saver under Xvfb for a long stretch: 1920x1080, frame_rate 60, ten sprites, the
# demo theme's music playing (SDL's dummy audio driver decodes and mixes it as a sound card
# would). Prints the saver's resident memory (VmRSS) and the frames drawn once a minute, and
# ends the run with SIGTERM as a daemon does.
#
#   bench/long_run_saver.sh [BUILD_DIR]     (default: build)
#   LONG_RUN_MINUTES=10                     length of the run
set -euo pipefail
minutes=${LONG_RUN_MINUTES:-10}
source "$(dirname "$0")/saver_bench_lib.sh"
saver_bench_setup "${1:-}"
install_demo_theme || fail "no demo theme in $DEMO (build the default preset first)"
start_x 1920x1080x24
write_settings "active_module=Demo" "frame_rate=60" "sprite_active=10" "mute_audio=0"
log="$E2E_DIR/frames.log"
VISTALOOM_FRAME_LOG="$log" start_saver /S
wait_for_frames "$log" 20 30 || fail "the saver did not start: $(cat "$E2E_DIR/saver.err")"

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$SAVER_PID/status"; }
echo "minute 0: resident $(rss_kb) kB"
for minute in $(seq 1 "$minutes"); do
    sleep 60
    is_running "$SAVER_PID" || fail "the saver ended by itself: $(cat "$E2E_DIR/saver.err")"
    echo "minute $minute: resident $(rss_kb) kB, frames $(wc -l <"$log")"
done
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 20
echo "exit status $E2E_STATUS"
[ -z "$(temp_items)" ] || fail "temporary item files left: $(temp_items)"
