#!/usr/bin/env bash
# A full disk when the saver writes on exit: the wallpaper picture, and the desktop values
# beside the settings. What was there before stays whole, nothing half-written is left, the
# settings file is intact. Needs root to mount small file systems; skipped otherwise.
source "$(dirname "$0")/lib.sh"
MOUNTS=()
unmount_all() {
    local m
    for m in "${MOUNTS[@]}"; do umount "$m" 2>/dev/null || true; done
    e2e_cleanup
}
trap unmount_all EXIT
# A tmpfs of `size` over `folder`, filled up to its last byte.
full_tmpfs() {
    local folder=$1 size=$2
    mkdir -p "$folder"
    mount -t tmpfs -o "size=$size" tmpfs "$folder" 2>/dev/null || return 1
    MOUNTS+=("$folder")
}
fill_up() { dd if=/dev/zero of="$1/filler" bs=4k 2>/dev/null || true; }

make_sandbox
if [ "$(id -u)" -ne 0 ] || ! full_tmpfs "$E2E_DIR/probe" 64k; then
    echo "SKIP: mounting a small file system is not permitted here"
    exit 0
fi
start_x 640x480x24
cp "$VISTALOOM_DEMO_THEME_DIR/Demo.icf" "$VISTALOOM_DEMO_THEME_DIR/Demo.img" "$INSTALL_DIR/"
# Only the settings and the desktop values live in the mounted configuration folder.
full_tmpfs "$XDG_CONFIG_HOME" 256k || fail "cannot mount the configuration folder"
full_tmpfs "$XDG_DATA_HOME" 256k || fail "cannot mount the data folder"
write_settings "active_module=Demo" "save_wallpaper=1"
cp "$SETTINGS_FILE" "$E2E_DIR/settings.before"
mkdir -p "$XDG_DATA_HOME/vistaloom" "$XDG_CONFIG_HOME/vistaloom"
WALLPAPER="$XDG_DATA_HOME/vistaloom/vistaloom_wallpaper.bmp"
REGISTRY="$XDG_CONFIG_HOME/vistaloom/registry.conf"

run_to_the_end() {
    start_saver /S --windowed 320x240 --frames 20
    wait_exit "$SAVER_PID" 30
    [ "$E2E_STATUS" -eq 0 ] || fail "$1: exit status $E2E_STATUS: $(cat "$E2E_DIR/saver.err")"
    [ -z "$(temp_items)" ] || fail "$1: temporary item files left"
    cmp -s "$E2E_DIR/settings.before" "$SETTINGS_FILE" || fail "$1: the settings file changed"
    [ -z "$(find "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" -name '*.partial' -o -name '*.tmp*' \
        -o -name '*.part*')" ] || fail "$1: a half-written file was left"
}

note "no room for the wallpaper picture"
echo "the old wallpaper" >"$WALLPAPER"
fill_up "$XDG_DATA_HOME"
run_to_the_end wallpaper
[ "$(cat "$WALLPAPER")" = "the old wallpaper" ] || fail "the old wallpaper was damaged"

note "room for the picture, none for the desktop values beside the settings"
rm -f "$XDG_DATA_HOME/filler" "$WALLPAPER"
printf '[HKEY_CURRENT_USER]\nold=value\n' >"$REGISTRY"
cp "$REGISTRY" "$E2E_DIR/registry.before"
fill_up "$XDG_CONFIG_HOME"
run_to_the_end "desktop values"
cmp -s "$E2E_DIR/registry.before" "$REGISTRY" || fail "the desktop values file was damaged"
head -c 2 "$WALLPAPER" | grep -q BM || fail "the wallpaper picture was not written"

note "no room for the --screenshot: said, status 1, no empty or half-written picture"
SHOTS="$E2E_DIR/shots"
full_tmpfs "$SHOTS" 64k || fail "cannot mount the screenshot folder"
fill_up "$SHOTS"
start_saver /S --windowed 320x240 --frames 5 --screenshot "$SHOTS/shot.png"
wait_exit "$SAVER_PID" 30
[ "$E2E_STATUS" -eq 1 ] || fail "a screenshot that was not written gave status $E2E_STATUS: $(cat "$E2E_DIR/saver.err"; ls -la "$SHOTS")"
grep -q screenshot "$E2E_DIR/saver.err" || fail "nothing said: $(cat "$E2E_DIR/saver.err")"
[ -z "$(find "$SHOTS" -mindepth 1 -name '*shot*')" ] || fail "a screenshot file was left: $(ls -la "$SHOTS")"

note "a FIFO as the frame log is refused, not waited on"
mkfifo "$E2E_DIR/frames.fifo"
VISTALOOM_FRAME_LOG="$E2E_DIR/frames.fifo" start_saver /S --windowed 320x240 --frames 5
wait_exit "$SAVER_PID" 10
[ "$E2E_STATUS" -eq 0 ] || fail "a FIFO frame log: status $E2E_STATUS"
grep -q VISTALOOM_FRAME_LOG "$E2E_DIR/saver.err" || fail "the FIFO frame log was not refused"
echo PASS
