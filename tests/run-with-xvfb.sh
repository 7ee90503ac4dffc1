#!/bin/sh
# Runs a test program on a private X server of its own. The server picks a free display itself
# (-displayfd), so tests running side by side never race for the same one, as xvfb-run -a can.
set -u
work=$(mktemp -d)
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
i=0
while [ ! -s "$work/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
if [ ! -s "$work/display" ]; then
    echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")"
    kill "$xvfb" 2>/dev/null
    rm -rf "$work"
    exit 1
fi
DISPLAY=:$(head -n1 "$work/display")
export DISPLAY
QT_QPA_PLATFORM=xcb "$@"
status=$?
kill "$xvfb" 2>/dev/null
wait "$xvfb" 2>/dev/null
rm -rf "$work"
exit $status
