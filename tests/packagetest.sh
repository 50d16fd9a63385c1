#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
# Builds the Debian packages of the build folder $1 into a temporary folder and checks them
# as a distribution would: what each holds and depends on, lintian with no error and no
# warning, the AppStream metainfo and the menu entry by their own validators. A build
# without the window makes only the table tool's package.
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
id=org.redurivezi.redurivezi

# holds DEB PATH...: the package holds every path.
holds() {
    local deb=$1 contents
    shift
    contents=$(dpkg-deb -c "$deb")
    for path in "$@"; do
        grep -q " $path\$" <<<"$contents" || { echo "$(basename "$deb") lacks $path"; exit 1; }
    done
}
lintianClean() {
    local findings
    findings=$(lintian --tag-display-limit 0 "$1" 2>/dev/null | grep -E '^[EW]: ' || true)
    [ -z "$findings" ] || { echo "lintian: $findings"; exit 1; }
}

table=$(ls "$out"/redurivezi-table_*.deb)
holds "$table" ./usr/bin/redurivezi-table ./usr/share/man/man1/redurivezi-table.1.gz \
    ./usr/share/doc/redurivezi-table/copyright ./usr/share/doc/redurivezi-table/changelog.gz
depends=$(dpkg-deb -f "$table" Depends)
grep -q libstdc++6 <<<"$depends" || { echo "redurivezi-table Depends lacks libstdc++6: $depends"; exit 1; }
! grep -qi qt <<<"$depends" || { echo "redurivezi-table depends on Qt: $depends"; exit 1; }
lintianClean "$table"

window=$(ls "$out"/redurivezi_*.deb 2>/dev/null || true)
if [ -z "$window" ]; then
    echo "package ok: $(basename "$table") (built without the window)"
    exit 0
fi
holds "$window" ./usr/bin/redurivezi \
    ./usr/share/applications/$id.desktop \
    ./usr/share/metainfo/$id.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/$id.svg \
    ./usr/share/man/man1/redurivezi.1.gz \
    ./usr/share/doc/redurivezi/copyright \
    ./usr/share/doc/redurivezi/changelog.gz
! dpkg-deb -c "$window" | grep -q redurivezi-table || { echo "redurivezi holds the table tool"; exit 1; }
depends=$(dpkg-deb -f "$window" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 qt6-qpa-plugins; do
    grep -q "$lib" <<<"$depends" || { echo "Depends lacks $lib: $depends"; exit 1; }
done
recommends=$(dpkg-deb -f "$window" Recommends)
for package in redurivezi-table qt6-wayland; do
    grep -q "$package" <<<"$recommends" || { echo "Recommends lacks $package: $recommends"; exit 1; }
done

# The files as installed, checked by the tools a distribution and a software centre use.
root=$out/root
dpkg-deb -x "$window" "$root"
grep -qx 'Exec=redurivezi' "$root/usr/share/applications/$id.desktop" ||
    { echo "the menu entry does not start redurivezi"; exit 1; }
hints=$(desktop-file-validate "$root/usr/share/applications/$id.desktop" 2>&1) &&
    [ -z "$hints" ] || { echo "desktop-file-validate: $hints"; exit 1; }
metainfo=$(appstreamcli validate --pedantic --no-net "$root/usr/share/metainfo/$id.metainfo.xml" 2>&1) &&
    ! grep -qE '^[EWIP]: ' <<<"$metainfo" || { echo "appstreamcli: $metainfo"; exit 1; }
lintianClean "$window"
echo "package ok: $(basename "$table"), $(basename "$window")"
