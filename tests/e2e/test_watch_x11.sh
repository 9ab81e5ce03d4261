#!/usr/bin/env bash
# vistaloom --watch on X11: the saver starts after the idle time, input ends it and the wait
# begins again; holds taken on the session bus keep it off until released or their owner
# leaves; it stands aside for XScreenSaver and MATE, runs once per display and ends with the
# X server.
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_E2E_SCREENSAVER_CLIENT:?path of the e2e_screensaver_client helper}"
make_sandbox
make_theme demo
write_settings "active_module=demo" "mute_audio=1"
FRAMES="$E2E_DIR/frames.log"
export VISTALOOM_FRAME_LOG="$FRAMES"
# No session bus until a section starts one: none is launched for the watcher either.
unset DBUS_SESSION_BUS_ADDRESS

now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }
at_least() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a >= b) }'; }

saver_child() { ps -o pid= --ppid "$WATCH_PID" 2>/dev/null | tr -d ' ' | head -n1; }
saver_running() { [ -n "$(saver_child)" ]; }
no_saver() { [ -z "$(saver_child)" ]; }
watcher_says() { grep -q "$1" "$E2E_DIR/watch.err"; }

start_watcher() {
    "$VISTALOOM" --watch "$@" >"$E2E_DIR/watch.out" 2>"$E2E_DIR/watch.err" &
    WATCH_PID=$!
    WATCH_STARTED=$(now)
    E2E_PIDS+=("$WATCH_PID")
    wait_for 10 watcher_says "watching (x11)" || fail "the watcher did not start: $(cat "$E2E_DIR/watch.err")"
}

# The saver is started between `low` and `high` seconds after `since` and presents frames.
expect_saver_between() {
    local since=$1 low=$2 high=$3
    rm -f "$FRAMES"
    wait_for $((high + 2)) saver_running || fail "no saver after ${high}s: $(cat "$E2E_DIR/watch.err")"
    local took
    took=$(seconds_since "$since")
    note "saver started after ${took}s"
    at_least "$took" "$low" || fail "saver started after ${took}s, before the idle time of ${low}s"
    at_least "$high" "$took" || fail "saver started after ${took}s, later than ${high}s"
    wait_for_frames "$FRAMES" 5 10 || fail "the saver shows no frames"
}

end_saver_with_a_key() {
    local child
    child=$(saver_child)
    xdotool mousemove 300 200 key space
    wait_for 10 is_gone "$child" || fail "a key press did not end the saver"
    KEY_PRESSED=$(now)
}

note "idle, a saver, a key, idle again"
start_x 640x480x24
start_watcher --after 3
watcher_says "serving" && fail "the watcher serves a bus that is not there"
expect_saver_between "$WATCH_STARTED" 2.9 5
end_saver_with_a_key
is_running "$WATCH_PID" || fail "the watcher ended with the saver"
expect_saver_between "$KEY_PRESSED" 2.9 5
# The saver crashing is only another end: the watcher waits and starts it again.
# The idle time counts from the saver's end, which a sanitizer's crash report may delay.
child=$(saver_child)
kill -SEGV "$child"
wait_for 20 is_gone "$child" || fail "the crashed saver did not end"
CRASHED=$(now)
expect_saver_between "$CRASHED" 2.9 5

note "a second watcher on the same display says so and ends with 0"
set +e
"$VISTALOOM" --watch --after 3 2>"$E2E_DIR/second.err"
status=$?
set -e
[ "$status" -eq 0 ] || fail "second watcher: status $status"
grep -q "already runs" "$E2E_DIR/second.err" || fail "second watcher: $(cat "$E2E_DIR/second.err")"

note "the X server going away ends the watcher (and its saver) with 0"
child=$(saver_child)
kill "$XVFB_PID"
wait_exit "$WATCH_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "watcher status $E2E_STATUS after the X server went"
wait_for 10 is_gone "$child" || fail "the saver outlived the watcher"
watcher_says "session has ended" || fail "no message about the session's end"

note "XScreenSaver manages the display: the watcher stands aside"
start_x 640x480x24
xprop -root -f _SCREENSAVER_VERSION 8s -set _SCREENSAVER_VERSION 6.06
set +e
"$VISTALOOM" --watch --after 3 2>"$E2E_DIR/aside.err"
status=$?
set -e
[ "$status" -eq 0 ] || fail "beside XScreenSaver: status $status"
grep -q "XScreenSaver" "$E2E_DIR/aside.err" || fail "beside XScreenSaver: $(cat "$E2E_DIR/aside.err")"
xprop -root -remove _SCREENSAVER_VERSION

