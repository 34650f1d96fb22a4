#!/usr/bin/env bash
# Benchmarks, not tests: builds the shipped exe and the benchmark programs,
# runs them under Wine with a private prefix and Xvfb, and prints one table
# (measure, value, target, met?). The method is in BENCHMARKS.md.
#   bench/run.sh [--startup] [RUNS]   RUNS: start-ups per program (default 15)
#                                     --startup: the start-up rows only
# Where the kernel runs 32-bit code, what is timed is the shipped 32-bit exe
# (stripped, as in the zip) and 32-bit benchmark programs under 32-bit Wine;
# elsewhere the 64-bit build of the same sources under wine64.
# ROAMWISE_BENCH_CAPTURE (console, nowindow or detached; default nowindow)
# names how the program starts its tools: hidden with a console of its own,
# with CREATE_NO_WINDOW, or with DETACHED_PROCESS. The capture is timed that way.
# Trees: $ROAMWISE_BUILD (default build/) /release, /bench-win32 or
# /bench-win64, and /bench (prefix and data).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ROAMWISE_BUILD:-$root/build}"
startup_only=0
[ "${1:-}" = "--startup" ] && { startup_only=1; shift; }
runs="${1:-15}"
capture="${ROAMWISE_BENCH_CAPTURE:-nowindow}"
"$root/scripts/setup.sh"
. "$root/scripts/wine-lib.sh"

# The shipped exe, built as scripts/test.sh and scripts/release.sh build it.
cmake -S "$root" -B "$build/release" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DROAMWISE_WINE_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686-release.cmake" >/dev/null
cmake --build "$build/release" --target Roamwise >/dev/null
shipped="$build/release/Roamwise.exe"
if wine_runs_32bit; then
    which="shipped 32-bit exe under 32-bit Wine"
    tree="$build/bench-win32"
    toolchain=i686-release
    strip=i686-w64-mingw32-strip
    timed="$shipped"
else
    which="64-bit build of the same sources under wine64 (this kernel runs no 32-bit code)"
    tree="$build/bench-win64"
    toolchain=x86_64
    strip=x86_64-w64-mingw32-strip
    timed="$tree/Roamwise.exe"
fi
targets=(bare_window tool_double start_timer)
[ "$startup_only" -eq 1 ] || targets=(bench_programs)
[ "$timed" = "$shipped" ] || targets+=(Roamwise)
cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DROAMWISE_TESTS=OFF -DROAMWISE_BENCH=ON \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-$toolchain.cmake" >/dev/null
cmake --build "$tree" --target "${targets[@]}" -- -j2 >/dev/null
bin="$tree/bench"

state="$build/bench"
rm -rf "$state"
mkdir -p "$state"
winpath() { echo "Z:${1//\//\\}"; }
i686-w64-mingw32-strip -o "$state/shipped.exe" "$shipped"
size_shipped=$(stat -c %s "$state/shipped.exe")

wine_template "$build/wine-template" "$state/home"
wine_clone "$build/wine-template" "$state/prefix"
wine_install_tool "$state/prefix" "$bin/tool_double.exe" ipconfig.exe
wine_install_tool "$state/prefix" "$bin/tool_double.exe" netsh.exe
wine_env "$state/prefix" "$state/home"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;ipconfig.exe=n;netsh.exe=n"

xvfb_start
export DISPLAY="$XVFB_DISPLAY"
trap 'wine_stop_server; xvfb_stop "$XVFB_PID"' EXIT
wine_start_server

# --- start-up: Roamwise, the bare window and the capture, alternating --------
mkdir -p "$state/start/app/Profiles" "$state/start/bare"
"$strip" -o "$state/start/app/Roamwise.exe" "$timed"
cp "$bin/bare_window.exe" "$state/start/bare/"
cp "$bin/start_timer.exe" "$state/start/"
# The capture: the Settings.bat that Roamwise's start-up leaves (ipconfig /all
# into ipinfo.txt), run through the system's cmd as the program runs it.
system32='C:\windows\system32'
wine "$state/start/start_timer.exe" "$runs" "$(winpath "$state/start/app/Roamwise.exe")" \
    "$(winpath "$state/start/bare/bare_window.exe")" \
    "tool-$capture:\"$system32\\cmd.exe\" /c \"$(winpath "$state/start/app/Settings.bat")\"" \
    </dev/null >"$state/start.txt"

