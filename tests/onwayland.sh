#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Runs a window test on Qt's wayland platform in a Weston headless compositor of its own,
# on a private socket, and stops Weston however the test ends.
#
#     tests/onwayland.sh PLATFORM_PLUGIN_DIR TEST [ARGUMENTS...]
#
# Exits 77 (CTest's skip) only where weston or Qt's wayland platform plugin is missing.
set -uo pipefail

plugins=$1
shift
command -v weston >/dev/null || { echo "skipped: weston is not installed"; exit 77; }
compgen -G "$plugins/libqwayland-*.so" >/dev/null ||
    { echo "skipped: no Qt wayland platform plugin in $plugins"; exit 77; }

runtime=$(mktemp -d) || exit 1 # 0700, as a runtime folder must be
socket=wayland-redurivezi-$$
weston=
trap 'kill $weston 2>/dev/null; wait $weston 2>/dev/null; rm -rf "$runtime"' EXIT
trap 'exit 143' TERM INT
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket="$socket" \
    --idle-time=0 --no-config --log="$runtime/weston.log" &
weston=$!
for _ in $(seq 100); do
    [ -S "$runtime/$socket" ] || ! kill -0 $weston 2>/dev/null && break
    sleep 0.1
done
[ -S "$runtime/$socket" ] || { echo "weston did not listen:"; cat "$runtime/weston.log"; exit 1; }

# The headless back end has no seat, and Qt 6.4's wayland input method dereferences the
# seat it takes for granted at the first key: no input method. Under the sanitizers, what
# Qt's wayland plugin leaks is not reported (wayland-lsan.supp); the libraries under it
# have no frame pointers, so only the slow unwinder reaches the frames the file names.
run() {
    XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland QT_IM_MODULE=none \
        LSAN_OPTIONS="suppressions=$(dirname "$0")/wayland-lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0" "$@" 2>&1 |
        tee "$runtime/test.log"
}
run "$@"
status=$?
# Qt 6.4's wayland plugin destroys a frame callback from its event thread and the window's
# thread at once, now and then (fixed in later Qt releases), and libwayland aborts on the second
# destruction. That abort, and only it, is run once more.
if [ $status -ne 0 ] && grep -q "wl_proxy_unref: Assertion .proxy->refcount > 0' failed" \
    "$runtime/test.log"; then
    echo "--- Qt's wayland plugin lost a race over a frame callback; once more"
    run "$@"
    status=$?
fi
[ $status -eq 0 ] || { echo "--- weston's log"; cat "$runtime/weston.log"; }
exit $status
