#!/usr/bin/env bash
# Builds the shipped 32-bit Roamwise.exe and writes dist/Roamwise-<version>.zip
# holding Roamwise.exe, an empty Profiles folder and README.txt.
#
# The build is made from the last commit (git archive HEAD) in a fresh tree
# ($ROAMWISE_BUILD/release-head, default build/release-head), so that edits in
# progress never reach a release; outside a git checkout the sources are taken
# as they are. --worktree builds the working tree instead, in the tree that
# scripts/test.sh checks and scripts/run.sh runs ($ROAMWISE_BUILD/release).
# Both use the win32-thread compilers (cmake/toolchain-mingw-i686-release.cmake)
# and size optimisation. Prints the zip's path; the zip goes to dist/ (or
# $ROAMWISE_DIST).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ROAMWISE_BUILD:-$root/build}"
dist="${ROAMWISE_DIST:-$root/dist}"
from_head=1
[ "${1:-}" = "--worktree" ] && from_head=0

"$root/scripts/setup.sh" >&2

src="$root"
tree="$build/release"
if [ "$from_head" -eq 1 ] && git -C "$root" rev-parse --verify -q HEAD >/dev/null; then
    work="$build/release-head"
    rm -rf "$work"
    src="$work/src"
    tree="$work/build"
    mkdir -p "$src"
    git -C "$root" archive HEAD | tar -x -C "$src"
    if [ -n "$(git -C "$root" status --porcelain -- src resources cmake CMakeLists.txt)" ]; then
        echo "note: uncommitted changes in the sources are not in this release (built from $(git -C "$root" rev-parse --short HEAD))" >&2
    fi
fi

version=$(sed -n 's/^project(Roamwise VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }

# Smallest code: a tool that waits on others gains nothing from -O3.
cmake -S "$src" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel -DROAMWISE_WINE_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-mingw-i686-release.cmake" >/dev/null
cmake --build "$tree" --target Roamwise >/dev/null

stage="$build/release-stage"
rm -rf "$stage"
mkdir -p "$stage/Profiles"
i686-w64-mingw32-strip -o "$stage/Roamwise.exe" "$tree/Roamwise.exe"
bash "$src/scripts/check-release.sh" "$stage/Roamwise.exe" >&2
# Notepad on Windows 2000 and XP wants CR LF line ends.
sed 's/\r$//; s/$/\r/' "$src/resources/README-Windows.txt" >"$stage/README.txt"

mkdir -p "$dist"
zip_path="$dist/Roamwise-$version.zip"
rm -f "$zip_path"
(cd "$stage" && TZ=UTC zip -q -X "$zip_path" Roamwise.exe Profiles/ README.txt)
echo "$zip_path"
