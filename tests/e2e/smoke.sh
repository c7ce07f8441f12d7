#!/usr/bin/env bash
# The running program end to end under Wine: start-up with a fresh folder,
# the tray icon, the bar at the pointer and its hiding, the second copy,
# the exit button, and a hotkey that ends the program.
#   tests/e2e/smoke.sh BUILD_WIN_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:?Windows build folder}" "${E2E_DISPLAY:-11}" smoke

# ---- start-up -------------------------------------------------------------------
e2e_start
first=$E2E_PID
e2e_place_tray 60 || e2e_fail "no tray icon after start-up"
kill -0 "$first" 2>/dev/null || e2e_fail "quillet.exe ended at start-up"
e2e_shot started

for _ in $(seq 50); do [ "$(e2e_ini_value "$(e2e_file set.ini)" set run)" = T ] && break; sleep 0.2; done
[ "$(e2e_ini_value "$(e2e_file set.ini)" set run)" = T ] || e2e_fail "set.ini has no [set] run = T"

# ---- the bar at the pointer ---------------------------------------------------------
bar=$(e2e_show_bar) || e2e_fail "right click on the tray icon shows no bar"
read -r bx by bw bh < <(e2e_geometry "$bar")
e2e_log "bar at $bx,$by size ${bw}x$bh (pointer $E2E_ICON_X,$E2E_ICON_Y)"
[ "$bw" = 121 ] && [ "$bh" = 300 ] || e2e_fail "bar is ${bw}x$bh, not 121x300"
[ "$bx" = $((E2E_ICON_X - 60)) ] && [ "$by" = $((E2E_ICON_Y - 300)) ] || e2e_fail "bar at $bx,$by, not at the pointer"
sleep 0.5
e2e_shot bar
convert "$E2E_SHOTS/smoke-bar.png" -crop "121x300+$bx+$by" +repage "$E2E_SHOTS/smoke-bar-only.png" 2>/dev/null || true

xdotool mousemove 400 300
e2e_wait_bar_hidden || e2e_fail "the bar stays when the pointer leaves it"
e2e_log "bar hidden after the pointer left"

# ---- a second copy ----------------------------------------------------------------------
e2e_start
second=$E2E_PID
box=$(e2e_wait_window "程序已运行" 30) || e2e_fail "the second copy shows no message box"
e2e_shot second-copy
read -r mx my mw mh < <(e2e_geometry "$box")
# The OK button is centred near the bottom of the box.
xdotool mousemove $((mx + mw / 2)) $((my + mh - 16)) click 1
sleep 0.5
kill -0 "$second" 2>/dev/null && xdotool key --window "$box" Return
e2e_wait_exit "$second" 20 || e2e_fail "the second copy does not end"
[ "$E2E_RC" = 0 ] || e2e_fail "the second copy ended with $E2E_RC, not 0"
kill -0 "$first" 2>/dev/null || e2e_fail "the first copy ended with the second"
e2e_log "second copy: message box, exit code 0; the first runs on"

# ---- the exit button ----------------------------------------------------------------------
bar=$(e2e_show_bar) || e2e_fail "the bar does not show again"
e2e_click_bar_button "$bar" 10
e2e_wait_exit "$first" 20 || e2e_fail "the exit button does not end the program"
[ "$E2E_RC" = 0 ] || e2e_fail "exit button: exit code $E2E_RC"
e2e_wait_gone "$E2E_TRAY_NAME" 10 || e2e_fail "the tray icon lingers after the exit button"
e2e_log "exit button: exit code 0, tray icon gone"

# ---- a hotkey ends the program ----------------------------------------------------------------
# Function 10 on CTRL+ALT+Q: modifier 3, key index 16, virtual key 0x51.
e2e_hotkeys 10:Q
e2e_start
third=$E2E_PID
e2e_place_tray 60 || e2e_fail "no tray icon after the restart"
# Wine sees keys only through one of its own windows: the pointer rests on its tray.
xdotool mousemove $((E2E_TRAY_X + 100)) "$E2E_ICON_Y"
sleep 0.5
xdotool key ctrl+alt+q
e2e_wait_exit "$third" 20 || e2e_fail "CTRL+ALT+Q does not end the program"
[ "$E2E_RC" = 0 ] || e2e_fail "hotkey exit: exit code $E2E_RC"
e2e_wait_gone "$E2E_TRAY_NAME" 10 || e2e_fail "the tray icon lingers after the hotkey exit"
e2e_shot after-hotkey
e2e_log "hotkey 10: exit code 0, tray icon gone"

e2e_log "PASS"
exit 0
