# Sourced by the scripts: build folders, the Chinese locale for Wine, and a display.
QUILLET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_NATIVE=${BUILD_NATIVE:-$QUILLET_ROOT/build}
BUILD_WIN=${BUILD_WIN:-$QUILLET_ROOT/build-win}
BUILD_WIN32=${BUILD_WIN32:-$QUILLET_ROOT/build-win32}
BUILD_FUZZ=${BUILD_FUZZ:-$QUILLET_ROOT/build-fuzz}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}

# Wine must see code page 936: run it under zh_CN.UTF-8, building the locale when the system lacks it.
quillet_locale() {
    if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
        local dir=$BUILD_WIN/locale
        if [ ! -d "$dir/zh_CN.UTF-8" ]; then
            mkdir -p "$dir"
            localedef -i zh_CN -f UTF-8 "$dir/zh_CN.UTF-8" 2>/dev/null || true
        fi
        export LOCPATH=$dir
    fi
    export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
}

# A display: the current one, or a virtual one started here.
quillet_display() {
    if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
        local n=${1:-77}
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        QUILLET_XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
        echo "Xvfb did not start" >&2
        return 1
    fi
}

# A Wine prefix of our own inside a build folder.
quillet_prefix() {
    export WINEPREFIX=$1
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w || true
    fi
}
