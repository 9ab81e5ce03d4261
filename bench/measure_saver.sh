#!/usr/bin/env bash
# Measures the real saver under Xvfb, or under headless sway for the wayland- cases: CPU of
# the saver and of the display server (percent of one core, from the run time of each of
# their threads in /proc/<pid>/task/*/schedstat) and the frame periods against the target.
#
#   bench/measure_saver.sh [BUILD_DIR]        (default: build)
#   MEASURE_SECONDS=30   length of each measured stretch
#   IDLE_SECONDS=5       length of the stretch each display server is measured alone first
#   MEASURE_CASES="..."  which cases to run (default: "defaults-1080p 4k-60fps-10sprites")
#                        more: the -muted variants, music-wav and music-mp3 (a theme whose
#                        only track is the demo tune as WAV or MP3; needs fluidsynth and
#                        lame), startup-4k (exec to the first picture on the screen
#                        and to the first frame with the scene's pictures, five times),
#                        wayland-1080p-muted (the layer-shell path on headless sway) against
#                        x11-1080p-muted (the X11 paths on Xvfb), same size and settings,
#                        popsquares-1080p (XScreenSaver's popsquares on the root window, to
#                        compare defaults-1080p-muted against: xscreensaver-data),
#                        floor-1080p (bench/floor/frame_floor: a Qt program doing no more
#                        than the default frames' copies on the X server, the floor under
#                        defaults-1080p-muted), floor-4k-60fps-10sprites (the same program
#                        with ten pictures at 60 fps at 3840x2160, the floor under
#                        4k-60fps-10sprites-muted), wayland-floor-1080p (bench/floor/
#                        wayland_floor: a layer-shell client drawing the same frames into one
#                        shm buffer, the compositor's floor under wayland-1080p-muted)
#   MEASURE_PRESENTERS="xpixmap shm"  the X11 paths each X11 case runs with, side by side:
#                        xpixmap composes on the X server, shm composes here
#
# Every case also reports the time from exec to the first presented frame and the peak
# resident memory (VmHWM) of the saver; a table of all runs closes the output.
#
# The saver writes "frame tick" for every presented frame to $VISTALOOM_FRAME_LOG; a period
# is the difference between the ticks of two consecutive frame numbers.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
seconds=${MEASURE_SECONDS:-30}
cases=${MEASURE_CASES:-"defaults-1080p 4k-60fps-10sprites"}
presenters=${MEASURE_PRESENTERS:-"xpixmap shm"}
source "$here/saver_bench_lib.sh"
saver_bench_setup "${1:-}"
if install_demo_theme; then
    theme=Demo
else
    make_theme Bench
    theme=Bench
fi
summary=$E2E_DIR/summary
: >"$summary"

# Runs the saver by the X11 path `presenter`: the first row of the table that starts, or
# the one after it when it is told off.
with_presenter() {
    local presenter=$1
    shift
    case $presenter in
    xpixmap) "$@" ;;
    shm) VISTALOOM_NO_XPIXMAP=1 "$@" ;;
    *) fail "unknown presenter $presenter" ;;
    esac
}

