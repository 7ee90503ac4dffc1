#!/usr/bin/env bash
# Started minimised ("StartMin"), the window must come back at exactly the place and size it had
# when it was last closed, start after start: restored from the tray icon (trayer) and, with no
# notification area, from the task bar; from the centred first start and from a place and size
# stored beforehand. A window never shown (hidden in the tray all along) keeps the stored ones.
#   startmin_desktop.sh <quillbox executable> <screenshot directory>
set -uo pipefail

program=$1
shots=$2
mkdir -p "$shots"
source "$(dirname "$0")/../desktop-session.sh"
shot() { import -window root "$shots/startmin-$1.png" 2>/dev/null || echo "(no screenshot $1)"; }

cycles=4

prepare() { new_profile "$1" "NoSplash=1\nStartMin=1\n$2"; }
exited() { ! kill -0 "$program_pid" 2>/dev/null; }
ended() {
    wait_for 100 exited && return 0
    kill "$program_pid" 2>/dev/null
    wait_for 50 exited
    return 1
}
setting() { grep -i "^$1=" "$ini" | head -n1 | cut -d= -f2-; }
stored() { echo "$(setting CoordsX),$(setting CoordsY) $(setting Width)x$(setting Height)"; }

# A click during start-up only brings start-up forward, so a click that came too early is repeated.
restore_from_tray() {
    local x y try
    wait_for 100 has_tray_icon || { fail "$label: no tray icon"; return 1; }
    for try in 1 2 3; do
        read -r x y < <(centre_of "$(tray_icon)")
        xdotool mousemove "$x" "$y" click 1
        wait_for 30 main_window_visible && return 0
    done
    return 0
}
minimised() { xprop -id "$1" WM_STATE _NET_WM_STATE | grep -q -E 'window state: Iconic|_NET_WM_STATE_HIDDEN'; }
restore_from_task_bar() {
    local w
    wait_for 300 bash -c 'xdotool search --name "^Quillbox Plus$" | grep -q .' || { fail "$label: no window"; return 1; }
    w=$(main_window)
    wait_for 50 minimised "$w" || fail "$label: with no notification area the window did not start on the task bar"
    xdotool windowactivate "$w" 2>/dev/null
}

# Start, restore, note the place and size, Exit from the File menu; again and again. Each restored
# window must stand where the previous one was closed, and the stored values must not creep.
cycle_test() {
    label=$1 restore=$2 expected=$3 picture=$4
    # Minimised, the window goes to the tray where there is one, else it stays on the task bar.
    if [ "$restore" = restore_from_tray ]; then put_away() { ! main_window_visible; }; else put_away() { minimised "$1"; }; fi
    local previous_stored previous_shown="" shown win again
    previous_stored=$(stored)
    for ((c = 1; c <= cycles; c++)); do
        start_program
        if ! $restore; then kill "$program_pid"; ended; return; fi
        if ! wait_for 100 main_window_visible; then fail "$label: start $c: the window did not come back"; kill "$program_pid"; ended; return; fi
        win=$(main_window)
        shown=$(settled_geometry "$win")
        if [ "$c" -eq 1 ] && [ -n "$expected" ]; then
            [ "$shown" = "$expected" ] && pass "$label: start 1 comes back at the stored $shown" \
                || fail "$label: start 1 came back at $shown instead of the stored $expected"
        elif [ "$c" -eq 1 ]; then
            # Nothing stored: centred on the 1280 x 1024 screen, frame and all.
            read -r left top width height < <(echo "$shown" | tr ',x' '  ')
            [ "$left,$top" = "$(((1280 - width) / 2)),$(((1024 - height) / 2))" ] \
                && pass "$label: start 1 comes back centred at $shown" || fail "$label: start 1 came back off centre at $shown"
        fi
        if [ "$c" -eq 1 ]; then
            # Put away and brought back within one run, it comes back where it was as well.
            xdotool windowminimize "$win"
            if wait_for 50 put_away "$win" && $restore && wait_for 100 main_window_visible; then
                again=$(settled_geometry "$win")
                [ "$again" = "$shown" ] && pass "$label: minimised and restored, it comes back at $again" \
                    || fail "$label: minimised and restored, it came back at $again instead of $shown"
            else
                fail "$label: minimising and restoring the window failed"
            fi
        fi
        if [ -n "$previous_shown" ]; then
            [ "$shown" = "$previous_shown" ] && pass "$label: start $c comes back at $shown" \
                || fail "$label: start $c came back at $shown, closed at $previous_shown"
        fi
        [ "$c" -eq "$cycles" ] && shot "$picture"
        xdotool windowactivate --sync "$win" 2>/dev/null
        xdotool key --clearmodifiers alt+f
        wait_for 30 menu_open || fail "$label: start $c: no File menu"
        xdotool key --clearmodifiers e
        ended || fail "$label: start $c: Exit did not end the program"
        if [ "$c" -gt 1 ] || [ -n "$expected" ]; then
            [ "$(stored)" = "$previous_stored" ] && pass "$label: start $c stores the same $(stored)" \
                || fail "$label: start $c stored $(stored) after $previous_stored"
        fi
        previous_stored=$(stored)
        previous_shown=$shown
    done
    # The stored twips are the frame's place and size at 15 twips a pixel.
    read -r left top width height < <(echo "$shown" | tr ',x' '  ')
    [ "$(stored)" = "$((left * 15)),$((top * 15)) $((width * 15))x$((height * 15))" ] \
        && pass "$label: the stored place and size are the frame's" \
        || fail "$label: stored $(stored) for a frame at $shown"
}

