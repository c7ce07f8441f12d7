#!/bin/sh
# Builds (Release) and runs the INI benchmark on real files: a batch of 10,000
# changes against one bare write of the same bytes, and a batch of 50,000
# against one of 10,000 (the cost should grow linearly).
#   tools/bench_ini.sh [build folder] [folder for the test files]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-ini-bench}
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target bench_ini -j2
"$build/bench_ini" ${2:-$build/bench_files}
