# Shared shell functions for running Roamwise under Wine and Xvfb.
# Source it; every function takes explicit paths and leaves no global state
# behind except the variables it documents.

# The loader, called directly rather than through Debian's wrapper. Where the
# kernel runs 32-bit code and wine32 is installed, the 32-bit loader: it runs
# the shipped i686 exe as a real 32-bit process (and hands 64-bit programs to
# wine64 itself). Elsewhere only the 64-bit loader works.
# ROAMWISE_WINE64_ONLY=1 takes the 64-bit way here too, as on such a machine.
ROAMWISE_WINE64=/usr/lib/wine/wine64
wine_runs_32bit() {
    [ -z "${ROAMWISE_WINE64_ONLY:-}" ] && [ -x /usr/lib/wine/wine ] &&
        /lib/ld-linux.so.2 --version >/dev/null 2>&1
}
if [ -z "${ROAMWISE_WINE:-}" ]; then
    ROAMWISE_WINE="$ROAMWISE_WINE64"
    wine_runs_32bit && ROAMWISE_WINE=/usr/lib/wine/wine
fi
export WINELOADER="$ROAMWISE_WINE"
wine() { "$ROAMWISE_WINE" "$@"; }

# Environment for a prefix: private HOME, quiet, no menu entries.
wine_env() {  # wine_env PREFIX HOME
    export WINEPREFIX="$1" HOME="$2" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
    mkdir -p "$2"
}

# A fresh template prefix, made once per build tree.
wine_template() {  # wine_template TEMPLATE_DIR HOME
    local template="$1"
    local marlett="$template/drive_c/windows/Fonts/marlett.ttf"
    [ -f "$template/.roamwise-ready" ] && [ -f "$marlett" ] && return 0
    rm -rf "$template"
    (
        wine_env "$template" "$2"
        # 64-bit wineboot makes a WoW64 prefix: syswow64 is the 32-bit
        # programs' system folder.
        ROAMWISE_WINE="$ROAMWISE_WINE64"
        export WINELOADER="$ROAMWISE_WINE64"
        DISPLAY= wine wineboot -i </dev/null >/dev/null 2>&1
        # No window manager runs under Xvfb; unmanaged windows hide without delay.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        # A crashing program ends at once instead of waiting in a crash dialog.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
        wineserver -w
    ) || return 1
    # Title bars draw their buttons with Marlett; this Wine does not look in
    # fonts-wine's folder, and without it the close button is a letter "r".
    cp /usr/share/wine/fonts/marlett.ttf "$marlett" || return 1
    [ -f "$template/system.reg" ] || { echo "wine prefix creation failed" >&2; return 1; }
    touch "$template/.roamwise-ready"
}

# A private clone of the template: hard links, with private registry files
# (wineserver rewrites them in place).
wine_clone() {  # wine_clone TEMPLATE_DIR DEST
    rm -rf "$2"
    mkdir -p "$2"
    cp -al "$1/." "$2/"
    local f
    for f in system.reg user.reg userdef.reg; do
        cp --remove-destination "$1/$f" "$2/$f"
    done
}

# Replaces a system tool in a prefix with our own exe (both system dirs: a
# 32-bit process sees syswow64 as its system directory).
wine_install_tool() {  # wine_install_tool PREFIX EXE NAME.exe
    local d
    for d in system32 syswow64; do
        if [ -d "$1/drive_c/windows/$d" ]; then
            cp --remove-destination "$2" "$1/drive_c/windows/$d/$3"
        fi
    done
}

# Starts the prefix's wineserver and services detached from our output, so
# that no caller waits on a pipe that a background service inherited.
wine_start_server() {  # with wine_env already exported
    wineserver -w 2>/dev/null
    setsid wineserver -p </dev/null >/dev/null 2>&1
    setsid "$ROAMWISE_WINE" wineboot </dev/null >/dev/null 2>&1
}

wine_stop_server() {  # with wine_env already exported
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    return 0
}

# Starts Xvfb on a free display; sets XVFB_PID and XVFB_DISPLAY.
xvfb_start() {
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        XVFB_PID=$!
        local i
        for i in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$n" ] && { XVFB_DISPLAY=":$n"; return 0; }
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.05
        done
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
    done
    echo "could not start Xvfb" >&2
    return 1
}

xvfb_stop() {  # xvfb_stop PID
    [ -n "${1:-}" ] || return 0
    kill "$1" 2>/dev/null
    local i
    for i in $(seq 1 50); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.05; done
    kill -9 "$1" 2>/dev/null
    return 0
}

# Waits for a visible X window with exactly this title; prints its id.
x_find_window() {  # x_find_window TITLE
    local i id
    for i in $(seq 1 300); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    echo "no window titled $1 appeared" >&2
    return 1
}
