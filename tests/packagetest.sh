#!/usr/bin/env bash
# Builds the Debian package of the build folder $1 into a temporary folder and checks
# that it holds both programs, the menu entry, the icon and the man page, and that its
# dependencies were worked out.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
deb=$(ls "$out"/redurivezi_*.deb)
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/redurivezi ./usr/bin/redurivezi-table \
    ./usr/share/applications/redurivezi.desktop \
    ./usr/share/icons/hicolor/scalable/apps/redurivezi.svg \
    ./usr/share/man/man1/redurivezi-table.1.gz; do
    grep -q " $path\$" <<<"$contents" || { echo "package lacks $path"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 qt6-qpa-plugins; do
    grep -q "$lib" <<<"$depends" || { echo "Depends lacks $lib: $depends"; exit 1; }
done
# The menu entry starts the installed program.
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/redurivezi.desktop |
    grep -qx 'Exec=redurivezi' || { echo "the menu entry does not start redurivezi"; exit 1; }
echo "package ok: $(basename "$deb")"
