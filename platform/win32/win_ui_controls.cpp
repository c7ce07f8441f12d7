// The peers of the child controls. Each mirrors its object on update() and
// turns what the user does into the object's user_* calls; changes pushed by
// code run under Sync, so the notifications they cause are not reported.
#include "platform/win32/win_ui.h"

#include <commdlg.h>
#include <shellapi.h>
#include <uxtheme.h>

#include <algorithm>

#include "platform/text.h"

namespace q::win32::uidetail {

namespace {

std::wstring window_text(HWND h) {
    const int n = GetWindowTextLengthW(h);
    if (n <= 0) return {};
    std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(h, &w[0], n + 1);
    w.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return w;
}

// ---- Button ----------------------------------------------------------------------

class ButtonPeer : public ControlPeer {
public:
    explicit ButtonPeer(Control& c) : ControlPeer(c) {
        create(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP);
        sync_all();
    }
    bool on_command(WORD code) override {
        if (code == BN_CLICKED && !syncing_) control().user_click();
        return true;
    }
};

// ---- CheckBox --------------------------------------------------------------------

class CheckBoxPeer : public ControlPeer {
public:
    explicit CheckBoxPeer(CheckBox& c) : ControlPeer(c), box_(c) {
        // Not an auto check box: the object toggles, the peer shows it.
        create(L"BUTTON", BS_CHECKBOX | WS_TABSTOP);
        sync_all();
    }
    void sync_all() override {
        ControlPeer::sync_all();
        apply(Prop::Check);
    }
    void apply(Prop what) override {
        if (what == Prop::Check)
            SendMessageW(hwnd(), BM_SETCHECK, box_.checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        else
            ControlPeer::apply(what);
    }
    bool on_command(WORD code) override {
        if (code != BN_CLICKED || syncing_) return true;
        std::shared_ptr<bool> alive = alive_;
        box_.user_click();
        if (*alive) apply(Prop::Check);
        return true;
    }
    bool on_ctlcolor(HDC dc, LRESULT& result) override {
        SetTextColor(dc, control().text_color());
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }

private:
    CheckBox& box_;
};

// ---- Label -----------------------------------------------------------------------

class LabelPeer : public ControlPeer {
public:
    explicit LabelPeer(Label& l) : ControlPeer(l), label_(l) {
        create(L"STATIC", SS_LEFT | SS_NOTIFY | SS_NOPREFIX);
        sync_all();
    }
    ~LabelPeer() override {
        if (link_font_) DeleteObject(link_font_);
    }
    void apply(Prop what) override {
        if (what == Prop::Text) {
            ControlPeer::apply(what);
            // The old text must not stay on a see-through label.
            if (drawn_here()) invalidate_behind();
        } else if (what == Prop::Font) {
            if (link_font_) DeleteObject(link_font_);
            link_font_ = nullptr;
            InvalidateRect(hwnd(), nullptr, TRUE);
        } else {
            ControlPeer::apply(what);
        }
    }
    bool on_command(WORD code) override {
        if (syncing_) return true;
        if (code == STN_CLICKED)
            control().user_click();
        else if (code == STN_DBLCLK)
            control().user_double_click();
        return true;
    }
    bool on_ctlcolor(HDC dc, LRESULT& result) override {
        SetTextColor(dc, control().text_color());
        SetBkColor(dc, control().back_color());
        result = reinterpret_cast<LRESULT>(back_brush());
        return true;
    }

protected:
    bool message(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (!drawn_here()) return false;
        switch (msg) {
            case WM_ERASEBKGND:
                result = 1;
                return true;
            case WM_PAINT:
                paint();
                result = 0;
                return true;
            case WM_SETCURSOR:
                if (label_.look() != Label::Look::Hyperlink) return false;
                SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
                result = TRUE;
                return true;
            default:
                return false;
        }
    }

private:
    // Transparent and hyperlink labels draw over the parent's picture.
    bool drawn_here() const { return label_.look() != Label::Look::Plain; }

    void invalidate_behind() {
        HWND parent = GetParent(hwnd());
        RECT rc;
        GetWindowRect(hwnd(), &rc);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
        InvalidateRect(parent, &rc, TRUE);
        InvalidateRect(hwnd(), nullptr, TRUE);
    }

