# Shared by the end-to-end scripts: a display, a fresh Wine prefix, a fresh
# program folder with quillet.exe, starting and stopping it, waiting for
# windows and taking screenshots.
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_init "$1" 81 smoke      # build folder, display number, work name
#   e2e_start                   # wine quillet.exe in the program folder
#   win=$(e2e_wait_window '程序已运行') || e2e_fail "no box"
#   e2e_shot bar                # $1/e2e-shots/smoke-bar.png
#   e2e_place_tray 60           # the tray icon low on the screen
#   bar=$(e2e_show_bar)         # a right click on it shows the main bar
#   e2e_click_bar_button "$bar" 10
#   e2e_wait_exit "$E2E_PID" 20 && echo "exit code $E2E_RC"
#   e2e_stop
#
# Variables after e2e_init: E2E_BUILD, E2E_NAME, E2E_WORK, E2E_PROG (program
# folder, Unix path), E2E_SHOTS, WINEPREFIX, DISPLAY; after e2e_start: E2E_PID.

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../../tools/env.sh
source "$E2E_LIB_DIR/../../tools/env.sh"

E2E_PIDS=()
E2E_OWN_XVFB=""

e2e_log() { echo "[e2e ${E2E_NAME:-?}] $*" >&2; }

e2e_fail() {
    e2e_log "FAIL: $*"
    e2e_shot "failure" || true
    e2e_cleanup
    exit 1
}

# e2e_init BUILD_WIN_DIR DISPLAY_NUMBER NAME
e2e_init() {
    E2E_BUILD=$(cd "${1:?build folder}" && pwd)
    local display=${2:-81}
    E2E_NAME=${3:-e2e}
    [ -f "$E2E_BUILD/quillet.exe" ] || { echo "no quillet.exe in $E2E_BUILD" >&2; exit 1; }
    E2E_WORK=$E2E_BUILD/e2e-work/$E2E_NAME
    E2E_PROG=$E2E_WORK/Quillet
    E2E_SHOTS=$E2E_BUILD/e2e-shots
    mkdir -p "$E2E_SHOTS"
    rm -rf "$E2E_WORK"
    mkdir -p "$E2E_PROG"
    cp "$E2E_BUILD/quillet.exe" "$E2E_PROG/"

    BUILD_WIN=$E2E_BUILD
    quillet_locale
    e2e_display "$display"
    export WINEDEBUG=-all
    e2e_log "fresh Wine prefix in $E2E_WORK/prefix"
    quillet_prefix "$E2E_WORK/prefix"
    trap e2e_cleanup EXIT
}

# A display: ours on :N when there is none reachable.
e2e_display() {
    local n=$1
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    export DISPLAY=":$n"
    if ! xdpyinfo >/dev/null 2>&1; then
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        E2E_OWN_XVFB=$!
        local i
        for i in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
        echo "Xvfb :$n did not start" >&2
        exit 1
    fi
}

# e2e_start [ARGS...]: starts quillet.exe from the program folder; E2E_PID is its process.
e2e_start() {
    (cd "$E2E_PROG" && exec wine quillet.exe "$@") >"$E2E_WORK/wine-$$-${#E2E_PIDS[@]}.log" 2>&1 &
    E2E_PID=$!
    E2E_PIDS+=("$E2E_PID")
    e2e_log "started quillet.exe $* (pid $E2E_PID)"
}

