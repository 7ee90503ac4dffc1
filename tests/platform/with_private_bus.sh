#!/usr/bin/env bash
# Runs a test program in a home of its own, on a private session bus where nothing is started
# on demand:
#   with_private_bus.sh keyring <test program...>   with GNOME Keyring's Secret Service, unlocked
#   with_private_bus.sh bare <test program...>      with nothing on the bus
#   with_private_bus.sh none <test program...>      without any session bus
set -u
mode=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
for tool in dbus-run-session dbus-send gnome-keyring-daemon secret-tool; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/dev.sh installs it)"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_RUNTIME_DIR=$work/run
export XDG_DATA_HOME=$HOME/.local/share XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY # nothing may start a bus of its own for a display

case $mode in
none)
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
    "$@"
    ;;
bare)
    dbus-run-session --config-file="$here/session-bus.conf" -- "$@"
    ;;
keyring)
    dbus-run-session --config-file="$here/session-bus.conf" -- bash -c '
        work=$1
        shift
        printf %s "test keyring password" |
            gnome-keyring-daemon --foreground --unlock --components=secrets >"$work/keyring.log" 2>&1 &
        keyring=$!
        for i in $(seq 100); do
            dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
                org.freedesktop.DBus.GetNameOwner string:org.freedesktop.secrets >/dev/null 2>&1 && break
            sleep 0.1
        done
        if ! dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
                org.freedesktop.DBus.GetNameOwner string:org.freedesktop.secrets >/dev/null 2>&1; then
            echo "FAIL: gnome-keyring-daemon did not come up: $(cat "$work/keyring.log")"
            kill $keyring
            exit 1
        fi
        "$@"
        status=$?
        kill $keyring
        wait $keyring
        exit $status' keyring "$work" "$@"
    ;;
*)
    echo "FAIL: unknown mode $mode"
    exit 1
    ;;
esac
