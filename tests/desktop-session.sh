# Shared by the real-desktop test scripts (sourced, not run): a work folder cleaned up on exit,
# pass/fail counting, polling, finding the main window, and a private X server with openbox as the
# window manager.

work=$(mktemp -d)
failures=0
pids=()

cleanup() {
    # Last started first, so the X server goes after its clients.
    for ((k = ${#pids[@]} - 1; k >= 0; k--)); do kill "${pids[k]}" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "PASS: $*"; }

# Polls a command until it succeeds, up to $1 tenths of a second.
wait_for() {
    local tenths=$1
    shift
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# The main window is the large window titled "Quillbox Plus"; the tray icon carries the title too.
large_windows() {
    for w in "$@"; do
        [ "$(xwininfo -id "$w" | awk '/Width:/ {print $2}')" -gt 100 ] && echo "$w"
    done
}
main_window() { large_windows $(xdotool search --name '^Quillbox Plus$') | head -n1; }
main_window_visible() { large_windows $(xdotool search --onlyvisible --name '^Quillbox Plus$') | grep -q .; }

# Our own X server and window manager. Other real-desktop tests start theirs at the same time, so
# the server picks a free display itself (-displayfd), and openbox is started again if it gave up.
start_desktop() {
    Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    if ! wait_for 100 test -s "$work/display"; then
        echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")"
        exit 1
    fi
    export DISPLAY=:$(head -n1 "$work/display")
    wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
    for attempt in 1 2 3; do
        openbox --sm-disable >>"$work/openbox.log" 2>&1 &
        pids+=($!)
        wait_for 100 wm_up && break
    done
    wm_up || { echo "FAIL: openbox did not come up: $(cat "$work/openbox.log")"; exit 1; }
}

# The accessibility bus on the session bus (the script runs in a dbus-run-session of its own), and
# Qt told to register the program's windows there, so that AT-SPI can read them.
start_accessibility_bus() {
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
    pids+=($!)
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
}

# trayer as the notification area, docked at the bottom right.
start_tray() {
    trayer --edge bottom --align right --widthtype request --height 32 --SetDockType true \
        --transparent false --tint 0x404040 >>"$work/trayer.log" 2>&1 &
    trayer_pid=$!
    pids+=("$trayer_pid")
    wait_for 150 xdotool search --classname panel || fail "trayer did not come up: $(cat "$work/trayer.log")"
}

# The icon trayer embedded: a child of trayer's panel that belongs to us.
tray_icon() {
    local panel
    for panel in $(xdotool search --classname panel); do
        xwininfo -tree -id "$panel" | awk '/"quillbox"/ {print $1; exit}'
    done | head -n1
}
has_tray_icon() { [ -n "$(tray_icon)" ]; }
centre_of() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                             /Width:/ {w=$2} /Height:/ {h=$2} END {print x + int(w/2), y + int(h/2)}'
}

# The tray menu in view: a window of ours outside the window manager's care, like the embedded
# icon and its tooltip, but tall enough for two items.
tray_menu() {
    for w in $(xdotool search --onlyvisible --classname quillbox); do
        xwininfo -id "$w" | awk '/Override Redirect State: yes/ {o = 1} /Height:/ {h = $2}
                                 END {exit !(o && h >= 36)}' && { echo "$w"; return 0; }
    done
    return 1
}
menu_open() { tray_menu >/dev/null; }

# Waits until a window has stood still for half a second (up to 4 s): a window just shown is
# still being framed and placed, and a minimise sent meanwhile may be undone by the placing.
wait_until_settled() {
    local last="" now same=0
    for ((i = 0; i < 40 && same < 5; i++)); do
        now=$(xwininfo -id "$1" 2>/dev/null | awk '/Absolute upper-left|Width:|Height:/ {printf "%s ", $NF}')
        if [ -n "$now" ] && [ "$now" = "$last" ]; then same=$((same + 1)); else same=0; fi
        last=$now
        sleep 0.1
    done
}

# The outer (frame) rectangle as the window manager placed it, as "left,top widthxheight": the
# client's place and size widened by the frame the window manager reports.
frame_geometry() {
    local extents
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
    xwininfo -id "$1" | awk -v e="${extents:-0,0,0,0}" '
        BEGIN {split(e, f, ",")}
        /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2}
        END {print x - f[1] "," y - f[3], w + f[1] + f[2] "x" h + f[3] + f[4]}'
}
# The frame rectangle once it has stopped changing: the window manager frames and places a window
# in a few steps after it is mapped.
settled_geometry() {
    local last="" now same=0
    for ((k = 0; k < 40; k++)); do
        now=$(frame_geometry "$1")
        if [ "$now" = "$last" ]; then
            same=$((same + 1))
            [ "$same" -ge 4 ] && break
        else
            same=0
        fi
        last=$now
        sleep 0.2
    done
    echo "$now"
}

# A profile of its own for the next start: config, data and note folders under $work/<name>, and
# an INI with the note directory and the setting lines given (printf %b escapes). Sets notes, ini.
new_profile() {
    local name=$1 settings=$2
    export XDG_CONFIG_HOME=$work/$name/config XDG_DATA_HOME=$work/$name/data
    notes=$work/$name/notes
    ini="$XDG_CONFIG_HOME/Quillbox Plus/Quillbox Plus.ini"
    mkdir -p "$(dirname "$ini")" "$notes" "$XDG_DATA_HOME"
    printf '[Settings]\nAutoCompletion=NO\nNetwork=%s\n%b' "$notes" "$settings" >"$ini"
}

# Starts $program in the background with its output in the log; program_pid is its process.
start_program() {
    "$program" >>"$work/program.log" 2>&1 &
    program_pid=$!
    pids+=("$program_pid")
}

# Writes a note of about 5 MB to $1: numbered lines "line <n> of a big note with some <$2>",
# the number bold and "some" italic, then "last line".
write_big_note() {
    python3 - "$1" "$2" <<'PY'
import sys
parts = ["{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs20 "]
size, i = 0, 0
while size < 5 * 1024 * 1024:
    line = "\\b line %d\\b0  of a big note with \\i some\\i0  %s\\par\n" % (i, sys.argv[2])
    parts.append(line)
    size += len(line)
    i += 1
parts.append("last line}")
open(sys.argv[1], "w").write("".join(parts))
PY
}

# Ends a desktop test: a sanitizer report in the program's output counts as a failure; on any
# failure the program's output and the windows on the desktop are shown and the test fails.
finish_desktop_test() {
    if grep -q -E 'ERROR: AddressSanitizer|runtime error:' "$work/program.log" 2>/dev/null; then
        fail "the sanitizers reported an error"
    fi
    if [ "$failures" -ne 0 ]; then
        echo "--- program log"; cat "$work/program.log"
        echo "--- windows"; xwininfo -root -tree 2>/dev/null | grep -v 'has no name'
        exit 1
    fi
    exit 0
}