# e2e_wait_exit PID SECONDS: waits for a process started by e2e_start to end;
# its exit code in E2E_RC. Not inside $(...): only this shell can wait for it.
e2e_wait_exit() {
    local pid=$1 secs=${2:-20} i
    E2E_RC=""
    for i in $(seq $((secs * 10))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            E2E_RC=0
            wait "$pid" 2>/dev/null || E2E_RC=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# e2e_wait_window NAME_REGEX [SECONDS] [--class]: prints the first matching X window id.
e2e_wait_window() {
    local pattern=$1 secs=${2:-20} how=${3:---name} i id
    for i in $(seq $((secs * 5))); do
        id=$(xdotool search --onlyvisible "$how" "$pattern" 2>/dev/null | head -1)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.2
    done
    return 1
}

# e2e_wait_gone NAME_REGEX [SECONDS] [--class]
e2e_wait_gone() {
    local pattern=$1 secs=${2:-20} how=${3:---name} i
    for i in $(seq $((secs * 5))); do
        [ -z "$(xdotool search --onlyvisible "$how" "$pattern" 2>/dev/null | head -1)" ] && return 0
        sleep 0.2
    done
    return 1
}

# e2e_geometry WINDOW_ID: prints "X Y WIDTH HEIGHT" (absolute).
e2e_geometry() {
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print x, y, w, h}'
}

# e2e_visible_windows_of_size W H: ids of mapped windows of that size.
e2e_windows_of_size() {
    xwininfo -root -tree 2>/dev/null | awk -v s="$1x$2+" 'index($0, s) {print $1}'
}

# e2e_shot NAME: screenshot of the whole screen into $E2E_SHOTS.
e2e_shot() {
    [ -n "${E2E_SHOTS:-}" ] || return 0
    import -window root "$E2E_SHOTS/$E2E_NAME-$1.png" 2>/dev/null && e2e_log "screenshot $E2E_SHOTS/$E2E_NAME-$1.png"
}

# e2e_file NAME: path of a file in the program folder.
e2e_file() { echo "$E2E_PROG/$1"; }

# e2e_ini_value FILE SECTION KEY: the value as the program wrote it (CP936 file, CRLF).
e2e_ini_value() {
    [ -f "$1" ] || return 1
    iconv -f GBK -t UTF-8 "$1" 2>/dev/null | tr -d '\r' | awk -v s="[$2]" -v k="$3" '
        BEGIN {IGNORECASE=1}
        /^\[/ {in_s = (tolower($0) == tolower(s)); next}
        in_s && index(tolower($0), tolower(k) "=") == 1 {print substr($0, length(k) + 2); exit}'
}

# e2e_stop: ends every process started here, then the prefix's wineserver.
e2e_stop() {
    local p
    for p in "${E2E_PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
    for p in "${E2E_PIDS[@]}"; do wait "$p" 2>/dev/null || true; done
    E2E_PIDS=()
}

e2e_cleanup() {
    e2e_stop
    if [ -n "$E2E_OWN_XVFB" ]; then kill "$E2E_OWN_XVFB" 2>/dev/null || true; E2E_OWN_XVFB=""; fi
}

# Keys reach Wine's hotkeys only while one of its windows has the focus: the
# first visible window whose name matches E2E_FOCUS gets it.
E2E_FOCUS='^(设置Quillet|Quillet简介|Wine System Tray)$'
e2e_focus_wine() {
    local w
    w=$(xdotool search --onlyvisible --name "$E2E_FOCUS" 2>/dev/null | head -1)
    [ -n "$w" ] && xdotool windowfocus "$w" 2>/dev/null
    sleep 0.2
}

# e2e_press_until KEYS NAME: presses the hotkey until a window named NAME
# shows; prints its id.
e2e_press_until() {
    local i id
    for i in $(seq 15); do
        e2e_focus_wine
        xdotool key --clearmodifiers "$1"
        id=$(e2e_wait_window "$2" 1) && { echo "$id"; return 0; }
    done
    return 1
}

# e2e_quit KEYS: presses the exit hotkey until the program has ended.
e2e_quit() {
    local i
    for i in $(seq 10); do
        e2e_focus_wine
        xdotool key --clearmodifiers "$1"
        e2e_wait_exit "$E2E_PID" 2 && return 0
    done
    e2e_fail "Quillet did not exit on $1"
}

# ---- the tray icon and the main bar ---------------------------------------------------
# Wine's own tray window holds the icons; it exists only while one is there.
# The scripts put it low on the screen, so the bar opens as it would above a
# taskbar, and right-click its first icon.
E2E_TRAY_NAME="Wine System Tray"
E2E_TRAY_X=600 E2E_TRAY_Y=740
E2E_ICON_X=$((E2E_TRAY_X + 10)) E2E_ICON_Y=$((E2E_TRAY_Y + 10))

e2e_tray_window() { e2e_wait_window "$E2E_TRAY_NAME" "${1:-30}"; }

# e2e_place_tray [SECONDS]: waits for the tray window and moves it into place.
e2e_place_tray() {
    local t
    t=$(e2e_tray_window "${1:-30}") || return 1
    xdotool windowmove "$t" "$E2E_TRAY_X" "$E2E_TRAY_Y"
    sleep 0.5
}

# The main bar: quillet.exe's visible top-level window named "Quillet".
e2e_bar_window() {
    local id
    for id in $(xdotool search --onlyvisible --class quillet.exe 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "Quillet" ] && { echo "$id"; return 0; }
    done
    return 1
}

e2e_wait_bar_shown() {
    local i
    for i in $(seq 50); do e2e_bar_window && return 0; sleep 0.2; done
    return 1
}

# Wine without a window manager takes about 2 s to unmap a window.
e2e_wait_bar_hidden() {
    local i
    for i in $(seq 40); do e2e_bar_window >/dev/null || return 0; sleep 0.2; done
    return 1
}

# e2e_show_bar: a right click on the tray icon; prints the bar's window id.
e2e_show_bar() {
    xdotool mousemove "$E2E_ICON_X" "$E2E_ICON_Y"
    sleep 0.3
    xdotool click 3
    e2e_wait_bar_shown
}

# The tops of the bar's eleven buttons (82 x 23 at x 34), in function order.
E2E_BAR_TOPS=(25 49 75 99 125 149 173 197 223 247 271)

# e2e_click_bar_button BAR_ID N: clicks the middle of button N of the shown bar.
e2e_click_bar_button() {
    local bx by
    read -r bx by _ _ < <(e2e_geometry "$1")
    xdotool mousemove $((bx + 34 + 41)) $((by + ${E2E_BAR_TOPS[$2]} + 11))
    sleep 0.3
    xdotool click 1
}

# Wine without a window manager maps only the client area of a captioned
# window: e2e_size_ok W H OUTER_W OUTER_H takes either.
e2e_size_ok() {
    { [ "$1" = "$3" ] && [ "$2" = "$4" ]; } || { [ "$1" = $(($3 - 6)) ] && [ "$2" = $(($4 - 25)) ]; }
}

# e2e_hotkeys N:LETTER ...: a hotkey.ini giving main bar function N the
# combination Ctrl+Alt+LETTER (modifier item 3, the letter's key item and code).
e2e_hotkeys() {
    local spec code
    for spec in "$@"; do
        code=$(printf '%d' "'${spec#*:}")
        printf '[%s]\r\nyes=**********\r\nfunction=3\r\nkey=%d\r\nkeyvalue=%d\r\n' "${spec%%:*}" $((code - 65)) "$code"
    done >"$(e2e_file hotkey.ini)"
}

# Clicks at client coordinates of a window. Wine without a window manager
# maps only the client area; with one, e2e_frame sets the frame's offsets.
E2E_FRAME_X=0 E2E_FRAME_Y=0 E2E_CLICK_PAUSE=${E2E_CLICK_PAUSE:-0.4}
e2e_frame() { E2E_FRAME_X=$1 E2E_FRAME_Y=$2; }
e2e_click_in() {  # WINDOW_ID X Y
    local x y w h
    read -r x y w h < <(e2e_geometry "$1")
    xdotool mousemove $((x + E2E_FRAME_X + $2)) $((y + E2E_FRAME_Y + $3)) click 1
    sleep "$E2E_CLICK_PAUSE"
}
# A control of a settings page: the tab control lies at 8,6 in the window.
e2e_click_page() { e2e_click_in "$1" $((8 + $2)) $((6 + $3)); }
# A drop-down list chosen with the mouse: a click opens it, a click on the
# item picks it. E2E_ITEM_H is the height of a list item in Wine's font.
E2E_ITEM_H=${E2E_ITEM_H:-14}
e2e_pick_item() {  # WINDOW_ID X TOP HEIGHT ITEM (page coordinates of the list)
    e2e_click_page "$1" "$2" $(($3 + $4 / 2))
    e2e_click_page "$1" "$2" $(($3 + $4 + 3 + $5 * E2E_ITEM_H + E2E_ITEM_H / 2))
    sleep 0.3
}

# e2e_texts W H: the texts of the child controls of the program's windows
# whose client area is W x H, one a line (tools/win32/e2e_texts).
e2e_texts() { (cd "$E2E_BUILD" && wine ./e2e_texts.exe "$1" "$2" 2>/dev/null) | tr -d '\r'; }

# e2e_answer TITLE KEY: the box named TITLE, given the focus, gets KEY
# (Return for its default button) and must go.
e2e_answer() {
    local box
    box=$(e2e_wait_window "^$1\$" 10) || e2e_fail "no box '$1'"
    xdotool windowfocus "$box" 2>/dev/null
    sleep 0.3
    xdotool key "$2"
    e2e_wait_gone "^$1\$" 10 || e2e_fail "the box '$1' stayed"
}
