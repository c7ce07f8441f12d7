#!/usr/bin/env bash
# The wallpaper changer under Wine, driven from the bar: start-up shows the
# first picture of the list (a BMP), "更换壁纸" the next (a JPEG), each made a
# 24-bit BMP of the screen's size; "暂停更换" pauses without a change and turns
# its caption into "恢复更换", which resumes with the next picture in order at
# once. Each time temp.bmp is checked against its source picture scaled to
# fill the screen, and the desktop's wallpaper values against temp.bmp; then
# the exit button.
#   tests/e2e/wallpaper.sh BUILD_WIN_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:?Windows build folder}" "${WALLPAPER_DISPLAY:-93}" wallpaper
[ -f "$E2E_BUILD/e2e_texts.exe" ] || e2e_fail "no e2e_texts.exe in $E2E_BUILD"

# In order, every 30 minutes (no tick during the test); no autostart entry, no greeting.
printf '[set]\r\nchange=T\r\nrun=F\r\n[change]\r\nmodel=1\r\ntime=30\r\n[mesg]\r\nshow=F\r\n' >"$(e2e_file set.ini)"

# A BMP and a JPEG of other sizes and colours. Each has a mark in one corner,
# so that a picture upside down or with red and blue swapped shows; the
# JPEG's width makes rows that need padding.
mkdir -p "$E2E_PROG/pics"
ONE=$E2E_PROG/pics/one.bmp TWO=$E2E_PROG/pics/two.jpg
convert -size 64x48 gradient:red-blue -fill white -draw 'rectangle 2,2 17,9' -type TrueColor "BMP3:$ONE" 2>/dev/null ||
    e2e_fail "no BMP made"
convert -size 75x50 gradient:yellow-green -fill blue -draw 'rectangle 50,36 72,47' -quality 95 "$TWO" 2>/dev/null ||
    e2e_fail "no JPEG made"
win_dir="Z:$(echo "$E2E_PROG/pics" | tr / '\\')\\"
printf '[total]\r\ncount=2\r\n[path]\r\n1=%sone.bmp\r\n2=%stwo.jpg\r\n' "$win_dir" "$win_dir" >"$(e2e_file wallpaper.ini)"

TEMP=$(e2e_file temp.bmp)
TEMP_WIN="Z:$(echo "$TEMP" | tr / '\\')"
size_of() { identify -format '%wx%h' "$1" 2>/dev/null; }
SCREEN=$(xdotool getdisplaygeometry | tr ' ' x)
snap=0
# Keeps a viewable copy of temp.bmp beside the screenshots.
keep_temp() {
    snap=$((snap + 1))
    convert "$TEMP" "$E2E_SHOTS/$E2E_NAME-temp-$snap-$1.png" 2>/dev/null || true
}

# Both pictures lose at most a quarter when they fill a 4:3 or 16:9 screen:
# what temp.bmp should look like is the picture scaled (bilinear) to cover
# the screen, its centre cut out.
expected_of() { convert "$1" -filter Triangle -resize "$SCREEN^" -gravity center -extent "$SCREEN" "$2" 2>/dev/null; }
ONE_EXP=$E2E_WORK/one-expected.png TWO_EXP=$E2E_WORK/two-expected.png
expected_of "$ONE" "$ONE_EXP" && expected_of "$TWO" "$TWO_EXP" || e2e_fail "no expected pictures made"

