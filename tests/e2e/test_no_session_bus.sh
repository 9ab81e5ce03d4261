#!/usr/bin/env bash
# Started without a session bus (a daemon's cut-down environment, env -i, a console), the
# saver starts no bus of its own: no dbus-launch, no dbus-daemon left behind, no wait for one.
source "$(dirname "$0")/lib.sh"
command -v dbus-launch >/dev/null || fail "dbus-launch (dbus-x11) is needed: without it nothing could autolaunch"
start_x 640x480x24
make_sandbox
make_theme
write_settings "mute_audio=1"

# The bus programs whose environment names this test's home: only ours can.
own_bus_programs() {
    local pid
    for pid in $(pgrep -f 'dbus-launch|dbus-daemon' || true); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "HOME=$HOME" && echo "$pid"
    done
    return 0
}

bare() {
    env -i HOME="$HOME" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" \
        XDG_DATA_HOME="$XDG_DATA_HOME" XDG_CACHE_HOME="$XDG_CACHE_HOME" SDL_AUDIODRIVER=dummy \
        timeout 60 "$VISTALOOM" "$@" >>"$E2E_DIR/bare.log" 2>&1
}

for run in "/P 0" "/S --frames 3"; do
    note "vistaloom $run"
    # shellcheck disable=SC2086
    bare $run || true
    [ -z "$(own_bus_programs)" ] || fail "vistaloom $run started a session bus: $(own_bus_programs | xargs ps -o args= -p)"
    [ ! -e "$HOME/.dbus/session-bus" ] || fail "vistaloom $run autolaunched a bus for the display"
done

echo PASS