    void paint() {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd(), &ps);
        RECT rc;
        GetClientRect(hwnd(), &rc);
        const int w = rc.right, h = rc.bottom;
        if (w > 0 && h > 0) {
            HDC mem = CreateCompatibleDC(dc);
            HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
            HGDIOBJ old_bmp = SelectObject(mem, bmp);
            paint_parent_background(mem, rc);
            const bool link = label_.look() == Label::Look::Hyperlink;
            HFONT f = font();
            if (link) {
                if (!link_font_) {
                    Font lf = label_.font();
                    lf.underline = true;
                    bool owned = false;
                    HFONT made = make_font(lf, &owned);
                    link_font_ = owned ? made : nullptr;
                }
                if (link_font_) f = link_font_;
            }
            HGDIOBJ old_font = SelectObject(mem, f);
            SetBkMode(mem, TRANSPARENT);
            COLORREF color = link ? RGB(0, 0, 255) : label_.text_color();
            if (!IsWindowEnabled(hwnd())) color = GetSysColor(COLOR_GRAYTEXT);
            SetTextColor(mem, color);
            const std::wstring text = widen(label_.text());
            RECT tr = rc;
            DrawTextW(mem, text.c_str(), static_cast<int>(text.size()), &tr, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
            BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
            SelectObject(mem, old_font);
            SelectObject(mem, old_bmp);
            DeleteObject(bmp);
            DeleteDC(mem);
        }
        EndPaint(hwnd(), &ps);
    }

    Label& label_;
    HFONT link_font_ = nullptr;
};

// ---- Edit ------------------------------------------------------------------------

class EditPeer : public ControlPeer {
public:
    explicit EditPeer(Edit& e) : ControlPeer(e), edit_(e) { make(); }

    void sync_all() override {
        // The limit before the text, so that long texts load whole.
        apply_limit();
        apply_font();
        shown_valid_ = false;
        apply(Prop::Text);
        DragAcceptFiles(hwnd(), edit_.mode().accept_files);
    }

    void apply(Prop what) override {
        if (!hwnd()) return;
        switch (what) {
            case Prop::Text:
                if (shown_valid_ && edit_.text() == shown_) return;
                {
                    Sync s(*this);
                    SetWindowTextW(hwnd(), widen(edit_.text()).c_str());
                }
                shown_ = edit_.text();
                shown_valid_ = true;
                break;
            case Prop::Style:
                apply_style();
                break;
            default:
                ControlPeer::apply(what);
                break;
        }
    }

    bool on_command(WORD code) override {
        if (code != EN_CHANGE || syncing_) return true;
        std::wstring w = window_text(hwnd());
        std::string t = narrow(w);
        bool exact = widen(t) == w;
        const std::size_t max = edit_.mode().max_bytes;
        if (max && t.size() > max) {
            t = cut_bytes(t, max);
            exact = false;
        }
        shown_valid_ = exact;
        if (exact) shown_ = t;
        std::shared_ptr<bool> alive = alive_;
        edit_.user_type(t);
        if (!*alive) return true;
        // The object is the truth: what it refused or cut is taken back.
        if (!shown_valid_ || edit_.text() != shown_) {
            shown_valid_ = false;
            apply(Prop::Text);
            SendMessageW(hwnd(), EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
        }
        return true;
    }

    bool on_ctlcolor(HDC dc, LRESULT& result) override {
        SetTextColor(dc, control().text_color());
        SetBkColor(dc, control().back_color());
        result = reinterpret_cast<LRESULT>(back_brush());
        return true;
    }

protected:
    bool message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (msg == WM_LBUTTONDBLCLK) {
            result = DefSubclassProc(hwnd(), msg, wp, lp);
            control().user_double_click();
            return true;
        }
        if (msg == WM_DROPFILES) {
            HDROP drop = reinterpret_cast<HDROP>(wp);
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
            edit_.user_drop(std::move(paths));
            result = 0;
            return true;
        }
        return false;
    }

private:
    static DWORD style_of(const Edit::Mode& m) {
        DWORD s = WS_TABSTOP;
        if (m.multi_line) {
            s |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
            if (m.vertical_scroll) s |= WS_VSCROLL;
        } else {
            s |= ES_AUTOHSCROLL;
        }
        if (m.read_only) s |= ES_READONLY;
        if (m.number_only) s |= ES_NUMBER;
        return s;
    }

