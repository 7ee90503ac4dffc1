#!/usr/bin/env bash
# Runs a test program in a home of its own, on a private session bus that starts nothing on demand:
#   with_private_bus.sh keyring|bare|none <test program...>
# keyring: with GNOME Keyring's Secret Service, unlocked; bare: nothing on the bus; none: no bus.
set -u
mode=$1
shift
for tool in dbus-run-session dbus-send gnome-keyring-daemon secret-tool; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/dev.sh installs it)"; exit 1; }
done
conf=$(cd "$(dirname "$0")" && pwd)/session-bus.conf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_RUNTIME_DIR=$work/run KEYRING_LOG=$work/keyring.log
export XDG_DATA_HOME=$HOME/.local/share XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY # nothing may start a bus of its own for a display

case $mode in
none) DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus "$@" ;;
bare) dbus-run-session --config-file="$conf" -- "$@" ;;
keyring)
    dbus-run-session --config-file="$conf" -- bash -c '
        printf %s "test keyring password" |
            gnome-keyring-daemon --foreground --unlock --components=secrets >"$KEYRING_LOG" 2>&1 &
        keyring=$!
        up() { dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
                   org.freedesktop.DBus.GetNameOwner string:org.freedesktop.secrets >/dev/null 2>&1; }
        for i in $(seq 100); do up && break; sleep 0.1; done
        up || { echo "FAIL: gnome-keyring-daemon did not come up: $(cat "$KEYRING_LOG")"; kill $keyring; exit 1; }
        "$@"
        status=$?
        kill $keyring
        exit $status' keyring "$@" ;;
*) echo "FAIL: unknown mode $mode"; exit 1 ;;
esac
