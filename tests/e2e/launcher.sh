#!/usr/bin/env bash
# The quick launcher under Wine: opened by its hotkey, a program dropped on a
# slot (the shell's WM_DROPFILES, sent by a helper), a group named from its
# tab, the shortcut clicked and the program started; then the group console
# on the settings page inserts, renames and deletes a group in APrg.
#   tests/e2e/launcher.sh BUILD_WIN_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:?Windows build folder}" "${E2E_DISPLAY:-15}" launcher
for t in e2e_marker e2e_drop; do
    [ -f "$E2E_BUILD/$t.exe" ] || e2e_fail "no $t.exe in $E2E_BUILD"
done
mkdir -p "$E2E_WORK/apps"
cp "$E2E_BUILD/e2e_marker.exe" "$E2E_WORK/apps/marker.exe"
cp "$E2E_BUILD/e2e_drop.exe" "$E2E_WORK/drop.exe"
MARKER=$E2E_WORK/apps/marker.txt
APP_WIN=$(winepath -w "$E2E_WORK/apps/marker.exe" 2>/dev/null) || e2e_fail "winepath failed"
TITLE='当前选定组：组'

# Function 7 (launcher) on Ctrl+Alt+L, 8 (settings) on Ctrl+Alt+S, 10 (exit) on Ctrl+Alt+Q.
e2e_hotkeys 7:L 8:S 10:Q
printf '[set]\r\nrun=F\r\n' >"$(e2e_file set.ini)"
GRP=$E2E_PROG/APrg

E2E_FOCUS='^(当前选定组：.*|设置Quillet|Wine System Tray)$'
helper() { (cd "$E2E_WORK" && wine drop.exe "$@" 2>/dev/null | tr -d '\r'); }
# The client area of the window TITLE on the screen: left top width height.
where() { helper where "$1"; }
total() { e2e_ini_value "$(e2e_file set.ini)" acprg total; }
# Types text into the focused box of an input box and confirms it.
answer_input() {  # TITLE TEXT
    local box
    box=$(e2e_wait_window "^$1\$" 10) || e2e_fail "no input box '$1'"
    xdotool windowfocus "$box" 2>/dev/null
    sleep 0.3
    xdotool key ctrl+a
    xdotool type --delay 60 "$2"
    xdotool key Return
    e2e_wait_gone "^$1\$" 10 || e2e_fail "the input box '$1' stayed"
}

e2e_start
sleep 3
launcher=$(e2e_press_until ctrl+alt+l "^$TITLE\$") || e2e_fail "the launcher did not open on Ctrl+Alt+L"
sleep 1
read -r cx cy cw ch < <(where "$TITLE")
read -r x y w h < <(e2e_geometry "$launcher")
e2e_log "launcher client at $cx,$cy size ${cw}x$ch; X window ${w}x$h"
[ "$cw" = 480 ] && [ "$ch" = 205 ] || e2e_fail "the client area is ${cw}x$ch, not 480x205"
[ -d "$GRP" ] || e2e_fail "no APrg folder after the first opening"
e2e_shot opened

# Slot 5 (column 1, row 1): the drop takes the slot under the pointer.
xdotool mousemove $((cx + 120 + 60)) $((cy + 25 + 30 + 15))
sleep 0.3
helper drop "$TITLE" "$APP_WIN" || e2e_fail "the drop helper failed"
sleep 0.5
[ "$(e2e_ini_value "$GRP/grp1.ini" 5 path)" = "$APP_WIN" ] ||
    e2e_fail "grp1.ini [5] path is '$(e2e_ini_value "$GRP/grp1.ini" 5 path)'"
[ "$(e2e_ini_value "$GRP/grp1.ini" 5 btncaption)" = marker ] || e2e_fail "slot 5 caption is not marker"
e2e_shot dropped

# The group's name from its tab (right button on 组1); the drop made its file,
# so total stays as it was.
xdotool mousemove $((cx + 32 + 26)) $((cy + 12)) click 3
answer_input '组更名' 'Tools'
[ "$(e2e_ini_value "$GRP/grp1.ini" set grpname)" = Tools ] || e2e_fail "the tab rename did not write grpname"
TITLE='当前选定组：Tools'
e2e_wait_window "^$TITLE\$" 5 >/dev/null || e2e_fail "the caption did not follow the new name"

# A click on the shortcut starts the program and closes the window.
xdotool mousemove $((cx + 120 + 60)) $((cy + 25 + 30 + 15)) click 1
for i in $(seq 50); do [ -f "$MARKER" ] && break; sleep 0.2; done
[ -f "$MARKER" ] || e2e_fail "the shortcut did not start marker.exe"
e2e_wait_gone "^$TITLE\$" 10 || e2e_fail "the launcher stayed open after the launch"
e2e_log "the shortcut started the program: $(cat "$MARKER" | tr -d '\r')"

# The group console: tab 3 of the settings window.
printf '\r\n[acprg]\r\ntotal=1\r\n' >>"$(e2e_file set.ini)"
settings=$(e2e_press_until ctrl+alt+s '^设置Quillet$') || e2e_fail "the settings window did not open"
sleep 1
read -r sx sy sw sh < <(where '设置Quillet')
page() { xdotool mousemove $((sx + 8 + $1)) $((sy + 6 + $2)) click 1; sleep 0.5; }
# The fourth tab, "快捷程序", lies at about 200..250 in the strip with the program's SimSun 9.
page 224 10
sleep 0.8
e2e_shot console
page 60 118  # the list's first item
page 548 132  # 向下插入
sleep 0.5
[ "$(e2e_ini_value "$GRP/grp2.ini" set grpname)" = 组 ] || e2e_fail "insert below did not make grp2.ini named 组"
[ "$(total)" = 2 ] || e2e_fail "total is '$(total)' after the insert"
# The name box has the focus with the new name selected: typing replaces it.
xdotool windowfocus "$settings" 2>/dev/null
sleep 0.3
xdotool type --delay 60 'Games'
xdotool key Return
sleep 0.5
[ "$(e2e_ini_value "$GRP/grp2.ini" set grpname)" = Games ] || e2e_fail "Enter in the name box did not rename group 2"
e2e_shot inserted
page 548 276  # 删除选定
e2e_answer 删除组确认 Return
sleep 0.5
[ ! -f "$GRP/grp2.ini" ] || e2e_fail "grp2.ini is still there after the delete"
[ -f "$GRP/grp1.ini" ] || e2e_fail "grp1.ini went with the delete"
[ "$(total)" = 1 ] || e2e_fail "total is '$(total)' after the delete"
e2e_shot deleted

e2e_quit ctrl+alt+q

e2e_log "PASS"
e2e_cleanup
exit 0
