#!/usr/bin/env bash
# Runs the active-address case of e2e_tests.exe inside a private network
# namespace, with its own clone of the build tree's Wine prefix and its own
# wineserver (a server started outside would report the host's adapters).
#   namespace-test.sh loopback|address BUILD_DIR E2E_TESTS_EXE NETSH_DOUBLE_EXE
# Needs the session of scripts/wine-session.sh (template and Xvfb display).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
lib="$here/../../scripts/wine-lib.sh"
. "$lib"

mode="${1:?loopback or address}"
build="$(cd "${2:?build directory}" && pwd)"
tests_exe="${3:?e2e_tests.exe}"
double_exe="${4:?netsh_double.exe}"
state="$build/wine"

case "$mode" in
loopback) expect=" Active IP: Not Connected"; setup='ip link set lo up' ;;
address)  expect=" Active IP: 192.0.2.5"
          setup='ip link add d0 type ifb && ip addr add 192.0.2.5/24 dev d0 && ip link set d0 up && ip link set lo up' ;;
*) echo "unknown mode $mode" >&2; exit 2 ;;
esac

[ -f "$state/display" ] || { echo "no Wine session: run scripts/wine-session.sh start $build first" >&2; exit 1; }
if ! unshare -n true 2>/dev/null; then
    echo "FAIL: unshare -n is not permitted here; this test needs a private network namespace" >&2
    exit 1
fi

prefix="$state/ns-$mode"
home="$state/home-ns-$mode"
wine_clone "$state/template" "$prefix"
wine_install_tool "$prefix" "$double_exe" netsh.exe

set +e
DISPLAY="$(cat "$state/display")" ROAMWISE_EXPECT_STATUS="$expect" \
unshare -n bash -c '
    set -e
    . "$1"
    eval "$2"
    wine_env "$3" "$4"
    wine_start_server
    wine reg add "HKCU\\Software\\Wine\\DllOverrides" /v netsh.exe /d native /f >/dev/null
    set +e
    wine "$5" --gtest_filter=e2e.ActiveIpStatusInNamespace </dev/null | tee "$6"
    rc=${PIPESTATUS[0]}
    wine_stop_server
    exit $rc
' ns "$lib" "$setup" "$prefix" "$home" "$tests_exe" "$state/ns-$mode.log"
rc=$?
# A case that skipped itself (its variable lost on the way) proves nothing.
if [ $rc -eq 0 ] && ! grep -q '^\[       OK \] e2e.ActiveIpStatusInNamespace' "$state/ns-$mode.log"; then
    echo "FAIL: the case did not run inside the namespace" >&2
    rc=1
fi
rm -f "$state/ns-$mode.log"
set -e
rm -rf "$prefix" "$home"
exit $rc
