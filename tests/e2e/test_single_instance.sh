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

# Alive and not a zombie waiting to be reaped.
alive() { [ -r "/proc/$1/stat" ] && ! awk '{exit $3 == "Z" ? 0 : 1}' "/proc/$1/stat"; }

note "two savers started at the same instant: one runs, the other ends"
for round in 1 2 3 4 5 6; do
    "$VISTALOOM" /S >"$E2E_DIR/a.out" 2>&1 &
    A=$!
    "$VISTALOOM" /S >"$E2E_DIR/b.out" 2>&1 &
    B=$!
    E2E_PIDS+=("$A" "$B")
    wait_for 10 saver_window_shown || fail "round $round: no saver window"
    sleep 1
    running=0
    for pid in "$A" "$B"; do alive "$pid" && running=$((running + 1)); done
    [ "$running" -eq 1 ] || fail "round $round: $running savers running"
    for pid in "$A" "$B"; do
        if is_running "$pid"; then kill -TERM "$pid"; fi
        wait_exit "$pid" 10
        [ "$E2E_STATUS" -eq 0 ] || fail "round $round: exit status $E2E_STATUS"
    done
done

note "with the first gone, /S starts again"
VISTALOOM_FRAME_LOG="$E2E_DIR/frames2.log" start_saver /S
wait_for_frames "$E2E_DIR/frames2.log" 3 || fail "a new saver did not start"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 10
echo PASS
