#!/usr/bin/env bash
# Without a display the program says so in one line and ends with status 1; --help and
# --version need no display; the configuration window is announced as missing, not crashed on.
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
note "/C names what is missing and ends"
run "$VISTALOOM" /C
[ "$STATUS" -eq 0 ] && grep -qi "not available" "$E2E_DIR/err" || fail "/C: status $STATUS"
note "/A and -s open nothing"
run "$VISTALOOM" /A 0
[ "$STATUS" -eq 0 ] || fail "/A: status $STATUS"
run "$VISTALOOM" -s
[ "$STATUS" -eq 0 ] || fail "-s: status $STATUS"
echo PASS
