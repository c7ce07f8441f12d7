// Screen, tray icon, hotkeys, keys, sound and wallpaper; the message loop.
#include "platform/win32/win_system.h"
#include "platform/win32/win_ui.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace q::win32 {

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kRunDeferred = WM_APP + 2;
constexpr UINT kTrayId = 1;

Rect rect_of(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

// The tip fits the struct's buffer (with its NUL) and never ends in half a surrogate pair.
void copy_tip(const std::wstring& tip, wchar_t* dst, std::size_t capacity) {
    std::size_t n = std::min(tip.size(), capacity - 1);
    if (n > 0 && n < tip.size() && IS_HIGH_SURROGATE(tip[n - 1])) --n;
    tip.copy(dst, n);
    dst[n] = L'\0';
}

}  // namespace

// ---- screen ------------------------------------------------------------------------

Size Win32System::screen_size() {
    return {to_design(GetSystemMetrics(SM_CXSCREEN)), to_design(GetSystemMetrics(SM_CYSCREEN))};
}

Rect Win32System::work_area() {
    RECT r{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return {0, 0, screen_size().width, screen_size().height};
    return to_design(rect_of(r));
}

Rect Win32System::taskbar_rect() {
    APPBARDATA abd{};
    abd.cbSize = sizeof abd;
    if (!SHAppBarMessage(ABM_GETTASKBARPOS, &abd)) return {};
    return to_design(rect_of(abd.rc));
}

Point Win32System::pointer() {
    POINT p{};
    GetCursorPos(&p);
    return to_design(Point{p.x, p.y});
}

// ---- tray icon ------------------------------------------------------------------------

bool Win32System::tray_call(DWORD op, Window& owner) {
    auto it = tray_.find(&owner);
    HWND h = hwnd_of(owner);
    if (!h) return false;
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = h;
    nid.uID = kTrayId;
    if (op != NIM_DELETE && it != tray_.end()) {
        nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        nid.uCallbackMessage = kTrayMessage;
        nid.hIcon = static_cast<HICON>(LoadImageW(instance(), MAKEINTRESOURCEW(static_cast<int>(it->second.icon)),
                                                  IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                  GetSystemMetrics(SM_CYSMICON), 0));
        copy_tip(it->second.tip, nid.szTip, sizeof nid.szTip / sizeof nid.szTip[0]);
        const bool ok = Shell_NotifyIconW(op, &nid);
        if (nid.hIcon) DestroyIcon(nid.hIcon);  // the shell keeps its own copy
        return ok;
    }
    return Shell_NotifyIconW(op, &nid);
}

bool Win32System::tray_add(Window& owner, Res icon, const std::string& tip, std::function<void(TrayEvent)> on_event) {
    if (!taskbar_created_) taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
    tray_[&owner] = {icon, widen(tip), std::make_shared<std::function<void(TrayEvent)>>(std::move(on_event))};
    return tray_call(NIM_ADD, owner);
}

bool Win32System::tray_modify(Window& owner, Res icon, const std::string& tip) {
    auto it = tray_.find(&owner);
    if (it == tray_.end()) return false;
    it->second.icon = icon;
    it->second.tip = widen(tip);
    return tray_call(NIM_MODIFY, owner);
}

void Win32System::tray_remove(Window& owner) {
    if (tray_.find(&owner) == tray_.end()) return;
    tray_call(NIM_DELETE, owner);
    tray_.erase(&owner);
}

bool Win32System::handle_service_message(Window& w, HWND, UINT msg, LPARAM lp) {
    auto it = tray_.find(&w);
    if (it == tray_.end()) return false;
    if (msg == kTrayMessage) {
        TrayEvent e;
        switch (static_cast<UINT>(lp)) {
        case WM_LBUTTONUP: e = TrayEvent::Click; break;
        case WM_LBUTTONDBLCLK: e = TrayEvent::DoubleClick; break;
        case WM_RBUTTONUP: e = TrayEvent::RightClick; break;
        default: return true;
        }
        auto handler = it->second.on_event;  // the handler may remove the icon
        if (handler && *handler) (*handler)(e);
        return true;
    }
    if (taskbar_created_ && msg == taskbar_created_) {
        // Explorer restarted: the icon must be added again, with its tip of now.
        tray_call(NIM_ADD, w);
        return false;  // the window may want to know as well
    }
    return false;
}

// ---- hotkeys, keys, sound, wallpaper --------------------------------------------------

bool Win32System::register_hotkey(Window& owner, int id, int modifiers, int virtual_key) {
    return RegisterHotKey(hwnd_of(owner), id, static_cast<UINT>(modifiers), static_cast<UINT>(virtual_key));
}

void Win32System::unregister_hotkey(Window& owner, int id) { UnregisterHotKey(hwnd_of(owner), id); }

void Win32System::show_desktop() {
    keybd_event(VK_LWIN, 0, 0, 0);
    keybd_event('M', 0, 0, 0);
    keybd_event('M', 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_LWIN, 0, KEYEVENTF_KEYUP, 0);
}

void Win32System::mci_command(const std::string& command) {
    lib::mci_send_string(widen(command).c_str());
}

bool Win32System::set_wallpaper(const std::string& bmp_path) {
    std::wstring p = widen(bmp_path);
    // The picture is already the screen's size: shown centred, not tiled or
    // stretched, whatever style the user had. The desktop reads these values
    // when the wallpaper is set.
    write_string(Hive::CurrentUser, "Control Panel\\Desktop", "WallpaperStyle", "0");
    write_string(Hive::CurrentUser, "Control Panel\\Desktop", "TileWallpaper", "0");
    // Action 20, parameter 1, flags 1: the desktop redraws itself and the
    // choice is stored for the next logon.
    return SystemParametersInfoW(SPI_SETDESKWALLPAPER, 1, p.data(), SPIF_UPDATEINIFILE);
}

void Win32System::play_sound(Res wav) {
    // Resource memory stays mapped for the life of the process, as SND_ASYNC needs.
    const std::string_view bytes = resource_bytes(wav);
    if (bytes.empty()) return;
    lib::play_sound(reinterpret_cast<LPCWSTR>(bytes.data()), SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
}

bool Win32System::play_music(const std::string& path, bool looped) {
    lib::mci_send_string(L"close qmusic", false);
    const std::wstring open = L"open \"" + widen(path) + L"\" type mpegvideo alias qmusic";
    if (lib::mci_send_string(open.c_str()) != 0) return false;
    if (lib::mci_send_string(looped ? L"play qmusic repeat" : L"play qmusic") != 0) {
        lib::mci_send_string(L"close qmusic");
        return false;
    }
    return true;
}

void Win32System::stop_music() { lib::mci_send_string(L"close qmusic", false); }

void Win32System::stop_all_sound() {
    lib::play_sound(nullptr, 0);
    stop_music();
}

void Win32System::set_xp_look(bool on) { win32::set_xp_look(on); }

// ---- the message loop ---------------------------------------------------------------

bool Win32System::wait_message() {
    if (quit_seen_) return false;
    WaitMessage();
    MSG m;
    if (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) quit_seen_ = true;
    return !quit_seen_;
}

bool Win32System::take_hotkey(Window& owner, int& id) {
    HWND h = hwnd_of(owner);
    MSG m;
    if (!h || !PeekMessageW(&m, h, WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) return false;
    id = static_cast<int>(m.wParam);
    return true;
}

bool Win32System::process_pending() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            quit_seen_ = true;
            return false;
        }
        // Tab, Esc, Enter and Ctrl+Tab in a window of ours.
        if (uidetail::WindowPeer::keyboard(m)) continue;
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return !quit_seen_;
}

void Win32System::defer(std::function<void()> f) {
    deferred_.push_back(std::move(f));
    post_deferred();
}

void Win32System::post_deferred() {
    if (defer_posted_ || modal_steps_ > 0 || deferred_.empty()) return;
    // A window message, not a thread message: modal loops dispatch it too.
    if (HWND h = defer_window()) defer_posted_ = PostMessageW(h, kRunDeferred, 0, 0);
}

void Win32System::run_deferred() {
    defer_posted_ = false;
    // A modal step still up: its end posts the calls again.
    if (modal_steps_ > 0) return;
    std::deque<std::function<void()>> batch;
    batch.swap(deferred_);
    for (auto& f : batch)
        if (f) f();
}

Win32System::ModalStep::ModalStep() {
    if (Win32System* s = current()) ++s->modal_steps_;
}

Win32System::ModalStep::~ModalStep() {
    Win32System* s = current();
    if (!s) return;
    if (s->modal_steps_ > 0) --s->modal_steps_;
    s->post_deferred();
}

LRESULT CALLBACK Win32System::helper_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kRunDeferred) {
        if (Win32System* s = current()) s->run_deferred();
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

namespace {
HWND make_helper(WNDPROC proc, const wchar_t* cls, HWND parent, DWORD ex_style) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance();
    wc.lpszClassName = cls;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    return CreateWindowExW(ex_style, cls, L"", WS_POPUP, 0, 0, 0, 0, parent, nullptr, instance(), nullptr);
}
}  // namespace

HWND Win32System::defer_window() {
    if (!defer_hwnd_) defer_hwnd_ = make_helper(&helper_proc, L"QuilletDeferred", HWND_MESSAGE, 0);
    return defer_hwnd_;
}

HWND Win32System::menu_window() {
    // A message-only window cannot take the foreground, which a menu needs.
    if (!menu_hwnd_) menu_hwnd_ = make_helper(&DefWindowProcW, L"QuilletMenuHost", nullptr, WS_EX_TOOLWINDOW);
    return menu_hwnd_;
}

}  // namespace q::win32
