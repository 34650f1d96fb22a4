#!/usr/bin/env bash
# Builds Roamwise and runs it under Wine.
#   scripts/run.sh             with a display: opens the window; ends when it is closed
#   scripts/run.sh --headless  (also when there is no display) runs it under a
#                              private Xvfb, saves screenshots of both windows,
#                              closes it and prints where the pictures are
# Profiles and settings persist in $ROAMWISE_BUILD/run (default build/run);
# --headless starts from a fresh copy each time, as a first run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ROAMWISE_BUILD:-$root/build}"
headless=0
[ "${1:-}" = "--headless" ] || [ -z "${DISPLAY:-}" ] && headless=1

"$root/scripts/setup.sh"
. "$root/scripts/wine-lib.sh"

# The shipped 32-bit program (the tree scripts/test.sh checks) where this
# kernel runs 32-bit code, else the 64-bit build of the same sources.
if wine_runs_32bit; then
    tree="$build/release"
    cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DROAMWISE_WINE_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686-release.cmake" >/dev/null
else
    tree="$build/app-win64"
    cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DROAMWISE_TESTS=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" >/dev/null
fi
cmake --build "$tree" --target Roamwise >/dev/null

# With a display, profiles and settings persist in build/run; the pictures
# show a first run, so --headless starts from a fresh copy every time.
state="$build/run"
[ "$headless" -eq 1 ] && state="$build/run-headless" && rm -rf "$state"
app="$state/Roamwise"
shots="$build/screenshots"
mkdir -p "$app/Profiles" "$shots"
cp "$tree/Roamwise.exe" "$app/"
wine_template "$build/wine-template" "$state/home"
[ -f "$state/prefix/system.reg" ] || wine_clone "$build/wine-template" "$state/prefix"
wine_env "$state/prefix" "$state/home"

if [ "$headless" -eq 0 ]; then
    (cd "$app" && wine Roamwise.exe)
    wineserver -w
    exit 0
fi

xvfb_start
export DISPLAY="$XVFB_DISPLAY"
cleanup() { wine_stop_server; xvfb_stop "$XVFB_PID"; }
trap cleanup EXIT
wine_start_server

(cd "$app" && exec "$ROAMWISE_WINE" Roamwise.exe) </dev/null >/dev/null 2>&1 &
pid=$!
main=$(x_find_window Roamwise)
sleep 1
# No window manager: each Wine window is an X window exactly its window
# rectangle, title bar and border drawn by Wine, so a shot of the X window
# is the window whole.
import -display "$DISPLAY" -window "$main" "$shots/roamwise-main.png"

# The focus starts in the profile list; five tabs reach the magnifying glass.
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key --delay 50 Tab Tab Tab Tab Tab space
viewer=$(x_find_window "Current Settings")
sleep 1
import -display "$DISPLAY" -window "$viewer" "$shots/roamwise-viewer.png"
import -display "$DISPLAY" -window root "$shots/roamwise-screen.png"

# Close the viewer, then the main window, as a user would.
xdotool windowfocus --sync "$viewer" 2>/dev/null || true
xdotool key alt+F4
sleep 0.5
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key alt+F4
for i in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "Roamwise did not close; stopping it" >&2
    wineserver -k
fi
wait "$pid" 2>/dev/null || true
echo "Screenshots: $shots/roamwise-main.png $shots/roamwise-viewer.png $shots/roamwise-screen.png"
