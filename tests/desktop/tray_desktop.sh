#!/usr/bin/env bash
# Quillbox Plus in the notification area of a real X desktop.
#   tray_desktop.sh <quillbox executable> <screenshot directory>
# Starts its own Xvfb with openbox as the window manager and trayer as the notification area;
# xdotool clicks the icon and presses the keys.
set -uo pipefail

program=$1
shots=$2

mkdir -p "$shots"
source "$(dirname "$0")/../desktop-session.sh"
shot() { import -window root "$shots/$1.png" 2>/dev/null || echo "(no screenshot $1)"; }

# A fresh settings folder and note folder for one start of the program.
prepare() { new_profile "$1" "NoSplash=1\n$2"; }

# Every window of ours in view (the About box has no title of its own).
program_windows() { large_windows $(xdotool search --onlyvisible --classname quillbox) | wc -l; }
windows_more_than() { [ "$(program_windows)" -gt "$1" ]; }
windows_at_most() { [ "$(program_windows)" -le "$1" ]; }
one_program_window() { [ "$(program_windows)" -eq 1 ]; }
two_program_windows() { [ "$(program_windows)" -eq 2 ]; }
exited() { ! kill -0 "$program_pid" 2>/dev/null; }
setting() { grep -i "^$1=" "$ini" | head -n1 | cut -d= -f2-; }

start_desktop

# --- With a notification area -------------------------------------------------------------------
start_tray

# Started minimised: hidden to the tray at once.
prepare startmin 'StartMin=1\n'
start_program
if wait_for 300 has_tray_icon; then pass "the icon is in the notification area"; else fail "no tray icon"; fi
sleep 0.5
if main_window_visible; then fail "a window started minimised is not hidden to the tray"; else pass "started hidden in the tray"; fi
kill "$program_pid" 2>/dev/null
wait_for 100 exited
wait_for 100 bash -c '! xwininfo -root -tree | grep -q "\"quillbox\""'

# Maximised, then minimised: hidden to the tray, with the icon as the only way back, which must
# bring the window back in its normal state. Two notes are there already; closing must write
# them back without losing a word.
prepare tray 'Height=Max\nWidth=Max\n'
printf '{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs20 {\\b Shopping} for Saturday:\\par Bread, cheese and {\\i fresh} basil\\par Call the garage about the tyres\\par}' >"$notes/notes.rtf"
printf '{\\rtf1\\ansi https://quillbox.example.org/\\par}' >"$notes/web.rtf"
start_program
wait_for 300 has_tray_icon || fail "no tray icon"
icon=$(tray_icon)
wait_for 300 main_window_visible || fail "the main window did not appear"
win=$(main_window)
xprop -id "$win" _NET_WM_STATE | grep -q MAXIMIZED || fail "the window did not start maximised"
xdotool windowminimize "$win"
if wait_for 50 bash -c "! xprop -id $win WM_STATE | grep -q 'window state'"; then
    pass "minimising hides the window to the tray"
else
    fail "a minimised window stayed on the task bar: $(xprop -id "$win" WM_STATE _NET_WM_STATE)"
fi

