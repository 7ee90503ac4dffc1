#!/usr/bin/env bash
# The main window on a real X desktop: placed exactly at its stored place and size, stay-on-top
# through the window manager, "Set On Top" changing it in place, a second start bringing the first
# window forward, and SIGTERM running the shutdown.
#   window_desktop.sh <quillbox executable>
# Starts its own Xvfb with openbox as the window manager; xdotool presses the keys.
set -uo pipefail

program=$1
source "$(dirname "$0")/../desktop-session.sh"

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
notes=$work/notes
ini="$XDG_CONFIG_HOME/Quillbox Plus/Quillbox Plus.ini"
mkdir -p "$(dirname "$ini")" "$notes" "$XDG_DATA_HOME"
# Stored as the frame's place and size: 150,120 640x500 at 15 twips a pixel.
placed='CoordsX=2250\nCoordsY=1800\nWidth=9600\nHeight=7500'
printf '[Settings]\nNoSplash=1\nAutoCompletion=NO\nOnTop=yes\n%b\nNetwork=%s\n' "$placed" "$notes" >"$ini"
setting() { grep -i "^$1=" "$ini" | head -n1 | cut -d= -f2-; }

is_above() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
not_above() { ! is_above "$1"; }
is_iconic() { xprop -id "$1" WM_STATE | grep -q 'window state: Iconic'; }
is_normal() { xprop -id "$1" WM_STATE | grep -q 'window state: Normal'; }

start_desktop

"$program" >>"$work/program.log" 2>&1 &
first=$!
pids+=("$first")
wait_for 300 main_window_visible || fail "the main window did not appear"
win=$(main_window)

# The frame stands at the stored place with the stored outer size, to the pixel.
shown=$(settled_geometry "$win")
[ "$shown" = "150,120 640x500" ] && pass "the window stands at its stored place and size" \
    || fail "the window stands at $shown instead of 150,120 640x500"

# "OnTop" holding "yes" keeps the window above others, and is stored back as "Yes".
if wait_for 50 is_above "$win"; then pass "OnTop yes keeps the window on top"; else fail "not on top: $(xprop -id "$win" _NET_WM_STATE)"; fi
[ "$(setting OnTop)" = "Yes" ] && pass "OnTop is stored back as Yes" || fail "OnTop stored as '$(setting OnTop)'"

# F7 turns it off in place: the same X window, still in view.
xdotool windowactivate --sync "$win" 2>/dev/null
xdotool key --clearmodifiers F7
if wait_for 50 not_above "$win"; then pass "Set On Top turns stay-on-top off"; else fail "still on top after F7"; fi
wait_for 30 bash -c "grep -qi '^OnTop=No' '$ini'" && pass "OnTop is stored as No" || fail "OnTop stored as '$(setting OnTop)'"
[ "$(main_window)" = "$win" ] && main_window_visible && pass "the window was changed in place" \
    || fail "the window was re-created or hidden"
xdotool key --clearmodifiers F7
wait_for 50 is_above "$win" && pass "F7 again puts it back on top" || fail "not on top after F7 twice"

# Window titles are exactly the program's own, with nothing appended.
wm_name() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }
[ "$(wm_name "$win")" = "Quillbox Plus" ] && pass "the main window's title is Quillbox Plus" || fail "main window title: '$(wm_name "$win")'"
xdotool windowactivate --sync "$win" 2>/dev/null
xdotool key --clearmodifiers ctrl+f
if find=$(wait_for 50 xdotool search --onlyvisible --name 'Find and Replace' && xdotool search --onlyvisible --name 'Find and Replace' | head -n1); then
    [ "$(wm_name "$find")" = "Find and Replace..." ] && pass "the Find dialog's title is Find and Replace..." \
        || fail "Find dialog title: '$(wm_name "$find")'"
    xdotool key --clearmodifiers Escape
    wait_for 30 bash -c '! xdotool search --onlyvisible --name "Find and Replace"' || xdotool windowclose "$find" 2>/dev/null
else
    fail "Ctrl+F showed no Find dialog"
fi

# A second start with the same settings brings the first window back and ends.
xdotool windowminimize "$win"
wait_for 50 is_iconic "$win" || fail "the window did not minimise"
"$program" >>"$work/program.log" 2>&1 &
second=$!
if wait_for 150 bash -c "! kill -0 $second 2>/dev/null"; then
    wait "$second"
    status=$?
    [ "$status" -eq 0 ] && pass "a second start ends at once" || fail "the second start ended with $status"
else
    fail "a second start kept running"
    kill "$second"
fi
if wait_for 50 is_normal "$win"; then pass "the second start brought the first window back"; else fail "the first window stayed minimised"; fi
kill -0 "$first" 2>/dev/null && pass "the first instance still runs" || fail "the first instance ended"

# SIGTERM runs the shutdown: notes and the window's size are written.
kill -TERM "$first"
if wait_for 100 bash -c "! kill -0 $first 2>/dev/null"; then
    wait "$first"
    status=$?
    [ "$status" -eq 0 ] || fail "SIGTERM ended the program with status $status"
else
    fail "SIGTERM did not end the program"
fi
[ "$(ls "$notes"/*.rtf 2>/dev/null | wc -l)" -eq 7 ] && pass "SIGTERM wrote the seven notes" || fail "notes after SIGTERM: $(ls "$notes")"
stored="$(setting CoordsX),$(setting CoordsY) $(setting Width)x$(setting Height)"
[ "$stored" = "2250,1800 9600x7500" ] && pass "SIGTERM stored the place and size it was started with" \
    || fail "SIGTERM stored $stored after a start at 2250,1800 9600x7500"

finish_desktop_test
