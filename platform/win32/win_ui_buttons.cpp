// The button family: push buttons, check boxes and the buttons we draw
// ourselves (image, picture and colour buttons).
#include "platform/win32/win_ui.h"
#include "platform/win32/win_system.h"

#include <commdlg.h>

#include <algorithm>

namespace q::win32::uidetail {

namespace {

int file_icons = 0;

// ---- Button ----------------------------------------------------------------------

class ButtonPeer : public ControlPeer {
public:
    explicit ButtonPeer(Control& c) : ControlPeer(c) {
        // A button of two lines' height or more wraps a caption too long for one.
        create(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | (c.rect().height >= 36 ? BS_MULTILINE : 0));
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
        const AliveToken alive = life_.token();
        box_.user_click();
        if (alive) apply(Prop::Check);
        return true;
    }
    bool on_ctlcolor(HDC dc, LRESULT& result) override {
        SetTextColor(dc, control().text_color());
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        HBRUSH b = parent_background_brush();
        if (b != GetSysColorBrush(COLOR_BTNFACE)) SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(b);
        return true;
    }

private:
    CheckBox& box_;
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
                const AliveToken alive = life_.token();
                result = DefSubclassProc(hwnd(), WM_LBUTTONDOWN, wp, lp);
                if (alive) control().user_mouse_down(MouseButton::Left);
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
        const int shift = look.pressed ? to_device(1) : 0;
        const int size = to_device(17);
        HGDIOBJ old = SelectObject(dc, font());
        const std::wstring text = widen(button_.text());
        SIZE need{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &need);
        // Long captions ("设置Quillet" in SimSun 9 pt) barely fit 82 pixels:
        // tighten the margins first, then the letter spacing, never clip.
        int margin = to_device(3);
        if (need.cx > rc.right - rc.left - size - 2 * margin) margin = to_device(1);
        const int avail = rc.right - rc.left - size - 2 * margin - 1;
        int extra = 0;
        if (need.cx > avail && !text.empty())
            extra = -std::min(to_device(2), static_cast<int>((need.cx - avail + static_cast<long>(text.size()) - 1) /
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

// A push button of a file target: the target's small shell icon left of the
// caption. The icon is the peer's own, destroyed when it changes and when the
// button goes, so a window opened again and again holds no more icons.
class FileIconButtonPeer : public OwnerDrawPeer {
public:
    explicit FileIconButtonPeer(Button& b) : OwnerDrawPeer(b), button_(b) {
        load();
        make();
    }
    ~FileIconButtonPeer() override { release(); }
    void apply(Prop what) override {
        if (what == Prop::Image) load();
        OwnerDrawPeer::apply(what);
    }

protected:
    void paint(HDC dc, const RECT& rc, const ButtonLook& look) override {
        if (xp_look()) {
            draw_button_face(dc, rc, look, true);
        } else {
            RECT face = rc;
            DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (look.pressed ? DFCS_PUSHED : 0));
        }
        const int shift = look.pressed ? to_device(1) : 0;
        const int size = GetSystemMetrics(SM_CXSMICON);
        const int x = rc.left + to_device(4) + shift;
        if (icon_) DrawIconEx(dc, x, rc.top + (rc.bottom - rc.top - size) / 2 + shift, icon_, size, size, 0, nullptr, DI_NORMAL);
        RECT tr{icon_ ? x + size + to_device(2) : rc.left + to_device(3) + shift, rc.top + shift,
                rc.right - to_device(3) + shift, rc.bottom + shift};
        HGDIOBJ old = SelectObject(dc, font());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, look.disabled ? GetSysColor(COLOR_GRAYTEXT) : button_.text_color());
        const std::wstring text = widen(button_.text());
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr,
                  DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        SelectObject(dc, old);
        if (look.focused) {
            RECT f = rc;
            InflateRect(&f, -to_device(3), -to_device(3));
            DrawFocusRect(dc, &f);
        }
    }

private:
    void load() {
        release();
        const Button::FileIcon& fi = button_.file_icon();
        if (fi.look == Button::FileIcon::Look::None) return;
        SHFILEINFOW info{};
        const UINT flags = SHGFI_ICON | SHGFI_SMALLICON;
        if (fi.look == Button::FileIcon::Look::OfPath &&
            SHGetFileInfoW(widen(fi.path).c_str(), 0, &info, sizeof info, flags) && info.hIcon) {
            icon_ = info.hIcon;
            ++file_icons;
            return;
        }
        // Plain: a file of no type, as the shell draws one, without touching the disk.
        info = SHFILEINFOW{};
        if (SHGetFileInfoW(L"x", FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags | SHGFI_USEFILEATTRIBUTES) &&
            info.hIcon) {
            icon_ = info.hIcon;
            ++file_icons;
        }
    }
    void release() {
        if (!icon_) return;
        DestroyIcon(icon_);
        icon_ = nullptr;
        --file_icons;
    }

    Button& button_;
    HICON icon_ = nullptr;
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
        const int shift = look.pressed ? to_device(1) : 0;
        if (picture_.bitmap) draw_bitmap(dc, picture_.bitmap, rc.left + shift, rc.top + shift, to_device(picture_.width),
                        to_device(picture_.height));
        if (look.pressed) {
            // A pressed picture darkens a little.
            HBRUSH b = CreateSolidBrush(RGB(0, 0, 0));
            BLENDFUNCTION bf{AC_SRC_OVER, 0, 40, 0};
            HDC tint = CreateCompatibleDC(dc);
            HBITMAP one = CreateCompatibleBitmap(dc, 1, 1);
            HGDIOBJ old = SelectObject(tint, one);
            RECT px{0, 0, 1, 1};
            FillRect(tint, &px, b);
            GdiAlphaBlend(dc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, tint, 0, 0, 1, 1, bf);
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
        const int shift = look.pressed ? to_device(1) : 0;
        const int inset = to_device(4);
        RECT sw{rc.left + inset + shift, rc.top + inset + shift, rc.right - inset + shift, rc.bottom - inset + shift};
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
        const AliveToken alive = life_.token();
        bool chosen;
        {
            const Win32System::ModalStep step;
            chosen = lib::choose_color(&cc) != FALSE;
        }
        if (!chosen || !alive) return;
        picker_.user_choose(cc.rgbResult);
    }

private:
    ColorPicker& picker_;
};

}  // namespace

int live_file_icons() { return file_icons; }

std::unique_ptr<Peer> make_button_peer(Button& c) {
    if (c.shows_file_icon()) return std::make_unique<FileIconButtonPeer>(c);
    return std::make_unique<ButtonPeer>(c);
}
std::unique_ptr<Peer> make_check_box_peer(CheckBox& c) { return std::make_unique<CheckBoxPeer>(c); }
std::unique_ptr<Peer> make_image_button_peer(ImageButton& c) { return std::make_unique<ImageButtonPeer>(c); }
std::unique_ptr<Peer> make_picture_button_peer(PictureButton& c) { return std::make_unique<PictureButtonPeer>(c); }
std::unique_ptr<Peer> make_color_picker_peer(ColorPicker& c) { return std::make_unique<ColorPickerPeer>(c); }

}  // namespace q::win32::uidetail
