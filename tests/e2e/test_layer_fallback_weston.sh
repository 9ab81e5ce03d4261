#!/usr/bin/env bash
# On a compositor without layer shell (Weston) the full-screen run keeps the toolkit's windows:
# it draws, says with --fps why it did not take the layer-shell path, and SIGTERM ends it with
# status 0.
source "$(dirname "$0")/lib.sh"
command -v weston >/dev/null || fail "weston is needed (scripts/install-deps)"
make_sandbox
make_theme
write_settings "mute_audio=1"

WESTON_DIR="$E2E_DIR/weston"
mkdir -p "$WESTON_DIR/home"
mkdir -m 0700 -p "$WESTON_DIR/runtime"
as=()
if [ "$(id -u)" -eq 0 ]; then
    chmod 0711 "$E2E_DIR"
    chmod 0755 "$WESTON_DIR"
    chown nobody:nogroup "$WESTON_DIR/home" "$WESTON_DIR/runtime"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
env -u DISPLAY -u WAYLAND_DISPLAY HOME="$WESTON_DIR/home" XDG_RUNTIME_DIR="$WESTON_DIR/runtime" \
    "${as[@]}" weston --backend=headless-backend.so --use-pixman --socket=wayland-test \
    --width=800 --height=600 >"$WESTON_DIR/weston.log" 2>&1 &
E2E_PIDS+=("$!")
export WAYLAND_DISPLAY="$WESTON_DIR/runtime/wayland-test"
wait_for 10 test -S "$WAYLAND_DISPLAY" || fail "weston did not start: $(tail -n 5 "$WESTON_DIR/weston.log")"
export QT_QPA_PLATFORM=wayland
# This run is Qt's own Wayland platform plugin alone, which leaves a block behind at exit that
# the leak checker cannot name (a sanitizer build reports it, and it is not ours to free).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
FRAMES="$E2E_DIR/frames.log"

VISTALOOM_FRAME_LOG="$FRAMES" start_saver /S --seed 5 --fps
wait_for_frames "$FRAMES" 10 20 || fail "no frames: $(cat "$E2E_DIR/saver.err")"
grep -q '^presentation wayland-layer$' "$FRAMES" && fail "the run took a layer-shell path weston has not"
grep -q 'no zwlr_layer_shell_v1' "$E2E_DIR/saver.err" ||
    fail "--fps does not say why the layer-shell path was not taken: $(cat "$E2E_DIR/saver.err")"
kill -TERM "$SAVER_PID"
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "SIGTERM: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
note "ok"