    void make() {
        made_mode_ = edit_.mode();
        create(L"EDIT", style_of(made_mode_), WS_EX_CLIENTEDGE);
        if (hwnd()) sync_all();
    }

    void apply_limit() {
        const std::size_t max = edit_.mode().max_bytes;
        // Characters are never more than bytes; the byte count is kept on change.
        const WPARAM limit = max == 0 || max > 0x7FFFFFFE ? 0x7FFFFFFE : static_cast<WPARAM>(max);
        SendMessageW(hwnd(), EM_SETLIMITTEXT, limit, 0);
    }

    void apply_style() {
        const Edit::Mode& m = edit_.mode();
        if (m.multi_line != made_mode_.multi_line || m.vertical_scroll != made_mode_.vertical_scroll) {
            // Fixed at creation: make the box again.
            const bool had_focus = GetFocus() == hwnd();
            destroy_hwnd();
            make();
            if (had_focus && hwnd()) SetFocus(hwnd());
            return;
        }
        made_mode_ = m;
        SendMessageW(hwnd(), EM_SETREADONLY, m.read_only, 0);
        LONG st = GetWindowLongW(hwnd(), GWL_STYLE);
        st = m.number_only ? (st | ES_NUMBER) : (st & ~ES_NUMBER);
        SetWindowLongW(hwnd(), GWL_STYLE, st);
        apply_limit();
        DragAcceptFiles(hwnd(), m.accept_files);
    }

