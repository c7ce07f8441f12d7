// The contract fixture on the real backend: a temporary folder, the real
// message loop, and a watcher thread that answers message boxes.
#include "platform/win32/win_system.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "tests/contract/contract_env.h"

namespace q::contract {

namespace {

struct BoxWatcher {
    std::thread thread;
    std::atomic<bool> cancel{false};
    std::mutex lock;
    std::string text, title;
} g_box;

void remove_tree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring p = dir + L"\\" + name;
            SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) remove_tree(p);
            else DeleteFileW(p.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

void stop_watcher() {
    g_box.cancel = true;
    if (g_box.thread.joinable()) g_box.thread.join();
    g_box.cancel = false;
}

BOOL CALLBACK find_box(HWND h, LPARAM out) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (pid == GetCurrentProcessId() && IsWindowVisible(h) && std::wstring(cls) == L"#32770") {
        *reinterpret_cast<HWND*>(out) = h;
        return FALSE;
    }
    return TRUE;
}

std::wstring text_of(HWND h) {
    std::wstring t(GetWindowTextLengthW(h) + 1, L'\0');
    t.resize(GetWindowTextW(h, t.data(), static_cast<int>(t.size())));
    return t;
}

void watch(Answer a) {
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (!g_box.cancel && GetTickCount64() < deadline) {
        HWND box = nullptr;
        EnumWindows(&find_box, reinterpret_cast<LPARAM>(&box));
        if (box) {
            Sleep(50);  // let the box finish its initialisation
            HWND text = GetDlgItem(box, 0xFFFF);
            {
                std::lock_guard<std::mutex> l(g_box.lock);
                g_box.title = win32::narrow(text_of(box));
                g_box.text = text ? win32::narrow(text_of(text)) : std::string();
            }
            const WPARAM id = a == Answer::Ok ? IDOK : a == Answer::Cancel ? IDCANCEL : a == Answer::Yes ? IDYES : IDNO;
            PostMessageW(box, WM_COMMAND, id, 0);
            return;
        }
        Sleep(20);
    }
}

}  // namespace

void ContractTest::SetUp() {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, temp);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    std::wstring dir;
    for (int attempt = 0; attempt < 100; ++attempt) {
        dir = std::wstring(temp, n) + L"qcontract" + std::to_wstring(GetCurrentProcessId()) + L"_" +
              std::to_wstring(++counter);
        if (CreateDirectoryW(dir.c_str(), nullptr)) break;
        dir.clear();
    }
    ASSERT_FALSE(dir.empty());
    folder_ = win32::narrow(dir);
    std::lock_guard<std::mutex> l(g_box.lock);
    g_box.text.clear();
    g_box.title.clear();
}

void ContractTest::TearDown() {
    stop_watcher();
    if (!folder_.empty()) remove_tree(win32::widen(folder_));
}

void ContractTest::pump(int ms) {
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(ms > 0 ? ms : 0);
    for (;;) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}

void ContractTest::answer_next_box(Answer a) {
    stop_watcher();
    g_box.thread = std::thread(watch, a);
}

std::string ContractTest::last_box_text() const {
    std::lock_guard<std::mutex> l(g_box.lock);
    return g_box.text;
}

std::string ContractTest::last_box_title() const {
    std::lock_guard<std::mutex> l(g_box.lock);
    return g_box.title;
}

bool ContractTest::simulated() { return false; }

}  // namespace q::contract
