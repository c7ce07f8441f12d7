// Internals of the win32 UI backend, shared by the win_ui*.cpp files only.
#pragma once

#include "platform/win32/win_internal.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace q::win32::uidetail {

// The peer side of a container: the HWND that the container's controls are
// children of (its client origin is the container's origin), and the
// background that see-through controls show.
class Host {
public:
    virtual ~Host() = default;
    virtual HWND host_hwnd() const = 0;
    // Draws the part src (in host client coordinates) of the background into
    // dc with src's top-left at 0, 0.
    virtual void paint_background(HDC dc, const RECT& src) const = 0;
    // True when controls that fill their own background (check boxes,
    // sliders, the caption of a group box) fill it with the face colour, as
    // on a window, picture or not; false where they show what lies behind
    // them (a tab page, whose body is drawn by the tab control).
    virtual bool face_fill() const = 0;
    // Places a new child in the z-order: controls in reading order (the
    // order Tab follows), every label beneath them all.
    void stack_child(HWND child, bool label);
    // WM_ERASEBKGND and WM_PRINTCLIENT of the host's own HWND: its client
    // area filled with its background. False for any other message.
    bool erase_with_background(UINT msg, WPARAM wp, LRESULT& result) const;

protected:
    // After a child was placed (a group box keeps its frame lowest).
    virtual void stacked() {}
};

// WM_COMMAND, WM_NOTIFY, WM_HSCROLL, WM_DRAWITEM and WM_CTLCOLOR* sent to a
// host by its children, handed to the child's peer. True when handled.
bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

// A child control: one HWND in its container's host, subclassed so that
// mouse, focus and drop messages reach the peer. The host's window procedure
// reflects its notifications here. A peer mirrors its object on update() and
// turns what the user does into the object's user_* calls; changes pushed by
// code run under Sync, so the notifications they cause are not reported.
class ControlPeer : public Peer {
public:
    explicit ControlPeer(Control& c);
    ~ControlPeer() override;

    Control& control() const { return control_; }
    HWND hwnd() const { return hwnd_; }
    // The peer of the control's container (nullptr when it has none).
    Host* host() const;

    void update(Prop what) override;

    // Reflected notifications; true when handled.
    virtual bool on_command(WORD /*code*/) { return false; }
    virtual bool on_notify(NMHDR* /*n*/, LRESULT& /*result*/) { return false; }
    virtual bool on_hscroll() { return false; }
    virtual bool on_draw(const DRAWITEMSTRUCT& /*d*/) { return false; }
    virtual bool on_ctlcolor(HDC /*dc*/, LRESULT& /*result*/) { return false; }
    // The XP look was switched: redraw in the new look.
    virtual void restyle();

    static ControlPeer* of(HWND h);

protected:
    // Creates the HWND; called from the concrete constructor, then sync_all().
    void create(const wchar_t* cls, DWORD style, DWORD ex_style = 0);
    // Pushes every part of the object's state to the control.
    virtual void sync_all();
    // Destroys the HWND (to make it again with other fixed styles).
    void destroy_hwnd();
    // Kind-specific part of update().
    virtual void apply(Prop what) {
        if (what == Prop::Text) apply_text();
    }
    // Subclass hook: return true with result set to swallow the message.
    virtual bool message(UINT /*msg*/, WPARAM /*wp*/, LPARAM /*lp*/, LRESULT& /*result*/) { return false; }

    void apply_font();
    void apply_text();
    HFONT font() const { return font_; }
    // Brush of the control's back colour (kept until the colour changes).
    HBRUSH back_brush();
    // WM_CTLCOLOR* answer: the control's text colour on its back colour.
    bool solid_colors(HDC dc, LRESULT& result);
    // The container's background (picture, page or face colour) under rc, a
    // rectangle of the control's client area, drawn with rc's top-left at 0, 0.
    void paint_parent_background(HDC dc, const RECT& rc);
    // For WM_CTLCOLOR* of controls that fill their own background: the face
    // colour, or where the container asks for it (Host::face_fill) a brush
    // of the background behind the control, aligned with it.
    HBRUSH parent_background_brush();
    // Lets the reflected notifications of a part window (a group box's
    // frame) reach this peer; release before the part goes.
    void claim(HWND part);
    void release(HWND part);

    // True while the peer pushes a change made by code: the notifications
    // Windows sends meanwhile are not user actions.
    int syncing_ = 0;
    struct Sync {
        explicit Sync(ControlPeer& p) : p_(p) { ++p_.syncing_; }
        ~Sync() { --p_.syncing_; }
        ControlPeer& p_;
    };
    // Lets a peer notice that a user_* call destroyed it.
    Liveness life_;
    bool hot_ = false;       // pointer over the control
    bool tracking_ = false;  // TME_LEAVE requested

private:
    static LRESULT CALLBACK subclass_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);

    Control& control_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    bool own_font_ = false;
    HBRUSH back_brush_ = nullptr;
    Color back_brush_color_ = 0;
    HBRUSH parent_brush_ = nullptr;
    HBRUSH old_parent_brush_ = nullptr;
};

