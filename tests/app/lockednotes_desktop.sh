#!/usr/bin/env bash
# A locked note in the real program on a real X desktop: File > Lock Note encrypts it; what is
# typed into it afterwards never reaches a disk in plain, not even when the program is killed; the
# next start shows the tab locked, a wrong passphrase changes no file, the right one opens the note
# and offers the crash's recovery copy back; gpg opens the note file with the documented command.
# Screenshots go to <build>/artifacts.
#   lockednotes_desktop.sh <quillbox executable> <artifacts folder>
set -uo pipefail

program=$1
artifacts=$2
source "$(dirname "$0")/../desktop-session.sh"
mkdir -p "$artifacts"
shot() { import -window root "$artifacts/lockednotes-$1.png" 2>/dev/null || echo "(no screenshot $1)"; }

export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
passphrase='correct horse battery'
# Made up here so that no file holds it before the test types it.
word=$(printf 'quo%skazan%s' kka "$$")

new_profile locked 'NoSplash=1\n'
printf '{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0 shopping list\\par}' >"$notes/notes.rtf"

exited() { ! kill -0 "$program_pid" 2>/dev/null; }
window_up() {
    wait_for 300 main_window_visible || { fail "the main window did not appear"; finish_desktop_test; }
    win=$(main_window)
    xdotool windowactivate --sync "$win" 2>/dev/null
}
into_note() {
    read -r x y < <(centre_of "$win")
    xdotool mousemove "$x" "$((y + 40))" click 1
    xdotool key --clearmodifiers ctrl+End
}
dialog_named() { xdotool search --onlyvisible --name "^$1\$"; }
# Files anywhere under the test's home, note directory, data and /tmp whose bytes hold the word.
plain_traces() { grep -rl --binary-files=text -F "$word" "$work" /tmp 2>/dev/null; }
locked_file=$notes/notes.rtf.gpg

start_desktop
start_program
window_up
into_note
xdotool key --clearmodifiers alt+f l
wait_for 50 dialog_named 'Lock Note' || fail "Lock Note did not open"
xdotool key --clearmodifiers alt+p
xdotool type --delay 10 "$passphrase"
xdotool key --clearmodifiers alt+r
xdotool type --delay 10 "$passphrase"
shot lock-dialog
xdotool key --clearmodifiers Return
wait_for 200 test -f "$locked_file" && pass "the note is locked as notes.rtf.gpg" || fail "no notes.rtf.gpg"
wait_for 50 test ! -e "$notes/notes.rtf" && pass "the plain note file is gone" || fail "notes.rtf is still there"

# Typed into the open locked note, then the program is killed: the recovery copy is encrypted.
into_note
xdotool type --delay 15 " and $word"
recovery_copy() { find "$XDG_DATA_HOME/Quillbox Plus/recovery" -name note1.rtf | head -n1; }
has_recovery_copy() { [ -n "$(recovery_copy)" ]; }
wait_for 100 has_recovery_copy || fail "no recovery copy was written: $(find "$XDG_DATA_HOME")"
sleep 1
shot typed-in-locked-note
kill -9 "$program_pid"
wait "$program_pid" 2>/dev/null
traces=$(plain_traces)
[ -z "$traces" ] && pass "no file holds the typed word in plain after the kill" || fail "the word is in plain in: $traces"
packets=$(gpg --list-packets --batch "$(recovery_copy)" 2>&1 </dev/null)
grep -q '^# off=0 .*tag=3 ' <<<"$packets" && pass "the recovery copy is passphrase-encrypted OpenPGP" \
    || fail "the recovery copy is not encrypted: $packets"

# The next start shows the tab locked; a wrong passphrase changes nothing on disk.
# Every file but the settings (the window's place is written at start) and gpg's own home.
snapshot() { find "$notes" "$XDG_DATA_HOME" "$HOME" -type f -print0 2>/dev/null | sort -z | xargs -0 md5sum; }
before=$(snapshot)
start_program
window_up
sleep 1
shot locked-at-start
xdotool type --delay 10 'wrong horse battery'
xdotool key --clearmodifiers Return
sleep 4
shot wrong-passphrase
[ "$(snapshot)" = "$before" ] && pass "a wrong passphrase left every file as it was" || fail "files changed after a wrong passphrase"

# The right one opens the note and offers back what the kill would have lost.
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 10 "$passphrase"
xdotool key --clearmodifiers Return
wait_for 200 dialog_named 'Quillbox Plus' || true
offer() { xdotool search --onlyvisible --name '^Quillbox Plus$' | while read -r w; do
    [ "$w" != "$win" ] && echo "$w"; done | grep -q .; }
if wait_for 200 offer; then
    shot recovery-offer
    pass "the crash's recovery copy is offered once the note is unlocked"
    xdotool key --clearmodifiers Return
else
    fail "no recovery offer after unlocking"
fi
sleep 1
shot unlocked
xdotool key --clearmodifiers F8
wait_for 200 exited && pass "Exit ended the program" || fail "Exit did not end the program"

traces=$(plain_traces)
[ -z "$traces" ] && pass "no file holds the typed word in plain after exit" || fail "the word is in plain in: $traces"
gpg --batch --pinentry-mode loopback --passphrase "$passphrase" --decrypt "$locked_file" >"$work/decrypted.rtf" 2>"$work/gpg.log" \
    && pass "gpg decrypts the note file" || fail "gpg could not decrypt: $(cat "$work/gpg.log")"
head -c 5 "$work/decrypted.rtf" | grep -q '{\\rtf' && grep -q -F "$word" "$work/decrypted.rtf" \
    && pass "the decrypted note is RTF holding the typed word" || fail "the decrypted note lacks the word"
rm -f "$work/decrypted.rtf"

finish_desktop_test
