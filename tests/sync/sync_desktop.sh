#!/usr/bin/env bash
# Two computers keeping their notes in a folder that Syncthing syncs, played by two real programs
# with their own settings on one X desktop and two Syncthing instances on loopback.
#   sync_desktop.sh <quillbox executable> <screenshot directory>
# An edit on one side reaches the other side's tab; with syncing paused both sides change the same
# note, and once it resumes nothing typed on either side is lost and both are told of the second
# version. What a program tells is read from its log.
set -uo pipefail

program=$1
shots=$2
here=$(dirname "$0")

mkdir -p "$shots"
source "$here/../desktop-session.sh"
source "$here/syncthing-pair.sh"
shot() { import -window root "$shots/$1.png" 2>/dev/null || echo "(no screenshot $1)"; }

for tool in syncthing curl python3 xdotool xclip import; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (scripts/dev.sh installs it)"; exit 1; }
done

start_desktop
mkdir -p "$work/a/notes" "$work/b/notes"
st_start_pair "$work/a/notes" "$work/b/notes"

# start_machine <a|b> <x>: the program with its own settings and data on that side's note directory.
start_machine() {
    local side=$1 ini="$work/$1/config/Quillbox Plus/Quillbox Plus.ini"
    mkdir -p "$(dirname "$ini")" "$work/$side/data"
    # Side by side (the place is in twips), so that a click meant for one never lands on the other.
    printf '[Settings]\nNoSplash=1\nAutoCompletion=NO\nNetwork=%s\nCoordsX=%s\nCoordsY=600\n' \
        "$work/$side/notes" "$2" >"$ini"
    XDG_CONFIG_HOME=$work/$side/config XDG_DATA_HOME=$work/$side/data \
        QT_LOGGING_RULES="quillbox.safety.info=true" \
        "$program" >>"$work/$side/program.log" 2>&1 &
    pids+=($!)
    printf -v "pid_$side" '%s' "$!"
    wait_for 300 window_of "$side" || { fail "the program on side $side did not show its window"; return 1; }
}
# The program's main window: the widest of its windows in view (its title names the shown tab).
window_of() {
    local pid_var=pid_$1 w
    for w in $(xdotool search --onlyvisible --pid "${!pid_var}"); do
        echo "$(xwininfo -id "$w" | awk '/Width:/ {print $2}') $w"
    done | sort -rn | awk '$1 > 300 {print $2; exit}' | grep .
}

