#!/usr/bin/env bash
# What "cmake --install" or the package puts on a system: the program, its desktop entry and
# AppStream data (both valid), the icon at every size in the hicolor theme, the manual page, the
# manual and the pictures among the program's own files, and none of the build's files.
#   install_layout.sh <build directory>       installs the build under a scratch prefix first
#   install_layout.sh --installed <prefix>    what is already installed there (/usr)
set -uo pipefail

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "PASS: $*"; }

if [ "$1" = --installed ]; then
    prefix=$2
else
    prefix=$(mktemp -d)
    trap 'rm -rf "$prefix"' EXIT
    cmake --install "$1" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
fi
share=$prefix/share

if desktop-file-validate "$share/applications/quillbox.desktop"; then pass "desktop entry is valid"; else fail "desktop entry"; fi
if appstreamcli validate --no-net --pedantic "$share/metainfo/quillbox.metainfo.xml"; then
    pass "AppStream data is valid"
else
    fail "AppStream data"
fi

for f in bin/quillbox share/applications/quillbox.desktop share/metainfo/quillbox.metainfo.xml \
    share/icons/hicolor/scalable/apps/quillbox.svg share/quillbox/manual/index.html \
    share/quillbox/images/quillbox.png share/man/man1/quillbox.1.gz; do
    [ -e "$prefix/$f" ] || fail "$f is not installed"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/quillbox.png
    [ -f "$png" ] || fail "no ${size}x${size} icon"
done
grep -q '^Icon=quillbox$' "$share/applications/quillbox.desktop" || fail "the desktop entry names another icon"
grep -q '^Exec=quillbox' "$share/applications/quillbox.desktop" || fail "the desktop entry starts another program"
for stray in CMakeLists.txt quillbox.desktop quillbox.metainfo.xml quillbox.1.in icons/hicolor; do
    [ -e "$share/quillbox/$stray" ] && fail "$stray lies among the program's own files"
done
if [ "$failures" -eq 0 ]; then pass "installed layout is complete"; fi
exit $((failures != 0))
