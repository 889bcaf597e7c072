#!/usr/bin/env bash
# The Debian package: built with cpack, unpacked into a scratch root, it holds the program,
# its modules, the desktop entry, the icon, the metainfo and the man page, and the program
# runs from there, modules included.
# Usage: package_test.sh BUILD-FOLDER
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
package=$(ls "$work"/out/*.deb)
[ "$(dpkg-deb -f "$package" Package)" = orvane ] || fail "not a package named orvane"
dpkg -x "$package" "$work/root"
for file in usr/bin/orvane usr/bin/orvane-preview \
            usr/lib/orvane/platform-window.so usr/lib/orvane/platform-terminal.so \
            usr/lib/orvane/platform-cairo.so usr/share/applications/orvane.desktop \
            usr/share/icons/hicolor/scalable/apps/orvane.svg \
            usr/share/metainfo/io.orvane.Orvane.metainfo.xml usr/share/man/man1/orvane.1; do
    [ -e "$work/root/$file" ] || fail "the package has no $file"
done
version=$("$work/root/usr/bin/orvane" --version)
source=$(dirname "$0")/../..
[ "$version" = "orvane $(python3 "$source/platform/Foundation/Tools/info_plist.py" \
    "$source/orvane/Resources/Info.plist" CFBundleShortVersionString)" ] ||
    fail "--version says '$version'"
# The snapshot painter is a module: found in the package's own library folder.
echo 'print keyboard' | "$work/root/usr/bin/orvane" --snapshot "$work/shot.png" >/dev/null ||
    fail "the packaged program could not take a snapshot"
[ -s "$work/shot.png" ] || fail "no snapshot"
echo "1 passed, 0 failed"
