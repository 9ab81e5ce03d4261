#!/usr/bin/env bash
# Without a display (none set, none answering, or one that refuses the toolkit after the
# start-up check) the program says so in one line and ends with status 1; --help and
# --version need no display; SIGTERM closes the configuration window and its settings are
# saved; without an install path the message box is shown and nothing is written.
source "$(dirname "$0")/lib.sh"
make_sandbox
make_theme demo
write_settings "active_module=demo"

run() {
    set +e
    "$@" >"$E2E_DIR/out" 2>"$E2E_DIR/err"
    STATUS=$?
    set -e
}

note "no DISPLAY"
run env -u DISPLAY "$VISTALOOM" /S
[ "$STATUS" -eq 1 ] && [ "$(wc -l <"$E2E_DIR/err")" -eq 1 ] ||
    fail "no DISPLAY: status $STATUS, stderr: $(cat "$E2E_DIR/err")"
note "a display nobody answers"
run env DISPLAY=:2147 "$VISTALOOM" /S
[ "$STATUS" -eq 1 ] && [ "$(wc -l <"$E2E_DIR/err")" -eq 1 ] ||
    fail "dead DISPLAY: status $STATUS, stderr: $(cat "$E2E_DIR/err")"
note "--help and --version"
run env -u DISPLAY "$VISTALOOM" --help
[ "$STATUS" -eq 0 ] && grep -q -- --windowed "$E2E_DIR/out" || fail "--help: status $STATUS"
run env -u DISPLAY "$VISTALOOM" --version
[ "$STATUS" -eq 0 ] && [ -s "$E2E_DIR/out" ] || fail "--version: status $STATUS"

start_x
note "a server that refuses the toolkit's connection after the start-up check"
# A stand-in display that passes the first connection on to the real server and drops every
# later one, as a loaded server refusing clients does.
refusing=$((4000 + $$ % 1000))
python3 - "$refusing" "${DISPLAY#:}" >"$E2E_DIR/proxy.log" 2>&1 <<'PY' &
import socket, sys, threading
listen = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
listen.bind('\0/tmp/.X11-unix/X' + sys.argv[1])
listen.listen(8)
print('ready', flush=True)
def relay(a, b):
    try:
        while data := a.recv(65536):
            b.sendall(data)
    except OSError:
        pass
    for s in (a, b):
        try: s.shutdown(socket.SHUT_RDWR)
        except OSError: pass
first = True
while True:
    client, _ = listen.accept()
    if not first:
        client.close()
        continue
    first = False
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.connect('/tmp/.X11-unix/X' + sys.argv[2])
    threading.Thread(target=relay, args=(client, server), daemon=True).start()
    threading.Thread(target=relay, args=(server, client), daemon=True).start()
PY
E2E_PIDS+=("$!")
wait_for 10 grep -q ready "$E2E_DIR/proxy.log" || fail "the stand-in display did not start"
run env DISPLAY=":$refusing" "$VISTALOOM" /S
[ "$STATUS" -eq 1 ] && [ "$(wc -l <"$E2E_DIR/err")" -eq 1 ] ||
    fail "refused after the check: status $STATUS, stderr: $(cat "$E2E_DIR/err")"

note "/C opens the configuration window; SIGTERM closes it and saves the settings"
start_saver /C
config_shown() { [ -n "$(window_by_title "Vistaloom - Configuration")" ]; }
wait_for 15 config_shown || fail "no configuration window: $(cat "$E2E_DIR/saver.err")"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "/C: status $E2E_STATUS after SIGTERM"
grep -q '^frame_rate=' "$SETTINGS_FILE" || fail "/C: the settings were not saved"
note "/A and -s open nothing"
run "$VISTALOOM" /A 0
[ "$STATUS" -eq 0 ] || fail "/A: status $STATUS"
run "$VISTALOOM" -s
[ "$STATUS" -eq 0 ] || fail "-s: status $STATUS"

note "no install path: the message, then the end, with nothing written"
rm -f "$SETTINGS_FILE"
start_saver /S
message_box_shown() { [ -n "$(window_by_title Vistaloom)" ]; }
wait_for 15 message_box_shown || fail "no install-path message box"
box=$(window_by_title Vistaloom)
xdotool windowfocus "$box" 2>/dev/null || true
xdotool mousemove --window "$box" 20 20 key Return
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -ne 0 ] || fail "the install-path error ended with status 0"
[ ! -e "$SETTINGS_FILE" ] || fail "a settings file was written"
[ -z "$(saver_window)" ] || fail "a saver window opened"
echo PASS
