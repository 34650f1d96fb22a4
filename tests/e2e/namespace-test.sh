#!/usr/bin/env bash
# namespace-test.sh loopback|address BUILD_DIR E2E_TESTS_EXE: e2e.ActiveAddress in a network namespace
# (loopback only, or ifb holding 192.0.2.5), its own prefix clone and wineserver (one outside sees the host's).
lib="$(dirname "$0")/../../scripts/wine-lib.sh" prefix="$2/wine/ns-$1" setup="ip link set lo up"
trap 'rm -rf "$prefix" "$prefix.home" "$prefix.log"' EXIT
. "$lib" && wine_clone "$2/wine/template" "$prefix" || exit 1
export DISPLAY="$(cat "$2/wine/display")" ROAMWISE_EXPECT_STATUS=" Active IP: Not Connected"
[ "$1" = address ] && ROAMWISE_EXPECT_STATUS=" Active IP: 192.0.2.5" &&
    setup="ip link add d0 type ifb && ip addr add 192.0.2.5/24 dev d0 && ip link set d0 up && $setup"
unshare -n bash -c '. "$1" && eval "$2" && wine_env "$3" "$3.home" && wine_start_server &&
    wine "$4" --gtest_filter=e2e.ActiveAddress </dev/null >"$3.log" 2>&1; wine_stop_server' \
    ns "$lib" "$setup" "$prefix" "$3"
cat "$prefix.log"
grep -q '^\[       OK \] e2e.ActiveAddress' "$prefix.log"  # skipped, failed or never run: a failure
