#!/usr/bin/env bash
# A window mapped over the saver pauses it: no frame is drawn and the process stays asleep;
# when the window goes, the saver draws again at once.
source "$(dirname "$0")/lib.sh"
start_x 800x600x24
make_sandbox
make_theme demo
write_settings "active_module=demo" "frame_rate=60" "mute_audio=1"
log="$E2E_DIR/frames.log"

VISTALOOM_FRAME_LOG="$log" start_saver /S --windowed 300x200
wait_for_frames "$log" 30 30 || fail "the saver did not start: $(cat "$E2E_DIR/saver.err")"

last_frame() { tail -n1 "$log" | cut -d' ' -f1; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

note "cover the saver with a bigger window"
"$VISTALOOM_E2E_HOST" 800x600 >"$E2E_DIR/cover.id" 2>/dev/null &
cover=$!
E2E_PIDS+=("$cover")
wait_for 10 test -s "$E2E_DIR/cover.id" || fail "the covering window did not appear"
sleep 1  # the pause takes effect at the next frame
covered_from=$(last_frame)
ticks_from=$(cpu_ticks "$SAVER_PID")
sleep 4
covered_to=$(last_frame)
ticks_to=$(cpu_ticks "$SAVER_PID")
note "frames while covered: $covered_from -> $covered_to; CPU ticks: $((ticks_to - ticks_from)) in 4 s"
[ "$covered_from" = "$covered_to" ] || fail "the saver kept drawing while covered"
[ $((ticks_to - ticks_from)) -le 4 ] || fail "the saver used CPU while covered"

note "uncover"
kill "$cover"
wait "$cover" 2>/dev/null || true
target=$((covered_to + 30))
wait_for 10 eval '[ "$(last_frame)" -ge '"$target"' ]' || fail "the saver did not draw again"
is_running "$SAVER_PID" || fail "the saver ended"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS after SIGTERM"
echo PASS
