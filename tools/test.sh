#!/usr/bin/env bash
# Sets everything up and runs every test: native tests on the simulated
# backend, the Windows tests under Wine, the fuzz targets briefly, the header
# and layer rules and the end-to-end checks of quillet.exe under Wine.
set -uo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh || exit 1
source tools/env.sh
passed=0
failed=0
step() {
    local name=$1; shift
    echo "==== $name"
    if "$@"; then
        passed=$((passed + 1)); echo "==== $name: passed"
    else
        failed=$((failed + 1)); echo "==== $name: FAILED"
    fi
}

step "build" bash tools/build.sh || true
step "windows headers only in platform/win32" bash tools/check_headers.sh
step "includes never run upward through the layers" bash tools/check_layers.sh
step "native tests" ctest --test-dir "$BUILD_NATIVE" --output-on-failure

quillet_locale
quillet_display 79
rm -rf "$BUILD_WIN/wineprefix"
quillet_prefix "$BUILD_WIN/wineprefix"
wine_tests() { (cd "$BUILD_WIN" && timeout 900 wine ./quillet_wintests.exe); }
step "windows tests under wine" wine_tests
# The same prefix at 144 DPI (150%): the backend scales every window.
high_dpi() {
    rm -rf "$BUILD_WIN/wineprefix-144" && cp -a "$BUILD_WIN/wineprefix" "$BUILD_WIN/wineprefix-144" || return 1
    (
        export WINEPREFIX=$BUILD_WIN/wineprefix-144
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1 &&
            wineserver -w &&
            cd "$BUILD_WIN" && QUILLET_TEST_DPI=144 timeout 300 wine ./quillet_wintests.exe --gtest_filter='DpiWinTest.*'
    )
}
step "windows tests under wine at 144 dpi" high_dpi

fuzz() {
    cmake -S . -B "$BUILD_FUZZ" -DQUILLET_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
        cmake --build "$BUILD_FUZZ" -j"${JOBS:-2}" || return 1
    local ok=0 f
    for f in "$BUILD_FUZZ"/fuzz_*; do
        [ -x "$f" ] || continue
        local name seeds=()
        name=$(basename "$f")
        mkdir -p "$BUILD_FUZZ/corpus-$name"
        [ -d "tests/fuzz/seeds/$name" ] && seeds=("tests/fuzz/seeds/$name")
        # A slow input is a fault like a crash: each one gets a time limit.
        # Fresh heap memory is filled with FF, so that reading memory nobody
        # wrote fails on the seeds every time, not only when the heap is stale.
        ASAN_OPTIONS=malloc_fill_byte=255:max_malloc_fill_size=1048576 \
        "$f" -max_total_time="${FUZZ_SECONDS:-30}" -timeout="${FUZZ_INPUT_SECONDS:-10}" -rss_limit_mb=2048 \
            "$BUILD_FUZZ/corpus-$name" "${seeds[@]}" \
            >"$BUILD_FUZZ/$name.log" 2>&1 || { echo "$f failed:"; tail -40 "$BUILD_FUZZ/$name.log"; ok=1; }
    done
    return $ok
}
step "fuzz targets" fuzz

for t in tests/e2e/*.sh; do
    [ "$(basename "$t")" = lib.sh ] && continue
    step "e2e $(basename "$t" .sh)" timeout 900 bash "$t" "$BUILD_WIN"
done

[ -n "${QUILLET_XVFB_PID:-}" ] && kill "$QUILLET_XVFB_PID" 2>/dev/null
echo "test steps: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
