#!/usr/bin/env bash
# Benchmarks, not tests: builds the release exe and the benchmark programs,
# runs them under Wine with a private prefix and Xvfb, and prints one table
# (measure, value, target, met?). The method is in BENCHMARKS.md.
#   bench/run.sh [RUNS]     RUNS: start-ups per program (default 15)
# Trees: $ROAMWISE_BUILD (default build/) /bench-win64 and /bench; the shipped
# exe comes from scripts/release.sh.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ROAMWISE_BUILD:-$root/build}"
runs="${1:-15}"
"$root/scripts/setup.sh"
. "$root/scripts/wine-lib.sh"

# This kernel may run no 32-bit code: everything timed is the 64-bit build of
# the same sources under wine64. The size is of the shipped 32-bit exe.
tree="$build/bench-win64"
cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DROAMWISE_TESTS=OFF -DROAMWISE_BENCH=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" >/dev/null
cmake --build "$tree" --target bench_programs >/dev/null
bin="$tree/bench"

zip=$(ROAMWISE_DIST="$build/bench-dist" "$root/scripts/release.sh" --worktree 2>/dev/null)
size_i686=$(unzip -l "$zip" Roamwise.exe | awk 'NR == 4 {print $1}')
x86_64-w64-mingw32-strip -o "$build/bench-x64-stripped.exe" "$tree/Roamwise.exe"
size_x64=$(stat -c %s "$build/bench-x64-stripped.exe")

state="$build/bench"
rm -rf "$state"
mkdir -p "$state"
winpath() { echo "Z:${1//\//\\}"; }

wine_template "$build/wine-template" "$state/home"
wine_clone "$build/wine-template" "$state/prefix"
wine_install_tool "$state/prefix" "$bin/ipconfig_double.exe" ipconfig.exe
wine_install_tool "$state/prefix" "$bin/netsh_double.exe" netsh.exe
wine_env "$state/prefix" "$state/home"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;ipconfig.exe=n;netsh.exe=n"

xvfb_start
export DISPLAY="$XVFB_DISPLAY"
trap 'wine_stop_server; xvfb_stop "$XVFB_PID"' EXIT
wine_start_server

# --- start-up: Roamwise beside the bare window, alternating ------------------
mkdir -p "$state/start/app/Profiles" "$state/start/bare"
cp "$tree/Roamwise.exe" "$state/start/app/"
cp "$bin/bare_window.exe" "$state/start/bare/"
cp "$bin/start_timer.exe" "$state/start/"
# Third: the tool run that Roamwise's start-up makes (the Settings.bat it
# left behind: ipconfig /all into ipinfo.txt), started the way it starts it.
wine "$state/start/start_timer.exe" "$runs" "$(winpath "$state/start/app/Roamwise.exe")" \
    "$(winpath "$state/start/bare/bare_window.exe")" "tool:$(winpath "$state/start/app/Settings.bat")" \
    </dev/null >"$state/start.txt"

# The bare window's memory: what any program costs under this Wine.
bare_rss_kb=0
(cd "$state/start/bare" && exec "$ROAMWISE_WINE" bare_window.exe) </dev/null >/dev/null 2>&1 &
bare_pid=$!
if x_find_window Bare >/dev/null; then
    sleep 1
    bare_rss_kb=$(awk '/^RssAnon:/ {print $2}' "/proc/$bare_pid/status")
fi
kill "$bare_pid" 2>/dev/null || true
wait "$bare_pid" 2>/dev/null || true

# --- listing: File_List over 1 000, 5 000 and 20 000 profile files ------------
for n in 1000 5000 20000; do
    dir="$state/list$n"
    mkdir -p "$dir/Profiles"
    cp "$bin/list_timer.exe" "$dir/"
    python3 - "$dir/Profiles" "$n" <<'PY'
import os, random, sys
d, n = sys.argv[1], int(sys.argv[2])
rng = random.Random(n)
places = ["Office", "home", "Cafe", "hotel", "Client", "lab", "Station", "airport"]
for i in range(n):
    name = "%s %s-%05d.txt" % (rng.choice(places), rng.choice("ABCDEFGHxyz"), i)
    with open(os.path.join(d, name), "w") as f:
        f.write("# interface dump\n")
PY
    wine "$dir/list_timer.exe" 7 "$n" </dev/null >"$state/list$n.txt"
done

