#!/usr/bin/env bash
# Start-up and shutdown of the real program on a real X desktop (Xvfb, openbox, trayer): the tray
# while the splash or the password question shows, a later start meanwhile, focus leaving a note
# for another program, a window stored off the desktop, and the notification area going away
# while the window is hidden in it.
#   startup_desktop.sh <quillbox executable> <screenshot directory>
set -uo pipefail

program=$1
shots=$2
mkdir -p "$shots"
source "$(dirname "$0")/../desktop-session.sh"
shot() { import -window root "$shots/startup-$1.png" 2>/dev/null || echo "(no screenshot $1)"; }

prepare() {
    new_profile "$1" "$2"
    printf '{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs20 Call the garage about the tyres\\par}' >"$notes/notes.rtf"
    before=$(md5sum "$notes/notes.rtf")
}
exited() { ! kill -0 "$program_pid" 2>/dev/null; }
setting() { grep -i "^$1=" "$ini" | head -n1 | cut -d= -f2-; }
# Windows of ours in view by height: the splash is short, the main window tall.
our_windows() {
    for w in $(xdotool search --onlyvisible --classname quillbox 2>/dev/null); do
        xwininfo -id "$w" | awk -v w="$w" '/Override Redirect State: yes/ {o = 1} /Height:/ {h = $2}
                                           END {if (!o) print w, h}'
    done
}
splash_showing() { our_windows | awk '$2 > 100 && $2 < 200 {f = 1} END {exit !f}'; }
main_showing() { our_windows | awk '$2 >= 300 {f = 1} END {exit !f}'; }
prompt_showing() { xdotool search --onlyvisible --name '^Quillbox Plus - Password Protection$' >/dev/null; }
click_icon() {
    local x y
    read -r x y < <(centre_of "$(tray_icon)")
    xdotool mousemove "$x" "$y" click "$1"
}
notes_untouched() {
    [ "$(md5sum "$notes/notes.rtf")" = "$before" ] && [ ! -e "$notes/email.rtf" ] && [ -z "$(setting Height)" ]
}
ended_within() {
    if wait_for "$1" exited; then
        wait "$program_pid"
        return $?
    fi
    kill "$program_pid" 2>/dev/null
    wait_for 50 exited
    return 1
}

start_desktop
start_tray

# --- The tray and a later start during start-up ------------------------------------------------
# Started minimised to the task bar, with a password: a click on the icon during the question
# only brings the question forward, and a later start meanwhile is answered once start-up is over
# by showing the window. (The stored record of the password "secret".)
record='drow="580917264dKwpBXZMNQr8#hjasecret719036825kq"'
prepare later "NoSplash=1\\nStartMin=1\\nShowinTaskBar=YES\\n$record\\n"
start_program
wait_for 150 prompt_showing || fail "no password question"
wait_for 100 has_tray_icon || fail "no tray icon during the password question"
click_icon 1
sleep 0.5
shot password-after-click
if main_showing; then fail "a tray click during the password question showed the window behind it"; else pass "a tray click during the password question leaves the window hidden"; fi
prompt_showing || fail "the password question went away"
"$program" >>"$work/program.log" 2>&1
status=$?
[ "$status" -eq 0 ] && pass "a later start during start-up gives way" || fail "a later start ended with $status"
prompt=$(xdotool search --onlyvisible --name '^Quillbox Plus - Password Protection$' | head -n1)
xdotool windowactivate --sync "$prompt" 2>/dev/null
wait_for 50 bash -c "[ \"\$(xdotool getactivewindow)\" = $prompt ]" || fail "the password question did not take the keyboard"
xdotool type --delay 20 secret
xdotool key Return
if wait_for 100 main_showing; then pass "the later start is answered once start-up is over"; else fail "the later start was dropped: the window stayed in the tray"; fi
shot answered
kill -TERM "$program_pid"
ended_within 100 || fail "SIGTERM did not end the program"

# --- The tray during the splash -----------------------------------------------------------------
# A right click only brings the splash forward, and Close from the tray menu ends the program at
# once, writing nothing.
prepare closesplash 'NoSplash=0\n'
start_program
wait_for 100 has_tray_icon || fail "no tray icon during start-up"
wait_for 100 splash_showing || fail "no splash"
click_icon 3
wait_for 100 menu_open || fail "no tray menu during the splash"
splash_showing || fail "the splash was over before Close could be chosen"
if main_showing; then fail "a tray click during the splash showed the unfinished window"; else pass "a tray click during the splash leaves the window hidden"; fi
# Clicked, not typed: the splash may hold the keyboard.
if menu=$(tray_menu); then
    read -r mx my < <(xwininfo -id "$menu" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}')
    xdotool mousemove "$((mx + 30))" "$((my + 12))" click 1
