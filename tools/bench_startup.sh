#!/usr/bin/env bash
# Start-up benchmark under Wine: time from process start to the tray icon,
# and the process's memory once it has settled (resident, and of it the
# private anonymous part, RssAnon), for quillet.exe beside a
# minimal Win32 tray program built here; printed with their ratios.
#   tools/bench_startup.sh BUILD_WIN_DIR [RUNS]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/tests/e2e/lib.sh"
BUILD=$(cd "${1:?Windows build folder}" && pwd)
RUNS=${2:-5}
e2e_init "$BUILD" "${E2E_DISPLAY:-11}" bench

BASE=$E2E_WORK/tray_baseline.exe
x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -Wextra -Werror -static -mwindows \
    -o "$BASE" "$ROOT/tools/win32/tray_baseline.cpp" || { echo "baseline build failed" >&2; exit 1; }

# One wineserver and desktop for every run, so no run pays for starting them.
wineserver -p
(cd "$E2E_WORK" && wine cmd /c exit) >/dev/null 2>&1

now_ms() { echo $(($(date +%s%N) / 1000000)); }
tray_up() { [ -n "$(xdotool search --onlyvisible --name 'Wine System Tray' 2>/dev/null | head -1)" ]; }

# run_one DIR EXE: prints "ms_to_tray rss_kb private_kb" for one start in DIR.
run_one() {
    local dir=$1 exe=$2 t0 t1 pid rss anon i
    t0=$(now_ms)
    (cd "$dir" && exec wine "$exe") >/dev/null 2>&1 &
    pid=$!
    for i in $(seq 1500); do tray_up && break; sleep 0.01; done
    t1=$(now_ms)
    tray_up || { kill "$pid" 2>/dev/null; echo "no tray icon from $exe" >&2; return 1; }
    sleep 2
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    anon=$(awk '/^RssAnon/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    for i in $(seq 300); do tray_up || break; sleep 0.02; done
    echo "$((t1 - t0)) ${rss:-0} ${anon:-0}"
}

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

q_ms=() q_kb=() q_pv=() b_ms=() b_kb=() b_pv=()
for r in $(seq "$RUNS"); do
    # A fresh program folder each time: the first start of a new user.
    rm -rf "$E2E_PROG" && mkdir -p "$E2E_PROG" && cp "$BUILD/quillet.exe" "$E2E_PROG/"
    read -r ms kb pv < <(run_one "$E2E_PROG" quillet.exe) || exit 1
    q_ms+=("$ms") q_kb+=("$kb") q_pv+=("$pv")
    read -r ms kb pv < <(run_one "$E2E_WORK" tray_baseline.exe) || exit 1
    b_ms+=("$ms") b_kb+=("$kb") b_pv+=("$pv")
    echo "run $r: quillet ${q_ms[-1]} ms ${q_kb[-1]} KB (${q_pv[-1]} KB private)," \
         "baseline ${b_ms[-1]} ms ${b_kb[-1]} KB (${b_pv[-1]} KB private)" >&2
done

qm=$(printf '%s\n' "${q_ms[@]}" | median) bm=$(printf '%s\n' "${b_ms[@]}" | median)
qk=$(printf '%s\n' "${q_kb[@]}" | median) bk=$(printf '%s\n' "${b_kb[@]}" | median)
qp=$(printf '%s\n' "${q_pv[@]}" | median) bp=$(printf '%s\n' "${b_pv[@]}" | median)
echo "median of $RUNS runs under Wine:"
printf '  start to tray icon: quillet %s ms, baseline %s ms, ratio %.2f\n' "$qm" "$bm" "$(echo "$qm / $bm" | bc -l)"
printf '  resident memory:    quillet %s KB, baseline %s KB, ratio %.2f\n' "$qk" "$bk" "$(echo "$qk / $bk" | bc -l)"
printf '  private memory:     quillet %s KB, baseline %s KB, ratio %.2f\n' "$qp" "$bp" "$(echo "$qp / $bp" | bc -l)"
printf '  executable size:    quillet %s B, baseline %s B\n' "$(stat -c %s "$BUILD/quillet.exe")" "$(stat -c %s "$BASE")"
