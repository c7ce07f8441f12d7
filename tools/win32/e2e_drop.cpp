// A small helper for the end-to-end tests: what the shell does when a file
// is dropped on a window, and where a window's client area lies.
//   e2e_drop.exe drop TITLE PATH   WM_DROPFILES with PATH to the window TITLE
//   e2e_drop.exe where TITLE       prints "left top width height" of its client area on the screen
// The drop structure is written into the receiving process, where
// DragQueryFile reads it as fixed memory.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

int drop(HWND h, const std::wstring& path) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) return 3;
    std::wstring names = path + L'\0';
    names += L'\0';
    std::string block(sizeof(DROPFILES) + names.size() * sizeof(wchar_t), '\0');
    DROPFILES df{};
    df.pFiles = sizeof(DROPFILES);
    df.fWide = TRUE;
    std::memcpy(&block[0], &df, sizeof df);
    std::memcpy(&block[sizeof df], names.data(), names.size() * sizeof(wchar_t));
    void* remote = VirtualAllocEx(proc, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(proc, remote, block.data(), block.size(), nullptr)) return 4;
    SendMessageW(h, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
    CloseHandle(proc);
    return 0;
}

}  // namespace

int main() {
    // The wide command line: titles and paths are Chinese whatever the code page.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;
    HWND h = FindWindowW(nullptr, argv[2]);
    if (!h) return 1;
    if (std::wcscmp(argv[1], L"where") == 0) {
        RECT rc{};
        GetClientRect(h, &rc);
        POINT o{0, 0};
        ClientToScreen(h, &o);
        std::printf("%ld %ld %ld %ld\n", o.x, o.y, rc.right, rc.bottom);
        return 0;
    }
    if (std::wcscmp(argv[1], L"drop") == 0 && argc >= 4) return drop(h, argv[3]);
    return 2;
}