note "holds on the session bus"
eval "$(dbus-daemon --session --fork --print-address=1 --print-pid=1 --nopidfile |
    { read -r address; read -r pid; echo "DBUS_SESSION_BUS_ADDRESS='$address' DBUS_PID=$pid"; })"
export DBUS_SESSION_BUS_ADDRESS
E2E_PIDS+=("$DBUS_PID")

# A bus client kept running with its commands fed through a FIFO on descriptor `fd`.
start_client() {
    local name=$1 fd=$2
    shift 2
    mkfifo "$E2E_DIR/$name.in"
    "$VISTALOOM_E2E_SCREENSAVER_CLIENT" "$@" <"$E2E_DIR/$name.in" >"$E2E_DIR/$name.out" 2>&1 &
    E2E_PIDS+=("$!")
    eval "exec $fd>\"\$E2E_DIR/$name.in\""
    CLIENT_PID=$!
}
client_says() { grep -q "$2" "$E2E_DIR/$1.out"; }

start_watcher --after 3
watcher_says "serving org.freedesktop.ScreenSaver" || fail "the watcher does not serve the inhibit interface: $(cat "$E2E_DIR/watch.err")"
start_client video 7 inhibit
wait_for 5 client_says video "cookie" || fail "Inhibit: $(cat "$E2E_DIR/video.out")"
# Well past the idle time: nothing starts while the hold lasts.
wait_for 6 saver_running && fail "a saver started while inhibited"
echo release >&7
wait_for 5 client_says video "released" || fail "UnInhibit: $(cat "$E2E_DIR/video.out")"
expect_saver_between "$(now)" 2.5 5
echo active >&7
wait_for 5 client_says video "active 1" || fail "GetActive while the saver runs: $(cat "$E2E_DIR/video.out")"
echo simulate >&7
wait_for 10 no_saver || fail "SimulateActivity did not end the saver"
exec 7>&-

note "a client that leaves the bus releases its hold"
start_client player 8 inhibit /ScreenSaver
wait_for 5 client_says player "cookie" || fail "Inhibit on /ScreenSaver: $(cat "$E2E_DIR/player.out")"
wait_for 5 saver_running && fail "a saver started while inhibited"
exec 8>&-
LEFT=$(now)
expect_saver_between "$LEFT" 2.5 5
note "SIGTERM ends the watcher with 0, and its saver with it"
child=$(saver_child)
kill "$WATCH_PID"
wait_exit "$WATCH_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "watcher status $E2E_STATUS after SIGTERM"
wait_for 10 is_gone "$child" || fail "the saver outlived the watcher"

note "a new idle time in the settings holds at once, however the file is written"
write_settings "active_module=demo" "mute_audio=1" "idle_minutes=120"
start_watcher
watcher_says "after 7200 s" || fail "stored idle time not used: $(cat "$E2E_DIR/watch.err")"
write_settings "active_module=demo" "mute_audio=1" "idle_minutes=2"  # in place
wait_for 5 watcher_says "now starts after 120 s" || fail "a settings file written in place was not followed"
# As the options dialog saves: a whole new file renamed over the old one. Each value has a
# length of its own: QSettings takes a file of the same size and modification time as the one
# it read for unchanged, and file times here move in steps of a few milliseconds.
SETTINGS_FILE="$SETTINGS_FILE.new" write_settings "active_module=demo" "mute_audio=1" "idle_minutes=45"
mv "$SETTINGS_FILE.new" "$SETTINGS_FILE"
wait_for 5 watcher_says "now starts after 2700 s" || fail "a replaced settings file was not followed"
kill "$WATCH_PID"
wait_exit "$WATCH_PID" 10

note "another owner of the interface is left alone; MATE's screensaver is stood aside for"
start_client other 7 own org.freedesktop.ScreenSaver
wait_for 5 client_says other "owned" || fail "own: $(cat "$E2E_DIR/other.out")"
start_watcher --after 60
watcher_says "serving" && fail "the watcher took over another program's interface"
kill "$WATCH_PID"
wait_exit "$WATCH_PID" 10
exec 7>&-
start_client mate 8 own org.mate.ScreenSaver
wait_for 5 client_says mate "owned" || fail "own: $(cat "$E2E_DIR/mate.out")"
set +e
"$VISTALOOM" --watch --after 3 2>"$E2E_DIR/mate.err"
status=$?
set -e
[ "$status" -eq 0 ] || fail "beside MATE: status $status"
grep -q "MATE" "$E2E_DIR/mate.err" || fail "beside MATE: $(cat "$E2E_DIR/mate.err")"
exec 8>&-
echo PASS