# --- waiting and memory: a save against a netsh that takes 3 s ----------------
app="$state/wait/app"
double="$state/wait/double"
mkdir -p "$app/Profiles" "$double"
cp "$tree/Roamwise.exe" "$app/"
cp "$bin/wait_timer.exe" "$state/wait/"
echo 3000 >"$double/delay_ms"
wine "$state/wait/wait_timer.exe" "$(winpath "$app")" "$(winpath "$double")" </dev/null >"$state/wait.txt" &
timer=$!
for i in $(seq 1 600); do [ -f "$double/ready" ] && break; sleep 0.1; done
# The Linux process of this Roamwise.exe: ours is the one in our prefix.
unix_pid=""
for p in $(pgrep -f 'Roamwise\.exe' || true); do
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$state/prefix"; then
        unix_pid=$p
        break
    fi
done
rss_anon_kb=""
[ -n "$unix_pid" ] && rss_anon_kb=$(awk '/^RssAnon:/ {print $2}' "/proc/$unix_pid/status")
touch "$double/go"
wait "$timer"

python3 - "$state" "$runs" "$size_i686" "$size_x64" "${rss_anon_kb:-0}" "${bare_rss_kb:-0}" <<'PY'
import math, sys
state, runs = sys.argv[1], int(sys.argv[2])
size_i686, size_x64, rss_anon_kb, bare_rss_kb = (int(x) for x in sys.argv[3:7])

def pairs(path):
    out = {}
    for line in open(path):
        f = line.split()
        if len(f) >= 2:
            out[f[0]] = [float(x) for x in f[1:]]
    return out

start = [l.split() for l in open(state + "/start.txt") if l.strip()]
roamwise, bare, tool = (float(f[-4]) for f in start)
lists = {n: pairs("%s/list%d.txt" % (state, n)) for n in (1000, 5000, 20000)}
wait = pairs(state + "/wait.txt")

rows = []
def row(measure, value, target, met):
    rows.append((measure, value, target, "-" if met is None else "yes" if met else "NO"))

ratio = roamwise / bare
row("start-up to visible window, median of %d (Roamwise / bare window)" % runs,
    "%.0f ms / %.0f ms = %.2f x" % (roamwise, bare, ratio), "<= 1.2 x", ratio <= 1.2)
row("  of which the ipconfig run at start-up (Settings.bat, own console), alone", "%.0f ms" % tool, "-", None)
saves = int(wait["saves"][0])
cpu, wall = wait["save_cpu_s"][0], wait["save_wall_s"][0]
row("CPU of Roamwise.exe per save with a 3 s netsh, click to \"Settings Saved\" (%d saves)" % saves,
    "%.0f ms of %.2f s = %.2f %%" % (1000 * cpu / saves, wall / saves, 100 * cpu / wall), "< 1 %", cpu / wall < 0.01)
cpu, wall = wait["steady_cpu_s"][0], wait["steady_wall_s"][0]
row("  of it while netsh runs, %.0f s sampled" % wall, "%.0f ms = %.2f %%" % (1000 * cpu, 100 * cpu / wall),
    "< 1 %", cpu / wall < 0.01)
t1k, t5k, t20k = (lists[n]["file_list"][0] for n in (1000, 5000, 20000))
row("File_List, 1 000 profiles (median of 7)", "%.0f ms" % t1k, "-", None)
row("File_List, 20 000 profiles (median of 7)", "%.0f ms" % t20k, "< 500 ms", t20k < 500)
nlogn = 20 * math.log(20000) / math.log(1000)
growth = t20k / t1k
row("growth 1 000 -> 20 000 (n log n allows %.1f x)" % nlogn, "%.1f x" % growth, "<= %.1f x" % nlogn, growth <= nlogn)
l = lists[20000]
row("  of which directory search / list fill, 20 000",
    "%.0f ms / %.0f ms" % (l["find_files"][0], l["fill"][0]), "-", None)
row("size of the shipped 32-bit Roamwise.exe (x64 build beside)",
    "%.0f KB (x64: %.0f KB)" % (size_i686 / 1024, size_x64 / 1024), "< 400 KB", size_i686 < 400 * 1024)
# Wine reports no PrivateUsage for another process (it reads 0); the host's
# anonymous resident memory of the Wine process is the figure.
row("private memory after start-up (RssAnon of the Wine process; bare window)",
    "%.1f MB (bare: %.1f MB)" % (rss_anon_kb / 1024, bare_rss_kb / 1024), "< 8 MB",
    0 < rss_anon_kb < 8 * 1024)
row("  GetProcessMemoryInfo of it: PrivateUsage / WorkingSetSize",
    "%.1f MB / %.1f MB" % (wait["private_bytes"][0] / 1048576, wait["working_set_bytes"][0] / 1048576), "-", None)

print("| measure | value | target | met? |")
print("|---|---|---|---|")
for r in rows:
    print("| %s | %s | %s | %s |" % r)
PY
