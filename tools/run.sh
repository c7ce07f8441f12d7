#!/usr/bin/env bash
# Sets everything up and runs Quillet under Wine: on the current display, or
# on a virtual one (a screenshot is then written to the build folder).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh --x64-only
source tools/env.sh
quillet_locale
virtual=0
[ -z "${DISPLAY:-}" ] && virtual=1
quillet_display 78
quillet_prefix "$BUILD_WIN/wineprefix"
prog=$BUILD_WIN/Quillet
mkdir -p "$prog"
cp "$BUILD_WIN/quillet.exe" "$prog/"
# The about window shows the help text that lies beside the program.
cp "$BUILD_WIN/Quillet使用说明.txt" "$prog/"
cd "$prog"
if [ $virtual = 1 ]; then
    wine quillet.exe &
    pid=$!
    sleep 8
    import -window root "$BUILD_WIN/run-screenshot.png" || true
    echo "Quillet runs on a virtual display; screenshot: $BUILD_WIN/run-screenshot.png (Ctrl+C ends it)"
    wait $pid || true
else
    exec wine quillet.exe
fi
