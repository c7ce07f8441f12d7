#!/usr/bin/env bash
# Instructions (callgrind) of one scheduler tick beside one read of set.ini,
# and of saving a table of 1,000 reminders beside one write of the same bytes.
# Each figure is (run of N iterations - run of 0) / N, measured in this run.
# Builds (Release) in its own folder unless given one:
#   tools/bench_reminders.sh [NATIVE_BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-$root/build-bench}
[ -f "$BUILD/CMakeCache.txt" ] || cmake -S "$root" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" --target bench_tick -j2 >/dev/null
TOOL=$BUILD/bench_tick
command -v valgrind >/dev/null || { echo "valgrind is needed" >&2; exit 1; }
OUT=$(mktemp -d)
trap 'rm -rf "$OUT"' EXIT

instructions() {  # MODE N
    valgrind --tool=callgrind --callgrind-out-file="$OUT/cg.$1.$2" "$TOOL" "$1" "$2" >/dev/null 2>"$OUT/log.$1.$2"
    awk '/^summary:/ {print $2}' "$OUT/cg.$1.$2"
}
per_op() {  # MODE N
    local base full
    base=$(instructions "$1" 0)
    full=$(instructions "$1" "$2")
    echo $(( (full - base) / $2 ))
}

tick=$(per_op tick 200)
ini=$(per_op ini 200)
save=$(per_op save 5)
write=$(per_op write 5)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
printf '%-40s %12s instructions\n' "one scheduler tick (50 reminders)" "$tick"
printf '%-40s %12s instructions\n' "one read of set.ini (1.2 KB)" "$ini"
printf '%-40s %12s\n' "tick / ini read" "$(ratio "$tick" "$ini")"
printf '%-40s %12s instructions\n' "save 1,000 reminders" "$save"
printf '%-40s %12s instructions\n' "one write of the same bytes" "$write"
printf '%-40s %12s\n' "save / write" "$(ratio "$save" "$write")"