fi
if ended_within 30; then pass "Close from the tray during the splash ends the program at once"; else fail "the program did not end from the tray during the splash"; fi
shot splash-closed
if notes_untouched; then pass "nothing was written"; else fail "closing during the splash wrote: $(ls "$notes") $(cat "$ini")"; fi

# --- SIGTERM during the password question --------------------------------------------------------
prepare password "NoSplash=1\\n$record\\n"
start_program
wait_for 150 prompt_showing || fail "no password question"
kill -TERM "$program_pid"
if ended_within 30; then pass "SIGTERM during the password question ends the program"; else fail "SIGTERM during the password question did not end it"; fi
if notes_untouched; then pass "nothing was written"; else fail "SIGTERM during the password question wrote: $(ls "$notes")"; fi

# --- Focus leaving for another program or the menu bar writes nothing ---------------------------
prepare focus 'NoSplash=1\n'
start_program
wait_for 300 main_showing || fail "the main window did not appear"
win=$(main_window)
xdotool windowactivate --sync "$win" 2>/dev/null
read -r x y < <(centre_of "$win")
xdotool mousemove "$x" "$((y + 40))" click 1
xdotool type --delay 20 "Buy bread. "
sleep 0.3
xmessage -name other -geometry +20+20 "another program" &
other_pid=$!
pids+=("$other_pid")
wait_for 50 xdotool search --onlyvisible --classname other || fail "no other program"
xdotool windowactivate --sync "$(xdotool search --onlyvisible --classname other | head -n1)" 2>/dev/null
sleep 0.5
[ "$(md5sum "$notes/notes.rtf")" = "$before" ] && pass "switching to another program writes nothing" \
    || fail "switching to another program wrote the note"
xdotool windowactivate --sync "$win" 2>/dev/null
xdotool key --clearmodifiers alt
sleep 0.5
[ "$(md5sum "$notes/notes.rtf")" = "$before" ] && pass "Alt to the menu bar writes nothing" || fail "Alt wrote the note"
xdotool key --clearmodifiers Escape
shot focus-kept
kill "$other_pid" 2>/dev/null
xdotool key --clearmodifiers F8
ended_within 100 || fail "Exit did not end the program"
grep -q 'Buy bread' "$notes/notes.rtf" && pass "Exit wrote the typed text" || fail "the typed text was lost"

# --- A window whose title bar is out of reach is brought back at its size; one partly off stays --
# Stored place | where the window's frame stands ("back": centred on the screen), 640x480 each time.
side=0
for row in '-15000 1500 back' '1500 -6000 back' '-600 1500 -40,100'; do
    read -r x y wanted <<<"$row"
    side=$((side + 1))
    prepare offscreen "NoSplash=1\nCoordsX=$x\nCoordsY=$y\nWidth=9600\nHeight=7200\n"
    start_program
    wait_for 300 main_showing || fail "the main window did not appear"
    win=$(main_window)
    wait_until_settled "$win"
    read -r place size < <(settled_geometry "$win")
    [ "$wanted" = back ] && wanted="$(((1280 - 640) / 2)),$(((1024 - 480) / 2))"
    if [ "$place $size" = "$wanted 640x480" ]; then pass "a window stored at $x,$y twips stands at $place $size"
    else fail "a window stored at $x,$y twips stands at $place $size, not at $wanted 640x480"; fi
    shot "offscreen-$side"
    xdotool key --clearmodifiers F8
    ended_within 100 || fail "Exit did not end the program"
done

# --- The notification area goes away while the window is hidden in it ---------------------------
prepare traygone 'NoSplash=1\n'
start_program
wait_for 300 main_showing || fail "the main window did not appear"
win=$(main_window)
wait_for 100 has_tray_icon || fail "no tray icon"
xdotool windowminimize "$win"
wait_for 50 bash -c '! xdotool search --onlyvisible --classname quillbox | grep -q .' || true
main_showing && fail "minimising did not hide the window to the tray"
kill "$trayer_pid"
wait_for 50 bash -c '! xdotool search --classname panel' || fail "trayer did not go away"
if wait_for 50 main_showing; then pass "the window comes back when the notification area goes away"; else fail "the window stayed hidden without a notification area"; fi
sleep 0.3
shot tray-gone
start_tray
if wait_for 100 has_tray_icon; then pass "the icon returns with the notification area"; else fail "no icon in the new notification area"; fi
xdotool windowminimize "$win"
if wait_for 50 bash -c "! xprop -id $win WM_STATE | grep -q 'window state'"; then pass "hiding to the new tray works again"; else fail "the window stayed on the task bar: $(xprop -id "$win" WM_STATE)"; fi
click_icon 1
wait_for 100 main_showing && pass "the new tray icon brings the window back" || fail "no way back through the new tray icon"
kill -TERM "$program_pid"
ended_within 100 || fail "SIGTERM did not end the program"

echo "screenshots in $shots"
finish_desktop_test
