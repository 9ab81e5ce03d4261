#!/usr/bin/env bash
# The whole watcher on a Wayland desktop, headless sway: `vistaloom --watch --after 3` starts
# the saver after three idle seconds, a key typed with wtype ends it, the watcher starts it
# again after the next idle time, and it ends with status 0 when the compositor goes away.
# A private session bus keeps it from meeting the machine's (and its screen-saver service).
if [ -z "${VISTALOOM_IN_TEST_BUS:-}" ]; then
    exec dbus-run-session -- env VISTALOOM_IN_TEST_BUS=1 bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
command -v wtype >/dev/null || fail "wtype is needed (scripts/install-deps)"
make_sandbox
make_theme
write_settings
start_sway
export QT_QPA_PLATFORM=wayland
FRAMES="$E2E_DIR/frames.log"
export VISTALOOM_FRAME_LOG="$FRAMES"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
saver_child() { pgrep -P "$WATCH_PID" | head -n1; }
has_saver_child() { [ -n "$(saver_child)" ]; }
# The saver's overlay surfaces take the keyboard as soon as they are shown, which its first
# frames (expect_saver_after) prove.
type_key() { wtype a; }
no_saver_child() { [ -z "$(saver_child)" ]; }

# Waits for the saver's first frame; fails when it comes before the idle time.
expect_saver_after() {
    local since=$1 what=$2 waited
    wait_for 10 frames_at_least "$FRAMES" 1 || fail "$what: no saver within 10 s: $(cat "$E2E_DIR/watch.err")"
    waited=$(($(now_ms) - since))
    [ "$waited" -ge 2800 ] || fail "$what: the saver started after $waited ms, before the idle time"
    note "$what: first frame $waited ms after the last input (idle time 3000 ms)"
    wait_for_frames "$FRAMES" 10 10 || fail "$what: the saver does not present frames"
}

"$VISTALOOM" --watch --after 3 >"$E2E_DIR/watch.out" 2>"$E2E_DIR/watch.err" &
WATCH_PID=$!
E2E_PIDS+=("$WATCH_PID")
started=$(now_ms)

note "no input: the saver starts after the idle time"
expect_saver_after "$started" "first idle"
wait_for 5 has_saver_child || fail "first idle: the frames come from no child of the watcher"

note "a key ends the saver, and the watcher waits again"
type_key
typed=$(now_ms)
wait_for 5 no_saver_child || fail "the key did not end the saver"
is_running "$WATCH_PID" || fail "the watcher ended with the saver: $(cat "$E2E_DIR/watch.err")"
rm -f "$FRAMES"
expect_saver_after "$typed" "second idle"

note "the compositor going away ends the watcher with status 0"
type_key
wait_for 5 no_saver_child || fail "the key did not end the second saver"
kill "$SWAY_PID"
wait_exit "$WATCH_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "compositor gone: watcher status $E2E_STATUS: $(cat "$E2E_DIR/watch.err")"
note "ok"
