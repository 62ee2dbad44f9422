#!/usr/bin/env bash
# Builds Gridwright, writes a demo game folder into ./demo and opens the program there under Wine.
# With a display the program simply runs for the user. Without one it runs on a virtual X display,
# a car is selected in each list and the pictures are shown as a user would, a screenshot is
# saved, and the program is closed with Can (nothing written).
#
#   scripts/run.sh
#
# GRIDWRIGHT_WIN_BUILD and GRIDWRIGHT_TOOLS_BUILD name other build folders (defaults build-win and
# build-tools); GRIDWRIGHT_SCREENSHOT names the screenshot (default demo/demo-screenshot.png).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

win_build="${GRIDWRIGHT_WIN_BUILD:-build-win}"
tools_build="${GRIDWRIGHT_TOOLS_BUILD:-build-tools}"
demo="$root/demo"
screenshot="${GRIDWRIGHT_SCREENSHOT:-$demo/demo-screenshot.png}"

log() { echo "run: $*"; }

if [ -x scripts/setup.sh ]; then
    scripts/setup.sh
elif [ -f scripts/setup.sh ]; then
    bash scripts/setup.sh
fi

source scripts/wine-env.sh

log "building gridwright.exe in $win_build"
if [ ! -f "$win_build/CMakeCache.txt" ]; then
    if [ "$win_build" = build-win ] && [ -f CMakePresets.json ]; then
        cmake --preset windows
    else
        cmake -S . -B "$win_build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake \
            -DCMAKE_BUILD_TYPE=Release
    fi
fi
cmake --build "$win_build" --target gridwright gw_close_with_can

log "building the demo folder tool in $tools_build"
if [ ! -f "$tools_build/CMakeCache.txt" ]; then
    cmake -S . -B "$tools_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGRIDWRIGHT_TESTS=OFF
fi
cmake --build "$tools_build" --target gw_make_demo

log "writing the demo game folder $demo"
rm -rf "$demo"
"$tools_build/tools/gw_make_demo" "$demo"
cp "$win_build/app/gridwright.exe" "$demo/"

# Wine's own desktop window draws the dialog's caption and frame even with no window manager.
run_program() {
    cd "$demo" && exec "$GRIDWRIGHT_WINE" explorer /desktop=Gridwright,1024x768 gridwright.exe
}

if [ -n "${DISPLAY:-}" ]; then
    log "opening Gridwright in $demo"
    run_program
fi

# No display: a virtual one on the first free number.
number=99
while [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ]; do
    number=$((number + 1))
done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
program_pid=""
cleanup() {
    if [ -n "$program_pid" ]; then
        kill "$program_pid" 2>/dev/null || true
    fi
    kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$number"
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$number" ] && break
    sleep 0.1
done
log "virtual display $DISPLAY"

# What the program remembers from an earlier run (Show Pictures, the window's place) is forgotten,
# so that the keys below show the pictures rather than hide them.
"$GRIDWRIGHT_WINE" reg delete 'HKCU\Software\Gridwright' /f >/dev/null 2>&1 || true
(run_program) >"$demo/wine.log" 2>&1 &
program_pid=$!

# Wine gives the dialog an X window of its own inside the desktop, shown once both lists are
# loaded. Once it is there, wait until the screen stops changing: then it is drawn.
dialog=""
for _ in $(seq 120); do
    dialog="$(xdotool search --onlyvisible --name '^Gridwright$' 2>/dev/null | head -n 1 || true)"
    [ -n "$dialog" ] && break
    sleep 0.5
done
if [ -z "$dialog" ]; then
    log "the program's window did not appear" >&2
    exit 1
fi
# Waits until the screen stops changing.
settle() {
    local previous="" current steady=0
    for _ in $(seq 60); do
        sleep 0.5
        current="$(import -window root -depth 8 rgb:- 2>/dev/null | md5sum)"
        if [ "$current" = "$previous" ]; then
            steady=$((steady + 1))
            [ "$steady" -ge 4 ] && return
        else
            steady=0
        fi
        previous="$current"
    done
}
settle

# As a user would: with the keyboard, whose focus is on the available list after the load, select
# the first available car, then the first installed one, and show the pictures from the system
# menu. The pointer rests on the dialog's caption so that the keys go to it.
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove "$((X + WIDTH / 2))" "$((Y + 8))" 2>/dev/null || true
sleep 0.5
xdotool key Down 2>/dev/null || true
sleep 0.3
xdotool key Tab 2>/dev/null || true
sleep 0.3
xdotool key Down 2>/dev/null || true
sleep 0.3
xdotool key alt+space 2>/dev/null || true
sleep 0.5
xdotool key p 2>/dev/null || true
settle

import -window root "$screenshot"
log "screenshot saved: $screenshot"

# Can, found by its id on the program's Wine desktop.
"$GRIDWRIGHT_WINE" "$win_build/tools/gw_close_with_can.exe" Gridwright ||
    log "Can could not be pressed"

# Our Wine processes are the ones working in the demo folder.
our_processes() {
    local pid
    for pid in $(pgrep -u "$(id -u)" 2>/dev/null); do
        [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$demo" ] && echo "$pid"
    done
}
for _ in $(seq 20); do
    [ -z "$(our_processes)" ] && break
    sleep 0.5
done
if [ -n "$(our_processes)" ]; then
    log "the program did not close; stopping it"
    for pid in $(our_processes); do kill "$pid" 2>/dev/null || true; done
    sleep 1
    [ -z "$(our_processes)" ] || wineserver -k 2>/dev/null || true
fi
wait "$program_pid" 2>/dev/null || true
program_pid=""
log "closed; the screenshot is $screenshot"
