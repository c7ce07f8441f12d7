// The win32 UI backend: top-level windows, the child-control base, the
// reflection of notifications to the peers, and the backend object itself.
#include "platform/win32/win_ui.h"

#include <shellapi.h>

#include <algorithm>
#include <set>
#include <utility>

namespace q::win32 {

using namespace uidetail;

namespace {

const wchar_t kWindowClass[] = L"QuilletWindow";
const wchar_t kPaneClass[] = L"QuilletPane";
const wchar_t kPeerProp[] = L"QuilletPeer";
ATOM g_class = 0;
ATOM g_pane_class = 0;
bool g_xp = false;
std::set<ControlPeer*>& live_controls() {
    static std::set<ControlPeer*> s;
    return s;
}
int g_next_id = 1000;

ATOM window_class() {
    if (g_class) return g_class;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowPeer::window_proc;
    wc.hInstance = instance();
    wc.hIcon = LoadIconW(instance(), MAKEINTRESOURCEW(static_cast<int>(Res::AppIcon)));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    g_class = RegisterClassExW(&wc);
    return g_class;
}

LRESULT CALLBACK pane_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    const DpiScope scope(dpi_of(h));
    LRESULT r = 0;
    if (reflect(msg, wp, lp, r)) return r;
    // Tab in a multi-line box asks the box's parent for the next control:
    // the window moves the focus.
    if (msg == WM_NEXTDLGCTL) return SendMessageW(GetAncestor(h, GA_ROOT), msg, wp, lp);
    return DefWindowProcW(h, msg, wp, lp);
}

class Backend : public UiBackend {
public:
    std::unique_ptr<Peer> create_peer(Control& c) override {
        if (c.kind() == Kind::Window) return std::make_unique<WindowPeer>(static_cast<Window&>(c));
        // Made at the DPI of the window it goes into.
        Host* host = c.container() ? dynamic_cast<Host*>(c.container()->peer()) : nullptr;
        const DpiScope scope(host ? dpi_of(host->host_hwnd()) : 0);
        return make_control_peer(c);
    }

    void drag(Window& w) override {
        HWND h = hwnd_of(w);
        if (!h) return;
        ReleaseCapture();
        // The system's move loop; returns when the button is released.
        SendMessageW(h, WM_SYSCOMMAND, 0xF012, 0);
        if (!IsWindow(h) || window_of(h) != &w) return;
        const DpiScope scope(dpi_of(h));
        RECT rc;
        if (GetWindowRect(h, &rc)) w.user_moved_to(to_design(Point{rc.left, rc.top}));
    }
};

}  // namespace

UiBackend& ui() {
    static Backend b;
    return b;
}

HWND hwnd_of(const Window& w) {
    auto* p = dynamic_cast<WindowPeer*>(w.peer());
    return p ? p->hwnd() : nullptr;
}

HWND hwnd_of(const Control& c) {
    if (c.kind() == Kind::Window) return hwnd_of(static_cast<const Window&>(c));
    auto* p = dynamic_cast<uidetail::ControlPeer*>(c.peer());
    return p ? p->hwnd() : nullptr;
}

int dpi_of(HWND h) {
    HWND root = h ? GetAncestor(h, GA_ROOT) : nullptr;
    if (WindowPeer* p = WindowPeer::of(root)) return p->scale_dpi();
    return root ? window_dpi(root) : system_dpi();
}

Window* window_of(HWND h) {
    WindowPeer* p = WindowPeer::of(h);
    return p ? &p->window() : nullptr;
}

// Our own XP-like look for the controls we draw ourselves (image, picture
// and colour buttons): rounded corners and soft vertical gradients when on,
// flat rectangles when off. Windows' own controls keep whatever theming the
// system gives them either way (a style manifest turns it on).
void set_xp_look(bool on) {
    g_xp = on;
    for_each_control_peer([](ControlPeer& p) { p.restyle(); });
}

bool xp_look() { return g_xp; }

