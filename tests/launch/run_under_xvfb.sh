#!/bin/sh
# Runs a test program on a private X server (real windows, focus, clipboard, synthetic keys).
exec "$(dirname "$0")/../run-with-xvfb.sh" "$@"
