#!/bin/sh
# Runs one test program on its own virtual X server, for what only a real desktop shows
# (the clipboard shared with other programs).
exec xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb "$@"
