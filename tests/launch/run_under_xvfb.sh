#!/bin/sh
# Runs a test program on a private X server, as the desktop it needs: real windows, focus and
# synthetic keystrokes. CI has no display of its own.
set -e
exec xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$@"
