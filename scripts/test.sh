#!/usr/bin/env bash
# Builds Roamwise and runs every test:
#   1. the core's tests, natively;
#   2. the shipped 32-bit Roamwise.exe's release checks;
#   3. the Windows tests (adapters and end to end) under Wine and Xvfb, from a
#      64-bit build of the same sources: wine64 runs on every machine here,
#      while 32-bit Wine needs a kernel that runs 32-bit code.
# Build trees go to $ROAMWISE_BUILD (default: build/ in the source tree).
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ROAMWISE_BUILD:-$root/build}"

"$root/scripts/setup.sh" || exit 1

configure() {  # configure DIR [cmake args...]
    local dir="$1"
    shift
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null &&
        cmake --build "$dir" -- -j2 >"$dir.build.log" 2>&1 ||
        { cat "$dir.build.log"; echo "build failed: $dir" >&2; return 1; }
}

mkdir -p "$build"
export ROAMWISE_WINE_TEMPLATE="$build/wine-template"
configure "$build/native" || exit 1
configure "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" -DROAMWISE_WINE_TESTS=OFF || exit 1
configure "$build/win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" || exit 1

status=0
echo "== core tests"
ctest --test-dir "$build/native" --output-on-failure || status=1
echo "== release checks"
ctest --test-dir "$build/win32" --output-on-failure || status=1

echo "== Windows tests under Wine"
"$root/scripts/wine-session.sh" start "$build/win64" || exit 1
trap '"$root/scripts/wine-session.sh" stop "$build/win64"' EXIT
ctest --test-dir "$build/win64" --output-on-failure --timeout 300 || status=1
exit $status