    Edit& edit_;
    Edit::Mode made_mode_;
    // The object text the box shows exactly (valid when shown_valid_).
    std::string shown_;
    bool shown_valid_ = false;
};

// ---- DropDown --------------------------------------------------------------------

class DropDownPeer : public ControlPeer {
public:
    explicit DropDownPeer(DropDown& d) : ControlPeer(d), box_(d) {
        create(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP);
        sync_all();
    }
    void sync_all() override {
        apply_font();
        apply(Prop::Geometry);
        apply(Prop::Items);
    }
    void apply(Prop what) override {
        switch (what) {
            case Prop::Geometry: {
                // The height given is the box's; the list drops below it.
                const Rect& r = box_.rect();
                SetWindowPos(hwnd(), nullptr, r.left, r.top, r.width, r.height + kListHeight,
                             SWP_NOZORDER | SWP_NOACTIVATE);
                break;
            }
            case Prop::Items: {
                Sync s(*this);
                SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
                for (const std::string& item : box_.items())
                    SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
                apply(Prop::Selection);
                break;
            }
            case Prop::Selection: {
                Sync s(*this);
                SendMessageW(hwnd(), CB_SETCURSEL, static_cast<WPARAM>(box_.selection()), 0);
                break;
            }
            default:
                ControlPeer::apply(what);
                break;
        }
    }
    bool on_command(WORD code) override {
        if (code != CBN_SELCHANGE || syncing_) return true;
        const int sel = static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
        std::shared_ptr<bool> alive = alive_;
        box_.user_select(sel);
        if (*alive && static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0)) != box_.selection())
            apply(Prop::Selection);
        return true;
    }

private:
    static constexpr int kListHeight = 200;
    DropDown& box_;
};

// ---- ListView --------------------------------------------------------------------

// A virtual (owner-data) list: the rows stay in the object and the control
// asks for each cell it draws, so a list of thousands of rows costs nothing
// to fill and stays in step after every change.
class ListViewPeer : public ControlPeer {
public:
    explicit ListViewPeer(ListView& l) : ControlPeer(l), list_(l) {
        create(WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | LVS_OWNERDATA | WS_TABSTOP,
               WS_EX_CLIENTEDGE);
        if (!hwnd()) return;
        DWORD ex = LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES;
        if (list_.check_boxes()) ex |= LVS_EX_CHECKBOXES;
        ListView_SetExtendedListViewStyle(hwnd(), ex);
        if (list_.check_boxes()) ListView_SetCallbackMask(hwnd(), LVIS_STATEIMAGEMASK);
        sync_all();
    }
    void sync_all() override {
        apply_font();
        apply(Prop::Columns);
        apply(Prop::Colors);
        apply(Prop::Rows);
        sync_count();
    }
    void apply(Prop what) override {
        Sync s(*this);
        switch (what) {
            case Prop::Columns: {
                while (ListView_DeleteColumn(hwnd(), 0)) {
                }
                int i = 0;
                for (const ListView::Column& c : list_.columns()) {
                    std::wstring heading = widen(c.heading);
                    LVCOLUMNW col{};
                    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
                    col.pszText = &heading[0];
                    col.cx = c.width;
                    col.iSubItem = i;
                    SendMessageW(hwnd(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
                    ++i;
                }
                break;
            }
            case Prop::Rows:
                // Setting the count redraws the scroll bar, which is slow to
                // do for every row added: a burst of changes is taken at once
                // when the messages are next processed (or when needed sooner).
                if (list_.row_count() != shown_count_ && !count_pending_) {
                    count_pending_ = PostMessageW(hwnd(), kSyncCount, 0, 0) != FALSE;
                    if (!count_pending_) sync_count();
                }
                // A row added or removed above the selection moves it: that
                // is shown at once (and takes the count along).
                if (ListView_GetNextItem(hwnd(), -1, LVNI_SELECTED) != list_.selection()) apply_selection();
                InvalidateRect(hwnd(), nullptr, FALSE);
                break;
            case Prop::Selection:
                apply_selection();
                break;
            case Prop::Scroll:
                sync_count();
                if (list_.selection() >= 0) ListView_EnsureVisible(hwnd(), list_.selection(), FALSE);
                break;
            case Prop::Colors:
                ListView_SetBkColor(hwnd(), list_.list_color());
                ListView_SetTextBkColor(hwnd(), list_.item_color());
                ListView_SetTextColor(hwnd(), list_.text_color());
                InvalidateRect(hwnd(), nullptr, TRUE);
                break;
            default:
                ControlPeer::apply(what);
                break;
        }
    }

    bool on_notify(NMHDR* n, LRESULT& result) override {
        result = 0;
        switch (n->code) {
            case LVN_GETDISPINFOW:
                fill(reinterpret_cast<NMLVDISPINFOW*>(n)->item);
                return true;
            case LVN_ITEMCHANGED: {
                if (syncing_) return true;
                auto* nm = reinterpret_cast<NMLISTVIEW*>(n);
                if (nm->iItem >= 0 && (nm->uChanged & LVIF_STATE) && (nm->uNewState & LVIS_SELECTED) &&
                    !(nm->uOldState & LVIS_SELECTED)) {
                    picked_in_click_ = true;
                    if (nm->iItem != list_.selection()) pick(nm->iItem);
                }
                return true;
            }
            case NM_CLICK: {
                if (syncing_) return true;
                const bool picked = picked_in_click_;
                picked_in_click_ = false;
                LVHITTESTINFO hit{};
                const DWORD pos = GetMessagePos();
                hit.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
                ScreenToClient(hwnd(), &hit.pt);
                const int row = ListView_SubItemHitTest(hwnd(), &hit);
                if (list_.check_boxes() && row >= 0 && (hit.flags & LVHT_ONITEMSTATEICON)) {
                    toggle(row);
                    return true;
                }
                if (!picked) pick(row >= 0 && row < list_.row_count() ? row : -1);
                return true;
            }
            case NM_DBLCLK:
                if (!syncing_) control().user_double_click();
                return true;
            case LVN_KEYDOWN: {
                auto* k = reinterpret_cast<NMLVKEYDOWN*>(n);
                if (!syncing_ && k->wVKey == VK_SPACE && list_.check_boxes() && list_.selection() >= 0)
                    toggle(list_.selection());
                return true;
            }
            default:
                return false;
        }
    }

protected:
    bool message(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (msg == kSyncCount) {
            sync_count();
            result = 0;
            return true;
        }
        // Input reads the rows as they are now.
        if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_KEYDOWN) sync_count();
        if (msg == WM_LBUTTONDOWN) picked_in_click_ = false;
        return false;
    }

private:
    static constexpr UINT kSyncCount = WM_APP + 0x51;

    void sync_count() {
        count_pending_ = false;
        if (list_.row_count() == shown_count_) return;
        Sync s(*this);
        shown_count_ = list_.row_count();
        ListView_SetItemCountEx(hwnd(), shown_count_, LVSICF_NOSCROLL);
        apply_selection();
    }

    void fill(LVITEMW& item) {
        if (item.mask & LVIF_TEXT && item.pszText && item.cchTextMax > 0) {
            const std::wstring text = widen(list_.cell(item.iItem, item.iSubItem));
            const std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
            text.copy(item.pszText, n);
            item.pszText[n] = 0;
        }
        if ((item.mask & LVIF_STATE) && list_.check_boxes()) {
            item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(list_.row_checked(item.iItem) ? 2 : 1);
            item.stateMask |= LVIS_STATEIMAGEMASK;
        }
    }

    void apply_selection() {
        if (count_pending_) sync_count();
        Sync s(*this);
        const int want = list_.selection();
        const int have = ListView_GetNextItem(hwnd(), -1, LVNI_SELECTED);
        if (have == want) return;
        ListView_SetItemState(hwnd(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (want >= 0) ListView_SetItemState(hwnd(), want, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    void pick(int row) {
        std::shared_ptr<bool> alive = alive_;
        list_.user_pick(row);
        if (*alive) apply_selection();
    }

    void toggle(int row) {
        std::shared_ptr<bool> alive = alive_;
        list_.user_check(row, !list_.row_checked(row));
        if (*alive) ListView_RedrawItems(hwnd(), row, row);
    }

    ListView& list_;
    bool picked_in_click_ = false;
    int shown_count_ = 0;
    bool count_pending_ = false;
};

// ---- Slider ----------------------------------------------------------------------

class SliderPeer : public ControlPeer {
public:
    explicit SliderPeer(Slider& s) : ControlPeer(s), slider_(s) {
        create(TRACKBAR_CLASSW, TBS_HORZ | TBS_NOTICKS | WS_TABSTOP);
        sync_all();
    }
    void sync_all() override {
        apply(Prop::Range);
        apply(Prop::Value);
    }
    void apply(Prop what) override {
        Sync s(*this);
        if (what == Prop::Range) {
            SendMessageW(hwnd(), TBM_SETRANGEMIN, FALSE, slider_.min());
            SendMessageW(hwnd(), TBM_SETRANGEMAX, TRUE, slider_.max());
        } else if (what == Prop::Value) {
            SendMessageW(hwnd(), TBM_SETPOS, TRUE, slider_.position());
        } else {
            ControlPeer::apply(what);
        }
    }
    bool on_hscroll() override {
        if (syncing_) return true;
        const int pos = static_cast<int>(SendMessageW(hwnd(), TBM_GETPOS, 0, 0));
        if (pos == slider_.position()) return true;
        std::shared_ptr<bool> alive = alive_;
        slider_.user_move(pos);
        if (*alive && static_cast<int>(SendMessageW(hwnd(), TBM_GETPOS, 0, 0)) != slider_.position())
            apply(Prop::Value);
        return true;
    }

private:
    Slider& slider_;
};

// ---- owner-drawn buttons -----------------------------------------------------------

class OwnerDrawPeer : public ControlPeer {
public:
    explicit OwnerDrawPeer(Control& c) : ControlPeer(c) {}

    bool on_draw(const DRAWITEMSTRUCT& d) override {
        const RECT rc = d.rcItem;
        const int w = rc.right - rc.left, h = rc.bottom - rc.top;
        if (w <= 0 || h <= 0) return true;
        HDC mem = CreateCompatibleDC(d.hDC);
        HBITMAP bmp = CreateCompatibleBitmap(d.hDC, w, h);
        HGDIOBJ old = SelectObject(mem, bmp);
        RECT all{0, 0, w, h};
        paint_parent_background(mem, all);
        ButtonLook look;
        look.hot = hot_;
        look.pressed = (d.itemState & ODS_SELECTED) != 0;
        look.disabled = (d.itemState & ODS_DISABLED) != 0;
        look.focused = (d.itemState & ODS_FOCUS) != 0;
        paint(mem, all, look);
        BitBlt(d.hDC, rc.left, rc.top, w, h, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        return true;
    }

    bool on_command(WORD code) override {
        if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && !syncing_) clicked();
        return true;
    }

    void apply(Prop what) override {
        if (what == Prop::Text || what == Prop::Colors || what == Prop::Image || what == Prop::Value)
            InvalidateRect(hwnd(), nullptr, FALSE);
        if (what == Prop::Text) ControlPeer::apply(what);
    }

protected:
    void make() {
        create(L"BUTTON", BS_OWNERDRAW | WS_TABSTOP);
        sync_all();
    }
    virtual void paint(HDC dc, const RECT& rc, const ButtonLook& look) = 0;
    virtual void clicked() { control().user_click(); }

    bool message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        switch (msg) {
            case WM_ERASEBKGND:
                result = 1;
                return true;
            case WM_LBUTTONDBLCLK: {
                // A quick second click is a click, not a double click.
                std::shared_ptr<bool> alive = alive_;
                result = DefSubclassProc(hwnd(), WM_LBUTTONDOWN, wp, lp);
                if (*alive) control().user_mouse_down(MouseButton::Left);
                return true;
            }
            default:
                return false;
        }
    }
};

// A decoded resource picture owned by a peer.
struct OwnedPicture {
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0;
    OwnedPicture() = default;
    OwnedPicture(const OwnedPicture&) = delete;
    OwnedPicture& operator=(const OwnedPicture&) = delete;
    ~OwnedPicture() {
        if (bitmap) DeleteObject(bitmap);
    }
    void load(Res id) {
        if (bitmap) DeleteObject(bitmap);
        bitmap = load_picture(id, &width, &height);
    }
};

class ImageButtonPeer : public OwnerDrawPeer {
public:
    explicit ImageButtonPeer(ImageButton& b) : OwnerDrawPeer(b), button_(b) {
        icon_.load(b.icon());
        make();
    }
    void apply(Prop what) override {
        if (what == Prop::Image) icon_.load(button_.icon());
        OwnerDrawPeer::apply(what);
    }

protected:
    void paint(HDC dc, const RECT& rc, const ButtonLook& look) override {
        draw_button_face(dc, rc, look, false);
        const int shift = look.pressed ? 1 : 0;
        const int size = 17;
        HGDIOBJ old = SelectObject(dc, font());
        const std::wstring text = widen(button_.text());
        SIZE need{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &need);
        // Long captions ("设置Quillet" in SimSun 9 pt) barely fit 82 pixels:
        // tighten the margins first, then the letter spacing, never clip.
        int margin = 3;
        if (need.cx > rc.right - rc.left - size - 2 * margin) margin = 1;
        const int avail = rc.right - rc.left - size - 2 * margin - 1;
        int extra = 0;
        if (need.cx > avail && !text.empty())
            extra = -std::min(2, static_cast<int>((need.cx - avail + static_cast<long>(text.size()) - 1) /
                                                  static_cast<long>(text.size())));
        const int ix = rc.left + margin + shift;
        const int iy = rc.top + (rc.bottom - rc.top - size) / 2 + shift;
        if (icon_.bitmap) draw_keyed_bitmap(dc, icon_.bitmap, ix, iy, size, size, RGB(255, 0, 255));
        RECT tr{ix + size + margin, rc.top + shift, rc.right + shift, rc.bottom + shift};
        const int old_extra = SetTextCharacterExtra(dc, extra);
        SetBkMode(dc, TRANSPARENT);
        COLORREF color = button_.text_color();
        if (look.pressed) color = RGB(GetRValue(color) * 3 / 4, GetGValue(color) * 3 / 4, GetBValue(color) * 3 / 4);
        if (look.disabled) color = GetSysColor(COLOR_GRAYTEXT);
        SetTextColor(dc, color);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
        SetTextCharacterExtra(dc, old_extra);
        SelectObject(dc, old);
    }

private:
    ImageButton& button_;
    OwnedPicture icon_;
};

class PictureButtonPeer : public OwnerDrawPeer {
public:
    explicit PictureButtonPeer(PictureButton& b) : OwnerDrawPeer(b), button_(b) {
        picture_.load(b.image());
        make();
    }
    void apply(Prop what) override {
        if (what == Prop::Image) picture_.load(button_.image());
        OwnerDrawPeer::apply(what);
    }

protected:
    void paint(HDC dc, const RECT& rc, const ButtonLook& look) override {
        const int shift = look.pressed ? 1 : 0;
        if (picture_.bitmap) draw_bitmap(dc, picture_.bitmap, rc.left + shift, rc.top + shift, picture_.width, picture_.height);
        if (look.pressed) {
            // A pressed picture darkens a little.
            HBRUSH b = CreateSolidBrush(RGB(0, 0, 0));
            BLENDFUNCTION bf{AC_SRC_OVER, 0, 40, 0};
            HDC tint = CreateCompatibleDC(dc);
            HBITMAP one = CreateCompatibleBitmap(dc, 1, 1);
            HGDIOBJ old = SelectObject(tint, one);
            RECT px{0, 0, 1, 1};
            FillRect(tint, &px, b);
            AlphaBlend(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, tint, 0, 0, 1, 1, bf);
            SelectObject(tint, old);
            DeleteObject(one);
            DeleteDC(tint);
            DeleteObject(b);
        }
    }

private:
    PictureButton& button_;
    OwnedPicture picture_;
};

class ColorPickerPeer : public OwnerDrawPeer {
public:
    explicit ColorPickerPeer(ColorPicker& p) : OwnerDrawPeer(p), picker_(p) { make(); }

protected:
    void paint(HDC dc, const RECT& rc, const ButtonLook& look) override {
        draw_button_face(dc, rc, look, true);
        const int shift = look.pressed ? 1 : 0;
        RECT sw{rc.left + 4 + shift, rc.top + 4 + shift, rc.right - 4 + shift, rc.bottom - 4 + shift};
        HBRUSH fill = CreateSolidBrush(look.disabled ? GetSysColor(COLOR_BTNFACE) : picker_.color());
        FillRect(dc, &sw, fill);
        DeleteObject(fill);
        HBRUSH frame = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
        FrameRect(dc, &sw, frame);
        DeleteObject(frame);
    }

    void clicked() override {
        if (!picker_.reachable()) return;
        static COLORREF custom[16] = {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
                                      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
        CHOOSECOLORW cc{};
        cc.lStructSize = sizeof(cc);
        cc.hwndOwner = GetParent(hwnd());
        cc.rgbResult = picker_.color();
        cc.lpCustColors = custom;
        cc.Flags = CC_RGBINIT | CC_ANYCOLOR;
        std::shared_ptr<bool> alive = alive_;
        if (!ChooseColorW(&cc) || !*alive) return;
        picker_.user_choose(cc.rgbResult);
    }

private:
    ColorPicker& picker_;
};

}  // namespace

std::unique_ptr<Peer> make_control_peer(Control& c) {
    switch (c.kind()) {
        case Kind::Button:
            return std::make_unique<ButtonPeer>(c);
        case Kind::ImageButton:
            return std::make_unique<ImageButtonPeer>(static_cast<ImageButton&>(c));
        case Kind::PictureButton:
            return std::make_unique<PictureButtonPeer>(static_cast<PictureButton&>(c));
        case Kind::Label:
            return std::make_unique<LabelPeer>(static_cast<Label&>(c));
        case Kind::Edit:
            return std::make_unique<EditPeer>(static_cast<Edit&>(c));
        case Kind::CheckBox:
            return std::make_unique<CheckBoxPeer>(static_cast<CheckBox&>(c));
        case Kind::DropDown:
            return std::make_unique<DropDownPeer>(static_cast<DropDown&>(c));
        case Kind::ListView:
            return std::make_unique<ListViewPeer>(static_cast<ListView&>(c));
        case Kind::Slider:
            return std::make_unique<SliderPeer>(static_cast<Slider&>(c));
        case Kind::ColorPicker:
            return std::make_unique<ColorPickerPeer>(static_cast<ColorPicker&>(c));
        case Kind::Window:
            break;
    }
    return nullptr;
}

}  // namespace q::win32::uidetail
