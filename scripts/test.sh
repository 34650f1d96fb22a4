#!/usr/bin/env bash
# Builds Roamwise and runs every test:
#   1. the core's tests, natively, under AddressSanitizer and
#      UndefinedBehaviorSanitizer: a memory or overflow fault fails them;
#   2. the fuzz targets, natively with clang's libFuzzer under the same
#      sanitizers, each for a bounded time ($ROAMWISE_FUZZ_SECONDS, default 20);
#   3. the release checks of the shipped 32-bit Roamwise.exe (win32-thread
#      compilers, the build that ships);
#   4. the Windows tests (adapters and end to end) under Wine and Xvfb. Where
#      the kernel runs 32-bit code: a 32-bit build of the tests under 32-bit
#      Wine, the end-to-end tests driving the shipped Roamwise.exe itself.
#      Elsewhere: a 64-bit build of the same sources under wine64.
# Build trees go to $ROAMWISE_BUILD (default: build/ in the source tree).
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ROAMWISE_BUILD:-$root/build}"

"$root/scripts/setup.sh" || exit 1
. "$root/scripts/wine-lib.sh"

configure() {  # configure DIR BUILD_TYPE [cmake args...]
    local dir="$1" type="$2"
    shift 2
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null &&
        cmake --build "$dir" -- -j2 >"$dir.build.log" 2>&1 ||
        { cat "$dir.build.log"; echo "build failed: $dir" >&2; return 1; }
}

mkdir -p "$build"
export ROAMWISE_WINE_TEMPLATE="$build/wine-template"
sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
configure "$build/native" Release -DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" || exit 1
# tests/fuzz sets the fuzzer and sanitizer flags itself.
configure "$build/fuzz" RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DROAMWISE_TESTS=OFF -DROAMWISE_FUZZ=ON || exit 1
# The shipped program, built as scripts/release.sh builds it.
configure "$build/release" MinSizeRel -DROAMWISE_WINE_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686-release.cmake" || exit 1
if wine_runs_32bit; then
    windows="$build/win32"
    what="32-bit build under 32-bit Wine, end to end on the shipped Roamwise.exe"
    configure "$windows" Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" \
        -DROAMWISE_WINE_TESTS=ON -DROAMWISE_EXE="$build/release/Roamwise.exe" || exit 1
else
    windows="$build/win64"
    what="64-bit build under wine64 (this kernel runs no 32-bit code)"
    configure "$windows" Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-x86_64.cmake" \
        -DROAMWISE_WINE_TESTS=ON || exit 1
fi

status=0
echo "== core tests"
ctest --test-dir "$build/native" --output-on-failure || status=1
echo "== fuzz targets"
ctest --test-dir "$build/fuzz" --output-on-failure -j2 || status=1
echo "== release checks"
ctest --test-dir "$build/release" --output-on-failure || status=1

echo "== Windows tests: $what"
"$root/scripts/wine-session.sh" start "$windows" || exit 1
trap '"$root/scripts/wine-session.sh" stop "$windows"' EXIT
ctest --test-dir "$windows" --output-on-failure --timeout 300 || status=1
echo "Windows tests ran: $what"
exit $status
