#!/usr/bin/env bash
# Searching by keyboard in the real program on a real X desktop. Find and Replace: Enter after
# Find finds the next match and leaves the note as it was, the dialog keeps the keyboard and
# keeps clear of the selected match, Esc hands the keyboard to the note with the match selected,
# and F3 and Shift+F3 search again from the note. Search All Notes: Enter goes to the match and
# closes the search window, so the next keys go into a note in view. What is selected where, in
# the note and on the screen, is read from the accessibility tree. Screenshots go to <shots>.
#   find_desktop.sh <quillbox executable> <shots> <selection reader>
set -uo pipefail

program=$1
shots=$2
reader=$3
mkdir -p "$shots"
source "$(dirname "$0")/../desktop-session.sh"
shot() { import -window root "$shots/find-$1.png" 2>/dev/null || echo "(no screenshot $1)"; }

new_profile find 'NoSplash=1\nStartMin=0\n'
# The matches sit in the middle of the note, where the dialog opens over the window.
python3 - "$notes" <<'PY'
import sys
lines = ["line %d" % i for i in range(1, 13)] + ["alpha beta gamma beta delta beta"] + \
        ["line %d" % i for i in range(14, 31)]
open(sys.argv[1] + "/notes.rtf", "w").write(
    "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs24 " + "\\par ".join(lines) + "}")
open(sys.argv[1] + "/../notes.txt", "w").write("\n".join(lines))
PY
printf '{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs24 zoo pages\\par the zebra.example.org site}' \
    >"$notes/web.rtf"
# "beta" in the note: at 93, 104 and 115 (the twelve lines before take 87 characters).

active_is() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
visible() { xdotool search --onlyvisible --name "$1" | head -n1; }
gone() { [ -z "$(visible "$1")" ]; }
clipboard_is() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$1" ]; }
# The selection of the note under a tab caption: "start end x y width height".
selection() { /usr/bin/python3 "$reader" "$program_pid" "$1" 2>/dev/null; }
selected() { [ "$(selection "$1" | cut -d' ' -f1-2)" = "$2" ]; }
note_text() { /usr/bin/python3 "$reader" "$program_pid" "$1" text 2>/dev/null; }
# A window's frame on the screen, title bar and borders included: "x y width height".
frame_of() {
    local x y w h l r t b
    read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                                               /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}')
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    echo "$((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))"
}
# Whether two rectangles "x y width height" overlap.
overlap() {
    local ax ay aw ah bx by bw bh
    read -r ax ay aw ah <<<"$1"
    read -r bx by bw bh <<<"$2"
    [ "$ax" -lt $((bx + bw)) ] && [ "$bx" -lt $((ax + aw)) ] && [ "$ay" -lt $((by + bh)) ] && [ "$by" -lt $((ay + ah)) ]
}

start_desktop
# The accessibility bus rides on a session bus of our own.
eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")
export NO_AT_BRIDGE=0
start_accessibility_bus
start_program
wait_for 300 main_window_visible || { fail "the main window did not appear"; finish_desktop_test; }
win=$(main_window)
wait_until_settled "$win"
xdotool windowactivate --sync "$win" 2>/dev/null
wait_for 50 active_is "$win" || fail "the main window did not become active"
wait_for 100 bash -c "/usr/bin/python3 '$reader' $program_pid Notes text >/dev/null 2>&1" || fail "the note is not in the accessibility tree"
original=$(cat "$work/find/notes.txt")

# Ctrl+F, "beta", Enter, Enter: Find, then Find Next.
xdotool key --clearmodifiers ctrl+f
wait_for 50 visible 'Find and Replace' || { fail "Ctrl+F showed no Find dialog"; finish_desktop_test; }
find=$(visible 'Find and Replace')
wait_for 50 active_is "$find" || fail "the Find dialog did not take the keyboard"
wait_until_settled "$find"
opened_at=$(frame_of "$find")
xdotool type --delay 30 beta
xdotool key --clearmodifiers Return
wait_for 50 selected Notes "93 97" || fail "Enter did not select the first match: $(selection Notes)"
xdotool key --clearmodifiers Return
if wait_for 50 selected Notes "104 108"; then pass "Enter again selects the second match"; else fail "after the second Enter: $(selection Notes)"; fi
sleep 0.3
[ "$(note_text Notes)" = "$original" ] && pass "the note text is unchanged" || fail "the note now reads: $(note_text Notes | head -c 300)"
active_is "$find" && pass "the Find dialog keeps the keyboard" || fail "the keyboard went to window $(xdotool getactivewindow)"
wait_until_settled "$find"
shot second-match
read -r _ _ mx my mw mh < <(selection Notes)
match="$mx $my $mw $mh"
overlap "$opened_at" "$match" || fail "the match did not lie where the dialog opened ($opened_at, match $match): nothing tested"
overlap "$(frame_of "$find")" "$match" && fail "the dialog covers the match ($(frame_of "$find"), match $match)" \
    || pass "the dialog stepped aside from the match"

# Esc: the dialog goes, the keyboard is in the note and the match still selected.
xdotool key --clearmodifiers Escape
if wait_for 50 gone 'Find and Replace' && wait_for 50 active_is "$win"; then pass "Esc closes the dialog"; else fail "Esc left the dialog open or the window inactive"; fi
xdotool key --clearmodifiers ctrl+c
if wait_for 30 clipboard_is beta && selected Notes "104 108"; then pass "the keyboard is in the note with the match selected"; else fail "after Esc: clipboard '$(xclip -o -selection clipboard 2>/dev/null)', selection $(selection Notes)"; fi
shot after-escape

# F3 and Shift+F3 from the note: the next and the previous match of the last search.
xdotool key --clearmodifiers F3
if wait_for 30 selected Notes "115 119"; then pass "F3 selects the next match"; else fail "after F3: $(selection Notes)"; fi
xdotool key --clearmodifiers shift+F3
xdotool key --clearmodifiers shift+F3
if wait_for 30 selected Notes "93 97"; then pass "Shift+F3 selects the previous matches"; else fail "after Shift+F3 twice: $(selection Notes)"; fi
[ "$(note_text Notes)" = "$original" ] && pass "the note text is still unchanged" || fail "the note now reads: $(note_text Notes | head -c 300)"

# Search All Notes: Enter goes to the match in the other tab and closes the search window; the
# next word typed takes the match's place in the note in view.
xdotool key --clearmodifiers ctrl+shift+f
wait_for 50 visible '^Search All Notes$' || { fail "Ctrl+Shift+F showed no Search All Notes"; finish_desktop_test; }
xdotool type --delay 30 zebra
xdotool key --clearmodifiers Return
if wait_for 50 gone '^Search All Notes$'; then pass "Enter closes Search All Notes"; else fail "Search All Notes stayed open over the note"; fi
wait_for 50 active_is "$win" || fail "the main window did not take the keyboard"
if wait_for 30 selected "Web Pages" "14 19"; then pass "the match is selected in its tab"; else fail "selection in Web Pages: $(selection 'Web Pages')"; fi
xdotool type --delay 30 okapi
if wait_for 30 bash -c "/usr/bin/python3 '$reader' $program_pid 'Web Pages' text | grep -qx 'the okapi.example.org site'"; then
    pass "what is typed next replaces the match in the note in view"
else
    fail "Web Pages reads: $(note_text 'Web Pages')"
fi
gone '^Search All Notes$' || fail "a search window covers the note after typing"
shot search-all-typed

xdotool key --clearmodifiers F8
wait_for 100 bash -c "! kill -0 $program_pid 2>/dev/null" || fail "F8 did not end the program"
finish_desktop_test
