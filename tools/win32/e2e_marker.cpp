// A tiny task program for the end-to-end tests: writes "marker.txt" beside
// itself, holding the local time it ran, and ends.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    std::wstring p(path, n);
    p = p.substr(0, p.find_last_of(L'\\') + 1) + L"marker.txt";
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[64];
    int len = std::snprintf(text, sizeof text, "%02u:%02u:%02u\r\n", t.wHour, t.wMinute, t.wSecond);
    HANDLE h = CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(h, text, static_cast<DWORD>(len), &written, nullptr);
    CloseHandle(h);
    return 0;
}