rss_anon_kb=0
bare_rss_kb=0
if [ "$startup_only" -eq 0 ]; then
    # The bare window's memory: what any program costs under this Wine.
    (cd "$state/start/bare" && exec "$ROAMWISE_WINE" bare_window.exe) </dev/null >/dev/null 2>&1 &
    bare_pid=$!
    if x_find_window Bare >/dev/null; then
        sleep 1
        bare_rss_kb=$(awk '/^RssAnon:/ {print $2}' "/proc/$bare_pid/status")
    fi
    kill "$bare_pid" 2>/dev/null || true
    wait "$bare_pid" 2>/dev/null || true

    # --- listing: the profile list refilled from 1 000, 5 000 and 20 000 files
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

    # --- waiting and memory: saves against a netsh that takes 3 s -----------
    app="$state/wait/app"
    double="$state/wait/double"
    mkdir -p "$app/Profiles" "$double"
    cp "$state/start/app/Roamwise.exe" "$app/"
    cp "$bin/wait_timer.exe" "$state/wait/"
    echo 3000 >"$double/delay_ms"
    wine "$state/wait/wait_timer.exe" "$(winpath "$app")" "$(winpath "$double")" </dev/null >"$state/wait.txt" &
    timer=$!
    for i in $(seq 1 600); do [ -f "$double/ready" ] && break; sleep 0.1; done
    # The Linux process of this Roamwise.exe: ours is the one in our prefix.
    for p in $(pgrep -f 'Roamwise\.exe' || true); do
        if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$state/prefix"; then
            rss_anon_kb=$(awk '/^RssAnon:/ {print $2}' "/proc/$p/status")
            break
        fi
    done
    touch "$double/go"
    wait "$timer"
fi

echo "Measured: $which; the capture started as \"$capture\"."
python3 - "$state" "$runs" "$startup_only" "$capture" "$size_shipped" "$rss_anon_kb" "$bare_rss_kb" <<'PY'
import math, sys
state, runs, startup_only, capture = sys.argv[1], int(sys.argv[2]), sys.argv[3] == "1", sys.argv[4]
size_shipped, rss_anon_kb, bare_rss_kb = (int(x) for x in sys.argv[5:8])

def pairs(path):
    out = {}
    for line in open(path):
        f = line.split()
        if len(f) >= 2:
            out[f[0]] = [float(x) for x in f[1:]]
    return out

rows = []
def row(measure, value, target, met):
    rows.append((measure, value, target, "-" if met is None else "yes" if met else "NO"))

start = [l.split() for l in open(state + "/start.txt") if l.strip()]
roamwise, bare, tool = (float(f[-4]) for f in start)
row("start-up to visible window, median of %d (Roamwise / bare window)" % runs,
    "%.0f ms / %.0f ms = %.2f x" % (roamwise, bare, roamwise / bare), "-", None)
row("  the capture alone (cmd + Settings.bat + ipconfig, started %s)" % capture, "%.0f ms" % tool, "-", None)
ratio = (roamwise - tool) / bare
row("  start-up less the capture / bare window", "%.0f ms / %.0f ms = %.2f x" % (roamwise - tool, bare, ratio),
    "<= 1.2 x", ratio <= 1.2)
if not startup_only:
    wait = pairs(state + "/wait.txt")
    saves = int(wait["saves"][0])
    cpu, wall = wait["save_cpu_s"][0], wait["save_wall_s"][0]
    row("CPU of Roamwise.exe per save with a 3 s netsh, click to \"Settings Saved\" (%d saves)" % saves,
        "%.0f ms of %.2f s = %.2f %%" % (1000 * cpu / saves, wall / saves, 100 * cpu / wall), "< 1 %",
        cpu / wall < 0.01)
    cpu, wall = max(0.0, wait["steady_cpu_s"][0]), wait["steady_wall_s"][0]
    row("  of it while netsh runs, %.0f s sampled" % wall, "%.0f ms = %.2f %%" % (1000 * cpu, 100 * cpu / wall),
        "< 1 %", cpu / wall < 0.01)
    if "loads" in wait:
        row("load, click to \"Network Settings Loaded\", the double answering at once (%d loads, mean)" % wait["loads"][0],
            "%.0f ms" % (1000 * wait["load_wall_s"][0] / wait["loads"][0]), "-", None)
    lists = {n: pairs("%s/list%d.txt" % (state, n)) for n in (1000, 5000, 20000)}
    t1k, t20k = (lists[n]["refill"][0] for n in (1000, 20000))
    row("profile list refill, 1 000 profiles (median of 7)", "%.0f ms" % t1k, "-", None)
    row("profile list refill, 20 000 profiles (median of 7)", "%.0f ms" % t20k, "< 500 ms", t20k < 500)
    nlogn = 20 * math.log(20000) / math.log(1000)
    growth = t20k / t1k
    row("growth 1 000 -> 20 000 (n log n allows %.1f x)" % nlogn, "%.1f x" % growth, "<= %.1f x" % nlogn,
        growth <= nlogn)
    l = lists[20000]
    row("  of which folder listing / list fill, 20 000", "%.0f ms / %.0f ms" % (l["listing"][0], l["fill"][0]),
        "-", None)
    row("private memory after start-up (RssAnon of the Wine process; bare window)",
        "%.1f MB (bare: %.1f MB)" % (rss_anon_kb / 1024, bare_rss_kb / 1024), "< 8 MB", 0 < rss_anon_kb < 8 * 1024)
    row("  GetProcessMemoryInfo of it: PrivateUsage / WorkingSetSize",
        "%.1f MB / %.1f MB" % (wait["private_bytes"][0] / 1048576, wait["working_set_bytes"][0] / 1048576),
        "-", None)
row("size of the shipped 32-bit Roamwise.exe (stripped, as in the zip)", "%.0f KB" % (size_shipped / 1024),
    "< 400 KB", size_shipped < 400 * 1024)

print("| measure | value | target | met? |")
print("|---|---|---|---|")
for r in rows:
    print("| %s | %s | %s | %s |" % r)
PY
