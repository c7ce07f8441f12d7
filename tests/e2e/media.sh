#!/usr/bin/env bash
# The wallpaper and music page under Wine: its first visit loads the picture
# list, a row shows its preview, a row unticked by its box is left
# out when the list is confirmed, and the music list shows a track's tag.
# Screenshots of the page with the preview and with the tag.
#   tests/e2e/media.sh BUILD_WIN_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:?Windows build folder}" "${MEDIA_DISPLAY:-${E2E_DISPLAY:-15}}" media

# Function 8 (settings) on Ctrl+Alt+S, 10 (exit) on Ctrl+Alt+Q; no autostart entry.
e2e_hotkeys 8:S 10:Q
printf '[set]\r\nrun=F\r\n[change]\r\ntime=30\r\n' >"$(e2e_file set.ini)"

# Two pictures and a tagged track beside the program, listed by their Wine paths.
mkdir -p "$E2E_PROG/pics"
convert -size 64x48 gradient:red-blue "$E2E_PROG/pics/one.bmp" 2>/dev/null || e2e_fail "no picture made"
convert -size 40x30 xc:green "$E2E_PROG/pics/two.jpg" 2>/dev/null || e2e_fail "no picture made"
python3 - "$E2E_PROG/pics/song.mp3" <<'PY'
import sys
tag = b'TAG' + b'Song'.ljust(30, b' ') + b'Singer'.ljust(30, b'\0') + b'Album'.ljust(30, b'\0') + b'1999' \
      + b'Nice'.ljust(28, b'\0') + b'\0\x05' + bytes([17])
open(sys.argv[1], 'wb').write(b'\xff\xfb\x90\x00' * 100 + tag)
PY
win_dir="Z:$(echo "$E2E_PROG/pics" | tr / '\\')\\"
printf '[total]\r\ncount=2\r\n[path]\r\n1=%sone.bmp\r\n2=%stwo.jpg\r\n' "$win_dir" "$win_dir" >"$(e2e_file wallpaper.ini)"
printf '[total]\r\ncount=1\r\n[path]\r\n1=%ssong.mp3\r\n' "$win_dir" >"$(e2e_file mp3.ini)"

E2E_FOCUS='^(设置Quillet|Wine System Tray)$'
E2E_CLICK_PAUSE=0.5

e2e_start
sleep 3
settings=$(e2e_press_until ctrl+alt+s '^设置Quillet$') || e2e_fail "the settings window did not open on Ctrl+Alt+S"
sleep 1
read -r x y w h < <(e2e_geometry "$settings")
e2e_size_ok "$w" "$h" 606 421 || e2e_fail "settings window is ${w}x$h, not 606x421"
[ "$w" = 606 ] && e2e_frame 3 22

# The second tab, "壁纸\音乐", lies right of "程序设置" on the strip.
e2e_click_page "$settings" 90 10
sleep 1
# The first row of the list (under its header): select it, then untick the second by its box.
e2e_click_page "$settings" 80 88
sleep 0.5
e2e_shot preview
e2e_click_page "$settings" 22 104
sleep 0.3
# 确认添加: one file written, then the box that says so: a small unnamed
# window of the program over the settings window, its OK button low in the middle.
e2e_click_page "$settings" 508 313
# A loaded machine may take a few seconds to write and show the box.
box=
for _ in $(seq 75); do
    box=$(xwininfo -root -tree 2>/dev/null | awk '/has no name/ && /quillet.exe/ {split($NF, p, "+"); split($(NF-1), s, "x");
          split(s[2], hh, "+"); if (hh[1] < 150 && s[1] > 100) {print p[2], p[3], s[1], hh[1]; exit}}')
    [ -n "$box" ] && break
    sleep 0.2
done
e2e_shot confirmed
[ -n "$box" ] || e2e_fail "no message box after the confirm"
read -r bx by bw bh <<<"$box"
e2e_log "message box ${bw}x$bh at $bx,$by"
xdotool mousemove $((bx + bw / 2)) $((by + bh - 20)) click 1
sleep 0.5
wp=$(e2e_file wallpaper.ini)
count=$(e2e_ini_value "$wp" total count)
first=$(e2e_ini_value "$wp" path 1)
second=$(e2e_ini_value "$wp" path 2)
e2e_log "wallpaper.ini after the confirm: count=$count 1=$first 2=$second"
[ "$count" = 1 ] || e2e_fail "[total] count is '$count', not 1"
case "$first" in *one.bmp) ;; *) e2e_fail "[path] 1 is '$first'" ;; esac
[ -z "$second" ] || e2e_fail "the unticked row was written: '$second'"

# The music list: the drop-down's second item, then the track's row shows its tag.
e2e_click_page "$settings" 60 42
e2e_click_page "$settings" 60 $((52 + 14 + 7))
sleep 0.8
e2e_click_page "$settings" 80 88
sleep 0.5
e2e_shot tag

e2e_focus_wine
e2e_quit ctrl+alt+q
e2e_log "PASS"
e2e_cleanup
exit 0
