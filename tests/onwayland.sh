#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Runs a window test on Wayland: starts Weston's headless compositor on a socket of its
# own in a private runtime folder, runs the test there on Qt's wayland platform, and
# stops Weston however the test ends.
#
#     tests/onwayland.sh PLATFORM_PLUGIN_DIR TEST [ARGUMENTS...]
#
# Exits 77 (CTest's skip) only when weston or Qt's wayland platform plugin is not
# installed (tools/setup.sh installs both); any other failure fails.
set -uo pipefail

plugins=$1
shift
if ! command -v weston >/dev/null; then
    echo "skipped: weston is not installed"
    exit 77
fi
if ! compgen -G "$plugins/libqwayland-*.so" >/dev/null; then
    echo "skipped: Qt's wayland platform plugin is not in $plugins"
    exit 77
fi

runtime=$(mktemp -d "${TMPDIR:-/tmp}/redurivezi-wayland.XXXXXX") || exit 1
chmod 0700 "$runtime"
socket=wayland-redurivezi-$$
weston=
stop() {
    if [ -n "$weston" ]; then
        kill "$weston" 2>/dev/null
        wait "$weston" 2>/dev/null
    fi
    rm -rf "$runtime"
}
trap stop EXIT
trap 'exit 143' TERM INT

XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket="$socket" \
    --idle-time=0 --no-config --log="$runtime/weston.log" &
weston=$!
for _ in $(seq 100); do
    [ -S "$runtime/$socket" ] && break
    if ! kill -0 "$weston" 2>/dev/null; then
        echo "weston ended before it listened:"
        cat "$runtime/weston.log"
        exit 1
    fi
    sleep 0.1
done
if [ ! -S "$runtime/$socket" ]; then
    echo "weston did not listen on $socket within 10 s:"
    cat "$runtime/weston.log"
    exit 1
fi

# The headless back end has no seat, and Qt 6.4's wayland input method dereferences the
# seat it takes for granted at the first key; no input method is needed for the tests.
# Under the sanitizers, what Qt's wayland plugin leaks is not reported (wayland-lsan.supp);
# the libraries under it have no frame pointers, so only the slow unwinder reaches the Qt
# frames the suppressions name.
XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland QT_IM_MODULE=none \
    LSAN_OPTIONS="suppressions=$(dirname "$0")/wayland-lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0" \
    "$@"
status=$?
if [ "$status" -ne 0 ]; then
    echo "--- weston's log"
    cat "$runtime/weston.log"
fi
exit "$status"
