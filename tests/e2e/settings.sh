#!/usr/bin/env bash
# The settings and about windows under Wine: the settings window opened by
# its hotkey, start with Windows ticked and unticked against the registry,
# a hotkey chosen for 随手记录 on the page, applied and pressed, and the
# about window with its help text. Screenshots of both windows.
#   tests/e2e/settings.sh BUILD_WIN_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:?Windows build folder}" "${SETTINGS_DISPLAY:-14}" settings
cp "$E2E_LIB_DIR/../../resources/Quillet使用说明.txt" "$E2E_PROG/"

RUN_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
# Function 8 (settings) on Ctrl+Alt+S, 9 (about) on Ctrl+Alt+I, 10 (exit) on Ctrl+Alt+Q.
e2e_hotkeys 8:S 9:I 10:Q
# Start-up writes the autostart entry unless [set] run is "F": start without it.
printf '[set]\r\nrun=F\r\n' >"$(e2e_file set.ini)"

run_value() { wine reg query "$RUN_KEY" /v Quillet 2>/dev/null | tr -d '\r' | awk '/Quillet/ {print $NF}'; }

e2e_start
sleep 3
settings=$(e2e_press_until ctrl+alt+s '^设置Quillet$') || e2e_fail "the settings window did not open on Ctrl+Alt+S"
sleep 1
read -r x y w h < <(e2e_geometry "$settings")
e2e_log "settings window at $x,$y size ${w}x$h"
e2e_size_ok "$w" "$h" 606 421 || e2e_fail "settings window is ${w}x$h, not 606x421"
[ "$w" = 606 ] && e2e_frame 3 22
e2e_shot settings

# A second Ctrl+Alt+S brings the same window forward, no second one.
e2e_focus_wine
xdotool key --clearmodifiers ctrl+alt+s
sleep 1
n=$(xdotool search --onlyvisible --name '^设置Quillet$' 2>/dev/null | wc -l)
[ "$n" = 1 ] || e2e_fail "$n settings windows after the second Ctrl+Alt+S"

# Start with Windows: the box writes and removes the Run value.
[ -z "$(run_value)" ] || e2e_fail "a Run value before the box was ticked"
e2e_click_page "$settings" 24 38
v=$(run_value)
e2e_log "Run value after ticking: $v"
case "$v" in *quillet.exe) ;; *) e2e_fail "ticking 启动选择框 wrote '$v'" ;; esac
[ "$(e2e_ini_value "$(e2e_file set.ini)" set run)" = T ] || e2e_fail "[set] run is not T after ticking"
e2e_click_page "$settings" 24 38
[ -z "$(run_value)" ] || e2e_fail "unticking left the Run value '$(run_value)'"
[ "$(e2e_ini_value "$(e2e_file set.ini)" set run)" = F ] || e2e_fail "[set] run is not F after unticking"

# 随手记录 (function 5) on ALT+CTRL (modifier 3) + N, then apply.
e2e_pick_item "$settings" 137 259 20 5
e2e_pick_item "$settings" 73 284 20 3
e2e_pick_item "$settings" 160 284 20 13
hk=$(e2e_file hotkey.ini)
[ "$(e2e_ini_value "$hk" 5 function)" = 3 ] && [ "$(e2e_ini_value "$hk" 5 keyvalue)" = 78 ] ||
    e2e_fail "hotkey.ini [5] holds function '$(e2e_ini_value "$hk" 5 function)' keyvalue '$(e2e_ini_value "$hk" 5 keyvalue)'"
e2e_shot hotkey-chosen
e2e_click_page "$settings" 102 343
sleep 0.5
note=$(e2e_press_until ctrl+alt+n '^随手记录$') || e2e_fail "the applied Ctrl+Alt+N did not open the note"
e2e_log "Ctrl+Alt+N opened the note ($note)"

# The about window, with the help text beside the program.
about=$(e2e_press_until ctrl+alt+i '^Quillet简介$') || e2e_fail "the about window did not open on Ctrl+Alt+I"
sleep 1
read -r x y w h < <(e2e_geometry "$about")
e2e_log "about window at $x,$y size ${w}x$h"
e2e_size_ok "$w" "$h" 602 454 || e2e_fail "about window is ${w}x$h, not 602x454"
e2e_shot about
# A click into the help text leaves the focus on 关  闭: the space bar presses it.
e2e_click_in "$about" 300 200
xdotool windowfocus "$about" 2>/dev/null
xdotool key space
e2e_wait_gone '^Quillet简介$' 10 || e2e_fail "the space bar after a click into the text did not close the about window"

e2e_focus_wine
e2e_quit ctrl+alt+q

e2e_log "PASS"
e2e_cleanup
exit 0
