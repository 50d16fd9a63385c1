#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Installs what building, running and testing RedurIvezi needs on Debian 12, where it is
# missing. Runs apt-get as root, or through sudo.
#
#     tools/setup.sh                the window, the table tool, the tests and the checks
#     tools/setup.sh --table-only   the core and the table tool with their tests: no Qt
#     tools/setup.sh --arm64        the same built for arm64, the tests run under qemu-user
set -euo pipefail

# The core, the table tool, their tests and the package checks.
packages=(
    build-essential cmake
    dpkg-dev file
    libboost-dev
    libgtest-dev libgmock-dev
    lintian
)
window=yes
arm64=no
case "${1:-}" in
--table-only) window=no ;;
--arm64) window=no arm64=yes ;;
"") ;;
*) echo "usage: tools/setup.sh [--table-only | --arm64]" >&2; exit 2 ;;
esac
if [ $window = yes ]; then
    packages+=(
        qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
        # The window system's input queue, for the test of input that waits out a run.
        qt6-base-private-dev
        qt6-wayland weston
        fonts-ipafont-gothic
        libbenchmark-dev
        locales
        clang-format
        appstream desktop-file-utils
        # Looking at the real window by hand, as a user would (the README's figures), and
        # hearing it as a screen reader would.
        xvfb xdotool imagemagick xclip
        at-spi2-core python3-pyatspi dbus
    )
fi

if [ $arm64 = yes ]; then
    # The cross compiler with the arm64 C and C++ libraries in /usr/aarch64-linux-gnu, and
    # qemu-aarch64 to run the tests; GoogleTest is built from libgtest-dev's sources.
    packages+=(g++-aarch64-linux-gnu qemu-user)
fi

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi

# A locale with a decimal comma, for the test that the window's numbers ignore the locale.
if [ $window = yes ] && ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
