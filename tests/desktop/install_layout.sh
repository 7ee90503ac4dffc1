#!/usr/bin/env bash
# What "cmake --install" puts on a system: the program, its desktop entry and AppStream data (both
# valid), the icon at every size in the hicolor theme, the manual and the pictures among the
# program's own files, and none of the build's files.
#   install_layout.sh <build directory> <source data directory>
set -uo pipefail

build=$1
data=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "PASS: $*"; }

if desktop-file-validate "$data/quillbox.desktop"; then pass "desktop entry is valid"; else fail "desktop entry"; fi
if appstreamcli validate --no-net --pedantic "$data/quillbox.metainfo.xml"; then
    pass "AppStream data is valid"
else
    fail "AppStream data"
fi

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
share=$prefix/share
for f in bin/quillbox share/applications/quillbox.desktop share/metainfo/quillbox.metainfo.xml \
    share/icons/hicolor/scalable/apps/quillbox.svg share/quillbox/manual/index.html \
    share/quillbox/images/quillbox.png; do
    [ -e "$prefix/$f" ] || fail "$f is not installed"
done
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/quillbox.png
    [ -f "$png" ] || fail "no ${size}x${size} icon"
done
grep -q '^Icon=quillbox$' "$share/applications/quillbox.desktop" || fail "the desktop entry names another icon"
grep -q '^Exec=quillbox' "$share/applications/quillbox.desktop" || fail "the desktop entry starts another program"
for stray in CMakeLists.txt quillbox.desktop quillbox.metainfo.xml icons/hicolor; do
    [ -e "$share/quillbox/$stray" ] && fail "$stray lies among the program's own files"
done
if [ "$failures" -eq 0 ]; then pass "installed layout is complete"; fi
exit $((failures != 0))