# Nanoseconds on a CPU of the saver's audio thread (SDL's), where all music work runs.
audio_ns() {
    local t
    for t in /proc/"$1"/task/*; do
        case $(cat "$t/comm" 2>/dev/null) in SDLAudio*) awk '{print $1}' "$t/schedstat"; return ;; esac
    done
    echo 0
}
peak_kb() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status"; }
now_us() { echo $(($(date +%s%N) / 1000)); }

# A theme like the demo whose only track is the demo tune in another format.
make_music_theme() {
    local format=$1 name=$2
    [ -f "$INSTALL_DIR/$name.icf" ] && return 0
    local parts=$DEMO/demo_parts font=/usr/share/sounds/sf2/FluidR3_GM.sf2
    command -v fluidsynth >/dev/null || fail "fluidsynth is needed to render the tune"
    fluidsynth -ni -q -F "$E2E_DIR/tune.wav" -r 44100 "$font" "$parts/tune.mid" >/dev/null 2>&1
    local track=$E2E_DIR/tune.wav
    if [ "$format" = mp3 ]; then
        command -v lame >/dev/null || fail "lame is needed to make the MP3"
        lame --quiet -b 128 "$E2E_DIR/tune.wav" "$E2E_DIR/tune.mp3"
        track=$E2E_DIR/tune.mp3
    fi
    "$VISTALOOM_THEME_TOOL" pack "$INSTALL_DIR/$name" --sample "$parts/sample.jpg" \
        --sheet "$parts/sheet.jpg" "$track" >/dev/null || fail "packing $name failed"
}

# Milliseconds from `start` to the saver's own "# <what>-unix-us" line ("-" when it has none).
stamp_ms() {
    local at
    at=$(awk -v key="$2-unix-us" '$2 == key {print $3; exit}' "$1")
    if [ -n "$at" ]; then echo "scale=1; ($at - $3) / 1000" | bc; else echo -; fi
}
# Milliseconds from `start` (the moment before exec) to the first picture on the screen: the
# saver's own "# first-frame-presented-unix-us" line, or the first line of a frame log
# written by a build that has none.
first_frame_ms() {
    local log=$1 start=$2 watched=$3 at
    at=$(awk '$2 == "first-frame-presented-unix-us" {print $3; exit}' "$log")
    [ -n "$at" ] || at=$(cat "$watched" 2>/dev/null || echo "$start")
    echo "scale=1; ($at - $start) / 1000" | bc
}
watch_first_line() {
    # A saver that writes its own line needs no watcher, whose polling would slow its start.
    if grep -q first-frame-presented "$VISTALOOM"; then
        sleep 0 &
        WATCH_PID=$!
        return
    fi
    python3 - "$1" >"$2" <<'PY' &
import os, sys, time
path = sys.argv[1]
end = time.time() + 30
while time.time() < end:
    if os.path.exists(path) and os.path.getsize(path) > 0:
        print(time.time_ns() // 1000)
        break
    time.sleep(0.001)
PY
    WATCH_PID=$!
}

# The display server of a case: Xvfb, or sway with one output of that size (its pid stands
# in XVFB_PID, so both are measured alike).
start_server() {
    local geometry=$1
    case $name in
    wayland-*)
        local size=${geometry%x*}
        unset DISPLAY
        export QT_QPA_PLATFORM=wayland
        SWAY_OUTPUTS="HEADLESS-1:$size" start_sway
        XVFB_PID=$SWAY_PID
        ;;
    *)
        unset WAYLAND_DISPLAY QT_QPA_PLATFORM
        start_x "$geometry"
        ;;
    esac
}

# Percent of one core the display server spends with no client of ours, over IDLE_SECONDS
# (default 5) once it has settled: headless sway ticks its outputs 60 times a second with
# nothing to show, Xvfb sleeps. The Wayland comparisons of the closing table also give the
# sums less it.
server_idle() {
    sleep 1
    local x0 t0 x1 t1
    x0=$(cpu_ns "$XVFB_PID"); t0=$(date +%s.%N)
    sleep "${IDLE_SECONDS:-5}"
    x1=$(cpu_ns "$XVFB_PID"); t1=$(date +%s.%N)
    python3 -c "print(f'{100.0 * ($x1 - $x0) / 1e9 / ($t1 - $t0):.2f}')"
}

measure() {
    local name=$1 geometry=$2 rate=$3
    shift 3
    case $name in
    wayland-*) measure_one "$name" wayland "$geometry" "$rate" "$@" ;;
    *) for p in $presenters; do with_presenter "$p" measure_one "$name" "$p" "$geometry" "$rate" "$@"; done ;;
    esac
}

measure_one() {
    local name=$1 presenter=$2 geometry=$3 rate=$4
    shift 4
    start_server "$geometry"
    local idle
    idle=$(server_idle)
    write_settings "active_module=$theme" "$@"
    local log="$E2E_DIR/$name.frames" started
    rm -f "$log"
    watch_first_line "$log" "$E2E_DIR/first"
    started=$(now_us)
    VISTALOOM_FRAME_LOG="$log" start_saver /S
    wait_for_frames "$log" 20 30 || fail "$name: the saver did not start: $(cat "$E2E_DIR/saver.err")"
    wait "$WATCH_PID" || true
    local first_ms
    first_ms=$(first_frame_ms "$log" "$started" "$E2E_DIR/first")
    sleep 2  # past the start-up work
    local first_frame s0 x0 t0 s1 x1 t1
    first_frame=$(tail -n1 "$log" | cut -d' ' -f1)
    local a0 a1
    a0=$(audio_ns "$SAVER_PID")
    s0=$(cpu_ns "$SAVER_PID"); x0=$(cpu_ns "$XVFB_PID"); t0=$(date +%s.%N)
    sleep "$seconds"
    s1=$(cpu_ns "$SAVER_PID"); x1=$(cpu_ns "$XVFB_PID"); t1=$(date +%s.%N)
    a1=$(audio_ns "$SAVER_PID")
    local last_frame
    last_frame=$(tail -n1 "$log" | cut -d' ' -f1)
    local peak
    peak=$(peak_kb "$SAVER_PID")
    kill -TERM "$SAVER_PID"
    wait_exit "$SAVER_PID" 20
    python3 - "$log" "$first_frame" "$last_frame" "$rate" "$name" "$geometry" \
        "$s0" "$s1" "$x0" "$x1" "$t0" "$t1" 1000000000 "$first_ms" "$peak" "$a0" "$a1" "$summary" "$idle" <<'PY'
import sys
log, first, last, rate, name, geometry = sys.argv[1:7]
shown_by = next((l.split()[1] for l in open(log) if l.startswith('presentation ')), '?')
s0, s1, x0, x1 = (int(v) for v in sys.argv[7:11])
t0, t1, ns = float(sys.argv[11]), float(sys.argv[12]), int(sys.argv[13])
first, last, rate = int(first), int(last), int(rate)
wall = t1 - t0
saver = 100.0 * (s1 - s0) / ns / wall
xserver = 100.0 * (x1 - x0) / ns / wall
ticks = {}
for line in open(log):
    parts = line.split()
    if len(parts) == 2 and parts[0].isdigit():
        ticks[int(parts[0])] = int(parts[1])
periods = sorted(ticks[n + 1] - ticks[n] for n in range(first, last)
                 if n in ticks and n + 1 in ticks)
# The smallest whole number of milliseconds with int(1000 / ms) <= rate.
target = next(ms for ms in range(1, 2000) if 1000 // ms <= rate)
within = sum(1 for p in periods if target <= p <= target + 2)
def pct(q):
    return periods[min(len(periods) - 1, int(q * len(periods)))]
first_ms, peak_kb = float(sys.argv[14]), int(sys.argv[15])
audio = 100.0 * (int(sys.argv[17]) - int(sys.argv[16])) / 1e9 / (float(sys.argv[12]) - float(sys.argv[11]))
print(f"{name} by {shown_by} ({geometry}, frame_rate {rate}): {wall:.1f} s, {len(periods)} frame periods")
with open(sys.argv[18], 'a') as out:
    out.write(f"{name} {shown_by} {saver:.2f} {xserver:.2f} {saver + xserver:.2f} {first_ms:.0f} {peak_kb / 1024:.1f}"
              f" {sys.argv[19]}\n")
print(f"  first frame {first_ms:.0f} ms after exec, peak memory {peak_kb / 1024:.1f} MB")
print(f"  CPU, percent of one core: saver {saver:.2f}  display server {xserver:.2f}  together {saver + xserver:.2f}"
      f"  (of the saver, its audio thread {audio:.2f}; the server alone before the saver {sys.argv[19]})")
if periods:
    print(f"  frame period ms: min {periods[0]}  median {pct(0.5)}  p99 {pct(0.99)}  max {periods[-1]}"
          f"  target {target}  within {target}..{target + 2}: {100.0 * within / len(periods):.1f}%")
PY
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
}

# Exec to first presented frame at 3840x2160 with 10 sprites, and a whole one-frame run.
startup() {
    local p
    for p in $presenters; do with_presenter "$p" startup_one "$p"; done
}

startup_one() {
    local presenter=$1
    start_x 3840x2160x24
    write_settings "active_module=$theme" "frame_rate=60" "sprite_active=10" "mute_audio=1"
    local i log started results=() scene=()
    # Run 0 is not counted: a display server that has just started has not touched its
    # framebuffer yet, where a desktop's has long been painted.
    for i in 0 1 2 3 4 5; do
        log="$E2E_DIR/startup$i.frames"
        rm -f "$log"  # the other presenter's runs wrote the same names
        watch_first_line "$log" "$E2E_DIR/first"
        # The watcher's own start (and the server's work for the run before) stays out of
        # the measured start.
        sleep 1
        started=$(now_us)
        VISTALOOM_FRAME_LOG="$log" start_saver /S
        wait_for_frames "$log" 3 30 || fail "startup: no frame: $(cat "$E2E_DIR/saver.err")"
        wait "$WATCH_PID" || true
        kill -TERM "$SAVER_PID"
        wait_exit "$SAVER_PID" 20
        [ "$i" = 0 ] && continue
        results+=("$(first_frame_ms "$log" "$started" "$E2E_DIR/first")")
        scene+=("$(stamp_ms "$log" first-scene-frame-presented "$started")")
    done
    sleep 1
    started=$(now_us)
    "$VISTALOOM" /S --frames 1 >/dev/null 2>&1
    local whole=$((($(now_us) - started) / 1000))
    echo "startup-4k by $presenter (3840x2160, 10 sprites): first picture after ${results[*]} ms;" \
        "first frame with its pictures after ${scene[*]} ms; a whole /S --frames 1 run ${whole} ms"
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
}

# A program other than the saver on a display server of `size` (`server`: x for Xvfb,
# wayland for headless sway), measured as the saver is: the program and the server together.
# `name` heads its line in the table, `label` stands in its path column.
outside_program() {
    local name=$1 label=$2 server=$3 size=$4
    shift 4
    case $server in
    wayland)
        unset DISPLAY
        SWAY_OUTPUTS="HEADLESS-1:$size" start_sway
        XVFB_PID=$SWAY_PID
        ;;
    *)
        unset WAYLAND_DISPLAY
        start_x "${size}x24"
        ;;
    esac
    local idle
    idle=$(server_idle)
    "$@" >/dev/null 2>&1 &
    local pid=$! s0 x0 t0 s1 x1 t1
    sleep 2
    s0=$(cpu_ns "$pid"); x0=$(cpu_ns "$XVFB_PID"); t0=$(date +%s.%N)
    sleep "$seconds"
    s1=$(cpu_ns "$pid"); x1=$(cpu_ns "$XVFB_PID"); t1=$(date +%s.%N)
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    python3 - "$name" "$s0" "$s1" "$x0" "$x1" "$t0" "$t1" 1000000000 "$summary" "$idle" "$size" "$label" <<'PY'
import sys
name, program_name = sys.argv[1], sys.argv[12]
s0, s1, x0, x1 = (int(v) for v in sys.argv[2:6])
wall, ns = float(sys.argv[7]) - float(sys.argv[6]), int(sys.argv[8])
program, xserver = 100.0 * (s1 - s0) / ns / wall, 100.0 * (x1 - x0) / ns / wall
print(f"{name} ({sys.argv[11]}): {wall:.1f} s")
print(f"  CPU, percent of one core: {program_name} {program:.2f}  display server {xserver:.2f}  together {program + xserver:.2f}"
      f"  (the server alone before it {sys.argv[10]})")
with open(sys.argv[9], 'a') as out:
    out.write(f"{name} {program_name} {program:.2f} {xserver:.2f} {program + xserver:.2f} - - {sys.argv[10]}\n")
PY
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
}

# XScreenSaver's popsquares on the root window.
popsquares() {
    local hack=/usr/libexec/xscreensaver/popsquares
    [ -x "$hack" ] || hack=/usr/lib/xscreensaver/popsquares
    [ -x "$hack" ] || fail "popsquares is needed (xscreensaver-data)"
    outside_program popsquares-1080p popsquares x 1920x1080 "$hack" -root
}

# The least a Qt program pays for the default frames (4 pictures moved at 20 frames a second,
# one server-side copy each): the floor under defaults-1080p-muted.
floor() {
    local program=$build/bench/frame_floor
    [ -x "$program" ] || fail "$program is not built"
    outside_program floor-1080p floor x 1920x1080 "$program" 4 20
}

# The same at 3840x2160 for ten pictures at 60 frames a second: the floor under
# 4k-60fps-10sprites-muted, most of it the server's copies of the pictures themselves.
floor_4k() {
    local program=$build/bench/frame_floor
    [ -x "$program" ] || fail "$program is not built"
    outside_program floor-4k-60fps-10sprites floor x 3840x2160 "$program" 10 60
}

# The least a layer-shell client makes the compositor pay for the same frames (each picture
# drawn once into one shm buffer, committed with its damage): the compositor's floor under
# wayland-1080p-muted.
wayland_floor() {
    local program=$build/bench/wayland_floor
    [ -x "$program" ] || fail "$program is not built"
    outside_program wayland-floor-1080p wayland-floor wayland 1920x1080 "$program" 4 20
}

for c in $cases; do
    case $c in
    startup-4k) startup ;;
    popsquares-1080p) popsquares ;;
    floor-1080p) floor ;;
    floor-4k-60fps-10sprites) floor_4k ;;
    wayland-floor-1080p) wayland_floor ;;
    music-wav) make_music_theme wav DemoWav && theme=DemoWav measure "$c" 1920x1080x24 20 ;;
    music-mp3) make_music_theme mp3 DemoMp3 && theme=DemoMp3 measure "$c" 1920x1080x24 20 ;;
    defaults-1080p) measure "$c" 1920x1080x24 20 ;;
    defaults-1080p-muted) measure "$c" 1920x1080x24 20 "mute_audio=1" ;;
    x11-1080p-muted) measure "$c" 1920x1080x24 20 "mute_audio=1" ;;
    wayland-1080p-muted) measure "$c" 1920x1080x24 20 "mute_audio=1" ;;
    4k-60fps-10sprites) measure "$c" 3840x2160x24 60 "frame_rate=60" "sprite_active=10" ;;
    4k-60fps-10sprites-muted) measure "$c" 3840x2160x24 60 "frame_rate=60" "sprite_active=10" "mute_audio=1" ;;
    *) fail "unknown case $c" ;;
    esac
done

# All runs side by side; defaults-1080p-muted against popsquares and the floor where they ran.
python3 - "$summary" <<'PY'
import sys
rows = [line.split() for line in open(sys.argv[1]) if line.strip()]
if not rows:
    sys.exit(0)
print()
print(f"{'case':28} {'path':14} {'saver':>7} {'server':>7} {'sum':>7} {'first ms':>9} {'peak MB':>8} {'idle':>6}")
for r in rows:
    print(f"{r[0]:28} {r[1]:14} {r[2]:>7} {r[3]:>7} {r[4]:>7} {r[5]:>9} {r[6]:>8} {r[7]:>6}")
pop = [float(r[4]) for r in rows if r[0] == 'popsquares-1080p']
floor = [float(r[4]) for r in rows if r[0] == 'floor-1080p']
def sums(case):
    return [(r[1], float(r[4]), float(r[4]) - float(r[7])) for r in rows if r[0] == case]
# "less idle": what the saver adds to the machine, the server's cost with no client taken off.
for path, wayland, wayland_added in sums('wayland-1080p-muted'):
    for x11_path, x11, x11_added in sums('x11-1080p-muted'):
        print(f"wayland-1080p-muted against x11-1080p-muted by {x11_path}: {wayland / x11:.2f}x"
              f" (less each server's idle: {wayland_added:.2f} against {x11_added:.2f}, {wayland_added / x11_added:.2f}x)")
    for _, wfloor, wfloor_added in sums('wayland-floor-1080p'):
        print(f"wayland-1080p-muted against the wayland floor: {wayland / wfloor:.2f}x"
              f" (less idle: {wayland_added / wfloor_added:.2f}x)")
floor_4k = [r for r in rows if r[0] == 'floor-4k-60fps-10sprites']
for r in rows:
    if r[0] == '4k-60fps-10sprites-muted' and floor_4k:
        f = floor_4k[0]
        print(f"4k-60fps-10sprites-muted by {r[1]} against the floor: {float(r[4]) / float(f[4]):.2f}x"
              f" (saver {r[2]} against {f[2]}, server {r[3]} against {f[3]})")
    if r[0] != 'defaults-1080p-muted':
        continue
    if pop:
        print(f"defaults-1080p-muted by {r[1]} against popsquares: {float(r[4]) / pop[0]:.2f}x")
    if floor:
        print(f"defaults-1080p-muted by {r[1]} against the floor: {float(r[4]) / floor[0]:.2f}x"
              + (f" (the floor against popsquares: {floor[0] / pop[0]:.2f}x)" if pop else ""))
PY
