#!/usr/bin/env bash
# Builds the native (simulated) target and the Windows exe (x86-64 and i686).
set -euo pipefail
source "$(dirname "$0")/env.sh"
jobs=${JOBS:-2}
cmake -S "$QUILLET_ROOT" -B "$BUILD_NATIVE" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$BUILD_NATIVE" -j"$jobs"
cmake -S "$QUILLET_ROOT" -B "$BUILD_WIN" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$QUILLET_ROOT/cmake/mingw-x86_64.cmake" >/dev/null
cmake --build "$BUILD_WIN" -j"$jobs"
if [ "${1:-}" != "--x64-only" ]; then
    cmake -S "$QUILLET_ROOT" -B "$BUILD_WIN32" -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$QUILLET_ROOT/cmake/mingw-i686.cmake" >/dev/null
    cmake --build "$BUILD_WIN32" -j"$jobs" --target quillet
fi
