#!/usr/bin/env bash
# /P draws the sample picture inside the host window, filling its client area, and ends soon
# after the host goes away; without a host window it ends at once.
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_E2E_HOST:?path of the e2e_host_window helper}"
start_x
make_sandbox
write_settings

IMPORT=/usr/bin/import
[ -x "$IMPORT" ] || IMPORT=$(command -v import) || fail "ImageMagick's import is needed"

"$VISTALOOM_E2E_HOST" 152x112 >"$E2E_DIR/host.out" 2>/dev/null &
HOST_PID=$!
E2E_PIDS+=("$HOST_PID")
wait_for 10 grep -qE '^[0-9]+$' "$E2E_DIR/host.out" || fail "the host window did not start"
HOST_ID=$(head -n1 "$E2E_DIR/host.out")

child_size() {
    xwininfo -children -id "$HOST_ID" 2>/dev/null | grep '"Vistaloom Preview"' |
        grep -oE '[0-9]+x[0-9]+\+' | tr -d + | head -n1
}
child_is() { [ "$(child_size)" = "$1" ]; }

note "the sample inside a 152 x 112 host (its id in hexadecimal)"
start_saver /P "$(printf '0x%x' "$HOST_ID")"
wait_for 10 child_is 152x112 || fail "no 152x112 preview in the host (child: '$(child_size)')"
sleep 0.5
"$IMPORT" -window "$HOST_ID" "$E2E_DIR/host.png" || fail "cannot grab the host window"
read -r w h colours nonblack < <(png_stats "$E2E_DIR/host.png")
note "host.png: ${w}x${h}, $colours colours, $nonblack not black"
[ "$colours" -ge 20 ] || fail "the host does not show the sample picture ($colours colours)"
is_running "$SAVER_PID" || fail "the preview ended while its host was there"

note "the host goes away"
kill "$HOST_PID"
wait_exit "$SAVER_PID" 3
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS after the host went away"

note "at a device ratio of 2 the host shows the same picture, pixel for pixel"
"$VISTALOOM_E2E_HOST" 152x112 >"$E2E_DIR/host-hidpi.out" 2>/dev/null &
HOST_PID=$!
E2E_PIDS+=("$HOST_PID")
wait_for 10 grep -qE '^[0-9]+$' "$E2E_DIR/host-hidpi.out" || fail "the 200% host did not start"
HOST_ID=$(head -n1 "$E2E_DIR/host-hidpi.out")
QT_SCALE_FACTOR=2 start_saver /P "$HOST_ID"
wait_for 10 child_is 152x112 || fail "no 152x112 preview at 200% (child: '$(child_size)')"
sleep 0.5
"$IMPORT" -window "$HOST_ID" "$E2E_DIR/host2x.png" || fail "cannot grab the host window"
differ=$(compare -metric AE "$E2E_DIR/host.png" "$E2E_DIR/host2x.png" null: 2>&1 || true)
[ "$differ" = 0 ] || fail "at 200% the host shows another picture ($differ pixels differ)"
note "the host goes away"
kill "$HOST_PID"
wait_exit "$SAVER_PID" 3
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS after the host went away"

note "the host asks the preview to close"
"$VISTALOOM_E2E_HOST" 152x112 --close-children-after 1500 >"$E2E_DIR/host2.out" 2>/dev/null &
E2E_PIDS+=("$!")
wait_for 10 grep -qE '^[0-9]+$' "$E2E_DIR/host2.out" || fail "the second host did not start"
start_saver /P "$(head -n1 "$E2E_DIR/host2.out")"
wait_for 10 grep -q '^closed [1-9]' "$E2E_DIR/host2.out" || fail "the host found no preview to close"
wait_exit "$SAVER_PID" 2
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS after the close request"

note "SIGTERM ends the preview"
"$VISTALOOM_E2E_HOST" 152x112 >"$E2E_DIR/host3.out" 2>/dev/null &
E2E_PIDS+=("$!")
wait_for 10 grep -qE '^[0-9]+$' "$E2E_DIR/host3.out" || fail "the third host did not start"
HOST_ID=$(head -n1 "$E2E_DIR/host3.out")
start_saver /P "$HOST_ID"
wait_for 10 child_is 152x112 || fail "no preview in the third host"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 3
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS after SIGTERM"

for id in 0 0x7ffffff0; do
    note "/P $id: no host window"
    start_saver /P "$id"
    wait_exit "$SAVER_PID" 3
    [ "$E2E_STATUS" -eq 0 ] || fail "/P $id: exit status $E2E_STATUS"
done
echo PASS
