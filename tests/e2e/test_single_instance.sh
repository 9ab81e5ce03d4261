#!/usr/bin/env bash
# A second /S while the saver window is up opens nothing and ends at once; the first keeps
# running and still ends cleanly on SIGTERM.
source "$(dirname "$0")/lib.sh"
start_x
make_sandbox
make_theme demo
write_settings "active_module=demo"

VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" start_saver /S
FIRST=$SAVER_PID
wait_for_frames "$E2E_DIR/frames.log" 3 || fail "the first saver did not start"
wait_for 10 saver_window_shown || fail "no window titled 'Screen Saver Main Form'"

"$VISTALOOM" /S >"$E2E_DIR/second.out" 2>&1 &
SECOND=$!
E2E_PIDS+=("$SECOND")
wait_exit "$SECOND" 10
[ "$E2E_STATUS" -eq 0 ] || fail "second /S: exit status $E2E_STATUS"
is_running "$FIRST" || fail "the first saver ended"
count=$(xdotool search --onlyvisible --name '^Screen Saver Main Form$' | wc -l)
[ "$count" -eq 1 ] || fail "$count saver windows"

kill -TERM "$FIRST"
wait_exit "$FIRST" 10
[ "$E2E_STATUS" -eq 0 ] || fail "first saver: exit status $E2E_STATUS after SIGTERM"

note "with the first gone, /S starts again"
VISTALOOM_FRAME_LOG="$E2E_DIR/frames2.log" start_saver /S
wait_for_frames "$E2E_DIR/frames2.log" 3 || fail "a new saver did not start"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 10
echo PASS