# rmse_to EXPECTED: normalised RMSE of temp.bmp against it.
rmse_to() { compare -metric RMSE "$1" "$TEMP" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p'; }
# wait_temp_like EXPECTED SECONDS: until temp.bmp is the screen's size and close to the picture.
wait_temp_like() {
    local r
    for _ in $(seq $(($2 * 5))); do
        if [ -f "$TEMP" ] && [ "$(size_of "$TEMP")" = "$SCREEN" ]; then
            r=$(rmse_to "$1")
            [ -n "$r" ] && awk -v r="$r" 'BEGIN {exit !(r < 0.02)}' && return 0
        fi
        sleep 0.2
    done
    return 1
}

# temp.bmp is a 24-bit BMP of the screen's size with a plain 40-byte header
# and a file size that agrees with its rows padded to 4 bytes, and its pixels
# are the picture's within what two resamplers and decoders may differ by; a
# picture upside down, on its side or with swapped channels is far off.
check_temp() {
    local hdr w h rmse
    hdr=$(od -An -tu4 -j2 -N4 "$TEMP" | tr -d ' '),$(od -An -tu4 -j14 -N4 "$TEMP" | tr -d ' '),$(od -An -tu2 -j28 -N2 "$TEMP" | tr -d ' ')
    w=${SCREEN%x*} h=${SCREEN#*x}
    [ "$(head -c2 "$TEMP")" = BM ] || e2e_fail "temp.bmp does not start with BM"
    [ "$hdr" = "$(stat -c %s "$TEMP"),40,24" ] ||
        e2e_fail "temp.bmp header (file size, header size, bits) is $hdr, file has $(stat -c %s "$TEMP") bytes"
    [ "$(stat -c %s "$TEMP")" = $((54 + (w * 3 + 3) / 4 * 4 * h)) ] || e2e_fail "temp.bmp has $(stat -c %s "$TEMP") bytes for $SCREEN"
    rmse=$(rmse_to "$1")
    e2e_log "temp.bmp against $(basename "$2") filling the screen: normalised RMSE $rmse"
    if [ -z "$rmse" ] || ! awk -v r="$rmse" 'BEGIN {exit !(r < 0.02)}'; then
        e2e_fail "temp.bmp is far from $(basename "$2") (RMSE '$rmse')"
    fi
}
check_temp_is_one() { check_temp "$ONE_EXP" "$ONE"; }
check_temp_is_two() { check_temp "$TWO_EXP" "$TWO"; }

# The wallpaper value, and the style values that show it as it is (centred,
# not tiled), read live: user.reg is written only now and then.
check_style() {
    local name v
    for name in WallpaperStyle TileWallpaper; do
        v=$(wine reg query 'HKCU\Control Panel\Desktop' /v "$name" 2>/dev/null | tr -d '\r' |
            awk -v n="$name" '$1 == n {print $NF; exit}')
        [ "$v" = 0 ] || e2e_fail "the desktop's $name is '$v', not 0"
    done
}

# The wallpaper value, read live: user.reg is written only now and then.
check_registry() {
    local v=""
    for _ in $(seq 10); do
        v=$(wine reg query 'HKCU\Control Panel\Desktop' /v Wallpaper 2>/dev/null | tr -d '\r' |
            awk '$1 == "Wallpaper" {sub(/^[ \t]*Wallpaper[ \t]+REG_SZ[ \t]+/, ""); print; exit}')
        [ "${v,,}" = "${TEMP_WIN,,}" ] && return 0
        sleep 0.5
    done
    e2e_fail "the desktop's Wallpaper value is '$v', not $TEMP_WIN"
}

# The caption of button 3 of the shown bar (the bar's client area is 121 x 300).
pause_caption() { e2e_texts 121 300 | sed -n 4p; }

# A bar function hides the bar; it is shown again once it is gone.
show_bar_again() { e2e_wait_bar_hidden && e2e_show_bar; }

# ---- start-up: the first picture ----------------------------------------------------------
e2e_start
e2e_place_tray 60 || e2e_fail "no tray icon after start-up"
wait_temp_like "$ONE_EXP" 30 || e2e_fail "no temp.bmp of one.bmp after start-up ($(size_of "$TEMP"))"
check_temp_is_one
check_registry
check_style
keep_temp start
e2e_shot started
e2e_log "start-up: temp.bmp is one.bmp at the screen's size, the desktop names it, centred"

# ---- 更换壁纸: the JPEG -----------------------------------------------------------------------
bar=$(e2e_show_bar) || e2e_fail "right click on the tray icon shows no bar"
caption=$(pause_caption)
[ "$caption" = 暂停更换 ] || e2e_fail "button 3 reads '$caption' at start-up"
e2e_shot bar
e2e_click_bar_button "$bar" 2
wait_temp_like "$TWO_EXP" 10 || e2e_fail "更换壁纸 left temp.bmp at $(size_of "$TEMP")"
check_temp_is_two
check_registry
keep_temp change
e2e_log "更换壁纸: temp.bmp is the JPEG as a 24-bit BMP of the screen's size"

# ---- 暂停更换, then 恢复更换 -------------------------------------------------------------------
before=$(md5sum <"$TEMP")
bar=$(show_bar_again) || e2e_fail "the bar does not hide after its button or does not show again"
e2e_click_bar_button "$bar" 3
bar=$(show_bar_again) || e2e_fail "the bar does not hide after its button or does not show again"
caption=$(pause_caption)
e2e_shot paused
[ "$caption" = 恢复更换 ] || e2e_fail "after the pause button 3 reads '$caption', not 恢复更换"
[ "$(md5sum <"$TEMP")" = "$before" ] || e2e_fail "the pause changed temp.bmp"
e2e_log "暂停更换: caption 恢复更换, temp.bmp kept"

e2e_click_bar_button "$bar" 3
wait_temp_like "$ONE_EXP" 10 || e2e_fail "恢复更换 did not go back to one.bmp ($(size_of "$TEMP"))"
check_temp_is_one
check_registry
keep_temp resume
resumed=$(md5sum <"$TEMP")
bar=$(show_bar_again) || e2e_fail "the bar does not hide after its button or does not show again"
caption=$(pause_caption)
e2e_shot resumed
[ "$caption" = 暂停更换 ] || e2e_fail "after the resume button 3 reads '$caption', not 暂停更换"
e2e_log "恢复更换: temp.bmp is one.bmp again, caption 暂停更换"

# ---- the exit button ------------------------------------------------------------------------
e2e_click_bar_button "$bar" 10
e2e_wait_exit "$E2E_PID" 20 || e2e_fail "the exit button does not end the program"
[ "$E2E_RC" = 0 ] || e2e_fail "exit code $E2E_RC"
e2e_wait_gone "$E2E_TRAY_NAME" 10 || e2e_fail "the tray icon lingers after the exit"
[ "$(md5sum <"$TEMP")" = "$resumed" ] || e2e_fail "temp.bmp changed at the exit"
e2e_log "exit button: exit code 0, tray icon gone"

e2e_log "PASS"
exit 0
