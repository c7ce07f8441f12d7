// Prints the texts of the child controls of every visible top-level window
// whose client area is WIDTH x HEIGHT, one a line, in UTF-8, so that the
// end-to-end checks can read what a window shows.
//
//   e2e_texts WIDTH HEIGHT
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

int g_width = 0, g_height = 0;
std::string g_out;

std::string utf8(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

// WM_GETTEXT, not GetWindowText: across processes only the message reads an
// edit box's own text.
std::wstring text_of(HWND h) {
    wchar_t buf[2048] = {};
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG, 2000, &n)) return {};
    return std::wstring(buf, n < 2048 ? static_cast<std::size_t>(n) : 0);
}

BOOL CALLBACK child(HWND h, LPARAM) {
    const std::wstring t = text_of(h);
    if (!t.empty()) g_out += utf8(t) + "\n";
    return TRUE;
}

BOOL CALLBACK top(HWND h, LPARAM) {
    RECT rc{};
    if (!IsWindowVisible(h) || !GetClientRect(h, &rc)) return TRUE;
    if (rc.right == g_width && rc.bottom == g_height) EnumChildWindows(h, child, 0);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    g_width = std::atoi(argv[1]);
    g_height = std::atoi(argv[2]);
    EnumWindows(top, 0);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), g_out.data(), static_cast<DWORD>(g_out.size()), &written, nullptr);
    return 0;
}
