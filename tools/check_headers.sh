#!/usr/bin/env bash
# Fails when a file outside the win32 backend includes a Windows header.
set -euo pipefail
cd "$(dirname "$0")/.."
hits=$(git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' |
       grep -vE '^(platform/win32|tests/win32|tools/win32)/' |
       xargs -r grep -HnE '#\s*include\s*[<"](windows|winuser|winbase|shellapi|commctrl|commdlg|mmsystem|shlobj|objbase|ole2|olectl|wingdi|winreg|uxtheme)\.h[>"]' || true)
if [ -n "$hits" ]; then
    echo "Windows headers outside platform/win32:"
    echo "$hits"
    exit 1
fi
echo "header check: ok"