namespace uidetail {

const wchar_t* pane_class() {
    if (!g_pane_class) {
        window_class();  // the common controls, initialised once
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = pane_proc;
        wc.hInstance = instance();
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = kPaneClass;
        g_pane_class = RegisterClassExW(&wc);
    }
    return kPaneClass;
}

std::unique_ptr<Peer> make_control_peer(Control& c) {
    switch (c.kind()) {
        case Kind::Button:
            return make_button_peer(static_cast<Button&>(c));
        case Kind::ImageButton:
            return make_image_button_peer(static_cast<ImageButton&>(c));
        case Kind::PictureButton:
            return make_picture_button_peer(static_cast<PictureButton&>(c));
        case Kind::Label:
            return make_label_peer(static_cast<Label&>(c));
        case Kind::Edit:
            return make_edit_peer(static_cast<Edit&>(c));
        case Kind::CheckBox:
            return make_check_box_peer(static_cast<CheckBox&>(c));
        case Kind::DropDown:
            return make_drop_down_peer(static_cast<DropDown&>(c));
        case Kind::ListView:
            return make_list_view_peer(static_cast<ListView&>(c));
        case Kind::Slider:
            return make_slider_peer(static_cast<Slider&>(c));
        case Kind::ColorPicker:
            return make_color_picker_peer(static_cast<ColorPicker&>(c));
        case Kind::TabControl:
            return make_tab_control_peer(static_cast<TabControl&>(c));
        case Kind::TabPage:
            return make_tab_page_peer(static_cast<TabPage&>(c));
        case Kind::GroupBox:
            return make_group_box_peer(static_cast<GroupBox&>(c));
        case Kind::SpinEdit:
            return make_spin_edit_peer(static_cast<SpinEdit&>(c));
        case Kind::PictureBox:
            return make_picture_box_peer(static_cast<PictureBox&>(c));
        case Kind::Line:
            return make_line_peer(static_cast<Line&>(c));
        case Kind::DatePicker:
            return make_date_picker_peer(static_cast<DatePicker&>(c));
        case Kind::ListBox:
            return make_list_box_peer(static_cast<ListBox&>(c));
        case Kind::Window:
            break;
    }
    return nullptr;
}

void for_each_control_peer(void (*f)(ControlPeer&)) {
    // A copy: restyling never creates or destroys peers, but stay safe.
    std::set<ControlPeer*> peers = live_controls();
    for (ControlPeer* p : peers) f(*p);
}

// ---- WindowPeer ------------------------------------------------------------------

WindowPeer::WindowPeer(Window& w) : window_(w) {
    if (!window_class()) return;
    const Window::Style& st = w.style();
    DWORD style = st.caption ? (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX) : WS_POPUP;
    style |= WS_CLIPCHILDREN;
    DWORD ex = st.tool ? WS_EX_TOOLWINDOW : 0;
    // Laid out at the system's DPI, then at the window's own where its
    // monitor has another.
    dpi_ = system_dpi();
    Rect r;
    {
        const DpiScope scope(dpi_);
        r = to_device(w.rect());
    }
    hwnd_ = CreateWindowExW(ex, kWindowClass, widen(w.text()).c_str(), style, r.left, r.top, r.width, r.height,
                            nullptr, nullptr, instance(), this);
    if (!hwnd_) return;
    if (window_dpi(hwnd_) != dpi_) {
        dpi_ = window_dpi(hwnd_);
        update(Prop::Geometry);
    }
    // State given before the window was created.
    if (w.has_background()) update(Prop::Image);
    if (w.shaped()) update(Prop::Shape);
    if (w.layered()) update(Prop::Opacity);
    if (w.topmost()) update(Prop::Topmost);
    if (!w.enabled()) update(Prop::Enabled);
    if (w.accepts_files()) update(Prop::Style);
    if (w.visible()) update(Prop::Visible);
}

bool WindowPeer::client_size(Size& s) {
    RECT rc;
    if (!hwnd_ || !GetClientRect(hwnd_, &rc)) return false;
    const DpiScope scope(dpi_);
    s = {to_design(rc.right - rc.left), to_design(rc.bottom - rc.top)};
    return true;
}

WindowPeer::~WindowPeer() {
    if (hwnd_) {
        HWND h = hwnd_;
        hwnd_ = nullptr;
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        DestroyWindow(h);
    }
    if (background_) DeleteObject(background_);
}

WindowPeer* WindowPeer::of(HWND h) {
    if (!h || !g_class || static_cast<ATOM>(GetClassLongPtrW(h, GCW_ATOM)) != g_class) return nullptr;
    return reinterpret_cast<WindowPeer*>(GetWindowLongPtrW(h, GWLP_USERDATA));
}

void WindowPeer::update(Prop what) {
    if (!hwnd_) return;
    const DpiScope scope(dpi_);
    switch (what) {
        case Prop::Geometry: {
            const Rect r = to_device(window_.rect());
            SetWindowPos(hwnd_, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        case Prop::Text:
            SetWindowTextW(hwnd_, widen(window_.text()).c_str());
            break;
        case Prop::Visible:
            ShowWindow(hwnd_, window_.visible() ? SW_SHOW : SW_HIDE);
            break;
        case Prop::Enabled:
            EnableWindow(hwnd_, window_.enabled());
            break;
        case Prop::Focus:
            // Brought forward: a minimised window comes back, with the
            // focus where the user left it.
            if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
            SetForegroundWindow(hwnd_);
            if (!restore_focus()) SetFocus(hwnd_);
            break;
        case Prop::Topmost:
            SetWindowPos(hwnd_, window_.topmost() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        case Prop::Opacity:
            apply_opacity();
            break;
        case Prop::Image: {
            if (background_) DeleteObject(background_);
            int w = 0, h = 0;
            // A shaped window's picture is scaled as its shape is, so the two
            // cut away the same pixels and no key colour shows at the edge.
            const COLORREF key = window_.shape_key();
            background_ = to_device(load_picture(window_.background(), &w, &h), window_.shaped() ? &key : nullptr);
            w = to_device(w), h = to_device(h);
            bg_size_ = {background_ ? w : 0, background_ ? h : 0};
            InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        }
        case Prop::Shape:
            apply_shape();
            if (window_.has_background() && dpi() != 96) update(Prop::Image);
            break;
        case Prop::Style:
            DragAcceptFiles(hwnd_, window_.accepts_files());
            break;
        default:
            break;
    }
}

void WindowPeer::apply_opacity() {
    LONG ex = GetWindowLongW(hwnd_, GWL_EXSTYLE);
    if (!window_.layered()) {
        if (ex & WS_EX_LAYERED) SetWindowLongW(hwnd_, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
        return;
    }
    SetWindowLongW(hwnd_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    // The alpha is a byte: any other value keeps its low byte, as it would
    // when handed straight to the system.
    SetLayeredWindowAttributes(hwnd_, 0, static_cast<BYTE>(window_.opacity() & 0xFF), LWA_ALPHA);
}

void WindowPeer::apply_shape() {
    const COLORREF key = window_.shape_key();
    HBITMAP bmp = to_device(load_picture(window_.shape_bitmap()), &key);
    if (!bmp) return;
    HRGN rgn = region_from_bitmap(bmp, window_.shape_key());
    DeleteObject(bmp);
    if (!rgn) return;
    // The system owns the region from here on.
    if (!SetWindowRgn(hwnd_, rgn, TRUE)) DeleteObject(rgn);
}

void Host::stack_child(HWND child, bool label) {
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (label) {
        SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, flags);
        stacked();
        return;
    }
    // The controls stand in the z-order in reading order, which is the order
    // Tab follows; labels stay beneath them all.
    // A new window enters beneath its siblings, so a control made after a
    // label starts under it, and the label would paint over their overlap.
    std::vector<Control*> controls;
    std::vector<std::pair<Control*, HWND>> hwnds;
    bool label_seen = false, under_label = false;
    for (HWND h = GetWindow(host_hwnd(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        ControlPeer* p = ControlPeer::of(h);
        if (!p || p->hwnd() != h) continue;
        if (p->control().kind() == Kind::Label) {
            label_seen = true;
            continue;
        }
        under_label = under_label || label_seen;
        controls.push_back(&p->control());
        hwnds.emplace_back(&p->control(), h);
    }
    const std::vector<Control*> order = reading_order(controls);
    if (order != controls || under_label) {
        HWND after = HWND_TOP;
        for (Control* c : order) {
            HWND h = std::find_if(hwnds.begin(), hwnds.end(), [c](const auto& e) { return e.first == c; })->second;
            SetWindowPos(h, after, 0, 0, 0, 0, flags);
            after = h;
        }
    }
    stacked();
}

std::wstring window_text(HWND h) {
    const int n = GetWindowTextLengthW(h);
    if (n <= 0) return {};
    std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(h, &w[0], n + 1);
    w.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return w;
}

std::vector<std::string> dropped_paths(HDROP drop) {
    // Every name whole, however long: a cut path would point nowhere.
    std::vector<std::string> paths;
    const UINT n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
        const UINT len = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(len + 1, L'\0');
        const UINT got = DragQueryFileW(drop, i, &name[0], len + 1);
        name.resize(got);
        paths.push_back(narrow(name));
    }
    DragFinish(drop);
    return paths;
}

bool Host::erase_with_background(UINT msg, WPARAM wp, LRESULT& result) const {
    if (msg != WM_ERASEBKGND && msg != WM_PRINTCLIENT) return false;
    RECT rc;
    GetClientRect(host_hwnd(), &rc);
    paint_background(reinterpret_cast<HDC>(wp), rc);
    result = 1;
    return true;
}

void WindowPeer::paint_background(HDC dc, const RECT& src) const {
    const int w = src.right - src.left, h = src.bottom - src.top;
    if (w <= 0 || h <= 0) return;
    RECT all{0, 0, w, h};
    if (!background_) {
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    // Outside the picture: the face colour.
    if (src.right > bg_size_.cx || src.bottom > bg_size_.cy || src.left < 0 || src.top < 0)
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, background_);
    BitBlt(dc, 0, 0, w, h, mem, src.left, src.top, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

LRESULT CALLBACK WindowPeer::window_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        auto* p = static_cast<WindowPeer*>(cs->lpCreateParams);
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(p));
        if (p) p->hwnd_ = h;
    }
    WindowPeer* p = reinterpret_cast<WindowPeer*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (!p) return DefWindowProcW(h, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        p->hwnd_ = nullptr;
        return DefWindowProcW(h, msg, wp, lp);
    }
    const DpiScope scope(p->dpi_);
    LRESULT result = 0;
    if (service_message(p->window_, h, msg, wp, lp, result)) return result;
    if (reflect(msg, wp, lp, result)) return result;
    return p->handle(msg, wp, lp);
}

bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_COMMAND:
            if (ControlPeer* c = lp ? ControlPeer::of(reinterpret_cast<HWND>(lp)) : nullptr)
                return c->on_command(HIWORD(wp));
            return false;
        case WM_NOTIFY: {
            auto* n = reinterpret_cast<NMHDR*>(lp);
            if (ControlPeer* c = n ? ControlPeer::of(n->hwndFrom) : nullptr) return c->on_notify(n, result);
            return false;
        }
        case WM_HSCROLL:
            if (ControlPeer* c = lp ? ControlPeer::of(reinterpret_cast<HWND>(lp)) : nullptr) return c->on_hscroll();
            return false;
        case WM_DRAWITEM: {
            auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
            if (d && d->CtlType == ODT_BUTTON) {
                if (ControlPeer* c = ControlPeer::of(d->hwndItem)) {
                    if (c->on_draw(*d)) {
                        result = TRUE;
                        return true;
                    }
                }
            }
            return false;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
            if (ControlPeer* c = ControlPeer::of(reinterpret_cast<HWND>(lp)))
                return c->on_ctlcolor(reinterpret_cast<HDC>(wp), result);
            return false;
        default:
            return false;
    }
}

bool WindowPeer::restore_focus() {
    HWND f = focus_;
    if (!f || !IsWindow(f) || !IsChild(hwnd_, f) || !IsWindowVisible(f) || !IsWindowEnabled(f))
        f = window_.style().caption ? GetNextDlgTabItem(hwnd_, nullptr, FALSE) : nullptr;
    if (!f || !IsChild(hwnd_, f)) return false;
    SetFocus(f);
    return true;
}

bool WindowPeer::keyboard(MSG& m) {
    if (m.message < WM_KEYFIRST || m.message > WM_KEYLAST || !m.hwnd) return false;
    HWND root = GetAncestor(m.hwnd, GA_ROOT);
    WindowPeer* p = of(root);
    // Borderless windows (bar, note, popup) keep their keys: a tab in a note is text.
    if (!p || !p->window_.style().caption) return false;
    const bool page_key = m.wParam == VK_TAB || m.wParam == VK_PRIOR || m.wParam == VK_NEXT;
    if (m.message == WM_KEYDOWN && page_key && GetKeyState(VK_CONTROL) < 0) {
        const bool back = m.wParam == VK_PRIOR || (m.wParam == VK_TAB && GetKeyState(VK_SHIFT) < 0);
        if (!p->window_.user_next_page(back)) return IsDialogMessageW(root, &m);
        // The new page's first control, as a property sheet does.
        if (IsWindow(root) && of(root))
            if (HWND f = GetNextDlgTabItem(root, nullptr, FALSE)) SetFocus(f);
        return true;
    }
    return IsDialogMessageW(root, &m);
}

LRESULT WindowPeer::handle(UINT msg, WPARAM wp, LPARAM lp) {
    HWND h = hwnd_;
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND f = GetFocus();
                if (f && IsChild(h, f)) focus_ = f;
                return 0;
            }
            if (!HIWORD(wp) && restore_focus()) return 0;  // not while minimised
            break;
        case WM_SETFOCUS:
            if (restore_focus()) return 0;
            break;
        case WM_NEXTDLGCTL: {
            // From a multi-line box, which wants Tab for itself otherwise.
            HWND next = LOWORD(lp) ? reinterpret_cast<HWND>(wp) : GetNextDlgTabItem(h, GetFocus(), wp != 0);
            if (next) SetFocus(next);
            return 0;
        }
        case WM_COMMAND:
            // The dialog keys (controls' own commands were reflected above).
            if (lp == 0 && LOWORD(wp) == IDCANCEL) {
                window_.user_escape();
                return 0;
            }
            if (lp == 0 && LOWORD(wp) == IDOK) {
                // Enter on a button presses it.
                HWND f = GetFocus();
                ControlPeer* c = f && IsChild(h, f) ? ControlPeer::of(f) : nullptr;
                if (c && c->hwnd() == f &&
                    (c->control().kind() == Kind::Button || c->control().kind() == Kind::ImageButton ||
                     c->control().kind() == Kind::PictureButton))
                    c->control().user_click();
                return 0;
            }
            break;
        case WM_HOTKEY:
            if (window_.on_hotkey) window_.on_hotkey(static_cast<int>(wp));
            return 0;
        case WM_MOVE: {
            RECT rc;
            if (!IsIconic(h) && GetWindowRect(h, &rc)) window_.user_moved_to(to_design(Point{rc.left, rc.top}));
            return 0;
        }
        case 0x02E0: {  // WM_DPICHANGED: moved to a monitor of another DPI
            // The system's rectangle keeps the window's design size at the
            // new DPI; every control and font is made again at it.
            dpi_ = HIWORD(wp) ? HIWORD(wp) : dpi_;
            const DpiScope scope(dpi_);
            const RECT* to = reinterpret_cast<const RECT*>(lp);
            SetWindowPos(h, nullptr, to->left, to->top, to->right - to->left, to->bottom - to->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            if (window_.has_background()) update(Prop::Image);
            if (window_.shaped()) update(Prop::Shape);
            std::set<ControlPeer*> peers = live_controls();
            for (ControlPeer* c : peers) {
                if (!c->hwnd() || !IsChild(h, c->hwnd())) continue;
                c->update(Prop::Geometry);
                c->update(Prop::Font);
                if (c->control().kind() == Kind::ListView) c->update(Prop::Columns);
            }
            return 0;
        }
        case WM_LBUTTONDOWN:
            window_.user_mouse_down(MouseButton::Left);
            return 0;
        case WM_RBUTTONDOWN:
            window_.user_mouse_down(MouseButton::Right);
            return 0;
        case WM_CLOSE:
            // The program decides whether the window goes.
            window_.user_close();
            return 0;
        case WM_DROPFILES: {
            window_.user_drop(dropped_paths(reinterpret_cast<HDROP>(wp)));
            return 0;
        }
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wp && window_.on_end_session) window_.on_end_session();
            return 0;
        case WM_ERASEBKGND:
            if (background_) {
                RECT rc;
                GetClientRect(h, &rc);
                paint_background(reinterpret_cast<HDC>(wp), rc);
                return 1;
            }
            break;
        default:
            break;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

// ---- ControlPeer -----------------------------------------------------------------

ControlPeer::ControlPeer(Control& c) : control_(c) { live_controls().insert(this); }

ControlPeer::~ControlPeer() {
    life_.end();
    live_controls().erase(this);
    destroy_hwnd();
    if (font_ && own_font_) DeleteObject(font_);
    if (back_brush_) DeleteObject(back_brush_);
    if (parent_brush_) DeleteObject(parent_brush_);
    if (old_parent_brush_) DeleteObject(old_parent_brush_);
}

void ControlPeer::destroy_hwnd() {
    if (hwnd_) {
        HWND h = hwnd_;
        hwnd_ = nullptr;
        RemoveWindowSubclass(h, subclass_proc, 1);
        RemovePropW(h, kPeerProp);
        HWND parent = GetParent(h);
        RECT rc;
        const bool had_rect = GetWindowRect(h, &rc);
        DestroyWindow(h);
        // What a see-through control covered must be drawn again.
        if (parent && had_rect) {
            MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
            InvalidateRect(parent, &rc, TRUE);
        }
    }
}

void ControlPeer::claim(HWND part) { SetPropW(part, kPeerProp, this); }
void ControlPeer::release(HWND part) { RemovePropW(part, kPeerProp); }

ControlPeer* ControlPeer::of(HWND h) { return h ? static_cast<ControlPeer*>(GetPropW(h, kPeerProp)) : nullptr; }

Host* ControlPeer::host() const {
    return control_.container() ? dynamic_cast<Host*>(control_.container()->peer()) : nullptr;
}

void ControlPeer::create(const wchar_t* cls, DWORD style, DWORD ex_style) {
    Host* h = host();
    HWND parent = h ? h->host_hwnd() : nullptr;
    if (!parent) return;
    const DpiScope scope(dpi_of(parent));
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (control_.visible()) style |= WS_VISIBLE;
    if (!control_.enabled()) style |= WS_DISABLED;
    const Rect r = to_device(control_.rect());
    hwnd_ = CreateWindowExW(ex_style, cls, L"", style, r.left, r.top, r.width, r.height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(g_next_id++)), instance(), nullptr);
    if (!hwnd_) return;
    SetPropW(hwnd_, kPeerProp, this);
    h->stack_child(hwnd_, control_.kind() == Kind::Label);
    SetWindowSubclass(hwnd_, subclass_proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

void ControlPeer::sync_all() {
    if (!hwnd_) return;
    apply_font();
    apply(Prop::Text);
    apply(Prop::Colors);
}

void ControlPeer::restyle() {
    if (!hwnd_) return;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void ControlPeer::update(Prop what) {
    if (!hwnd_) return;
    const DpiScope scope(dpi_of(hwnd_));
    Sync s(*this);
    switch (what) {
        case Prop::Geometry: {
            const Rect r = to_device(control_.rect());
            SetWindowPos(hwnd_, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        case Prop::Visible:
            ShowWindow(hwnd_, control_.visible() ? SW_SHOWNA : SW_HIDE);
            break;
        case Prop::Enabled:
            EnableWindow(hwnd_, control_.enabled());
            break;
        case Prop::Focus:
            SetFocus(hwnd_);
            break;
        case Prop::Font:
            apply_font();
            break;
        case Prop::Colors:
            InvalidateRect(hwnd_, nullptr, TRUE);
            break;
        default:
            break;
    }
    apply(what);
}

void ControlPeer::apply_font() {
    bool owned = false;
    HFONT f = make_font(control_.font(), &owned);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
    if (font_ && own_font_) DeleteObject(font_);
    font_ = f;
    own_font_ = owned;
}

void ControlPeer::apply_text() {
    Sync s(*this);
    SetWindowTextW(hwnd_, widen(control_.text()).c_str());
}

HBRUSH ControlPeer::back_brush() {
    if (!back_brush_ || back_brush_color_ != control_.back_color()) {
        if (back_brush_) DeleteObject(back_brush_);
        back_brush_color_ = control_.back_color();
        back_brush_ = CreateSolidBrush(back_brush_color_);
    }
    return back_brush_;
}

bool ControlPeer::solid_colors(HDC dc, LRESULT& result) {
    SetTextColor(dc, control().text_color());
    SetBkColor(dc, control().back_color());
    result = reinterpret_cast<LRESULT>(back_brush());
    return true;
}

void ControlPeer::paint_parent_background(HDC dc, const RECT& rc) {
    RECT src = rc;
    HWND parent = GetParent(hwnd_);
    MapWindowPoints(hwnd_, parent, reinterpret_cast<POINT*>(&src), 2);
    if (Host* h = host()) {
        h->paint_background(dc, src);
        return;
    }
    RECT all{0, 0, rc.right - rc.left, rc.bottom - rc.top};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
}

HBRUSH ControlPeer::parent_background_brush() {
    Host* h = host();
    if (!h || h->face_fill()) return GetSysColorBrush(COLOR_BTNFACE);
    // A picture of what lies behind the whole control, as a pattern brush
    // (made again each time: the background may have changed meanwhile).
    RECT rc;
    GetClientRect(hwnd_, &rc);
    if (rc.right <= 0 || rc.bottom <= 0) return GetSysColorBrush(COLOR_BTNFACE);
    HDC screen = GetDC(hwnd_);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(mem, bmp);
    paint_parent_background(mem, rc);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(hwnd_, screen);
    // The last brush may still be selected in a DC being painted: it goes one call later.
    if (old_parent_brush_) DeleteObject(old_parent_brush_);
    old_parent_brush_ = parent_brush_;
    parent_brush_ = CreatePatternBrush(bmp);
    DeleteObject(bmp);
    return parent_brush_ ? parent_brush_ : GetSysColorBrush(COLOR_BTNFACE);
}

LRESULT CALLBACK ControlPeer::subclass_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    auto* p = reinterpret_cast<ControlPeer*>(ref);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(h, subclass_proc, 1);
        RemovePropW(h, kPeerProp);
        if (p && p->hwnd_ == h) p->hwnd_ = nullptr;
        return DefSubclassProc(h, msg, wp, lp);
    }
    if (!p || p->hwnd_ != h) return DefSubclassProc(h, msg, wp, lp);
    const DpiScope scope(dpi_of(h));
    return p->handle(msg, wp, lp);
}

LRESULT ControlPeer::handle(UINT msg, WPARAM wp, LPARAM lp) {
    HWND h = hwnd_;
    LRESULT r = 0;
    if (message(msg, wp, lp, r)) return r;
    const AliveToken alive = life_.token();
    switch (msg) {
        case WM_MOUSEMOVE: {
            r = DefSubclassProc(h, msg, wp, lp);
            if (!tracking_) {
                TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, h, 0};
                tracking_ = TrackMouseEvent(&t) != FALSE;
            }
            if (!hot_) {
                hot_ = true;
                InvalidateRect(h, nullptr, FALSE);
            }
            control_.user_pointer_move();
            return r;
        }
        case WM_MOUSELEAVE:
            tracking_ = false;
            hot_ = false;
            InvalidateRect(h, nullptr, FALSE);
            control_.user_pointer_leave();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            // The control's own handling first (capture, pressed look), so a
            // handler that starts a move loop finds it settled.
            r = DefSubclassProc(h, msg, wp, lp);
            if (alive) control_.user_mouse_down(msg == WM_LBUTTONDOWN ? MouseButton::Left : MouseButton::Right);
            return r;
        case WM_GETDLGCODE:
            // A control that handles Enter itself keeps it from the window's dialog keys.
            r = DefSubclassProc(h, msg, wp, lp);
            if (control_.on_key_down) r |= DLGC_WANTARROWS;
            if (control_.on_key && lp) {
                const MSG* m = reinterpret_cast<const MSG*>(lp);
                if ((m->message == WM_KEYDOWN || m->message == WM_CHAR) && m->wParam == VK_RETURN)
                    r |= DLGC_WANTMESSAGE;
            }
            return r;
        case WM_KEYDOWN:
            // A multi-line box would close its parent on Esc (a pane, not the
            // window): Esc goes to the window as its dialog key instead.
            if (wp == VK_ESCAPE && control_.kind() == Kind::Edit) {
                if (HWND root = GetAncestor(h, GA_ROOT)) PostMessageW(root, WM_COMMAND, IDCANCEL, 0);
                return 0;
            }
            if (control_.on_key_down && ((wp >= VK_PRIOR && wp <= VK_NEXT) || (wp >= VK_LEFT && wp <= VK_DOWN))) {
                control_.user_key_down(static_cast<int>(wp), GetKeyState(VK_CONTROL) < 0);
                return 0;
            }
            break;
        case WM_CONTEXTMENU:
            // From the keyboard (the menu key, Shift+F10) the position is -1, -1.
            if (control_.on_key_down && lp == -1) {
                control_.user_key_down(kKeyMenu, false);
                return 0;
            }
            break;
        case WM_CHAR:
            // The program sees the key first; Enter in a one-line box would only beep.
            if (control_.on_key) {
                control_.user_key(static_cast<int>(wp));
                if (!alive || wp == VK_RETURN) return 0;
            }
            break;
        case WM_SETFOCUS:
            r = DefSubclassProc(h, msg, wp, lp);
            if (alive && !syncing_) control_.user_focus();
            return r;
        case WM_KILLFOCUS:
            r = DefSubclassProc(h, msg, wp, lp);
            if (alive && !syncing_) control_.user_focus_lost();
            return r;
        default:
            break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

}  // namespace uidetail
}  // namespace q::win32
