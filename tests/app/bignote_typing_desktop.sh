#!/usr/bin/env bash
# Steady typing in the middle of a 5 MB note on a real X desktop, new lines and all, with no pause
# long enough for a quiet moment: the program is killed once its recovery copy has caught up, and
# the copy holds the whole note with every typed line in its place and order (each copy after the
# first encodes only the paragraphs typed in since the last one).
# A screenshot while typing is kept in <build>/artifacts.
#   bignote_typing_desktop.sh <quillbox executable> <artifacts folder>
# Starts its own Xvfb with openbox as the window manager; xdotool types.
set -uo pipefail

program=$1
artifacts=$2
source "$(dirname "$0")/../desktop-session.sh"

new_profile typing 'NoSplash=1\n'
mkdir -p "$artifacts"
write_big_note "$notes/notes.rtf" "words"

start_desktop
start_program
pid=$program_pid
wait_for 300 main_window_visible || { fail "the main window did not appear"; finish_desktop_test; }
win=$(main_window)
sleep 0.5
import -window root "$work/loading.png" 2>/dev/null
note_shown() {
    import -window root "$work/now.png" 2>/dev/null
    local differ
    differ=$(compare -metric AE "$work/loading.png" "$work/now.png" null: 2>&1)
    awk -v d="${differ%% *}" 'BEGIN {exit !(d + 0 > 2000)}'
}
wait_for 1200 note_shown || { fail "the note never showed"; finish_desktop_test; }

# At the end of the fourth line, then some 25 seconds of typing: two copies at least are made
# while it goes on, at most 10 s apart.
xdotool windowactivate --sync "$win" 2>/dev/null
xdotool key --clearmodifiers ctrl+Home Down Down Down End
rounds=30
started=$(date +%s)
for k in $(seq 1 $rounds); do
    xdotool type --delay 70 " steady $k typed"
    xdotool key Return
    [ "$k" -eq 20 ] && import -window root "$artifacts/bignote-typing.png" 2>/dev/null
done
echo "typed $rounds lines in $(($(date +%s) - started)) s"

copy_path() { find "$XDG_DATA_HOME" -name note1.rtf -path '*recovery*' | head -n1; }
caught_up() { grep -q "steady $rounds typed" "$(copy_path)"; }
wait_for 600 caught_up && pass "the recovery copy caught up with the typing" || fail "no recovery copy with the last line"
kill -9 "$pid" 2>/dev/null
wait "$pid" 2>/dev/null

python3 - "$(copy_path)" "$rounds" <<'PY' && pass "the copy holds the whole note and every typed line in order" \
    || fail "the copy lost or misplaced text"
import re, sys
data = open(sys.argv[1], encoding="latin-1", newline="").read()
rounds = int(sys.argv[2])
lines = [int(n) for n in re.findall(r"line (\d+)\\b0 ", data)]
typed = [int(n) for n in re.findall(r"steady (\d+) typed", data)]
ok = lines == list(range(len(lines))) and len(lines) > 50000 and typed == list(range(1, rounds + 1))
start = data.find(" words steady 1 typed\\par")
end = data.find("\\b line 4\\b0 ")
ok = ok and data.endswith("\\pard last line\\par\r\n}\r\n") and 0 < start < end
ok = ok and all(data.find(" steady %d typed\\par" % k, start, end) > 0 for k in range(2, rounds + 1))
if not ok:
    print("lines", len(lines), "sequential", lines == list(range(len(lines))), "typed", typed)
    print("around the typing:", repr(data[start - 80:start + 80]), repr(data[end - 80:end + 20]))
sys.exit(0 if ok else 1)
PY
[ -s "$artifacts/bignote-typing.png" ] && pass "screenshot kept as artifacts/bignote-typing.png" || fail "no screenshot"

finish_desktop_test
