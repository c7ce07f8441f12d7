#!/usr/bin/env bash
# Fails when an include runs upward through the layers: platform/, then
# settings/, then the subsystems, then app/. Only app/ includes app/, and
# nothing outside tests/ includes tests/; tests/ may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
    case $1 in
        platform) echo 0 ;;
        settings) echo 1 ;;
        hotkeys | reminders | media | launcher | note) echo 2 ;;
        app) echo 3 ;;
        *) echo "" ;;
    esac
}

bad=0
while IFS= read -r file; do
    [ -f "$file" ] || continue
    from=${file%%/*}
    [ "$from" = tests ] && continue
    from_rank=$(rank "$from")
    while IFS= read -r hit; do
        line=${hit%%:*}
        target=$(sed -E 's/^[^"]*"([^"]+)".*/\1/' <<<"${hit#*:}")
        to=${target%%/*}
        [ "$to" = "$target" ] && continue  # a file beside it
        why=""
        if [ "$to" = tests ]; then
            why="only tests/ includes tests/"
        elif [ "$to" = app ] && [ "$from" != app ]; then
            why="only app/ includes app/"
        elif [ -n "$from_rank" ] && [ -n "$(rank "$to")" ] && [ "$(rank "$to")" -gt "$from_rank" ]; then
            why="$from/ is below $to/"
        fi
        if [ -n "$why" ]; then
            echo "$file:$line: includes $target: $why"
            bad=1
        fi
    done < <(grep -nE '^\s*#\s*include\s*"' "$file" || true)
done < <(git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp')

if [ "$bad" -ne 0 ]; then
    echo "layer check: failed"
    exit 1
fi
echo "layer check: ok"