# Clicks into the shown tab's text, then sends keys or text there.
into_note() {
    local win
    win=$(window_of "$1") || return 1
    xdotool windowactivate --sync "$win" 2>/dev/null
    eval "$(xdotool getwindowgeometry --shell "$win")"
    xdotool mousemove --window "$win" $((WIDTH / 2)) $((HEIGHT / 2)) click 1
}
type_line() {
    into_note "$1" || return 1
    xdotool key --clearmodifiers ctrl+End Return
    xdotool type --delay 15 "$2"
}
# Opening the Find and Replace window takes the focus from the note, which writes it.
save_point() {
    into_note "$1" || return 1
    xdotool key --clearmodifiers ctrl+f
    sleep 0.5
    xdotool key --clearmodifiers Escape
}
tab_text() {
    into_note "$1" || return 1
    xdotool key --clearmodifiers ctrl+a ctrl+c
    xclip -o -selection clipboard 2>/dev/null
}
tab_has() { tab_text "$1" | grep -qF "$2"; }
file_has() { grep -qF "$2" "$work/$1/notes/notes.rtf" 2>/dev/null; }
# Everything kept in a note directory: the notes and any second versions beside them.
kept_in() { cat "$work/$1"/notes/*.rtf 2>/dev/null | grep -cF "$2"; }
conflict_copy_in() { ls "$work/$1/notes/" | grep -q '^notes\.sync-conflict-.*\.rtf$'; }
told() { grep -qF "$2" "$work/$1/program.log"; }

start_machine a 150 && start_machine b 9750 || exit 1

# --- An edit travels ---------------------------------------------------------------------------
type_line a "Milk from the first computer"
save_point a
wait_for 100 file_has a "Milk from the first computer" || fail "the first computer did not write its note"
if wait_for 300 file_has b "Milk from the first computer"; then pass "Syncthing delivered the note"; else fail "the note did not reach the second directory"; fi
if wait_for 200 tab_has b "Milk from the first computer"; then
    pass "the edit appears in the second computer's tab"
else
    fail "the second tab shows: $(tab_text b)"
fi
shot sync-delivered

# The second computer writes its own line on top; the first receives it in turn.
type_line b "Bread from the second computer"
save_point b
if wait_for 300 tab_has a "Bread from the second computer"; then
    pass "an edit travels back"
else
    fail "the first tab shows: $(tab_text a)"
fi
tab_has a "Milk from the first computer" || fail "the first computer lost its own line"
if ls "$work"/?/notes | grep -q 'conflict'; then
    fail "a plain delivery was taken for a conflict: $(ls "$work"/?/notes)"
else
    pass "no conflict from a plain delivery"
fi

# --- Both change the note while syncing is paused ----------------------------------------------
st_wait_in_sync || fail "the two directories did not agree before the pause"
st_pause_sync || fail "syncing could not be paused"
type_line a "Eggs typed on the first computer"
save_point a
type_line b "Tea typed on the second computer"
save_point b
wait_for 100 file_has a "Eggs typed" && wait_for 100 file_has b "Tea typed" \
    || fail "the programs did not write their notes while syncing was paused"
st_resume_sync || fail "syncing could not be resumed"
st_wait_in_sync || fail "the two directories did not agree after the pause"
if conflict_copy_in a && conflict_copy_in b; then
    pass "Syncthing kept a second version"
else
    fail "no conflict copy: $(ls "$work/a/notes" "$work/b/notes")"
fi
for side in a b; do
    if wait_for 200 told "$side" "second version"; then
        pass "side $side was told of the second version"
    else
        fail "side $side was not told of the second version"
    fi
done
shot sync-conflict-notice

# Nothing typed on either side is lost: in the notes or in the second versions beside them.
for side in a b; do
    for line in "Milk from the first computer" "Bread from the second computer" "Eggs typed on the first computer" \
        "Tea typed on the second computer"; do
        [ "$(kept_in "$side" "$line")" -ge 1 ] || fail "side $side lost \"$line\""
    done
done

# Setup names the synced folder under the note directory.
setup_shown() { xdotool search --onlyvisible --pid "$pid_a" --name '^Setup' | grep -q .; }
into_note a && xdotool key --clearmodifiers ctrl+s
wait_for 100 setup_shown || fail "Setup did not open"
sleep 1 # its first paint
shot sync-setup
xdotool key --clearmodifiers Escape

# Closing both programs writes nothing stale over the other side's text.
for side in a b; do
    pid_var=pid_$side
    kill -TERM "${!pid_var}"
    wait_for 200 bash -c "! kill -0 ${!pid_var} 2>/dev/null" || fail "the program on side $side did not end"
done
st_wait_in_sync || fail "the two directories did not agree after both programs closed"
cmp -s "$work/a/notes/notes.rtf" "$work/b/notes/notes.rtf" || fail "the two note files differ after closing"
for line in "Milk from the first computer" "Bread from the second computer" "Eggs typed on the first computer" \
    "Tea typed on the second computer"; do
    [ "$(kept_in a "$line")" -ge 1 ] || fail "closing lost \"$line\""
done
if ls "$work"/?/notes | grep -q '(conflict '; then fail "a program made a conflict copy of its own: $(ls "$work"/?/notes)"; fi

for side in a b; do
    if grep -q -E 'ERROR: AddressSanitizer|runtime error:' "$work/$side/program.log"; then
        fail "the sanitizers reported an error on side $side"
    fi
done
if [ "$failures" -ne 0 ]; then
    for side in a b; do
        echo "--- program log $side"; cat "$work/$side/program.log"
        echo "--- notes $side"; ls -la "$work/$side/notes"
    done
    exit 1
fi
exit 0
