#!/usr/bin/env bash
# Builds both Windows exes (x86-64 and i686) and packs each with the help
# text into dist/quillet-<version>-win64.zip and dist/quillet-<version>-win32.zip.
set -euo pipefail
source "$(dirname "$0")/env.sh"
cd "$QUILLET_ROOT"
version=$(sed -n 's/^project(quillet VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }
jobs=${JOBS:-2}
dist=$QUILLET_ROOT/dist
help=Quillet使用说明.txt
mkdir -p "$dist"
for arch in win64 win32; do
    if [ $arch = win64 ]; then build=$BUILD_WIN; chain=mingw-x86_64; else build=$BUILD_WIN32; chain=mingw-i686; fi
    cmake -S "$QUILLET_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$QUILLET_ROOT/cmake/$chain.cmake" >/dev/null
    cmake --build "$build" -j"$jobs" --target quillet
    stage=$(mktemp -d)
    mkdir "$stage/Quillet"
    cp "$build/quillet.exe" "$QUILLET_ROOT/resources/$help" "$stage/Quillet/"
    zipfile=$dist/quillet-$version-$arch.zip
    rm -f "$zipfile"
    # Python's zipfile flags the help text's non-ASCII name as UTF-8, which Explorer reads.
    (cd "$stage" && python3 -c 'import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    for name in sys.argv[2:]:
        z.write(name)' "$zipfile" Quillet Quillet/quillet.exe "Quillet/$help")
    rm -rf "$stage"
    echo "$zipfile"
done
