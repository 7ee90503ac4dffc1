#!/usr/bin/env bash
# What a screen reader hears: the real program on its own X server and accessibility bus, its
# names read through AT-SPI (as Orca reads them) by accessibility_names.py.
#   accessibility.sh <quillbox executable>
set -uo pipefail

program=$1
here=$(dirname "$0")
source "$here/../desktop-session.sh"

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_CONFIG_HOME/Quillbox Plus" "$work/notes" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nNoSplash=1\nAutoCompletion=NO\nStartMin=0\nNetwork=%s\nTab5C=R&D notes\n' "$work/notes" \
    >"$XDG_CONFIG_HOME/Quillbox Plus/Quillbox Plus.ini"

start_desktop

# A session bus of its own, with the accessibility bus launched on it; Qt registers its
# windows there when told the bus is in use.
session() {
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
    local bus=$!
    for _ in $(seq 100); do
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
            >/dev/null 2>&1 && break
        sleep 0.1
    done
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 "$program" >"$work/program.log" 2>&1 &
    local app=$!
    /usr/bin/python3 "$here/accessibility_names.py" "$app"
    local status=$?
    kill "$app" "$bus" 2>/dev/null
    wait "$app" 2>/dev/null
    return $status
}
export -f session
export program here work

if dbus-run-session -- bash -c session; then
    pass "the names read through the accessibility bus"
else
    fail "the accessibility names (see above)"
fi
finish_desktop_test
