#!/usr/bin/env bash
# The sticky note under Wine: opened by its hotkey, typed into, docked at the
# right edge with auto-hide, slid back by the pointer, its text kept over an
# exit and brought back on the next start.
#   tests/e2e/note.sh BUILD_WIN_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:?Windows build folder}" "${NOTE_DISPLAY:-13}" note

SW=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]; exit}')
TEXT="hello note 42"

# Function 5 (note) on Ctrl+Alt+N, function 10 (exit) on Ctrl+Alt+Q.
e2e_hotkeys 5:N 10:Q

geometry() { e2e_geometry "$1"; }

# Keys reach Wine, and so its hotkeys, only while one of its windows has the
# focus; without a window manager nobody gives it, so the tray window takes it.
focus_wine() {
    local tray
    tray=$(xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -1)
    [ -n "$tray" ] && xdotool windowfocus "$tray" 2>/dev/null
    sleep 0.2
}
left_of() { geometry "$1" | awk '{print $1}'; }

# Presses a hotkey until a window named NAME shows (the first presses may come
# before the hotkeys are registered).
open_note() {
    local i id
    for i in $(seq 15); do
        focus_wine
        xdotool key --clearmodifiers ctrl+alt+n
        id=$(e2e_wait_window '^随手记录$' 1) && { echo "$id"; return 0; }
    done
    return 1
}

quit_quillet() {
    local i rc
    for i in $(seq 10); do
        focus_wine
        xdotool key --clearmodifiers ctrl+alt+q
        rc=$(e2e_wait_exit "$E2E_PID" 2) && { echo "$rc"; return 0; }
    done
    return 1
}

# Waits until the window's left edge is X; prints the last seen left.
wait_left() {
    local id=$1 want=$2 i l
    for i in $(seq 30); do
        l=$(left_of "$id")
        [ "$l" = "$want" ] && { echo "$l"; return 0; }
        sleep 0.1
    done
    echo "$l"
    return 1
}

# --- first run ---------------------------------------------------------------
e2e_start
sleep 3
note=$(open_note) || e2e_fail "the note did not open on Ctrl+Alt+N"
read -r x y w h < <(geometry "$note")
e2e_log "note at $x,$y size ${w}x$h"
[ "$w" = 150 ] && [ "$h" = 270 ] || e2e_fail "note is ${w}x$h, not 150x270"
[ "$x" = 0 ] && [ "$y" = 0 ] || e2e_fail "a first note opens at $x,$y, not 0,0"
e2e_shot opened

# Type into the text box.
xdotool windowfocus "$note" 2>/dev/null
xdotool mousemove $((x + 75)) $((y + 120)) click 1
sleep 0.3
xdotool type --delay 40 "$TEXT"
sleep 0.5
e2e_shot typed
# A pause in typing writes the recovery file, so a crash would keep the text.
sleep 2
[ "$(cat "$(e2e_file note.recover)" 2>/dev/null)" = "$TEXT" ] || e2e_fail "no recovery file while typing"

# Drag it to the middle by its title while pinned: it stays on screen.
xdotool mousemove $((x + 75)) $((y + 11)) mousedown 1
sleep 0.3
xdotool mousemove 400 200
sleep 0.3
xdotool mousemove 420 220
sleep 0.3
xdotool mouseup 1
sleep 0.7
read -r x y w h < <(geometry "$note")
e2e_log "dragged to $x,$y"
[ "$x" -gt 100 ] && [ "$x" -lt 800 ] || e2e_fail "the drag did not move the note (left $x)"

# Auto-hide on (固定按钮), then drag past the right edge: it parks with 5 pixels visible.
xdotool mousemove $((x + 48)) $((y + 254)) click 1
sleep 0.5
xdotool mousemove $((x + 75)) $((y + 11)) mousedown 1
sleep 0.3
xdotool mousemove $((SW - 60)) $((y + 11))
sleep 0.3
xdotool mousemove $((SW - 40)) $((y + 11))
sleep 0.3
xdotool mouseup 1
sleep 0.3
xdotool mousemove 500 600
l=$(wait_left "$note" $((SW - 5))) || e2e_fail "parked note's left is $l, not $((SW - 5))"
e2e_log "parked at left $l"
read -r x y w h < <(geometry "$note")
e2e_shot parked

# The pointer at the edge slides it into view; leaving it parks it again.
xdotool mousemove $((SW - 1)) $((y + 100))
l=$(wait_left "$note" $((SW - 150))) || e2e_fail "the note did not slide into view (left $l)"
e2e_shot revealed
xdotool mousemove 300 $((y + 100))
l=$(wait_left "$note" $((SW - 5))) || e2e_fail "the note did not park again (left $l)"

# Exit: the text is kept in the recovery file.
quit_quillet >/dev/null || e2e_fail "Quillet did not exit on Ctrl+Alt+Q"
recover=$(e2e_file note.recover)
[ -f "$recover" ] || e2e_fail "no recovery file after exit"
[ "$(cat "$recover")" = "$TEXT" ] || e2e_fail "recovery file holds '$(cat "$recover")'"
saved_left=$(e2e_ini_value "$(e2e_file set.ini)" desktext left)
[ "$saved_left" = $((SW - 150)) ] || e2e_fail "saved left is '$saved_left', not $((SW - 150))"

# --- second run: the note comes back with its text, fully visible --------------
e2e_stop
e2e_start
sleep 3
note=$(open_note) || e2e_fail "the note did not open on the second run"
sleep 0.5
# The file stays until the text is saved or let go: a crash now loses nothing.
[ "$(cat "$recover" 2>/dev/null)" = "$TEXT" ] || e2e_fail "the recovery file went when the note opened"
read -r x y w h < <(geometry "$note")
[ "$x" = $((SW - 150)) ] || e2e_fail "reopened at left $x, not $((SW - 150))"
e2e_shot restored
# The text is in the note: a second exit keeps it again.
quit_quillet >/dev/null || e2e_fail "Quillet did not exit the second time"
[ "$(cat "$recover" 2>/dev/null)" = "$TEXT" ] || e2e_fail "the restored note did not hold the text"

e2e_log "PASS"
e2e_cleanup
exit 0
