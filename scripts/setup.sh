#!/usr/bin/env bash
# Installs what building and testing Roamwise needs on a Debian machine,
# skipping what is already there.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have ninja || need+=(ninja-build)
have g++ || need+=(g++)
have i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686)
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64)
[ -x /usr/lib/wine/wine64 ] || need+=(wine wine64)
have Xvfb || need+=(xvfb)
have import || need+=(imagemagick)
have xdotool || need+=(xdotool)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have ip || need+=(iproute2)
have unshare || need+=(util-linux)
have objdump || need+=(binutils)
have python3 || need+=(python3)
have zip || need+=(zip)

if [ ${#need[@]} -gt 0 ]; then
    echo "Installing: ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q
    apt-get install -y -q "${need[@]}"
fi
