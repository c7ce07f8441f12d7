// Spin edits (an edit with an up-down control as its partner), picture boxes
// and lines.
#include "platform/win32/win_ui.h"

#include <algorithm>

namespace q::win32::uidetail {

namespace {

// ---- SpinEdit ----------------------------------------------------------------------

// The edit is the peer's own window; the arrows are a narrow sibling at the
// right end of the control's rectangle that writes the number into the edit,
// which reports it as any change of its text.
class SpinEditPeer : public ControlPeer {
public:
    explicit SpinEditPeer(SpinEdit& s) : ControlPeer(s), spin_(s) {
        create(L"EDIT", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
        if (!hwnd()) return;
        DWORD style = WS_CHILD | WS_CLIPSIBLINGS | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
        if (s.visible()) style |= WS_VISIBLE;
        if (!s.enabled()) style |= WS_DISABLED;
        arrows_ = CreateWindowExW(0, UPDOWN_CLASSW, L"", style, 0, 0, 0, 0, GetParent(hwnd()), nullptr, instance(),
                                  nullptr);
        sync_all();
    }
    ~SpinEditPeer() override {
        if (arrows_) DestroyWindow(arrows_);
    }

    void sync_all() override {
        ControlPeer::sync_all();
        if (!arrows_) return;
        SendMessageW(arrows_, UDM_SETRANGE32, static_cast<WPARAM>(spin_.min()), static_cast<LPARAM>(spin_.max()));
        attach();
    }

    void apply(Prop what) override {
        switch (what) {
            case Prop::Text:
                // Unchanged text stays, and so does the caret in it.
                if (narrow(window_text(hwnd())) != spin_.text()) ControlPeer::apply(what);
                break;
            case Prop::Geometry:
                attach();
                break;
            case Prop::Visible:
                if (arrows_) ShowWindow(arrows_, spin_.visible() ? SW_SHOWNA : SW_HIDE);
                break;
            case Prop::Enabled:
                if (arrows_) EnableWindow(arrows_, spin_.enabled());
                break;
            case Prop::Range:
                if (arrows_)
                    SendMessageW(arrows_, UDM_SETRANGE32, static_cast<WPARAM>(spin_.min()),
                                 static_cast<LPARAM>(spin_.max()));
                break;
            default:
                ControlPeer::apply(what);
                break;
        }
    }

    bool on_command(WORD code) override {
        if (code != EN_CHANGE || syncing_) return true;
        spin_.user_type(narrow(window_text(hwnd())));
        return true;
    }

    bool on_ctlcolor(HDC dc, LRESULT& result) override { return solid_colors(dc, result); }

private:
    // Binds the arrows to the edit: they take the right end of the
    // control's rectangle, narrower than the system's own placement, so that
    // three digits still fit the small boxes of the design.
    void attach() {
        if (!arrows_) return;
        const Rect r = to_device(spin_.rect());
        const int arrows = std::min(to_device(kArrowWidth), r.width / 2);
        {
            Sync s(*this);
            SetWindowPos(hwnd(), nullptr, r.left, r.top, r.width - arrows, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
            SendMessageW(hwnd(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
        }
        SendMessageW(arrows_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hwnd()), 0);
        SetWindowPos(arrows_, hwnd(), r.left + r.width - arrows, r.top, arrows, r.height, SWP_NOACTIVATE);
    }
    static constexpr int kArrowWidth = 10;

    SpinEdit& spin_;
    HWND arrows_ = nullptr;
};

// ---- PictureBox, Line ---------------------------------------------------------------

// A static window that paints itself over what lies behind it.
class PaintedStaticPeer : public ControlPeer {
public:
    explicit PaintedStaticPeer(Control& c) : ControlPeer(c) {}

    bool on_command(WORD code) override {
        if (syncing_) return true;
        if (code == STN_CLICKED)
            control().user_click();
        else if (code == STN_DBLCLK)
            control().user_double_click();
        return true;
    }

protected:
    void make() {
        create(L"STATIC", SS_NOTIFY);
        if (hwnd()) sync_all();
    }
    void sync_all() override {}
    void apply(Prop what) override {
        if (what == Prop::Image || what == Prop::Geometry) InvalidateRect(hwnd(), nullptr, TRUE);
    }
    virtual void paint(HDC dc, const RECT& rc) = 0;

    bool message(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (msg == WM_ERASEBKGND) {
            result = 1;
            return true;
        }
        if (msg != WM_PAINT) return false;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT rc;
        GetClientRect(hwnd(), &rc);
        if (rc.right > 0 && rc.bottom > 0) {
            HDC mem = CreateCompatibleDC(dc);
            HBITMAP bmp = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
            HGDIOBJ old = SelectObject(mem, bmp);
            paint_parent_background(mem, rc);
            paint(mem, rc);
            BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteObject(bmp);
            DeleteDC(mem);
        }
        EndPaint(hwnd(), &ps);
        result = 0;
        return true;
    }
};

class PictureBoxPeer : public PaintedStaticPeer {
public:
    explicit PictureBoxPeer(PictureBox& p) : PaintedStaticPeer(p), box_(p) {
        load();
        make();
    }
    ~PictureBoxPeer() override {
        if (bitmap_) DeleteObject(bitmap_);
    }

protected:
    void apply(Prop what) override {
        if (what == Prop::Image) load();
        PaintedStaticPeer::apply(what);
    }
    void paint(HDC dc, const RECT& rc) override {
        if (box_.canvas()) {
            paint_pixels(dc, rc);
            return;
        }
        if (!bitmap_) return;
        draw_bitmap(dc, bitmap_, 0, 0, std::min<int>(to_device(width_), rc.right),
                    std::min<int>(to_device(height_), rc.bottom));
    }

private:
    void load() {
        if (bitmap_) DeleteObject(bitmap_);
        bitmap_ = box_.canvas() ? nullptr : load_picture(box_.image(), &width_, &height_);
    }
    // A blank canvas is the window's face colour; pixels go on top at their own size.
    void paint_pixels(HDC dc, const RECT& rc) {
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        const int w = box_.pixels_width(), h = box_.pixels_height();
        if (w <= 0 || h <= 0) return;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;  // top-down rows
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0, static_cast<UINT>(h),
                          box_.pixels().data(), &bi, DIB_RGB_COLORS);
    }
    PictureBox& box_;
    HBITMAP bitmap_ = nullptr;
    int width_ = 0, height_ = 0;
};

class LinePeer : public PaintedStaticPeer {
public:
    explicit LinePeer(Line& l) : PaintedStaticPeer(l), line_(l) { make(); }

protected:
    // Sunken: the shadow line, then the light one where there is room.
    void paint(HDC dc, const RECT& rc) override {
        const bool across = line_.horizontal();
        RECT dark = across ? RECT{0, 0, rc.right, 1} : RECT{0, 0, 1, rc.bottom};
        FillRect(dc, &dark, GetSysColorBrush(COLOR_BTNSHADOW));
        if ((across ? rc.bottom : rc.right) < 2) return;
        RECT light = across ? RECT{0, 1, rc.right, 2} : RECT{1, 0, 2, rc.bottom};
        FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    }

private:
    Line& line_;
};

}  // namespace

std::unique_ptr<Peer> make_spin_edit_peer(SpinEdit& s) { return std::make_unique<SpinEditPeer>(s); }
std::unique_ptr<Peer> make_picture_box_peer(PictureBox& p) { return std::make_unique<PictureBoxPeer>(p); }
std::unique_ptr<Peer> make_line_peer(Line& l) { return std::make_unique<LinePeer>(l); }

}  // namespace q::win32::uidetail
