#!/usr/bin/env bash
# CPack builds a .deb holding exactly the installed files under /usr, with the run-time
# dependencies; dpkg installs it into a scratch root and removes it without a trace.
source "$(dirname "$0")/lib.sh"
: "${VISTALOOM_BUILD_DIR:?the build folder}"
CPACK=${VISTALOOM_CPACK:-cpack}
command -v dpkg-deb >/dev/null || { echo "SKIP: dpkg-deb not installed"; exit 0; }

note "building the package"
OUT="$E2E_DIR/pkg"
mkdir -p "$OUT"
"$CPACK" --config "$VISTALOOM_BUILD_DIR/CPackConfig.cmake" -B "$OUT" >"$E2E_DIR/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -20 "$E2E_DIR/cpack.log")"
DEB=$(find "$OUT" -maxdepth 1 -name 'vistaloom_*.deb' | head -n1)
[ -n "$DEB" ] || fail "no .deb in $OUT: $(ls "$OUT")"
note "$(basename "$DEB")"

note "contents"
files=$(dpkg-deb -c "$DEB" | awk '$1 ~ /^-/ {print $6}' | sed 's|^\./||' | sort)
expected=$(installed_files)
[ "$files" = "$expected" ] || fail "package files differ:
$(diff <(echo "$expected") <(echo "$files"))"
links=$(dpkg-deb -c "$DEB" | awk '$1 ~ /^l/ {print $6, $7, $8}' | sed 's|^\./||' | sort)
[ "$links" = "$(installed_links)" ] || fail "package links differ:
$(diff <(installed_links) <(echo "$links"))"

note "control data"
depends=$(dpkg-deb -f "$DEB" Depends)
note "Depends: $depends"
for lib in libqt6widgets6 libqt6gui6 libqt6dbus6 libsdl2-mixer libturbojpeg0 libxcb1 \
           libxcb-screensaver0 libwayland-client0 qt6-qpa-plugins; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib"
done
[ "$(dpkg-deb -f "$DEB" Package)" = vistaloom ] || fail "package name"
[ "$(dpkg-deb -f "$DEB" Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"
# No maintainer scripts and no configuration files: removing leaves nothing behind.
dpkg-deb -e "$DEB" "$E2E_DIR/control"
extra=$(ls "$E2E_DIR/control" | grep -vx -e control -e md5sums || true)
[ -z "$extra" ] || fail "unexpected control files: $extra"

note "lintian: no error, no warning"
if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$DEB" >"$E2E_DIR/lintian.log" 2>&1 ||
        fail "lintian: $(grep -E '^[EW]:' "$E2E_DIR/lintian.log" || cat "$E2E_DIR/lintian.log")"
fi

note "dpkg -i and dpkg -r in a scratch root"
ROOT="$E2E_DIR/root"
mkdir -p "$ROOT/var/lib/dpkg/info" "$ROOT/var/lib/dpkg/updates"
touch "$ROOT/var/lib/dpkg/status" "$ROOT/var/lib/dpkg/available"
force=(--force-depends --force-script-chrootless --log=/dev/null)
[ "$(id -u)" -eq 0 ] || force+=(--force-not-root)
dpkg --root="$ROOT" "${force[@]}" -i "$DEB" >"$E2E_DIR/dpkg.log" 2>&1 ||
    fail "dpkg -i: $(cat "$E2E_DIR/dpkg.log")"
[ -x "$ROOT/usr/bin/vistaloom" ] && [ -s "$ROOT/usr/share/vistaloom/themes/Demo.img" ] ||
    fail "dpkg -i did not install the files"
[ -x "$ROOT/usr/libexec/xscreensaver/vistaloom" ] ||
    fail "dpkg -i left the MATE and Xfce savers folder without vistaloom"
note "the installed watcher starts the installed saver on the demo theme after the idle time"
start_x 640x480x24
make_sandbox
VISTALOOM_FRAME_LOG="$E2E_DIR/frames.log" "$ROOT/usr/bin/vistaloom" --watch --after 2 \
    >"$E2E_DIR/watch.out" 2>"$E2E_DIR/watch.err" &
watch_pid=$!
E2E_PIDS+=("$watch_pid")
wait_for_frames "$E2E_DIR/frames.log" 3 15 ||
    fail "no saver from the installed watcher: $(cat "$E2E_DIR/watch.err")"
kill -TERM "$watch_pid"
wait_exit "$watch_pid" 10
[ "$E2E_STATUS" -eq 0 ] || fail "the installed watcher ended with $E2E_STATUS"

dpkg --root="$ROOT" "${force[@]}" -r vistaloom >>"$E2E_DIR/dpkg.log" 2>&1 ||
    fail "dpkg -r: $(cat "$E2E_DIR/dpkg.log")"
left=$(cd "$ROOT" && find . -mindepth 1 -path ./var/lib/dpkg -prune -o -print |
    grep -vx -e ./var -e ./var/lib || true)
[ -z "$left" ] || fail "left after dpkg -r: $left"
echo PASS
