#!/usr/bin/env bash
# Installs what building, running and testing Quillet need on a Debian machine (as root).
set -euo pipefail
pkgs=(cmake g++ googletest libgtest-dev mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
      wine64 wine xvfb xdotool x11-utils fonts-wqy-microhei imagemagick clang libclang-rt-14-dev
      locales valgrind python3 libstb-dev)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
fi
