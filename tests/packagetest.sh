#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Builds the Debian package of the build folder $1 into a temporary folder and checks it
# as a distribution would: what it holds, what it depends on, lintian with no error and
# no warning, the AppStream metainfo and the menu entry by their own validators.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/redurivezi_*.deb)
contents=$(dpkg-deb -c "$deb")
id=org.redurivezi.redurivezi
for path in ./usr/bin/redurivezi ./usr/bin/redurivezi-table \
    ./usr/share/applications/$id.desktop \
    ./usr/share/metainfo/$id.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/$id.svg \
    ./usr/share/man/man1/redurivezi.1.gz \
    ./usr/share/man/man1/redurivezi-table.1.gz \
    ./usr/share/doc/redurivezi/copyright \
    ./usr/share/doc/redurivezi/changelog.gz; do
    grep -q " $path\$" <<<"$contents" || { echo "package lacks $path"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 qt6-qpa-plugins; do
    grep -q "$lib" <<<"$depends" || { echo "Depends lacks $lib: $depends"; exit 1; }
done
grep -q qt6-wayland <<<"$(dpkg-deb -f "$deb" Recommends)" ||
    { echo "qt6-wayland is not recommended"; exit 1; }

# The files as installed, checked by the tools a distribution and a software centre use.
root=$out/root
dpkg-deb -x "$deb" "$root"
grep -qx 'Exec=redurivezi' "$root/usr/share/applications/$id.desktop" ||
    { echo "the menu entry does not start redurivezi"; exit 1; }
hints=$(desktop-file-validate "$root/usr/share/applications/$id.desktop" 2>&1) &&
    [ -z "$hints" ] || { echo "desktop-file-validate: $hints"; exit 1; }
metainfo=$(appstreamcli validate --pedantic --no-net "$root/usr/share/metainfo/$id.metainfo.xml" 2>&1) &&
    ! grep -qE '^[EWIP]: ' <<<"$metainfo" || { echo "appstreamcli: $metainfo"; exit 1; }
findings=$(lintian --tag-display-limit 0 "$deb" 2>/dev/null | grep -E '^[EW]: ' || true)
[ -z "$findings" ] || { echo "lintian: $findings"; exit 1; }
echo "package ok: $(basename "$deb")"
