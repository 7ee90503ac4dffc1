#!/usr/bin/env bash
# The real program on a real X desktop with its note directory on a small disk that fills up, and
# on a read-only one: a 30 KB paste that does not fit leaves the note file as it was and the text
# in the window and in a recovery copy; closing on the full disk keeps the text in "Recovered
# notes", and the next start puts it back into its tab; a read-only note directory is told at
# start. Screenshots go to <build>/artifacts.
#   writefailures_desktop.sh <quillbox executable> <artifacts folder>
# Mounts a tmpfs and a read-only bind mount, so it needs root (as CI has); elsewhere it is skipped.
set -uo pipefail

program=$1
artifacts=$2
source "$(dirname "$0")/../desktop-session.sh"
mkdir -p "$artifacts"
shot() { import -window root "$artifacts/writefailures-$1.png" 2>/dev/null || echo "(no screenshot $1)"; }

disk=$work/disk
mkdir -p "$disk"
if ! mount -t tmpfs -o size=24k tmpfs "$disk" 2>"$work/mount.log"; then
    [ -n "${CI:-}" ] && { echo "FAIL: cannot mount a tmpfs: $(cat "$work/mount.log")"; exit 1; }
    echo "SKIP: needs root to mount a small disk: $(cat "$work/mount.log")"
    exit 77
fi
unmount_all() { umount -l "$disk" "$work/ro-view" 2>/dev/null; }
trap 'unmount_all; cleanup' EXIT

exited() { ! kill -0 "$program_pid" 2>/dev/null; }
into_note() {
    wait_for 300 main_window_visible || { fail "the main window did not appear"; finish_desktop_test; }
    win=$(main_window)
    xdotool windowactivate --sync "$win" 2>/dev/null
    read -r x y < <(centre_of "$win")
    xdotool mousemove "$x" "$((y + 40))" click 1
    xdotool key --clearmodifiers ctrl+End
}
recovered() { find "$XDG_DATA_HOME/Quillbox Plus/Recovered notes" -name "*$1" 2>/dev/null | head -n1; }

# A profile whose note directory is $1.
profile_in() { new_profile "$2" 'NoSplash=1\n'; sed -i "s|^Network=.*|Network=$1|" "$ini"; }

profile_in "$disk" full
printf '{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0 start\\par}' >"$disk/notes.rtf"
before=$(md5sum <"$disk/notes.rtf")
python3 -c 'print("".join("pasted line %d of a long paste\n" % i for i in range(1100)), end="")' >"$work/paste.txt"

start_desktop
start_program
into_note
xclip -selection clipboard -i "$work/paste.txt"
xdotool key --clearmodifiers ctrl+v
sleep 0.5
# Setup takes the keyboard: a save point for the note.
xdotool key --clearmodifiers ctrl+s
wait_for 50 xdotool search --onlyvisible --name '^Setup' || fail "Setup did not open"
xdotool key --clearmodifiers Escape
sleep 1
shot full-disk-paste
[ "$(md5sum <"$disk/notes.rtf")" = "$before" ] && pass "the note file is as it was" || fail "the note file changed: $(wc -c <"$disk/notes.rtf") bytes"
[ -z "$(find "$disk" -name '.*.tmp')" ] && pass "no temporary file is left" || fail "left: $(ls -a "$disk")"
copy=$(find "$XDG_DATA_HOME/Quillbox Plus/recovery" -name note1.rtf | head -n1)
grep -q 'pasted line 1099 of a long paste' "$copy" 2>/dev/null && pass "the paste is in a recovery copy" \
    || fail "no recovery copy with the paste"

# A few polls of the watcher later the note file is still not taken for a change made elsewhere.
sleep 4
[ "$(md5sum <"$disk/notes.rtf")" = "$before" ] || fail "the note file changed while waiting"

# Closing on the full disk: the text goes to "Recovered notes", the note file stays.
dd if=/dev/zero of="$disk/filler" bs=1k count=100 2>/dev/null
xdotool key --clearmodifiers F8
wait_for 100 exited && pass "Exit ended the program" || fail "Exit did not end the program"
[ "$(md5sum <"$disk/notes.rtf")" = "$before" ] && pass "closing left the note file as it was" \
    || fail "closing changed the note file: $(wc -c <"$disk/notes.rtf") bytes"
grep -q 'pasted line 1099' "$(recovered notes.rtf)" 2>/dev/null && pass "the paste is in Recovered notes" \
    || fail "Recovered notes holds: $(ls "$XDG_DATA_HOME/Quillbox Plus/Recovered notes" 2>&1)"

# With room again, the next start puts the text back into its tab and tells so; Exit writes it.
rm -f "$disk/filler"
mount -o remount,size=256k "$disk" || fail "cannot make room on the small disk"
start_program
into_note
sleep 1
shot restored-at-start
xdotool key --clearmodifiers F8
wait_for 100 exited || fail "Exit did not end the program after the restore"
grep -q 'pasted line 1099 of a long paste' "$disk/notes.rtf" && pass "the restored paste reached the note file" \
    || fail "the note file lacks the paste after the restore"

# A read-only note directory is told at start; the text typed goes to Recovered notes at exit.
mkdir -p "$work/ro-view" "$work/ro-source"
printf '{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0 kept\\par}' >"$work/ro-source/notes.rtf"
mount --bind "$work/ro-source" "$work/ro-view" && mount -o remount,bind,ro "$work/ro-view" \
    || fail "cannot make a read-only mount"
profile_in "$work/ro-view" readonly
start_program
into_note
xdotool type --delay 20 " typed into a read-only folder"
sleep 0.5
shot read-only-start
xdotool key --clearmodifiers F8
wait_for 100 exited || fail "Exit did not end the program in the read-only folder"
grep -q 'typed into a read-only folder' "$(recovered notes.rtf)" 2>/dev/null \
    && pass "the text typed into the read-only folder is in Recovered notes" || fail "the typed text was lost"

finish_desktop_test
