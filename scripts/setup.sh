#!/usr/bin/env bash
# Installs what building and testing Roamwise needs on a Debian machine,
# skipping what is already there. Where the kernel runs 32-bit code it adds
# 32-bit Wine too, so that the shipped i686 program runs as it is.
set -euo pipefail

# Does this kernel run 32-bit x86 programs? A 96-byte static i386 program
# that exits with 42 answers without any 32-bit library installed (some
# kernels refuse it: "Exec format error").
kernel_runs_32bit() {
    [ "$(dpkg --print-architecture 2>/dev/null)" = amd64 ] || return 1
    if [ -x /lib/ld-linux.so.2 ]; then
        /lib/ld-linux.so.2 --version >/dev/null 2>&1
        return
    fi
    local probe rc=0
    probe="$(mktemp)"
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'`
          `'\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00'`
          `'\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'`
          `'\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'`
          `'\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || rc=$?
    rm -f "$probe"
    [ "$rc" -eq 42 ]
}

need=()
have() { command -v "$1" >/dev/null 2>&1; }
have cmake || need+=(cmake)
have ninja || need+=(ninja-build)
have g++ || need+=(g++)
# The shipped exe needs the win32-thread compilers, the tests the posix ones.
have i686-w64-mingw32-g++-win32 || need+=(g++-mingw-w64-i686-win32)
have i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix)
have x86_64-w64-mingw32-g++-posix || need+=(g++-mingw-w64-x86-64-posix)
[ -x /usr/lib/wine/wine64 ] || need+=(wine wine64)
# The title bars' close button is a Marlett glyph.
[ -f /usr/share/wine/fonts/marlett.ttf ] || need+=(fonts-wine)
have Xvfb || need+=(xvfb)
have import || need+=(imagemagick)
have xdotool || need+=(xdotool)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
# The fuzz targets: clang, and its libFuzzer and sanitizer runtimes (which
# clang only recommends).
have clang++ || need+=(clang)
compgen -G '/usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a' >/dev/null || need+=(libclang-rt-14-dev)
have ip || need+=(iproute2)
have unshare || need+=(util-linux)
have objdump || need+=(binutils)
have python3 || need+=(python3)
have zip || need+=(zip)

wine32=0
if [ ! -x /usr/lib/wine/wine ] && kernel_runs_32bit; then
    wine32=1
    need+=(wine32:i386)
fi

if [ ${#need[@]} -gt 0 ]; then
    echo "Installing: ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if [ "$wine32" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
    fi
    apt-get update -q
    apt-get install -y -q "${need[@]}"
fi
