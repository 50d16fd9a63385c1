#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Installs what building, running and testing RedurIvezi needs on Debian 12, where it is
# missing. Runs apt-get as root, or through sudo.
set -euo pipefail

packages=(
    build-essential cmake
    dpkg-dev file
    qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
    qt6-wayland weston
    fonts-ipafont-gothic
    libgtest-dev libgmock-dev libbenchmark-dev
    locales
    clang-format
    lintian appstream desktop-file-utils
)

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

# A locale with a decimal comma, for the test that number reading ignores the locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
