#!/usr/bin/env bash
# Typing on a real X desktop while the note directory goes away and comes back: every key pressed
# reaches the note (no box pops up to take them), the notice bar tells of it, and closing writes
# the note. The screenshot with the notice is kept in <build>/artifacts.
#   notes_desktop.sh <quillbox executable> <artifacts folder>
# Starts its own Xvfb with openbox as the window manager; xdotool presses the keys.
set -uo pipefail

program=$1
artifacts=$2
source "$(dirname "$0")/../desktop-session.sh"

export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
notes=$work/notes
ini="$XDG_CONFIG_HOME/Quillbox Plus/Quillbox Plus.ini"
mkdir -p "$(dirname "$ini")" "$notes" "$XDG_DATA_HOME" "$artifacts"
printf '[Settings]\nNoSplash=1\nAutoCompletion=NO\nNetwork=%s\n' "$notes" >"$ini"
printf '{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 start\\par}' >"$notes/notes.rtf"

start_desktop
"$program" >>"$work/program.log" 2>&1 &
pid=$!
pids+=("$pid")
wait_for 300 main_window_visible || { fail "the main window did not appear"; cat "$work/program.log"; exit 1; }
win=$(main_window)
xdotool windowactivate --sync "$win" 2>/dev/null
# Into the note, at its end.
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove --window "$win" $((WIDTH / 2)) $((HEIGHT / 2)) click 1
xdotool key --clearmodifiers ctrl+End

# Steady typing for about ten seconds; the directory goes away after the first words.
words=(one two three four five six seven eight nine ten eleven twelve thirteen fourteen fifteen
       sixteen seventeen eighteen nineteen twenty)
typed=""
for i in "${!words[@]}"; do
    [ "$i" -eq 3 ] && mv "$notes" "$work/notes-away"
    xdotool type --delay 60 " ${words[i]}"
    typed+=" ${words[i]}"
done
windows=$(xdotool search --onlyvisible --pid "$pid" | while read -r w; do large_windows "$w"; done | wc -l)
[ "$windows" -eq 1 ] && pass "no other window came up while typing" || fail "$windows windows of ours in view"
import -window root "$artifacts/notes-directory-away.png" 2>/dev/null \
    && pass "screenshot kept as artifacts/notes-directory-away.png" || fail "no screenshot"

mv "$work/notes-away" "$notes"
kill -TERM "$pid"
if wait_for 100 bash -c "! kill -0 $pid 2>/dev/null"; then pass "closing did not wait on anything"; else fail "SIGTERM did not end the program"; fi
text=$(tr -d '\n' <"$notes/notes.rtf")
if [[ "$text" == *"start$typed"* ]]; then pass "every key reached the note"; else fail "note holds: $text"; fi

finish_desktop_test