start_desktop

# --- With a notification area: restored by a click on the tray icon -----------------------------
start_tray
prepare tray-first ''
cycle_test "tray, first start" restore_from_tray "" tray-first
prepare tray-stored 'CoordsX=2250\nCoordsY=1800\nWidth=9600\nHeight=7500\n'
cycle_test "tray, stored place" restore_from_tray "150,120 640x500" tray-stored

# Hidden in the tray from start to end: nothing about the window was seen, so nothing changes.
prepare tray-hidden 'CoordsX=2250\nCoordsY=1800\nWidth=9600\nHeight=7500\n'
before=$(stored)
start_program
wait_for 300 has_tray_icon || fail "no tray icon"
sleep 0.5
main_window_visible && fail "a window started minimised showed itself"
kill -TERM "$program_pid"
ended || fail "SIGTERM did not end the program"
[ "$(stored)" = "$before" ] && pass "a window never shown keeps its stored place and size" \
    || fail "a window never shown stored $(stored) over $before"

# Stored far off the left edge, where its title bar is out of reach, and started minimised: brought
# back into view when restored, centred at its own size, and stored so.
prepare tray-offscreen 'CoordsX=-15000\nCoordsY=1500\nWidth=9600\nHeight=7200\n'
label="tray, stored off the left edge"
start_program
if restore_from_tray && wait_for 100 main_window_visible; then
    win=$(main_window)
    shown=$(settled_geometry "$win")
    [ "$shown" = "320,272 640x480" ] && pass "$label: comes back in view at $shown" \
        || fail "$label: came back at $shown instead of centred at its own size"
    xdotool windowactivate --sync "$win" 2>/dev/null
    xdotool key --clearmodifiers alt+f
    wait_for 30 menu_open || fail "$label: no File menu"
    xdotool key --clearmodifiers e
else
    fail "$label: the window did not come back"
    kill "$program_pid"
fi
ended || fail "$label: Exit did not end the program"
[ "$(stored)" = "4800,4080 9600x7200" ] && pass "$label: stored in view" || fail "$label: stored $(stored)"

# --- Without a notification area: minimised to the task bar, restored from there ---------------
kill "$trayer_pid"
wait_for 50 bash -c '! xdotool search --classname panel' || fail "trayer did not go away"
prepare bar-first ''
cycle_test "task bar, first start" restore_from_task_bar "" task-bar-first
prepare bar-stored 'CoordsX=2250\nCoordsY=1800\nWidth=9600\nHeight=7500\n'
cycle_test "task bar, stored place" restore_from_task_bar "150,120 640x500" task-bar-stored

echo "screenshots in $shots"
finish_desktop_test
