// Labels (plain, see-through, hyperlink) and edit boxes.
#include "platform/win32/win_ui.h"

#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "platform/text.h"

namespace q::win32::uidetail {

namespace {

// ---- Label -----------------------------------------------------------------------

class LabelPeer : public ControlPeer {
public:
    explicit LabelPeer(Label& l) : ControlPeer(l), label_(l) {
        // A link is reached by Tab and followed by Enter or Space, as a button.
        create(L"STATIC", SS_LEFT | SS_NOTIFY | SS_NOPREFIX | (l.look() == Label::Look::Hyperlink ? WS_TABSTOP : 0));
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
    bool on_ctlcolor(HDC dc, LRESULT& result) override { return solid_colors(dc, result); }

protected:
    bool message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (!drawn_here()) return false;
        const bool link = label_.look() == Label::Look::Hyperlink;
        switch (msg) {
            case WM_GETDLGCODE:
                if (!link) return false;
                result = DLGC_STATIC;
                if (lp) {
                    const MSG* m = reinterpret_cast<const MSG*>(lp);
                    if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN) result |= DLGC_WANTMESSAGE;
                }
                return true;
            case WM_KEYDOWN:
                if (!link || (wp != VK_RETURN && wp != VK_SPACE)) return false;
                control().user_click();
                result = 0;
                return true;
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                // The focus rectangle comes and goes.
                if (link) InvalidateRect(hwnd(), nullptr, FALSE);
                return false;
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
            if (link && GetFocus() == hwnd()) {
                RECT fr = rc;
                DrawTextW(mem, text.c_str(), static_cast<int>(text.size()), &fr,
                          DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL | DT_CALCRECT);
                fr.right = std::min(fr.right, rc.right);
                fr.bottom = std::min(fr.bottom, rc.bottom);
                DrawFocusRect(mem, &fr);
            }
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

// Up to this many bytes a change is read at once, which lets a retyped
// identical text raise nothing; a longer text stays in the box until the
// program reads it, so a keystroke costs no copy or conversion of it all.
constexpr std::size_t kReadAtOnce = 32768;

class EditPeer : public ControlPeer {
public:
    explicit EditPeer(Edit& e) : ControlPeer(e), edit_(e) { make(); }
    ~EditPeer() override { hand_over(); }

    std::string read_text() override {
        lent_ = false;
        std::string t = box_text();
        long_ = t.size() > kReadAtOnce;
        return t;
    }

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
                lent_ = false;
                shown_ = edit_.text();
                shown_valid_ = true;
                long_ = shown_.size() > kReadAtOnce;
                break;
            case Prop::Style:
                apply_style();
                break;
            case Prop::Selection:
                SendMessageW(hwnd(), EM_SETSEL, 0, -1);
                break;
            default:
                ControlPeer::apply(what);
                break;
        }
    }

    bool on_command(WORD code) override {
        if (code != EN_CHANGE || syncing_) return true;
        const std::size_t max = edit_.mode().max_bytes;
        const AliveToken alive = life_.token();
        if (max == 0 && (lent_ || long_)) {
            // The box keeps the text; the object reads it when asked.
            const bool was_lent = lent_;
            lent_ = true;
            shown_valid_ = false;
            if (!edit_.user_changed() && alive && !was_lent) {
                lent_ = false;
                take_back();
            }
            return true;
        }
        // A character that CP936 lacks stays in the box, where the caret is;
        // the object holds its escape, so a path shown here reads back whole.
        std::string t = box_text();
        if (max && t.size() > max) {
            // The box counts its limit in UTF-16 units, the program in bytes:
            // an insertion past the byte limit is undone, caret and all.
            shown_valid_ = false;
            apply(Prop::Text);
            SendMessageW(hwnd(), EM_SETSEL, sel_before_.first, sel_before_.second);
            return true;
        }
        long_ = t.size() > kReadAtOnce;
        shown_ = t;
        shown_valid_ = true;
        edit_.user_type(std::move(t));
        if (!alive) return true;
        // What the object refused is taken back.
        if (edit_.text() != shown_) take_back();
        return true;
    }

    bool on_ctlcolor(HDC dc, LRESULT& result) override { return solid_colors(dc, result); }

protected:
    bool message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (edit_.mode().max_bytes != 0 && changes_text(msg)) {
            // Where the caret stood before the change, to put it back if the change is refused.
            DWORD from = 0, to = 0;
            SendMessageW(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
            sel_before_ = {from, to};
        }
        if (msg == WM_LBUTTONDBLCLK) {
            result = DefSubclassProc(hwnd(), msg, wp, lp);
            control().user_double_click();
            return true;
        }
        if (msg == WM_DROPFILES) {
            edit_.user_drop(dropped_paths(reinterpret_cast<HDROP>(wp)));
            result = 0;
            return true;
        }
        return false;
    }

private:
    // Only a box without a limit lends its text, so this needs no cut.
    std::string box_text() const { return narrow(window_text(hwnd())); }

    static bool changes_text(UINT msg) {
        switch (msg) {
            case WM_CHAR: case WM_IME_CHAR: case WM_IME_COMPOSITION: case WM_KEYDOWN:
            case WM_PASTE: case WM_CUT: case WM_CLEAR: case WM_UNDO: case EM_UNDO: case EM_REPLACESEL:
                return true;
            default:
                return false;
        }
    }

    // The object is the truth: the box shows its text again, caret at the end.
    void take_back() {
        shown_valid_ = false;
        apply(Prop::Text);
        SendMessageW(hwnd(), EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
    }

    // Before the box goes, the object takes the text it still holds.
    void hand_over() {
        if (!lent_ || !hwnd()) return;
        lent_ = false;
        edit_.keep_box_text(box_text());
    }

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
        // Under the new mode the object's text is its own again.
        hand_over();
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
    // The object's text as read from the box or pushed to it (valid when
    // shown_valid_): pushing it again would only move the caret.
    std::string shown_;
    bool shown_valid_ = false;
    // The user changed the text and the object has not read it yet.
    bool lent_ = false;
    // The text is longer than kReadAtOnce (as last read or pushed).
    bool long_ = false;
    // The selection before the last keystroke or paste into a limited box.
    std::pair<WPARAM, LPARAM> sel_before_{0, 0};
};

}  // namespace

std::unique_ptr<Peer> make_label_peer(Label& c) { return std::make_unique<LabelPeer>(c); }
std::unique_ptr<Peer> make_edit_peer(Edit& c) { return std::make_unique<EditPeer>(c); }

}  // namespace q::win32::uidetail
