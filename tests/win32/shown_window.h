// Finding the window a modal step shows (a message box, a pop-up menu) from
// inside its loop, for the Windows tests that act under it.
#pragma once

#include <windows.h>

#include <string>

namespace q::win32 {

// A visible top-level window of this process with that class ("#32770" a
// box, "#32768" a pop-up menu), or nullptr.
inline HWND shown_window_of_class(const wchar_t* cls) {
    struct Look {
        const wchar_t* cls;
        HWND found;
    } look{cls, nullptr};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            auto* l = reinterpret_cast<Look*>(p);
            DWORD pid = 0;
            GetWindowThreadProcessId(h, &pid);
            wchar_t name[16] = {};
            GetClassNameW(h, name, 16);
            if (pid != GetCurrentProcessId() || !IsWindowVisible(h) || std::wstring(name) != l->cls) return TRUE;
            l->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&look));
    return look.found;
}

}  // namespace q::win32
