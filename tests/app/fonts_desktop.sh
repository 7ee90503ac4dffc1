#!/usr/bin/env bash
# The font commands in the real program on a real X desktop, with real keys: the Font dialog (F5)
# opens in front of a window kept on top and, closed with Enter at once, leaves the note file as
# it was; a size typed into the size box and a name typed into the name box are applied on Enter,
# each leaving the other as it was. Screenshots go to <artifacts>.
#   fonts_desktop.sh <quillbox executable> <artifacts folder>
# Runs in a D-Bus session of its own with the accessibility bus, which tells where the boxes are.
set -uo pipefail

if [ -z "${FONTS_DESKTOP_SESSION:-}" ]; then
    FONTS_DESKTOP_SESSION=1 exec dbus-run-session -- "$0" "$@"
fi

program=$1
artifacts=$2
here=$(dirname "$0")
source "$here/../desktop-session.sh"
mkdir -p "$artifacts"
shot() { import -window root "$artifacts/fonts-$1.png" 2>/dev/null || echo "(no screenshot $1)"; }

start_accessibility_bus

new_profile fonts 'NoSplash=1\nOnTop=yes\n'
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
# One line per check: sizes 9, 9, 10.5 bold in a family the dialog shows by a stand-in, plain
# DejaVu Sans (no style of it is called "Regular"), and a line partly italic.
printf '%s' '{\rtf1\ansi{\fonttbl{\f0 DejaVu Sans;}{\f1 Sans Serif;}}
\f0\fs18 nine point size\par
\f0\fs18 nine point name\par
\f1\b\fs21 bold half point\b0\par
\f0\fs20 plain words\par
\f0\fs20 partly \i italic\i0  words\par}' >"$notes/notes.rtf"
before=$(md5sum <"$notes/notes.rtf")

exited() { ! kill -0 "$program_pid" 2>/dev/null; }
into_note() {
    wait_for 300 main_window_visible || { fail "the main window did not appear"; finish_desktop_test; }
    win=$(main_window)
    wait_until_settled "$win"
    xdotool windowactivate --sync "$win" 2>/dev/null
    read -r x y < <(centre_of "$win")
    xdotool mousemove "$x" "$((y + 40))" click 1
}
# Selects line $1 of the note with the keyboard.
select_line() {
    xdotool key --clearmodifiers ctrl+Home
    for ((k = 1; k < $1; k++)); do xdotool key --clearmodifiers Down; done
    xdotool key --clearmodifiers Home shift+End
}
font_dialog() { xdotool search --onlyvisible --name '^Font$' | head -n1; }
has_font_dialog() { [ -n "$(font_dialog)" ]; }
# Bottom to top, as the window manager stacks its windows.
stacked_above() {
    local order
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | cut -d'#' -f2)
    local a b k=0
    for w in $order; do
        [ "$((w))" -eq "$(($1))" ] && a=$k
        [ "$((w))" -eq "$(($2))" ] && b=$k
        k=$((k + 1))
    done
    [ -n "${a:-}" ] && [ -n "${b:-}" ] && [ "$a" -gt "$b" ]
}
exit_program() {
    xdotool key --clearmodifiers F8
    wait_for 100 exited || fail "Exit did not end the program"
}
# The font name and size in which the note file has the given text.
font_of() {
    python3 - "$notes/notes.rtf" "$1" <<'PY'
import re, sys
rtf, wanted = open(sys.argv[1]).read(), sys.argv[2]
fonts = {m.group(1): m.group(2).strip() for m in re.finditer(r"\\f(\d+)(?:\\[a-z]+\d*\s?)*\s*([^;{}\\]+);", rtf)}
state, stack, text = {"f": "0", "fs": "24"}, [], []
for token in re.finditer(r"\\([a-z]+)(-?\d+)? ?|([{}])|([^\\{}\r\n]+)", rtf):
    word, number, brace, plain = token.groups()
    if brace == "{":
        stack.append(dict(state))
    elif brace == "}":
        state = stack.pop() if stack else state
    elif word in ("f", "fs") and number is not None:
        state[word] = number
    elif word == "plain":
        state.update({"f": "0", "fs": "24"})
    elif plain:
        text.append((plain, dict(state)))
for plain, s in text:
    if wanted in plain:
        print("%s %g" % (fonts.get(s["f"], "?"), int(s["fs"]) / 2))
        break
PY
}

start_desktop
start_program
into_note

# F5 then Enter on each line of its own: the dialog is in front of the window kept on top, and OK
# without a change changes nothing.
closed=0
for line in 3 4 5; do
    select_line "$line"
    xdotool key --clearmodifiers F5
    if ! wait_for 50 has_font_dialog; then
        fail "F5 showed no Font dialog on line $line"
        continue
    fi
    dialog=$(font_dialog)
    wait_until_settled "$dialog"
    if [ "$line" -eq 3 ]; then
        shot dialog-on-top
        if stacked_above "$dialog" "$win"; then pass "the Font dialog is in front of the window kept on top"
        else fail "the Font dialog is behind the main window"; fi
    fi
    xdotool key --clearmodifiers Return
    if wait_for 50 bash -c '! xdotool search --onlyvisible --name "^Font$"'; then
        closed=$((closed + 1))
    else
        shot "enter-failed-$line"
        fail "Enter did not close the Font dialog on line $line"
    fi
done
exit_program
if [ "$(md5sum <"$notes/notes.rtf")" != "$before" ]; then
    fail "OK without a change changed the note: $(cat "$notes/notes.rtf")"
elif [ "$closed" -eq 3 ]; then
    pass "OK without a change left the note as it was"
fi

# Typed into the boxes, then Enter.
box_centre() { /usr/bin/python3 "$here/atspi_centre.py" "$program_pid" "combo box" "$1"; }
type_into_box() {
    local centre
    if ! centre=$(box_centre "$1"); then
        fail "no \"$1\" box on the accessibility bus"
        return
    fi
    read -r x y <<<"$centre"
    xdotool mousemove "$x" "$y" click 1
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 30 "$2"
    xdotool key --clearmodifiers Return
}
start_program
into_note
select_line 1
type_into_box "Font size" 14
select_line 2
type_into_box "Font name" "DejaVu Serif"
sleep 0.5
shot boxes-typed
exit_program
size_line=$(font_of "nine point size")
name_line=$(font_of "nine point name")
[ "$size_line" = "DejaVu Sans 14" ] && pass "14 typed into the size box made the line 14 points" \
    || fail "after 14 in the size box the line is '$size_line'"
[ "$name_line" = "DejaVu Serif 9" ] && pass "a name typed into the name box changed the font only" \
    || fail "after DejaVu Serif in the name box the line is '$name_line'"
[ "$(font_of "bold half point")" = "Sans Serif 10.5" ] || fail "the other lines changed: $(cat "$notes/notes.rtf")"

finish_desktop_test
