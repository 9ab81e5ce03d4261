# Shared set-up for the whole-program runs: a private X server, throw-away settings, data,
# runtime and install folders, and a small theme. Sourced by each test_*.sh.
set -euo pipefail

: "${VISTALOOM:?path of the vistaloom program}"
: "${VISTALOOM_THEME_TOOL:?path of the vistaloom-theme program}"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
unset XSCREENSAVER_WINDOW WAYLAND_DISPLAY QT_QPA_PLATFORM

E2E_DIR=$(mktemp -d "${TMPDIR:-/tmp}/vistaloom-e2e.XXXXXX")
E2E_PIDS=()

e2e_cleanup() {
    local pid
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
    [ -n "${E2E_KEEP:-}" ] || rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

note() { echo "-- $*"; }

# Polls `command...` every 0.1 s until it succeeds or `seconds` pass.
wait_for() {
    local seconds=$1
    shift
    local tries=$((seconds * 10))
    while ! "$@" 2>/dev/null; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

is_running() { kill -0 "$1" 2>/dev/null; }
is_gone() { ! kill -0 "$1" 2>/dev/null; }

# Waits up to `seconds` for the background process `pid` and sets E2E_STATUS to its exit
# status; fails the test when it does not end in time.
wait_exit() {
    local pid=$1 seconds=$2
    wait_for "$seconds" is_gone_or_zombie "$pid" || fail "process $pid still running after ${seconds}s"
    set +e
    wait "$pid"
    E2E_STATUS=$?
    set -e
}
is_gone_or_zombie() {
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 0
    [ "$state" = "Z" ]
}

# A private X server on a free display number.
# Arguments after the first screen's geometry go to Xvfb as they are (more screens, +xinerama).
start_x() {
    local geometry=${1:-1024x768x24}
    if [ $# -gt 0 ]; then shift; fi
    E2E_SERVERS=$((${E2E_SERVERS:-0} + 1))
    local fd_file="$E2E_DIR/display$E2E_SERVERS"
    Xvfb -displayfd 9 -screen 0 "$geometry" "$@" -nolisten tcp -noreset 9>"$fd_file" >"$E2E_DIR/xvfb$E2E_SERVERS.log" 2>&1 &
    XVFB_PID=$!
    E2E_PIDS+=("$XVFB_PID")
    wait_for 10 grep -qE '^[0-9]+$' "$fd_file" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$fd_file")"
    wait_for 10 xdpyinfo >/dev/null || fail "display $DISPLAY not answering"
}

# Throw-away home, settings, runtime, data and cache folders; nothing of the real user's.
make_sandbox() {
    export HOME="$E2E_DIR/home"
    export XDG_CONFIG_HOME="$E2E_DIR/config"
    export XDG_RUNTIME_DIR="$E2E_DIR/runtime"
    export XDG_DATA_HOME="$E2E_DIR/data"
    export XDG_CACHE_HOME="$E2E_DIR/cache"
    export XDG_CONFIG_DIRS="$E2E_DIR/xdg-system"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_CONFIG_DIRS"
    mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
    INSTALL_DIR="$E2E_DIR/themes"
    mkdir -p "$INSTALL_DIR"
    SETTINGS_FILE="$XDG_CONFIG_HOME/Brindle Vistaloom.conf"
}

# Writes the settings file: install_path plus any "key=value" options given.
write_settings() {
    {
        echo "[Config]"
        echo "install_path=\"$INSTALL_DIR/\""
        echo
        echo "[Options]"
        local kv
        for kv in "$@"; do echo "$kv"; done
    } >"$SETTINGS_FILE"
}

IMAGEMAGICK=/usr/bin/convert
[ -x "$IMAGEMAGICK" ] || IMAGEMAGICK=$(command -v convert || true)

# A theme named `name` in the install folder: a 640 x 2401 sheet of twenty 320 x 240
# pictures in strong, distinct colours with a pattern each, and a sample picture.
make_theme() {
    local name=${1:-testtheme}
    [ -n "$IMAGEMAGICK" ] || fail "ImageMagick's convert is needed to make a test theme"
    local work="$E2E_DIR/theme-src"
    mkdir -p "$work"
    local colours=(ff3030 30ff30 3060ff ffff30 ff30ff 30ffff ff9020 9020ff 20ff90 ff2090
                   c0c0ff ffc0c0 c0ffc0 806020 208060 602080 ffffff f0a0f0 a0f0f0 f0f0a0)
    local args=(-size 640x2401 xc:black)
    local i x y c
    for i in $(seq 0 19); do
        x=$(((i % 2) * 320))
        y=$(((i / 2) * 240))
        c=${colours[$i]}
        args+=(-fill "#$c" -draw "rectangle $x,$y $((x + 319)),$((y + 239))")
        args+=(-fill black -draw "circle $((x + 160)),$((y + 120)) $((x + 160)),$((y + 40 + i * 3))")
    done
    "$IMAGEMAGICK" "${args[@]}" -quality 90 "$work/sheet.jpg"
    "$IMAGEMAGICK" -size 150x112 xc:'#4080c0' -quality 90 "$work/sample.jpg"
    "$VISTALOOM_THEME_TOOL" pack "$INSTALL_DIR/$name" --sample "$work/sample.jpg" \
        --sheet "$work/sheet.jpg" >/dev/null || fail "vistaloom-theme pack failed"
}

# Starts the saver in the background with the given arguments; sets SAVER_PID.
start_saver() {
    "$VISTALOOM" "$@" >"$E2E_DIR/saver.out" 2>"$E2E_DIR/saver.err" &
    SAVER_PID=$!
    E2E_PIDS+=("$SAVER_PID")
}

# Id of the first visible window titled exactly `title` (empty when none).
window_by_title() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1
}
saver_window() { window_by_title "Screen Saver Main Form"; }
saver_window_shown() { [ -n "$(saver_window)" ]; }

# Waits until the saver's window is up and its frame loop is presenting frames: the frame
# log (VISTALOOM_FRAME_LOG) has at least `frames` lines.
wait_for_frames() {
    local log=$1 frames=$2 seconds=${3:-20}
    wait_for "$seconds" frames_at_least "$log" "$frames"
}
frames_at_least() { [ -f "$1" ] && [ "$(wc -l <"$1")" -ge "$2" ]; }

# Prints "width height colours nonblack_fraction" of a PNG (8-bit RGB or RGBA, no
# interlace), decoded with the standard library only.
png_stats() {
    python3 - "$1" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
pos, idat, w = 8, b'', 0
while pos < len(data):
    length, kind = struct.unpack('>I4s', data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b'IHDR':
        w, h, depth, ctype, _, _, interlace = struct.unpack('>IIBBBBB', body)
        assert depth == 8 and ctype in (2, 6) and interlace == 0, 'unsupported PNG'
        bpp = 3 if ctype == 2 else 4
    elif kind == b'IDAT':
        idat += body
    pos += 12 + length
raw = zlib.decompress(idat)
stride = w * bpp
prev = bytearray(stride)
colours, nonblack, i = set(), 0, 0
for y in range(h):
    f = raw[i]; line = bytearray(raw[i + 1:i + 1 + stride]); i += 1 + stride
    for x in range(stride):
        a = line[x - bpp] if x >= bpp else 0
        b = prev[x]; c = prev[x - bpp] if x >= bpp else 0
        if f == 1: line[x] = (line[x] + a) & 255
        elif f == 2: line[x] = (line[x] + b) & 255
        elif f == 3: line[x] = (line[x] + (a + b) // 2) & 255
        elif f == 4:
            p = a + b - c; pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    prev = line
    for x in range(0, stride, bpp * 4):
        px = bytes(line[x:x + 3])
        colours.add(px)
        if px != b'\0\0\0': nonblack += 1
print(w, h, len(colours), '%.3f' % (nonblack / (h * ((w + 3) // 4))))
PY
}

# The private item files the saver extracts live here; none may be left after a run.
temp_items() {
    find "$XDG_RUNTIME_DIR" "$XDG_CACHE_HOME" -type f -name 'img_*' 2>/dev/null || true
}

two_saver_windows() {
    [ "$(xdotool search --onlyvisible --name '^Screen Saver Main Form$' 2>/dev/null | wc -l)" -ge 2 ]
}

# Every file an install puts under its prefix (here /usr), sorted.
installed_files() {
    cat <<'LIST'
usr/bin/vistaloom
usr/bin/vistaloom-theme
usr/lib/systemd/user/vistaloom-watch.service
usr/share/applications/screensavers/vistaloom.desktop
usr/share/applications/vistaloom.desktop
usr/share/doc/vistaloom/changelog.gz
usr/share/doc/vistaloom/copyright
usr/share/man/man1/vistaloom-theme.1.gz
usr/share/man/man6/vistaloom.6.gz
usr/share/vistaloom/themes-help.html
usr/share/vistaloom/themes/Demo.icf
usr/share/vistaloom/themes/Demo.img
usr/share/xscreensaver/config/vistaloom.xml
LIST
}

# Every symbolic link an install puts under its prefix, as "LINK -> TARGET", sorted. MATE's and
# Xfce's savers run only programs in their savers folders.
installed_links() {
    cat <<'LIST'
usr/libexec/xscreensaver/vistaloom -> ../../bin/vistaloom
LIST
}

# A headless sway (no GPU, no input devices) with two outputs; sets WAYLAND_DISPLAY (a full
# path, so XDG_RUNTIME_DIR stays the sandbox's) and SWAY_PID. sway refuses to run as root, so
# as root it runs as user nobody in a home and runtime folder of its own.
start_sway() {
    command -v sway >/dev/null || fail "sway is needed (scripts/install-deps)"
    SWAY_DIR="$E2E_DIR/sway"
    mkdir -p "$SWAY_DIR/home"
    mkdir -m 0700 -p "$SWAY_DIR/runtime"
    # Two outputs unless the caller asks for others (SWAY_OUTPUTS "name:WxH ...").
    local outputs=${SWAY_OUTPUTS:-"HEADLESS-1:800x600 HEADLESS-2:640x480"} output count=0
    echo 'xwayland disable' >"$SWAY_DIR/config"
    for output in $outputs; do
        echo "output ${output%%:*} resolution ${output#*:}" >>"$SWAY_DIR/config"
        count=$((count + 1))
    done
    local as=()
    if [ "$(id -u)" -eq 0 ]; then
        chmod 0711 "$E2E_DIR"
        chmod 0755 "$SWAY_DIR"
        chown nobody:nogroup "$SWAY_DIR/home" "$SWAY_DIR/runtime"
        as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    env -u DISPLAY -u WAYLAND_DISPLAY HOME="$SWAY_DIR/home" XDG_RUNTIME_DIR="$SWAY_DIR/runtime" \
        WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS=$count \
        "${as[@]}" sway -c "$SWAY_DIR/config" >"$SWAY_DIR/sway.log" 2>&1 &
    SWAY_PID=$!
    E2E_PIDS+=("$SWAY_PID")
    wait_for 10 sway_socket >/dev/null || fail "sway did not start: $(tail -n 5 "$SWAY_DIR/sway.log")"
    export WAYLAND_DISPLAY
    WAYLAND_DISPLAY=$(sway_socket)
    # With no input devices the seat has no keyboard, and each wtype run brings one only for
    # itself: a window focused before that is never told it has the keyboard, and drops the
    # key. A wtype that sleeps holds a keyboard for the whole run, as a desktop's would be.
    wtype -s 3600000 -k Escape &
    E2E_PIDS+=("$!")
}
sway_socket() {
    local socket
    for socket in "$SWAY_DIR"/runtime/wayland-*; do
        case $socket in *.lock) continue ;; esac
        [ -S "$socket" ] && echo "$socket" && return 0
    done
    return 1
}
# The app_id of the window that has sway's keyboard focus (empty when none has).
sway_focused_app() {
    SWAYSOCK=$(ls "$SWAY_DIR"/runtime/sway-ipc.*.sock 2>/dev/null | head -n1) swaymsg -r -t get_tree |
        python3 -c '
import json, sys
def walk(node):
    if node.get("focused"):
        return node.get("app_id") or ""
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        found = walk(child)
        if found is not None:
            return found
    return None
print(walk(json.load(sys.stdin)) or "")'
}