// Makes the peer of a child control for its kind (win_ui.cpp), with the
// makers of each family: win_ui_buttons.cpp, win_ui_text.cpp,
// win_ui_lists.cpp, win_ui_containers.cpp and win_ui_spin_picture.cpp.
std::unique_ptr<Peer> make_control_peer(Control& c);
std::unique_ptr<Peer> make_button_peer(Button& b);
std::unique_ptr<Peer> make_check_box_peer(CheckBox& c);
std::unique_ptr<Peer> make_image_button_peer(ImageButton& b);
std::unique_ptr<Peer> make_picture_button_peer(PictureButton& b);
std::unique_ptr<Peer> make_color_picker_peer(ColorPicker& p);
std::unique_ptr<Peer> make_label_peer(Label& l);
std::unique_ptr<Peer> make_edit_peer(Edit& e);
std::unique_ptr<Peer> make_drop_down_peer(DropDown& d);
std::unique_ptr<Peer> make_list_view_peer(ListView& l);
std::unique_ptr<Peer> make_slider_peer(Slider& s);
std::unique_ptr<Peer> make_tab_control_peer(TabControl& t);
std::unique_ptr<Peer> make_tab_page_peer(TabPage& p);
std::unique_ptr<Peer> make_group_box_peer(GroupBox& g);
// win_ui_spin_picture.cpp
std::unique_ptr<Peer> make_spin_edit_peer(SpinEdit& s);
std::unique_ptr<Peer> make_picture_box_peer(PictureBox& p);
std::unique_ptr<Peer> make_line_peer(Line& l);
// win_ui_date.cpp
std::unique_ptr<Peer> make_date_picker_peer(DatePicker& d);
// win_ui_lists.cpp
std::unique_ptr<Peer> make_list_box_peer(ListBox& l);

// The window class of tab pages and group boxes: a plain child window whose
// procedure reflects its children's notifications (win_ui.cpp).
const wchar_t* pane_class();

// The peer of a top-level window (win_ui.cpp).
class WindowPeer : public Peer, public Host {
public:
    explicit WindowPeer(Window& w);
    ~WindowPeer() override;
    void update(Prop what) override;
    bool client_size(Size& s) override;

    Window& window() const { return window_; }
    HWND hwnd() const { return hwnd_; }
    // Background picture (nullptr when none).
    HBITMAP background() const { return background_; }
    // The picture, or the face colour where there is none.
    void paint_background(HDC dc, const RECT& src) const override;
    bool face_fill() const override { return true; }
    HWND host_hwnd() const override { return hwnd_; }

    // The DPI the window is laid out at.
    int scale_dpi() const { return dpi_; }

    static WindowPeer* of(HWND h);
    static LRESULT CALLBACK window_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

    // Keyboard use of a captioned window, ahead of dispatch: Ctrl+Tab and
    // Ctrl+PageUp/PageDown turn its pages, then the system's dialog keys
    // (Tab, Esc, Enter, arrows). True when the message was used.
    static bool keyboard(MSG& m);

private:
    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp);
    void apply_shape();
    void apply_opacity();
    // Gives the focus back to the control that last had it, or to the first
    // control of a captioned window; false when there is none.
    bool restore_focus();

    Window& window_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    HWND focus_ = nullptr;  // the child that had the focus when the window was last deactivated
    HBITMAP background_ = nullptr;
    SIZE bg_size_{0, 0};
};

// The whole text of a window or control.
std::wstring window_text(HWND h);
// The names of a WM_DROPFILES drop, in drop order; releases the drop.
std::vector<std::string> dropped_paths(HDROP drop);

// Font of a control: nullptr never; *owned tells whether to DeleteObject it.
HFONT make_font(const Font& f, bool* owned);

// A region of the bitmap's pixels that are not the key colour, in bitmap
// coordinates (nullptr on failure).
HRGN region_from_bitmap(HBITMAP bmp, Color key);

// Owner-drawn looks (win_ui_draw.cpp).
struct ButtonLook {
    bool hot = false;
    bool pressed = false;
    bool disabled = false;
    bool focused = false;
};
// Frame and fill of an owner-drawn button over an already painted background.
void draw_button_face(HDC dc, const RECT& rc, const ButtonLook& look, bool always_framed);
// A bitmap drawn with one colour left out.
void draw_keyed_bitmap(HDC dc, HBITMAP bmp, int x, int y, int w, int h, COLORREF key);
void draw_bitmap(HDC dc, HBITMAP bmp, int x, int y, int w, int h);

// File icons that shortcut buttons hold now (for counting leaks).
int live_file_icons();

// Every live control peer, for set_xp_look.
void for_each_control_peer(void (*f)(ControlPeer&));

}  // namespace q::win32::uidetail
