#!/usr/bin/env bash
# Launches from the real program on a real X desktop (own Xvfb and openbox): "&Web Browser" with
# the desktop's handlers starts the default browser's desktop entry whole, and says in the status
# bar (read through the accessibility bus) when it cannot; the Run dialog's "Run Minimized" box
# minimises the started program's window, and leaves it alone when clear. Screenshots go to
# <artifacts>.
#   launch_desktop.sh <quillbox executable> <artifacts folder> <atspi_centre.py>
set -uo pipefail

if [ -z "${LAUNCH_DESKTOP_SESSION:-}" ]; then
    LAUNCH_DESKTOP_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

program=$1
artifacts=$2
atspi_centre=$3
source "$(dirname "$0")/../desktop-session.sh"
mkdir -p "$artifacts"
shot() { import -window root "$artifacts/launch-$1.png" 2>/dev/null || echo "(no screenshot $1)"; }

start_accessibility_bus
new_profile launch 'NoSplash=1\nStartMin=0\nIEEnhanced=YES\n'
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION
# The desktop's default browser: an entry whose Exec is a wrapper script with an option, as a
# Flatpak browser's is; the wrapper writes the arguments it was given, one a line.
wrapper=$work/browser-wrapper.sh
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s.tmp"\nmv "%s.tmp" "%s"\n' "$work/args" "$work/args" "$work/args" >"$wrapper"
chmod +x "$wrapper"
entry=$XDG_DATA_HOME/applications/wrapped-browser.desktop
mkdir -p "$(dirname "$entry")"
write_entry() {
    printf '[Desktop Entry]\nType=Application\nName=Wrapped Browser\nExec=%s --flag %%u\n' "$1" >"$entry"
}
printf '[Default Applications]\nx-scheme-handler/http=wrapped-browser.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"

start_desktop
# The program sees no handler of this computer's own: only the test's default is set.
XDG_CONFIG_DIRS=$work/none XDG_DATA_DIRS=$work/none start_program
wait_for 300 main_window_visible || { fail "the main window did not appear"; finish_desktop_test; }
win=$(main_window)
wait_until_settled "$win"
focus_main() { xdotool windowactivate --sync "$win" 2>/dev/null; }

# The browser.
write_entry "$wrapper"
focus_main
xdotool key --clearmodifiers ctrl+w
if wait_for 100 test -s "$work/args"; then
    [ "$(cat "$work/args")" = "--flag" ] && pass "the default browser's whole command line ran, %u dropped" \
        || fail "the browser's wrapper got: $(tr '\n' ' ' <"$work/args")"
else
    fail "the default browser's wrapper did not run"
fi
write_entry "$work/no-such-browser"
focus_main
xdotool key --clearmodifiers ctrl+w
message="Could not start the default web browser (wrapped-browser.desktop)."
if /usr/bin/python3 "$atspi_centre" "$program_pid" "status bar" "$message" >/dev/null; then
    pass "a browser that cannot start is told in the status bar"
else
    shot browser-failed
    fail "no status bar message \"$message\""
fi

# Run, minimised and not. xmessage names no process on its window: the X server tells it.
iconic() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }
normal() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q 'window state: Normal'; }
run_dialog() { xdotool search --onlyvisible --name '^Run\.\.\.$' | head -n1; }
has_run_dialog() { [ -n "$(run_dialog)" ]; }
probe_window() { xdotool search --classname "^$1\$" | head -n1; }
has_probe_window() { [ -n "$(probe_window "$1")" ]; }
run() { # <instance name> <tick the box: yes|no> [the program that starts xmessage]
    focus_main
    xdotool key --clearmodifiers ctrl+r
    wait_for 50 has_run_dialog || { fail "Ctrl+R showed no Run dialog"; return 1; }
    wait_until_settled "$(run_dialog)"
    xdotool type --delay 20 "${3:-xmessage -name} $1 $1"
    [ "$2" = yes ] && xdotool key --clearmodifiers alt+m
    sleep 0.3 # for the picture only: the box ticked
    shot "run-$1"
    xdotool key --clearmodifiers Return
    wait_for 100 has_probe_window "$1" || { fail "the program run as $1 showed no window"; return 1; }
}
# A launcher script's program is a process of the script's, not the one started (the command
# after it keeps the shell from handing its own process over).
printf '#!/bin/sh\nxmessage -name "$1" "$2"\ntrue\n' >"$work/starts-xmessage.sh"
chmod +x "$work/starts-xmessage.sh"
for how in "minimised-probe" "script-probe $work/starts-xmessage.sh"; do
    read -r name starter <<<"$how"
    if run "$name" yes "${starter:-}"; then
        w=$(probe_window "$name")
        if wait_for 100 iconic "$w"; then pass "Run Minimized minimised the window ($name)"
        else shot "$name-failed"; fail "the window run minimised is $(xprop -id "$w" WM_STATE | tr '\n' ' ')"; fi
    fi
done
if run normal-probe no; then
    w=$(probe_window normal-probe)
    wait_for 50 normal "$w"
    sleep 1 # a minimise would have come within a tenth of a second of the window
    if normal "$w"; then pass "with the box clear the window stays normal"
    else fail "the window run normally is $(xprop -id "$w" WM_STATE | tr '\n' ' ')"; fi
fi
shot after-runs

finish_desktop_test
