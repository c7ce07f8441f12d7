#!/usr/bin/env bash
# Screenshots of the main bar, the settings window and the note under Wine at
# 96, 120 and 144 DPI, to look at by eye: sharp text, the bar's cut-away.
#   tools/dpi_shots.sh BUILD_WIN_DIR [DPI...]
# Writes BUILD_WIN_DIR/e2e-shots/dpiNNN-{bar,settings,note}.png (each cut to
# its window) and dpiNNN-screen.png.
set -uo pipefail
build=${1:?Windows build folder}
shift
dpis=("$@")
[ ${#dpis[@]} -gt 0 ] || dpis=(96 120 144)
source "$(dirname "$0")/../tests/e2e/lib.sh"

# shot NAME WINDOW_ID: the window alone, cut from the whole screen.
shot() {
    local x y w h
    read -r x y w h < <(e2e_geometry "$2")
    import -window root "$E2E_SHOTS/$E2E_NAME-screen.png" 2>/dev/null
    convert "$E2E_SHOTS/$E2E_NAME-screen.png" -crop "${w}x$h+$x+$y" +repage "$E2E_SHOTS/$E2E_NAME-$1.png" &&
        e2e_log "$1: ${w}x$h at $x,$y -> $E2E_SHOTS/$E2E_NAME-$1.png"
}

for dpi in "${dpis[@]}"; do
    name=$(printf 'dpi%03d' "$dpi")
    e2e_init "$build" "${E2E_DISPLAY:-92}" "$name"
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w
    # Function 5 (note) on Ctrl+Alt+N, 8 (settings) on Ctrl+Alt+S; no autostart entry.
    e2e_hotkeys 5:N 8:S
    printf '[set]\r\nrun=F\r\n' >"$(e2e_file set.ini)"
    e2e_start
    e2e_place_tray 60 || e2e_fail "no tray icon"
    bar=$(e2e_show_bar) || e2e_fail "no bar"
    sleep 1
    shot bar "$bar"
    xdotool mousemove 400 300
    e2e_wait_bar_hidden || true
    settings=$(e2e_press_until ctrl+alt+s '^设置Quillet$') || e2e_fail "no settings window"
    sleep 1
    shot settings "$settings"
    note=$(e2e_press_until ctrl+alt+n '^随手记录$') || e2e_fail "no note"
    sleep 1
    shot note "$note"
    e2e_cleanup
done
