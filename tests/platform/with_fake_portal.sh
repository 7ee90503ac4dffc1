#!/usr/bin/env bash
# Runs a test on a private session bus that holds the fake desktop portal.
#   with_fake_portal.sh <fake_portal.py> <record file> <test program...>
set -u
portal=$1 record=$2
shift 2
exec dbus-run-session -- bash -c '
    /usr/bin/python3 "$0" "$1" &
    fake=$!
    for i in $(seq 100); do
        dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetNameOwner \
            string:org.freedesktop.portal.Desktop >/dev/null 2>&1 && break
        sleep 0.1
    done
    shift 2
    "$@"
    status=$?
    kill $fake
    exit $status' "$portal" "$record" "$@"
