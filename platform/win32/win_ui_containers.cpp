// Containers: the tab control with its pages, and the group box.
//
// A page is a child window of the tab control as large as the tab control
// itself, so that the coordinates of its controls are the page's; a window
// region cuts it down to the display area, leaving the tab strip to the tab
// control. A group box is a child window at the group's rectangle holding a
// BS_GROUPBOX frame beneath its controls. Both reflect their children's
// notifications (pane_class) and paint what lies behind them as their
// background, so see-through controls on them show the page.
#include "platform/win32/win_ui.h"

namespace q::win32::uidetail {

namespace {

// The tab control's body under src (tab client coordinates) into dc, src's
// top-left at 0, 0. The control draws itself (themed or not) into our DC.
void paint_tab_body(HWND tab, HDC dc, const RECT& src) {
    const int w = src.right - src.left, h = src.bottom - src.top;
    if (w <= 0 || h <= 0) return;
    RECT all{0, 0, w, h};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    if (!tab) return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, 0, w, h);
    OffsetViewportOrgEx(dc, -src.left, -src.top, nullptr);
    SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    RestoreDC(dc, saved);
}

void redraw_all(HWND h) {
    if (h) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

// ---- TabPage ---------------------------------------------------------------------

class TabPagePeer : public ControlPeer, public Host {
public:
    explicit TabPagePeer(TabPage& p) : ControlPeer(p) {
        create(pane_class(), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
        reshape();
    }

    HWND host_hwnd() const override { return hwnd(); }
    // The page's client origin is the tab control's.
    void paint_background(HDC dc, const RECT& src) const override {
        paint_tab_body(hwnd() ? GetParent(hwnd()) : nullptr, dc, src);
    }
    // The body is not always the face colour (themes, and Wine's classic look).
    bool face_fill() const override { return false; }

    // The page covers the display area only, wherever the strip ends now.
    void reshape() {
        if (!hwnd()) return;
        HWND tab = GetParent(hwnd());
        RECT rc;
        GetClientRect(tab, &rc);
        TabCtrl_AdjustRect(tab, FALSE, &rc);
        if (rc.right < rc.left) rc.right = rc.left;
        if (rc.bottom < rc.top) rc.bottom = rc.top;
        HRGN rgn = CreateRectRgnIndirect(&rc);
        if (rgn && !SetWindowRgn(hwnd(), rgn, TRUE)) DeleteObject(rgn);
    }

    void restyle() override {
        ControlPeer::restyle();
        reshape();
        redraw_all(hwnd());
    }

protected:
    void sync_all() override {}
    void apply(Prop what) override {
        if (what == Prop::Geometry) reshape();
    }
    bool message(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
        return erase_with_background(msg, wp, result);
    }
};

// ---- TabControl ------------------------------------------------------------------

class TabControlPeer : public ControlPeer, public Host {
public:
    explicit TabControlPeer(TabControl& t) : ControlPeer(t), tab_(t) {
        // A control parent: Tab walks into the shown page's controls (the
        // strip itself is turned by Ctrl+Tab, as in a property sheet).
        create(WC_TABCONTROLW, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
        sync_all();
    }

    HWND host_hwnd() const override { return hwnd(); }
    void paint_background(HDC dc, const RECT& src) const override { paint_tab_body(hwnd(), dc, src); }
    bool face_fill() const override { return false; }

    bool on_notify(NMHDR* n, LRESULT& result) override {
        result = 0;
        if (n->code == TCN_SELCHANGING) return true;  // FALSE: let it change
        if (n->code != TCN_SELCHANGE) return false;
        if (syncing_) return true;
        const int sel = TabCtrl_GetCurSel(hwnd());
        const AliveToken alive = life_.token();
        tab_.user_select(sel);
        // A change the object did not take is taken back.
        if (alive && TabCtrl_GetCurSel(hwnd()) != tab_.selection()) apply(Prop::Selection);
        return true;
    }

    void restyle() override {
        ControlPeer::restyle();
        reshape_pages();
    }

protected:
    void sync_all() override {
        if (!hwnd()) return;
        apply_font();
        apply(Prop::Items);
    }
    void apply(Prop what) override {
        if (!hwnd()) return;
        switch (what) {
            case Prop::Items: {
                Sync s(*this);
                TabCtrl_DeleteAllItems(hwnd());
                int i = 0;
                for (const std::string& caption : tab_.captions()) {
                    std::wstring text = widen(caption);
                    TCITEMW item{};
                    item.mask = TCIF_TEXT;
                    item.pszText = &text[0];
                    SendMessageW(hwnd(), TCM_INSERTITEMW, static_cast<WPARAM>(i++), reinterpret_cast<LPARAM>(&item));
                }
                TabCtrl_SetCurSel(hwnd(), tab_.selection());
                reshape_pages();
                break;
            }
            case Prop::Selection: {
                Sync s(*this);
                TabCtrl_SetCurSel(hwnd(), tab_.selection());
                break;
            }
            case Prop::Font:
            case Prop::Geometry:
                // The strip's height follows the font.
                reshape_pages();
                break;
            default:
                ControlPeer::apply(what);
                break;
        }
    }

private:
    void reshape_pages() {
        for (int i = 0; i < tab_.count(); ++i)
            if (auto* p = dynamic_cast<TabPagePeer*>(tab_.page(i).peer())) p->reshape();
    }

    TabControl& tab_;
};

// ---- GroupBox --------------------------------------------------------------------

class GroupBoxPeer : public ControlPeer, public Host {
public:
    explicit GroupBoxPeer(GroupBox& g) : ControlPeer(g), group_(g) {
        create(pane_class(), WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
        if (!hwnd()) return;
        const Rect r = to_device(g.rect());
        frame_ = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX, 0, 0, r.width,
                                 r.height, hwnd(), nullptr, instance(), nullptr);
        if (frame_) {
            claim(frame_);
            // The frame covers the whole pane, which therefore never shows its
            // own background: the frame erases with it instead.
            SetWindowSubclass(frame_, frame_proc, 1, reinterpret_cast<DWORD_PTR>(this));
            if (!g.enabled()) EnableWindow(frame_, FALSE);
        }
        sync_all();
    }
    ~GroupBoxPeer() override {
        if (frame_ && IsWindow(frame_)) {
            RemoveWindowSubclass(frame_, frame_proc, 1);
            release(frame_);
        }
    }

    HWND host_hwnd() const override { return hwnd(); }
    void paint_background(HDC dc, const RECT& src) const override {
        RECT outer = src;
        HWND parent = hwnd() ? GetParent(hwnd()) : nullptr;
        Host* h = host();
        if (!parent || !h) {
            RECT all{0, 0, src.right - src.left, src.bottom - src.top};
            FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
            return;
        }
        MapWindowPoints(hwnd(), parent, reinterpret_cast<POINT*>(&outer), 2);
        h->paint_background(dc, outer);
    }
    bool face_fill() const override {
        Host* h = host();
        return !h || h->face_fill();
    }

    // The frame's caption.
    bool on_ctlcolor(HDC dc, LRESULT& result) override {
        SetTextColor(dc, control().text_color());
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        if (!face_fill()) SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(parent_background_brush());
        return true;
    }

    void restyle() override {
        ControlPeer::restyle();
        if (frame_) InvalidateRect(frame_, nullptr, TRUE);
        redraw_all(hwnd());
    }

protected:
    void stacked() override {
        if (frame_) SetWindowPos(frame_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    void sync_all() override {
        apply_font();
        apply(Prop::Font);
        apply(Prop::Text);
    }
    void apply(Prop what) override {
        if (!frame_) return;
        switch (what) {
            case Prop::Text: {
                Sync s(*this);
                SetWindowTextW(frame_, widen(group_.text()).c_str());
                break;
            }
            case Prop::Font:
                SendMessageW(frame_, WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
                break;
            case Prop::Geometry:
                SetWindowPos(frame_, nullptr, 0, 0, to_device(group_.rect()).width, to_device(group_.rect()).height,
                             SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
                break;
            case Prop::Enabled:
                EnableWindow(frame_, group_.enabled());
                break;
            case Prop::Colors:
                InvalidateRect(frame_, nullptr, TRUE);
                break;
            default:
                break;
        }
    }
    bool message(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
        return erase_with_background(msg, wp, result);
    }

private:
    static LRESULT CALLBACK frame_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
        if (msg == WM_NCDESTROY) {
            RemoveWindowSubclass(h, frame_proc, 1);
        } else if (msg == WM_ERASEBKGND) {
            RECT rc;
            GetClientRect(h, &rc);
            reinterpret_cast<GroupBoxPeer*>(ref)->paint_background(reinterpret_cast<HDC>(wp), rc);
            return 1;
        }
        return DefSubclassProc(h, msg, wp, lp);
    }

    GroupBox& group_;
    HWND frame_ = nullptr;
};

}  // namespace

std::unique_ptr<Peer> make_tab_control_peer(TabControl& c) { return std::make_unique<TabControlPeer>(c); }
std::unique_ptr<Peer> make_tab_page_peer(TabPage& c) { return std::make_unique<TabPagePeer>(c); }
std::unique_ptr<Peer> make_group_box_peer(GroupBox& c) { return std::make_unique<GroupBoxPeer>(c); }

}  // namespace q::win32::uidetail
