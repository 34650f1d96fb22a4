#!/usr/bin/env bash
# Benchmark, not a test: the CPU time Roamwise.exe uses while it waits for a
# tool that takes three seconds (a save against a slow netsh double), beside
# the wall time of that wait. Prints one table.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ROAMWISE_BUILD:-$root/build}"
tree="$build/win64"
"$root/scripts/setup.sh"
. "$root/scripts/wine-lib.sh"

cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" >/dev/null
cmake --build "$tree" --target Roamwise netsh_double >/dev/null

state="$build/bench"
rm -rf "$state/app" "$state/double"
mkdir -p "$state/app/Profiles" "$state/double"
cp "$tree/Roamwise.exe" "$state/app/"
echo 3000 >"$state/double/delay_ms"
wine_template "$build/wine-template" "$state/home"
wine_clone "$build/wine-template" "$state/prefix"
wine_install_tool "$state/prefix" "$tree/tests/e2e/netsh_double.exe" netsh.exe
wine_env "$state/prefix" "$state/home"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;netsh.exe=n"
export ROAMWISE_DOUBLE_DIR="Z:${state//\//\\}\\double"

xvfb_start
export DISPLAY="$XVFB_DISPLAY"
trap 'wine_stop_server; xvfb_stop "$XVFB_PID"' EXIT
wine_start_server

(cd "$state/app" && exec "$ROAMWISE_WINE" Roamwise.exe) </dev/null >/dev/null 2>&1 &
main=$(x_find_window Roamwise)
sleep 2
pid=$(pgrep -f 'Roamwise.exe' | head -n 1)
server=$(pgrep -f "wineserver" -n)
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

# Focus starts in the profile list; three tabs reach the name box.
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key --delay 50 Tab Tab Tab
xdotool type --delay 30 bench
before=$(ticks "$pid"); server_before=$(ticks "$server"); start=$(date +%s.%N)
xdotool key Return
# The save ends with the "Settings Saved" box: a second window titled Roamwise.
for i in $(seq 1 300); do
    [ "$(xdotool search --onlyvisible --name '^Roamwise$' 2>/dev/null | wc -l)" -ge 2 ] && break
    sleep 0.05
done
end=$(date +%s.%N); after=$(ticks "$pid"); server_after=$(ticks "$server")
[ -f "$state/app/Profiles/bench.txt" ] || { echo "the save did not complete" >&2; exit 1; }

python3 - "$start" "$end" "$before" "$after" "$server_before" "$server_after" "$hz" <<'PY'
import sys
start, end = float(sys.argv[1]), float(sys.argv[2])
b, a, sb, sa, hz = (int(x) for x in sys.argv[3:8])
wall = end - start
cpu = (a - b) / hz
server = (sa - sb) / hz
print("| measure | value |")
print("|---|---|")
print("| wall time of the save (tool sleeps 3 s) | %.2f s |" % wall)
print("| CPU time of Roamwise.exe in that time | %.2f s (%.1f %% of the wall time) |" % (cpu, 100 * cpu / wall))
print("| CPU time of wineserver in that time | %.2f s |" % server)
PY
xdotool key Return
sleep 0.5
xdotool windowfocus --sync "$main" 2>/dev/null || true
xdotool key alt+F4
sleep 1
