#!/usr/bin/env bash
# The reminders page under Wine: opened by the bar's 定时提醒 hotkey, a daily
# reminder for the next minute added with a task of ours through the file
# dialog, the window closed; the popup rises in that minute with the kind and
# the message and runs the task after the delay; then the reminder is deleted
# from the page again and plan.edb is left empty.
#   tests/e2e/reminders_page.sh BUILD_WIN_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:?Windows build folder}" "${REMINDERS_DISPLAY:-15}" reminders_page

READ_PLAN=$BUILD_NATIVE/read_plan
[ -x "$READ_PLAN" ] || e2e_fail "no $READ_PLAN (build the native tools first)"
for t in e2e_marker e2e_texts; do [ -f "$E2E_BUILD/$t.exe" ] || e2e_fail "no $t.exe in $E2E_BUILD"; done
mkdir -p "$E2E_PROG/task"
cp "$E2E_BUILD/e2e_marker.exe" "$E2E_PROG/task/marker.exe"
MARKER=$E2E_PROG/task/marker.txt
TASK_WIN=$(winepath -w "$E2E_PROG/task/marker.exe" 2>/dev/null) || e2e_fail "winepath failed"
MESSAGE="e2e page reminder"

# Function 6 (reminders page) on Ctrl+Alt+R, 10 (exit) on Ctrl+Alt+Q.
e2e_hotkeys 6:R 10:Q
printf '[set]\r\nrun=F\r\n[mesg]\r\nshow=F\r\n[plan]\r\ndelay=3\r\nmin=F\r\n' >"$(e2e_file set.ini)"

E2E_FOCUS='^(设置Quillet|Wine System Tray)$'
plan() { "$READ_PLAN" "$(e2e_file plan.edb)" 2>/dev/null | iconv -f GBK -t UTF-8; }
# Sets page (the window) and CLIENT (its client size) here, not in a subshell.
open_page() {
    page=$(e2e_press_until ctrl+alt+r '^设置Quillet$') || e2e_fail "the settings window did not open on Ctrl+Alt+R"
    sleep 1
    read -r x y w h < <(e2e_geometry "$page")
    e2e_size_ok "$w" "$h" 606 421 || e2e_fail "settings window is ${w}x$h"
    if [ "$w" = 606 ]; then e2e_frame 3 22; CLIENT="600 396"; else CLIENT="$w $h"; fi
}
close_window() {  # ID NAME
    local i
    for i in $(seq 5); do
        xdotool windowfocus "$1" 2>/dev/null
        sleep 0.2
        xdotool key --clearmodifiers alt+F4
        e2e_wait_gone "$2" 2 && return 0
    done
    return 1
}

e2e_start
sleep 3
# The reminder's minute: at least 45 s ahead, for the typing below.
sec=$(date +%-S)
ahead=1
[ "$sec" -gt 15 ] && ahead=2
due_epoch=$(( ($(date +%s) / 60 + ahead) * 60 ))
HH=$(date -d "@$due_epoch" +%H) MM=$(date -d "@$due_epoch" +%M)
e2e_log "daily reminder at $HH:$MM (now $(date +%T))"

open_page
e2e_texts $CLIENT | grep -q '已添加提醒列表：现有0条提醒任务' || e2e_fail "the page does not count 0 reminders: $(e2e_texts $CLIENT | head -3)"
e2e_shot page

# The time, the message, then 自定义, whose file dialog opens at once. Keys
# go to the window that has the X focus.
xdotool windowfocus "$page" 2>/dev/null
sleep 0.3
e2e_click_page "$page" 82 222
xdotool type --delay 80 "$HH"
e2e_click_page "$page" 124 222
xdotool key End BackSpace BackSpace BackSpace
xdotool type --delay 80 "$MM"
e2e_click_page "$page" 200 247
xdotool type --delay 30 "$MESSAGE"
e2e_pick_item "$page" 110 265 20 4
dlg=$(e2e_wait_window '^请选择计划运行程序：$' 10) || e2e_fail "choosing 自定义 did not open the file dialog"
xdotool windowfocus "$dlg" 2>/dev/null
sleep 0.5
xdotool type --delay 20 "$TASK_WIN"
xdotool key Return
e2e_wait_gone '^请选择计划运行程序：$' 10 || e2e_fail "the file dialog did not take the path"
sleep 0.5
e2e_texts $CLIENT | grep -qF "$TASK_WIN" || e2e_fail "the task path box does not show $TASK_WIN"
e2e_shot editor
e2e_click_page "$page" 539 298
sleep 1
rows=$(plan)
e2e_log "plan.edb: $rows"
[ "$rows" = "${HH}时${MM}分|每日提醒|无|$MESSAGE|$TASK_WIN" ] || e2e_fail "plan.edb holds '$rows'"
e2e_texts $CLIENT | grep -q '现有1条提醒任务' || e2e_fail "the count label did not say 1"
e2e_shot added
close_window "$page" '^设置Quillet$' || e2e_fail "the settings window did not close"

# The popup in its minute, with the kind and the message; the task after 3 s.
popup_visible() {
    local id
    for id in $(e2e_windows_of_size 185 200); do
        xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && return 0
    done
    return 1
}
now=$(date +%s)
[ "$now" -lt "$due_epoch" ] || e2e_fail "the editing took past the due minute"
for i in $(seq $(( (due_epoch - now + 15) * 10 ))); do popup_visible && break; sleep 0.1; done
popup_visible || e2e_fail "no reminder popup at $HH:$MM"
seen=$(date +%s)
e2e_log "popup $((seen - due_epoch)) s after the due second"
[ "$seen" -ge "$due_epoch" ] && [ "$seen" -lt $((due_epoch + 5)) ] || e2e_fail "the popup came at the wrong time"
shown=$(e2e_texts 185 200)
e2e_log "popup texts: $(echo "$shown" | tr '\n' '/')"
echo "$shown" | grep -q '每日提醒' || e2e_fail "the popup's title is not the kind"
echo "$shown" | grep -qF "$MESSAGE" || e2e_fail "the popup does not show the message"
e2e_shot popup
for i in $(seq 100); do [ -f "$MARKER" ] && break; sleep 0.1; done
[ -f "$MARKER" ] || e2e_fail "the task did not run after the delay"
ran=$(date +%s)
[ $((ran - seen)) -ge 2 ] || e2e_fail "the task ran $((ran - seen)) s after the popup, before the delay"
e2e_log "task ran $((ran - seen)) s after the popup"

# Deleted again from the page: pick the row, 删除提醒, OK.
open_page
e2e_click_page "$page" 60 72
sleep 0.5
e2e_click_page "$page" 468 298
e2e_answer 删除确认 Return
sleep 1
rows=$(plan)
[ -f "$(e2e_file plan.edb)" ] && [ -z "$rows" ] || e2e_fail "plan.edb after the delete holds '$rows'"
e2e_texts $CLIENT | grep -q '现有0条提醒任务' || e2e_fail "the count label did not say 0"
e2e_shot deleted

e2e_quit ctrl+alt+q
e2e_log "PASS"
e2e_cleanup
exit 0
