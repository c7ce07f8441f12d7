// Drop-down lists, the report list view and the slider.
#include "platform/win32/win_ui.h"

#include <algorithm>

namespace q::win32::uidetail {

namespace {

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
                const Rect r = to_device(box_.rect());
                SetWindowPos(hwnd(), nullptr, r.left, r.top, r.width, r.height + to_device(kListHeight),
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
        const AliveToken alive = life_.token();
        box_.user_select(sel);
        if (alive && static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0)) != box_.selection())
            apply(Prop::Selection);
        return true;
    }

private:
    static constexpr int kListHeight = 200;
    DropDown& box_;
};

// ---- ListBox ---------------------------------------------------------------------

class ListBoxPeer : public ControlPeer {
public:
    explicit ListBoxPeer(ListBox& l) : ControlPeer(l), list_(l) {
        create(L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE);
        sync_all();
    }
    void sync_all() override {
        apply_font();
        apply(Prop::Items);
    }
    void apply(Prop what) override {
        switch (what) {
            case Prop::Items: {
                Sync s(*this);
                SendMessageW(hwnd(), WM_SETREDRAW, FALSE, 0);
                SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
                for (const std::string& item : list_.items())
                    SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(item).c_str()));
                SendMessageW(hwnd(), WM_SETREDRAW, TRUE, 0);
                InvalidateRect(hwnd(), nullptr, TRUE);
                apply(Prop::Selection);
                break;
            }
            case Prop::Selection: {
                Sync s(*this);
                SendMessageW(hwnd(), LB_SETCURSEL, static_cast<WPARAM>(list_.selection()), 0);
                break;
            }
            default:
                ControlPeer::apply(what);
                break;
        }
    }
    bool on_command(WORD code) override {
        if (code != LBN_SELCHANGE || syncing_) return true;
        const int sel = static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0));
        const AliveToken alive = life_.token();
        list_.user_select(sel);
        if (alive && static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0)) != list_.selection())
            apply(Prop::Selection);
        return true;
    }

private:
    ListBox& list_;
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
                    col.cx = to_device(c.width);
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
                // is shown at once (and takes the count along). Asking the
                // control for its selection walks every row, too slow to do
                // for each row a search adds: the last one shown is compared.
                if (list_.selection() != shown_selection_) apply_selection();
                // Once the whole list waits for its paint, invalidating it again
                // adds nothing; rows changed below the view (a search adding
                // rows) only move the scroll bar, and the list is not repainted.
                if (const int from = list_.take_changed_from(); !invalid_ && from <= last_row_in_view())
                    invalid_ = InvalidateRect(hwnd(), nullptr, FALSE) != FALSE;
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
    bool message(UINT msg, WPARAM wp, LPARAM, LRESULT& result) override {
        if (msg == WM_PAINT) invalid_ = false;
        // Any message may scroll or resize the view.
        in_view_known_ = false;
        if (msg == kSyncCount || (msg == WM_TIMER && wp == kCountTimer)) {
            if (msg == kSyncCount)
                count_due();
            else
                sync_count();  // the wait is over
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
    static constexpr UINT_PTR kCountTimer = 0x5143;
    static constexpr ULONGLONG kCountEveryMs = 250;

    // A list growing below a full view (a search adding thousands of rows)
    // moves only its scroll bar, and redrawing that costs tens of
    // milliseconds on a busy machine: its count then follows a few times a
    // second instead of after every burst of rows.
    void count_due() {
        const ULONGLONG now = GetTickCount64();
        const bool below_view = list_.row_count() > shown_count_ && shown_count_ > last_row_in_view();
        if (below_view && now - synced_at_ < kCountEveryMs) {
            const UINT wait = static_cast<UINT>(kCountEveryMs - (now - synced_at_));
            if (timer_set_ || SetTimer(hwnd(), kCountTimer, wait, nullptr)) {
                timer_set_ = true;
                return;  // the count stays pending
            }
        }
        sync_count();
    }

    void sync_count() {
        count_pending_ = false;
        if (timer_set_) {
            KillTimer(hwnd(), kCountTimer);
            timer_set_ = false;
        }
        if (list_.row_count() == shown_count_) return;
        synced_at_ = GetTickCount64();
        Sync s(*this);
        const bool shrank = list_.row_count() < shown_count_;
        shown_count_ = list_.row_count();
        // Rows added repaint only where they show (Prop::Rows saw to those in view).
        ListView_SetItemCountEx(hwnd(), shown_count_, LVSICF_NOSCROLL | (shrank ? 0 : LVSICF_NOINVALIDATEALL));
        // A growing list keeps its selection; asking the control for it walks every row.
        if (shrank || list_.selection() != shown_selection_) apply_selection();
    }

    // The last row the view can show (a partly shown one included), asked of
    // the control once between two of its messages rather than for every row.
    int last_row_in_view() {
        if (!in_view_known_) {
            const int last = ListView_GetTopIndex(hwnd()) + ListView_GetCountPerPage(hwnd());
            last_in_view_ = last;
            in_view_known_ = true;
        }
        return last_in_view_;
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
        shown_selection_ = want;
        const int have = ListView_GetNextItem(hwnd(), -1, LVNI_SELECTED);
        if (have == want) return;
        ListView_SetItemState(hwnd(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (want >= 0) ListView_SetItemState(hwnd(), want, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    void pick(int row) {
        const AliveToken alive = life_.token();
        list_.user_pick(row);
        if (alive) apply_selection();
    }

    void toggle(int row) {
        const AliveToken alive = life_.token();
        list_.user_check(row, !list_.row_checked(row));
        if (alive) ListView_RedrawItems(hwnd(), row, row);
    }

    ListView& list_;
    bool picked_in_click_ = false;
    int shown_count_ = 0;
    int shown_selection_ = -1;
    bool invalid_ = false;
    bool count_pending_ = false;
    bool timer_set_ = false;
    ULONGLONG synced_at_ = 0;
    bool in_view_known_ = false;
    int last_in_view_ = 0;
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
        const AliveToken alive = life_.token();
        slider_.user_move(pos);
        if (alive && static_cast<int>(SendMessageW(hwnd(), TBM_GETPOS, 0, 0)) != slider_.position())
            apply(Prop::Value);
        return true;
    }
    // The track's background: the face colour, or the page behind it.
    bool on_ctlcolor(HDC, LRESULT& result) override {
        result = reinterpret_cast<LRESULT>(parent_background_brush());
        return true;
    }

private:
    Slider& slider_;
};

}  // namespace

std::unique_ptr<Peer> make_drop_down_peer(DropDown& c) { return std::make_unique<DropDownPeer>(c); }
std::unique_ptr<Peer> make_list_box_peer(ListBox& c) { return std::make_unique<ListBoxPeer>(c); }
std::unique_ptr<Peer> make_list_view_peer(ListView& c) { return std::make_unique<ListViewPeer>(c); }
std::unique_ptr<Peer> make_slider_peer(Slider& c) { return std::make_unique<SliderPeer>(c); }

}  // namespace q::win32::uidetail
