#!/usr/bin/env bash
# The Debian package on this machine, as root: apt installs it, lintian finds no error in it, the
# installed files are complete and valid, and /usr/bin/quillbox started by a new user (a home of
# its own, no XDG variables), first from a shell and then through its desktop entry as a menu
# does, shows its window on a real X desktop and keeps the notes in ~/.local/share/Quillbox Plus.
# Afterwards the package is removed again, unless it was installed before.
#   install_check.sh <quillbox_<version>_<arch>.deb> [screenshot directory]
set -uo pipefail

deb=$(realpath "$1")
shots=${2:-}
tests=$(cd "$(dirname "$0")/.." && pwd)
source "$tests/desktop-session.sh"

was_installed=$(dpkg-query -W -f='${Status}' quillbox 2>/dev/null | grep -c "install ok installed")
remove_package() {
    [ "$was_installed" -eq 0 ] && apt-get remove -y -qq quillbox >/dev/null
    cleanup
}
trap remove_package EXIT

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" || { echo "FAIL: apt could not install $deb"; exit 1; }
pass "apt installed $(basename "$deb")"
"$tests/desktop/install_layout.sh" --installed /usr || fail "the installed layout"

# Lintian's errors fail the check; its warnings are shown.
lintian --fail-on error --tag-display-limit 0 "$deb" && pass "lintian finds no error" || fail "lintian found errors"

# A new user on a desktop with a notification area.
export HOME=$work/home
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME XDG_STATE_HOME XDG_RUNTIME_DIR QT_QPA_PLATFORM
mkdir -p "$HOME"
notes="$HOME/.local/share/Quillbox Plus/notes.rtf"
start_desktop
start_tray

# The main window, not the splash screen before it, which carries the same title but is short.
tall_main_window() {
    for w in $(xdotool search --onlyvisible --name '^Quillbox Plus$'); do
        [ "$(xwininfo -id "$w" | awk '/Height:/ {print $2}')" -ge 300 ] && echo "$w"
    done | head -n1 | grep .
}

# Types a line into the note in view and ends the program cleanly, as logging out does.
write_and_quit() {
    local window=$1 text=$2 pid
    pid=$(xdotool getwindowpid "$window")
    xdotool windowactivate --sync "$window" && sleep 0.5
    xdotool type --delay 20 "$text"
    [ -n "$shots" ] && mkdir -p "$shots" && import -window root "$shots/package-$4.png"
    kill -TERM "$pid"
    wait_for 150 bash -c "! kill -0 $pid" || fail "the program did not end on SIGTERM"
    grep -q "$text" "$notes" 2>/dev/null && pass "$3 keeps its notes in ~/.local/share/Quillbox Plus" ||
        fail "$3: \"$text\" is not in $notes"
}

program=/usr/bin/quillbox
start_program
if wait_for 300 tall_main_window; then
    pass "the installed program shows its window"
    write_and_quit "$(tall_main_window)" "Typed into the installed program" "the installed program" shell
else
    fail "the installed program showed no window"
fi
[ -f "$HOME/.config/Quillbox Plus/Quillbox Plus.ini" ] && pass "settings in ~/.config/Quillbox Plus" ||
    fail "no settings file in ~/.config/Quillbox Plus"

# From the menu: the desktop entry as installed, started the way a desktop starts it.
gio launch /usr/share/applications/quillbox.desktop >>"$work/program.log" 2>&1 || fail "gio launch failed"
if wait_for 300 tall_main_window; then
    pass "the desktop entry starts Quillbox Plus"
    write_and_quit "$(tall_main_window)" "Started from the menu" "the program started from the menu" menu
else
    fail "the desktop entry started no window"
fi
finish_desktop_test
