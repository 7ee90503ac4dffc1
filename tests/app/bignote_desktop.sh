#!/usr/bin/env bash
# A 5 MB note on a real X desktop: the window is painted (never black) while the note comes in,
# says "Loading…" meanwhile, then shows the note with the keyboard in it, takes typing at its end
# and writes it at exit.
# Screenshots of both moments are kept in <build>/artifacts.
#   bignote_desktop.sh <quillbox executable> <artifacts folder>
# Starts its own Xvfb with openbox as the window manager; xdotool presses the keys.
set -uo pipefail

program=$1
artifacts=$2
source "$(dirname "$0")/../desktop-session.sh"

new_profile bignote 'NoSplash=1\n'
mkdir -p "$artifacts"
write_big_note "$notes/notes.rtf" "words to wrap across the window"

# The window's own area of a screenshot: its mean brightness (0 black .. 1 white).
brightness() { convert "$1" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -format '%[fx:mean]' info:; }
bright_enough() { awk -v b="$1" 'BEGIN {exit !(b > 0.5)}'; }

start_desktop
start_program
pid=$program_pid
wait_for 300 main_window_visible || { fail "the main window did not appear"; cat "$work/program.log"; exit 1; }
win=$(main_window)
eval "$(xdotool getwindowgeometry --shell "$win")"
# Painted as soon as it is in view (a new window is black until its first paint), and every look
# in the next second, while the note is still coming in, finds it painted still.
painted_now() { import -window root "$work/early-1.png" 2>/dev/null && bright_enough "$(brightness "$work/early-1.png")"; }
wait_for 10 painted_now && pass "painted within a second of showing" || fail "the window was dark for a second"
dark=0
for k in 2 3 4 5; do
    sleep 0.2
    import -window root "$work/early-$k.png" 2>/dev/null
    b=$(brightness "$work/early-$k.png")
    bright_enough "$b" || { dark=1; echo "look $k: brightness $b"; }
done
cp "$work/early-1.png" "$artifacts/bignote-loading.png"
[ "$dark" -eq 0 ] && pass "the window stays painted while the note comes in" || fail "the window went dark"

# The note shows once read: the window changes from the first look ("Loading…").
note_shown() {
    import -window root "$work/now.png" 2>/dev/null
    local differ
    differ=$(compare -metric AE "$work/early-1.png" "$work/now.png" null: 2>&1)
    awk -v d="${differ%% *}" 'BEGIN {exit !(d + 0 > 2000)}'
}
wait_for 1200 note_shown && pass "the note came in" || fail "the note never showed"
sleep 0.5
import -window root "$artifacts/bignote-loaded.png" 2>/dev/null
b=$(brightness "$artifacts/bignote-loaded.png")
bright_enough "$b" && pass "screenshots kept as artifacts/bignote-loading.png and bignote-loaded.png" \
    || fail "the loaded window is dark ($b)"

# The keyboard is the note's once it is in: no click needed.
xdotool windowactivate --sync "$win" 2>/dev/null
xdotool key --clearmodifiers ctrl+End
xdotool type --delay 60 " typed at the end"
# Exit from the File menu, which comes after the keys however slowly they are taken.
xdotool key --clearmodifiers alt+f
sleep 0.5
xdotool key --clearmodifiers e
if wait_for 600 bash -c "! kill -0 $pid 2>/dev/null"; then pass "Exit ended the program"; else fail "Exit did not end the program"; fi
tail=$(tail -c 200 "$notes/notes.rtf" | tr -d '\n')
if [[ "$tail" == *"last line typed at the end"* ]]; then pass "the typing reached the end of the note"; else fail "the note ends: $tail"; fi
[ "$(stat -c %s "$notes/notes.rtf")" -gt 5000000 ] && pass "the note kept its text" || fail "the note shrank"

finish_desktop_test
