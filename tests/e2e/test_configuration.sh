#!/usr/bin/env bash
# The configuration window driven by the keyboard alone: with three themes, the arrow keys
# choose one, More Options changes a setting, and Exit leaves both in the settings file. The
# welcome window comes first while it is switched on, and stays away once it is cleared.
source "$(dirname "$0")/lib.sh"
start_x
make_sandbox
for name in Alpha Beta Gamma; do make_theme "$name"; done

config_window() { window_by_title "Vistaloom - Configuration" | head -n1; }
has_config() { [ -n "$(config_window)" ]; }
has_title() { [ -n "$(window_by_title "$1")" ]; }
no_title() { ! has_title "$1"; }
press() {  # window keys...
    local window=$1
    shift
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key --clearmodifiers "$@"
    sleep 0.3
}
setting() { sed -n "s/^$1=//p" "$SETTINGS_FILE" | tr -d '"'; }

# The folder's own order is the list's order: starting from the first theme, two presses
# of the Down key reach the third.
mapfile -t order < <(ls -U "$INSTALL_DIR" | sed -n 's/\.icf$//p')
[ "${#order[@]}" -eq 3 ] || fail "expected three themes, found: ${order[*]}"
write_settings "active_module=${order[0]}" "welcome=1"
expected=${order[2]}

note "welcome, then the theme list"
start_saver /C
wait_for 15 has_title "Welcome!" || fail "no welcome window: $(cat "$E2E_DIR/saver.err")"
welcome=$(window_by_title "Welcome!")
press "$welcome" shift+Tab space Return  # clear "Display This Screen Next Time", Continue
wait_for 5 has_config || fail "no configuration window"
wait_for 5 no_title "Welcome!" || fail "the welcome window is still open"
config=$(config_window)
press "$config" Down Down

note "More Options: one more image"
press "$config" alt+o
options_window() {
    xdotool search --onlyvisible --name '^Vistaloom - Configuration$' | grep -vx "$config" | tail -n1
}
has_options() { [ -n "$(options_window)" ]; }
no_options() { ! has_options; }
wait_for 10 has_options || fail "no options dialog"
options=$(options_window)
press "$options" Tab Tab Tab Tab Tab Tab Tab Right  # from the first box past the seven to the sprite bar
press "$options" Escape
wait_for 5 no_options || fail "the options dialog did not close"
press "$config" Return  # Exit is the default button
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS"
[ "$(setting active_module)" = "$expected" ] ||
    fail "active_module is '$(setting active_module)', expected '$expected' (order: ${order[*]})"
[ "$(setting sprite_active)" = 5 ] || fail "sprite_active is '$(setting sprite_active)', expected 5"
[ -z "$(temp_items)" ] || fail "temporary item files left"
[ "$(setting welcome)" = 0 ] || fail "welcome is '$(setting welcome)' after clearing its box"

note "a second opening shows no welcome window; Escape closes and saves"
start_saver /C
wait_for 15 has_config || fail "no configuration window the second time"
sleep 0.5
! has_title "Welcome!" || fail "the welcome window came back"
press "$(config_window)" Up Escape
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "exit status $E2E_STATUS after Escape"
echo PASS
