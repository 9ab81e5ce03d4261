#!/usr/bin/env bash
# `cmake --install` into a staging folder puts every file in its place and nothing else; the
# desktop entries, the XScreenSaver description and the manual page are well formed; the
# installed program, with no settings file at all, finds the installed demo theme.
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_BUILD_DIR:?the build folder}"
CMAKE=${VISTALOOM_CMAKE:-cmake}

note "staged install under /usr"
STAGE="$E2E_DIR/stage"
DESTDIR="$STAGE" "$CMAKE" --install "$VISTALOOM_BUILD_DIR" --prefix /usr >"$E2E_DIR/install.log" ||
    fail "install failed: $(cat "$E2E_DIR/install.log")"
expected=$(installed_files)
actual=$(cd "$STAGE" && find . -type f | sed 's|^\./||' | sort)
[ "$actual" = "$expected" ] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$actual"))"
[ -x "$STAGE/usr/bin/vistaloom" ] && [ -x "$STAGE/usr/bin/vistaloom-theme" ] ||
    fail "programs not executable"
links=$(cd "$STAGE" && find . -type l -printf '%P -> %l\n' | sort)
[ "$links" = "$(installed_links)" ] || fail "installed links differ:
$(diff <(installed_links) <(echo "$links"))"
[ "$(readlink -f "$STAGE/usr/libexec/xscreensaver/vistaloom")" = "$STAGE/usr/bin/vistaloom" ] ||
    fail "the savers folder's vistaloom is not the program"
# The daemons run the first word of Exec from that folder.
exec_word=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$STAGE/usr/share/applications/screensavers/vistaloom.desktop")
[ -x "$STAGE/usr/libexec/xscreensaver/$exec_word" ] ||
    fail "the savers folder has no '$exec_word' for the screensaver entry's Exec"

grep -qx 'ExecStart=vistaloom --watch' "$STAGE/usr/lib/systemd/user/vistaloom-watch.service" ||
    fail "the watcher's user service does not run the installed program"

note "desktop entries"
if command -v desktop-file-validate >/dev/null; then
    for f in "$STAGE/usr/share/applications/vistaloom.desktop" \
             "$STAGE/usr/share/applications/screensavers/vistaloom.desktop"; do
        out=$(desktop-file-validate "$f" 2>&1 | grep -v ': hint: ' || true)
        [ -z "$out" ] || fail "$f: $out"
    done
fi
grep -qx 'Exec=vistaloom /C' "$STAGE/usr/share/applications/vistaloom.desktop" ||
    fail "the menu entry does not open the configuration window"
grep -qx 'Exec=vistaloom -root' "$STAGE/usr/share/applications/screensavers/vistaloom.desktop" ||
    fail "the screensaver entry does not run the saver for a daemon"
grep -qx 'Categories=Screensaver;' "$STAGE/usr/share/applications/screensavers/vistaloom.desktop" ||
    fail "the screensaver entry is not in the Screensaver category"

note "XScreenSaver description: every control's option is one the program takes"
XML="$STAGE/usr/share/xscreensaver/config/vistaloom.xml"
if command -v xmllint >/dev/null; then xmllint --noout "$XML" || fail "vistaloom.xml is not XML"; fi
grep -q '<screensaver name="vistaloom"' "$XML" || fail "vistaloom.xml names another program"
options=$(grep -oE '(arg|arg-set|arg-unset)="[^"]*"' "$XML" | sed -E 's/^[^"]*"//; s/"$//; s/%/5/')
[ "$(echo "$options" | wc -l)" -ge 10 ] || fail "too few controls: $options"
while read -r words; do
    # The slider's % becomes a value in range for every slider (5 for pictures, speed...);
    # frame rate needs 10 or more.
    words=${words/--frame-rate 5/--frame-rate 30}
    words=${words/--theme 5/--theme Demo}
    set +e
    # shellcheck disable=SC2086
    env -u DISPLAY "$VISTALOOM" $words --frames 1 >/dev/null 2>"$E2E_DIR/opt.err"
    status=$?
    set -e
    # No display is status 1; a refused option would be 2.
    [ "$status" -eq 1 ] || fail "'$words': status $status: $(cat "$E2E_DIR/opt.err")"
done <<<"$options"

note "a value out of range is refused before any window"
for words in "--pictures 11" "--frame-rate 9" "--speed 0" "--theme ../x" "/c --mute"; do
    set +e
    # shellcheck disable=SC2086
    env -u DISPLAY "$VISTALOOM" $words >/dev/null 2>"$E2E_DIR/opt.err"
    status=$?
    set -e
    [ "$status" -eq 2 ] && [ "$(wc -l <"$E2E_DIR/opt.err")" -eq 1 ] ||
        fail "'$words': status $status: $(cat "$E2E_DIR/opt.err")"
done

note "manual pages"
if command -v man >/dev/null; then
    # page, its heading, a word it must explain
    while read -r page heading word; do
        MANWIDTH=80 man --warnings -E UTF-8 -l "$STAGE/usr/share/man/$page" \
            >"$E2E_DIR/man.txt" 2>"$E2E_DIR/man.err" ||
            fail "man cannot format $page: $(cat "$E2E_DIR/man.err")"
        [ ! -s "$E2E_DIR/man.err" ] || fail "$page: troff warnings: $(cat "$E2E_DIR/man.err")"
        grep -qF "$heading" "$E2E_DIR/man.txt" || fail "$page: no heading $heading"
        grep -q -- "$word" "$E2E_DIR/man.txt" || fail "$page does not explain $word"
    done <<'PAGES'
man6/vistaloom.6.gz VISTALOOM(6) --pictures
man1/vistaloom-theme.1.gz VISTALOOM-THEME(1) unpack
PAGES
fi

note "the installed program with no settings file finds the installed demo theme"
start_x 800x600x24
make_sandbox
PREFIX="$E2E_DIR/prefix"
"$CMAKE" --install "$VISTALOOM_BUILD_DIR" --prefix "$PREFIX" >/dev/null || fail "install failed"
[ ! -e "$SETTINGS_FILE" ] || fail "sandbox has a settings file"
# The data folders as a desktop sets them, with the prefix's share among them.
export XDG_DATA_DIRS="$PREFIX/share:/nonexistent"
"$PREFIX/bin/vistaloom" /S --windowed 320x240 --frames 30 --seed 1 --mute \
    --screenshot "$E2E_DIR/installed.png" >"$E2E_DIR/run.out" 2>"$E2E_DIR/run.err" &
SAVER_PID=$!
E2E_PIDS+=("$SAVER_PID")
wait_exit "$SAVER_PID" 40
[ "$E2E_STATUS" -eq 0 ] || fail "installed run: status $E2E_STATUS: $(cat "$E2E_DIR/run.err")"
[ -s "$E2E_DIR/installed.png" ] || fail "no screenshot from the installed run"
[ ! -e "$SETTINGS_FILE" ] || fail "the run wrote a settings file"

note "without any data folder it still finds the themes beside its own bin folder"
export XDG_DATA_DIRS="/nonexistent"
set +e
"$PREFIX/bin/vistaloom" /S --windowed 320x240 --frames 5 --mute >/dev/null 2>"$E2E_DIR/run2.err"
status=$?
set -e
[ "$status" -eq 0 ] || fail "run beside bin: status $status: $(cat "$E2E_DIR/run2.err")"
echo PASS