if [ -n "$icon" ]; then
    read -r x y < <(centre_of "$icon")
    xdotool mousemove "$x" "$y" click 1
    if wait_for 100 main_window_visible; then pass "a left click brings the window back"; else fail "left click did not bring the window back"; fi
    sleep 0.3
    if xprop -id "$win" _NET_WM_STATE | grep -q -E 'HIDDEN|MAXIMIZED'; then
        fail "the window came back in a state other than normal: $(xprop -id "$win" _NET_WM_STATE)"
    else
        pass "the window is back in its normal state"
    fi
    sleep 0.5
    import -window "$win" "$shots/main-window.png" 2>/dev/null || shot main-window
    # The About box and the manual, from the Help menu.
    xdotool windowfocus --sync "$win" 2>/dev/null
    xdotool key --clearmodifiers ctrl+t
    if wait_for 30 two_program_windows; then pass "Ctrl+T shows the About box"; else fail "no About box ($(program_windows) windows)"; fi
    shot about-box
    xdotool key --clearmodifiers Escape
    if wait_for 30 one_program_window; then pass "Escape closes the About box"; else fail "the About box stayed"; fi
    xdotool windowfocus --sync "$win" 2>/dev/null
    xdotool key --clearmodifiers alt+h c
    if wait_for 30 xdotool search --onlyvisible --name '^Quillbox Plus Help'; then
        pass "Help > Contents shows the manual"
    else
        fail "no help window"
    fi
    sleep 0.3
    shot help-window

    # The tray menu's About item shows the About box.
    before=$(program_windows)
    xdotool mousemove "$x" "$y" click 3
    wait_for 100 menu_open || fail "no tray menu for About"
    xdotool key a
    if wait_for 50 windows_more_than "$before"; then
        pass "the tray menu's About item shows the About box"
    else
        fail "no About box from the tray menu"
    fi
    xdotool key --clearmodifiers Escape
    wait_for 30 windows_at_most "$before" || fail "the About box from the tray menu stayed"
    # A pause as a person makes: the focus passes back to the main window through the window
    # manager after the box closes, and that arrival closes a menu opened in the meantime.
    sleep 0.5

    # Right click: the window comes back first, then the menu; its Close item ends the program.
    xdotool mousemove "$x" "$y" click 3
    if wait_for 100 menu_open; then pass "a right click opens the tray menu"; else fail "no tray menu"; fi
    sleep 0.3
    shot tray-menu
    if main_window_visible; then pass "a right click leaves the window in view"; else fail "right click hid the window"; fi
    xdotool key c
    if wait_for 100 exited; then
        pass "Close Quillbox Plus ends the program"
        wait "$program_pid"
        status=$?
        [ "$status" -eq 0 ] || fail "the program ended with status $status"
    else
        shot tray-menu-close-failed
        fail "the program did not end from the tray menu"
        kill "$program_pid" 2>/dev/null
    fi
    for f in notes.rtf web.rtf email.rtf phone.rtf other.rtf tab6.rtf tab7.rtf; do
        [ -f "$notes/$f" ] || fail "note $f was not written at close"
    done
    [ -f "$notes/tab7.rtf" ] && pass "the notes were written at close"
    if grep -q 'fresh' "$notes/notes.rtf" && grep -q 'garage' "$notes/notes.rtf"; then
        pass "the first note kept its text"
    else
        fail "the first note lost its text: $(head -c 300 "$notes/notes.rtf")"
    fi
    for key in CoordsX CoordsY Height Width; do
        [ -n "$(setting "$key")" ] || fail "$key was not written at close"
    done
    case "$(setting Height)$(setting Width)" in
        *Max*) fail "the window was still maximised when closed from the tray" ;;
    esac
    [ -n "$(setting Width)" ] && pass "the window's place and size were written: $(setting CoordsX),$(setting CoordsY) $(setting Width)x$(setting Height)"
else
    kill "$program_pid" 2>/dev/null
fi

# The splash screen, once, for the record.
prepare splash 'NoSplash=0\n'
sed -i 's/^NoSplash=1$//' "$ini"
start_program
sleep 1
shot splash
wait_for 100 main_window_visible || fail "the program did not start after its splash"
kill "$program_pid" 2>/dev/null
wait_for 100 exited

# --- Without a notification area ----------------------------------------------------------------
kill "$trayer_pid"
wait_for 50 bash -c '! xdotool search --classname panel' || fail "trayer did not go away"
prepare notray ''
start_program
wait_for 300 main_window_visible || fail "the main window did not appear without a notification area"
win=$(main_window)
wait_until_settled "$win"
xdotool windowminimize "$win"
sleep 1
if xprop -id "$win" WM_STATE | grep -q 'window state: Iconic'; then
    pass "with no notification area minimising keeps the window on the task bar"
else
    fail "with no notification area the window was hidden: $(xprop -id "$win" WM_STATE)"
fi
xdotool windowactivate "$win" 2>/dev/null
sleep 0.5
shot no-tray
kill "$program_pid" 2>/dev/null
wait_for 100 exited

echo "screenshots in $shots"
finish_desktop_test
