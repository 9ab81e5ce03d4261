#!/usr/bin/env bash
# Start-up as a daemon or a careless user may set it up: signals while the install-path
# message is up, a FIFO as the settings file, Qt's own options on our command line, a
# screenshot into a folder that does not exist, a window larger than any screen, a theme
# name that is not installed.
source "$(dirname "$0")/lib.sh"
start_x
make_sandbox
make_theme demo

message_shown() { [ -n "$(window_by_title Vistaloom)" ]; }

note "SIGTERM and SIGINT while the install-path message is up (own window and -window-id)"
"$VISTALOOM_E2E_HOST" >"$E2E_DIR/host.out" 2>&1 &
E2E_PIDS+=($!)
wait_for 10 grep -qE '^[0-9]+$' "$E2E_DIR/host.out" || fail "host window did not start"
host_id=$(head -n1 "$E2E_DIR/host.out")
for sig in TERM INT; do
    for args in "/S" "/S -window-id $host_id"; do
        rm -f "$SETTINGS_FILE"
        # shellcheck disable=SC2086
        start_saver $args
        wait_for 10 message_shown ||
            fail "no install-path message ($args): $(cat "$E2E_DIR/saver.err")"
        kill -"$sig" "$SAVER_PID"
        wait_exit "$SAVER_PID" 5
        [ "$E2E_STATUS" -lt 128 ] || fail "SIG$sig ($args): killed, status $E2E_STATUS"
        grep -q install_path "$E2E_DIR/saver.err" || fail "nothing said on stderr ($args)"
    done
done

note "a FIFO as the settings file does not block start-up"
mkfifo "$SETTINGS_FILE"
printf '[Config]\ninstall_path="%s/"\n' "$INSTALL_DIR" >"$XDG_CONFIG_DIRS/Brindle Vistaloom.conf"
start_saver /S --windowed 160x120 --frames 5
wait_exit "$SAVER_PID" 20
[ "$E2E_STATUS" -eq 0 ] || fail "FIFO settings: status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
[ -p "$SETTINGS_FILE" ] || fail "the FIFO was replaced"
rm -f "$SETTINGS_FILE" "$XDG_CONFIG_DIRS/Brindle Vistaloom.conf"
write_settings "active_module=demo"
cp "$SETTINGS_FILE" "$E2E_DIR/settings.before"

note "Qt's own options are not Qt's: -display and -platform are only words of the mode"
start_saver /S -display :4242 -platform offscreen --windowed 160x120 --frames 5 \
    --screenshot "$E2E_DIR/shot.png"
wait_exit "$SAVER_PID" 20
[ "$E2E_STATUS" -eq 0 ] || fail "-display: status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
[ -s "$E2E_DIR/shot.png" ] || fail "-display: the saver did not run on our display"

note "--screenshot into a missing folder and --windowed beyond any screen fail up front"
start_saver /S --windowed 160x120 --frames 3 --screenshot "$E2E_DIR/missing/shot.png"
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 2 ] || fail "missing folder: status $E2E_STATUS"
grep -q "does not exist" "$E2E_DIR/saver.err" || fail "missing folder: $(cat "$E2E_DIR/saver.err")"
start_saver /S --windowed 32767x32767 --frames 3
wait_exit "$SAVER_PID" 5
[ "$E2E_STATUS" -eq 2 ] || fail "huge window: status $E2E_STATUS"
grep -q 16384 "$E2E_DIR/saver.err" || fail "huge window: $(cat "$E2E_DIR/saver.err")"

cmp -s "$E2E_DIR/settings.before" "$SETTINGS_FILE" || fail "the settings file changed"

note "a mistyped --theme says so, and the saver still runs"
for name in demo DEMO "dmeo$(printf '\033')[2J"; do
    set +e
    "$VISTALOOM" /S --windowed 320x240 --frames 3 --theme "$name" >/dev/null 2>"$E2E_DIR/theme.err"
    status=$?
    set -e
    [ "$status" -eq 0 ] || fail "--theme $name: status $status: $(cat "$E2E_DIR/theme.err")"
    case $name in
        demo | DEMO) [ ! -s "$E2E_DIR/theme.err" ] || fail "--theme $name: $(cat "$E2E_DIR/theme.err")" ;;
        *) grep -q 'no theme named "dmeo\\x1b\[2J"' "$E2E_DIR/theme.err" ||
               fail "a mistyped theme is not named safely: $(cat -v "$E2E_DIR/theme.err")" ;;
    esac
done
echo PASS
