#!/usr/bin/env bash
# Reminders under Wine: the greeting rises at start-up and sinks by itself; a
# daily reminder one minute ahead pops up at the bottom right in its minute
# and, after [plan] delay seconds, runs its task (a marker-writing program).
#   tests/e2e/reminders.sh BUILD_WIN_DIR
set -uo pipefail
source "$(dirname "$0")/lib.sh"
e2e_init "${1:?Windows build folder}" "${REMINDERS_DISPLAY:-12}" reminders

NATIVE=$BUILD_NATIVE
MAKE_PLAN=$NATIVE/make_plan
[ -x "$MAKE_PLAN" ] || e2e_fail "no $MAKE_PLAN (build the native tools first)"
[ -f "$E2E_BUILD/e2e_marker.exe" ] || e2e_fail "no e2e_marker.exe in $E2E_BUILD"

mkdir -p "$E2E_PROG/任务"
cp "$E2E_BUILD/e2e_marker.exe" "$E2E_PROG/任务/marker.exe"
MARKER=$E2E_PROG/任务/marker.txt
TASK_WIN=$(winepath -w "$E2E_PROG/任务/marker.exe" 2>/dev/null) || e2e_fail "winepath failed"

# Wine keeps the host's local time: the reminder's minute is computed with it.
# Leave at least 25 s for start-up before the due minute.
sec=$(date +%-S)
ahead=1
[ "$sec" -gt 35 ] && ahead=2
due_epoch=$(( ($(date +%s) / 60 + ahead) * 60 ))
due_hm=$(date -d "@$due_epoch" +%H时%M分)
e2e_log "daily reminder at $due_hm (now $(date +%T))"
"$MAKE_PLAN" "$E2E_PROG/plan.edb" "$due_hm" "每日提醒" "无" "端到端测试提醒" "$TASK_WIN" >/dev/null ||
    e2e_fail "make_plan failed"

printf '[set]\r\nrun=F\r\n[plan]\r\ndelay=3\r\nmin=F\r\n' >"$E2E_PROG/set.ini"

popup_window() { e2e_windows_of_size 185 200 | head -1; }
wait_popup() {
    local secs=$1 i id
    for i in $(seq $((secs * 10))); do
        id=$(popup_window)
        if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'; then echo "$id"; return 0; fi
        sleep 0.1
    done
    return 1
}
wait_no_popup() {
    local secs=$1 i id
    for i in $(seq $((secs * 10))); do
        id=$(popup_window)
        if [ -z "$id" ] || ! xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'; then return 0; fi
        sleep 0.1
    done
    return 1
}
# Waits until the popup stands still; prints "X Y W H".
settled_geometry() {
    local id=$1 last="" g i
    for i in $(seq 30); do
        g=$(e2e_geometry "$id")
        [ -n "$last" ] && [ "$g" = "$last" ] && { echo "$g"; return 0; }
        last=$g
        sleep 0.2
    done
    echo "$last"
}

read -r SW SH < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]; exit}')

# --- greeting -----------------------------------------------------------------
start=$(date +%s)
e2e_start
greet=$(wait_popup 20) || e2e_fail "no greeting popup at start-up"
read -r gx gy gw gh < <(settled_geometry "$greet")
e2e_log "greeting at $gx,$gy size ${gw}x$gh"
e2e_shot greeting
[ "$gw" = 185 ] && [ "$gh" = 200 ] || e2e_fail "greeting is ${gw}x$gh"
[ "$gx" = $((SW - 185)) ] || e2e_fail "greeting left $gx, not $((SW - 185))"
[ "$gy" -le $((SH - 200)) ] && [ "$gy" -ge $((SH - 260)) ] || e2e_fail "greeting top $gy is not just above the bottom"
wait_no_popup 15 || e2e_fail "the greeting did not sink away"
e2e_log "greeting gone after $(( $(date +%s) - start )) s"

# --- the reminder -----------------------------------------------------------------
now=$(date +%s)
[ "$now" -lt "$due_epoch" ] || e2e_fail "start-up took past the due minute"
pop=$(wait_popup $((due_epoch - now + 15))) || e2e_fail "no reminder popup at $due_hm"
seen=$(date +%s)
e2e_log "reminder popup $((seen - due_epoch)) s after the due second"
[ "$seen" -ge "$due_epoch" ] || e2e_fail "the popup came before its minute"
[ "$seen" -lt $((due_epoch + 5)) ] || e2e_fail "the popup came late"
read -r px py pw ph < <(settled_geometry "$pop")
e2e_shot reminder
e2e_log "reminder popup at $px,$py size ${pw}x$ph"
[ "$pw" = 185 ] && [ "$ph" = 200 ] && [ "$px" = $((SW - 185)) ] || e2e_fail "popup at $px,$py ${pw}x$ph"
[ "$py" -le $((SH - 200)) ] && [ "$py" -ge $((SH - 260)) ] || e2e_fail "popup top $py"
[ ! -f "$MARKER" ] || e2e_fail "the task ran before the delay"

# delay = 3: the task runs some seconds after the rise, and the popup goes.
for i in $(seq 100); do [ -f "$MARKER" ] && break; sleep 0.1; done
[ -f "$MARKER" ] || e2e_fail "the task did not run after the delay"
ran=$(date +%s)
e2e_log "task ran $((ran - seen)) s after the popup appeared: $(tr -d '\r' <"$MARKER")"
[ $((ran - seen)) -ge 2 ] || e2e_fail "the task ran too early"
wait_no_popup 5 || e2e_fail "the popup stayed after its task"
e2e_shot after

e2e_stop
e2e_log "PASS"
