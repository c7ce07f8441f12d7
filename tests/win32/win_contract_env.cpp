// The contract fixture on the real backend: a temporary folder, the real
// message loop, a watcher thread that answers message boxes, and a user who
// sends controls the messages Windows sends for real gestures.
#include "platform/win32/win_system.h"
#include "platform/win32/win_ui.h"

#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include "tests/contract/contract_env.h"
#include "tests/win32/shown_window.h"

namespace q::contract {

namespace {

struct BoxWatcher {
    std::thread thread;
    std::atomic<bool> cancel{false};
    std::mutex lock;
    Box seen;
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

std::wstring text_of(HWND h) {
    std::wstring t(GetWindowTextLengthW(h) + 1, L'\0');
    t.resize(GetWindowTextW(h, t.data(), static_cast<int>(t.size())));
    return t;
}

BOOL CALLBACK find_icon(HWND h, LPARAM out) {
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    if (_wcsicmp(cls, L"Static") == 0 && (GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(out) = reinterpret_cast<HICON>(SendMessageW(h, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

std::optional<Icon> icon_of(HWND box) {
    HICON shown = nullptr;
    EnumChildWindows(box, &find_icon, reinterpret_cast<LPARAM>(&shown));
    if (!shown) return Icon::None;
    const std::pair<LPCWSTR, Icon> known[] = {{IDI_ASTERISK, Icon::Information},
                                              {IDI_EXCLAMATION, Icon::Warning},
                                              {IDI_HAND, Icon::Error},
                                              {IDI_QUESTION, Icon::Question}};
    for (const auto& [id, icon] : known)
        if (LoadIconW(nullptr, id) == shown) return icon;
    return std::nullopt;
}

bool has_button(HWND box, int id) {
    HWND b = GetDlgItem(box, id);
    return b && IsWindowVisible(b);
}

std::optional<Buttons> buttons_of(HWND box) {
    const bool ok = has_button(box, IDOK), cancel = has_button(box, IDCANCEL), yes = has_button(box, IDYES),
               no = has_button(box, IDNO);
    if (ok && !cancel && !yes && !no) return Buttons::Ok;
    if (ok && cancel && !yes && !no) return Buttons::OkCancel;
    if (!ok && !cancel && yes && no) return Buttons::YesNo;
    return std::nullopt;
}

void watch(Answer a) {
    const ULONGLONG deadline = GetTickCount64() + 10000;
    while (!g_box.cancel && GetTickCount64() < deadline) {
        const HWND box = win32::shown_window_of_class(L"#32770");
        if (box) {
            Sleep(50);  // let the box finish its initialisation
            HWND text = GetDlgItem(box, 0xFFFF);
            {
                std::lock_guard<std::mutex> l(g_box.lock);
                g_box.seen.title = win32::narrow(text_of(box));
                g_box.seen.text = text ? win32::narrow(text_of(text)) : std::string();
                g_box.seen.icon = icon_of(box);
                g_box.seen.buttons = buttons_of(box);
            }
            const int id = a == Answer::Ok ? IDOK : a == Answer::Cancel ? IDCANCEL : a == Answer::Yes ? IDYES : IDNO;
            // The user presses the button; a box without it is closed all the same.
            if (!has_button(box, id) || !PostMessageW(GetDlgItem(box, id), BM_CLICK, 0, 0))
                PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(id), 0);
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
    g_box.seen = Box{};
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

Box ContractTest::last_box() const {
    std::lock_guard<std::mutex> l(g_box.lock);
    return g_box.seen;
}

bool ContractTest::simulated() { return false; }

// ---- the user ----

namespace {

// A notification from a child, as the child sends it to its parent.
void notify_parent(HWND child, WORD code) {
    SendMessageW(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), code), reinterpret_cast<LPARAM>(child));
}

bool is_class(HWND h, const wchar_t* cls) {
    wchar_t name[32] = {};
    GetClassNameW(h, name, 32);
    return _wcsicmp(name, cls) == 0;
}

LPARAM centre_of(HWND h) {
    RECT rc{};
    GetClientRect(h, &rc);
    return MAKELPARAM(rc.right / 2, rc.bottom / 2);
}

void key(HWND h, WORD vk) {
    const UINT scan = MapVirtualKeyW(vk, 0);
    SendMessageW(h, WM_KEYDOWN, vk, static_cast<LPARAM>(1 | (scan << 16)));
    SendMessageW(h, WM_KEYUP, vk, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
}

}  // namespace

void User::press(Control& c) {
    HWND h = win32::hwnd_of(c);
    if (!h) return;
    if (is_class(h, L"Button")) {
        // Button down (focus, capture, pressed look), then up inside: BN_CLICKED.
        SendMessageW(h, BM_CLICK, 0, 0);
        return;
    }
    const LPARAM at = centre_of(h);
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(h, WM_LBUTTONUP, 0, at);
}

void User::type(Edit& e, const std::string& text) {
    HWND h = win32::hwnd_of(e);
    if (!h) return;
    SetFocus(h);
    // What typing over a selection, or pasting, does: one replacement, one EN_CHANGE.
    SendMessageW(h, EM_SETSEL, 0, -1);
    SendMessageW(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(win32::widen(text).c_str()));
}

namespace {

// What the shell sends a window that accepts files.
void drop_on(HWND h, const std::vector<std::string>& paths) {
    if (!h || !(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) return;
    std::wstring names;
    for (const std::string& p : paths) names += win32::widen(p) + L'\0';
    names += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    HGLOBAL mem = GlobalAlloc(GHND, bytes);
    if (!mem) return;
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(mem);
    // The receiver frees it with DragFinish.
    SendMessageW(h, WM_DROPFILES, reinterpret_cast<WPARAM>(mem), 0);
}

}  // namespace

void User::drop(Edit& e, const std::vector<std::string>& paths) { drop_on(win32::hwnd_of(e), paths); }

void User::drop(Window& w, const std::vector<std::string>& paths) { drop_on(win32::hwnd_of(w), paths); }

void User::pick(ListBox& l, int item) {
    HWND h = win32::hwnd_of(l);
    if (!h) return;
    SetFocus(h);
    SendMessageW(h, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
    notify_parent(h, LBN_SELCHANGE);
}

void User::type_key(Control& c, int ch) {
    HWND h = win32::hwnd_of(c);
    if (!h) return;
    SetFocus(h);
    SendMessageW(h, WM_CHAR, static_cast<WPARAM>(ch), 1);
}

void User::pick(DropDown& d, int item) {
    HWND h = win32::hwnd_of(d);
    if (!h) return;
    SetFocus(h);
    SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    notify_parent(h, CBN_SELCHANGE);
}

void User::pick(ListView& l, int row) {
    HWND h = win32::hwnd_of(l);
    if (!h) return;
    SetFocus(h);
    // The list view sends LVN_ITEMCHANGED for the row it selects.
    ListView_SetItemState(h, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void User::tick(ListView& l, int row) {
    HWND h = win32::hwnd_of(l);
    if (!h) return;
    if (ListView_GetNextItem(h, -1, LVNI_SELECTED) != row) pick(l, row);
    SetFocus(h);
    key(h, VK_SPACE);
}

void User::move(Slider& s, int position) {
    HWND h = win32::hwnd_of(s);
    if (!h) return;
    SetFocus(h);
    SendMessageW(h, TBM_SETPOS, TRUE, position);
    const LPARAM from = reinterpret_cast<LPARAM>(h);
    SendMessageW(GetParent(h), WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), from);
    SendMessageW(GetParent(h), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), from);
    SendMessageW(GetParent(h), WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), from);
}

void User::pick_date(DatePicker& d, const DateTime& date) {
    HWND h = win32::hwnd_of(d);
    if (!h) return;
    SetFocus(h);
    // The calendar sets the control's date and tells the parent.
    NMDATETIMECHANGE n{};
    n.nmhdr.hwndFrom = h;
    n.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(h));
    n.nmhdr.code = DTN_DATETIMECHANGE;
    n.dwFlags = GDT_VALID;
    n.st.wYear = static_cast<WORD>(date.year);
    n.st.wMonth = static_cast<WORD>(date.month);
    n.st.wDay = static_cast<WORD>(date.day);
    DateTime_SetSystemtime(h, GDT_VALID, &n.st);
    SendMessageW(GetParent(h), WM_NOTIFY, n.nmhdr.idFrom, reinterpret_cast<LPARAM>(&n));
}

void User::spin(SpinEdit& s, int steps) {
    HWND h = win32::hwnd_of(s);
    if (!h) return;
    SetFocus(h);
    // The arrow keys in the box: the up-down control steps as for a click on its arrows.
    for (int i = 0; i < (steps < 0 ? -steps : steps); ++i) key(h, steps < 0 ? VK_DOWN : VK_UP);
}

void User::close(Window& w) {
    if (HWND h = win32::hwnd_of(w)) SendMessageW(h, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void User::tray(Window& owner, TrayEvent e) {
    HWND h = win32::hwnd_of(owner);
    if (!h) return;
    // What the shell sends to the icon's callback message: a pass of the
    // pointer, the button going down, then the action itself.
    const UINT callback = WM_APP + 1;
    SendMessageW(h, callback, 1, WM_MOUSEMOVE);
    SendMessageW(h, callback, 1, e == TrayEvent::RightClick ? WM_RBUTTONDOWN : WM_LBUTTONDOWN);
    const UINT action = e == TrayEvent::Click ? WM_LBUTTONUP : e == TrayEvent::DoubleClick ? WM_LBUTTONDBLCLK : WM_RBUTTONUP;
    SendMessageW(h, callback, 1, action);
}

void User::keys(int modifiers, int virtual_key) {
    // Real keyboard input: the system finds the hotkey and posts WM_HOTKEY.
    std::vector<INPUT> in;
    auto add = [&](int vk, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = static_cast<WORD>(vk);
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(static_cast<UINT>(vk), 0));
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    const std::pair<int, int> mods[] = {{MOD_CONTROL, VK_CONTROL}, {MOD_ALT, VK_MENU}, {MOD_SHIFT, VK_SHIFT}};
    for (const auto& [bit, vk] : mods)
        if (modifiers & bit) add(vk, false);
    add(virtual_key, false);
    add(virtual_key, true);
    for (const auto& [bit, vk] : mods)
        if (modifiers & bit) add(vk, true);
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

}  // namespace q::contract
