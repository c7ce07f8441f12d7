#!/usr/bin/env bash
# The media page's benchmark under Wine: a folder search of 50,000 files in
# 2,000 folders against a bare walk of the same tree, and the confirm of
# 50,000 rows against one write of the same bytes; printed with their ratios.
#   tools/bench_media.sh BUILD_WIN_DIR
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$ROOT/tests/e2e/lib.sh"
BUILD=$(cd "${1:?Windows build folder}" && pwd)
cmake --build "$BUILD" --target bench_media -j"${JOBS:-2}" >/dev/null || { echo "build failed" >&2; exit 1; }
e2e_init "$BUILD" "${E2E_DISPLAY:-11}" bench-media
cp "$BUILD/bench_media.exe" "$E2E_PROG/"
(cd "$E2E_PROG" && wine bench_media.exe) 2>/dev/null | tr -d '\r'
e2e_cleanup
