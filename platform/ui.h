// The UI half of the seam: portable window and control objects.
//
// An object holds what the user sees (text, check, items, selection, position,
// visibility, ...) and raises events. A backend peer mirrors that state on the
// screen: the object calls peer->update(Prop) after each change made by code,
// and the peer reports what the user did through the user_* methods, which
// are also what tests call to act as a user.
//
// Rules shared by both backends:
// - Setters called by code never raise events; user_* methods do.
// - A control belongs to a container: a window, a tab page or a group box.
//   Its geometry is relative to that container (a window's is in screen
//   pixels). It is on the screen only while every container above it is
//   visible, and the user reaches it only while all of them are also enabled
//   and the window is created; user_* on a control out of reach does nothing.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/datetime.h"
#include "platform/liveness.h"
#include "platform/resources.h"
#include "platform/types.h"

namespace q {

class Window;
class Control;
class Container;
class TabControl;

enum class Kind {
    Window,
    Button,
    ImageButton,    // icon left of a caption, owner-drawn hover and pressed looks
    PictureButton,  // a bitmap only
    Label,
    Edit,
    CheckBox,
    DropDown,
    ListView,
    Slider,
    ColorPicker,
    TabControl,
    TabPage,  // made by its TabControl
    GroupBox,
    SpinEdit,
    PictureBox,
    Line,
    DatePicker,
    ListBox,
};

// Which part of an object's state changed, for its peer.
enum class Prop {
    Geometry,
    Text,
    Visible,
    Enabled,
    Font,
    Colors,
    Focus,
    Check,      // CheckBox
    Items,      // DropDown items, TabControl captions
    Selection,  // DropDown, ListView, TabControl; Edit: the whole text selected
    Columns,    // ListView
    Rows,       // ListView: rows or cells
    Scroll,     // ListView: bring the selected row into view
    Range,      // Slider, SpinEdit
    Value,      // Slider position, ColorPicker colour
    Image,      // PictureButton, ImageButton, PictureBox, Window background
    Topmost,    // Window: make topmost / not topmost (sent on every request)
    Opacity,    // Window: layered alpha
    Shape,      // Window: region cut from a bitmap
    Style,      // Edit limits and modes, Label kinds, Window styles
};

enum class MouseButton { Left, Right };

// Keys a control may take for itself when pressed (virtual-key codes).
enum KeyCode {
    kKeyPageUp = 0x21,
    kKeyPageDown = 0x22,
    kKeyLeft = 0x25,
    kKeyUp = 0x26,
    kKeyRight = 0x27,
    kKeyDown = 0x28,
    kKeyMenu = 0x5D,  // the context-menu key (or Shift+F10)
};

class Peer {
public:
    virtual ~Peer() = default;
    virtual void update(Prop what) = 0;
    // The text the user left in the control, for a peer that hands it over
    // only when it is asked for (Edit::user_changed).
    virtual std::string read_text() { return {}; }
    // A window's client area as the system made it; false when the peer
    // cannot tell (the sim's model is used then).
    virtual bool client_size(Size&) { return false; }
};

// Creates peers and runs the few things only the backend can do.
class UiBackend {
public:
    virtual ~UiBackend() = default;
    // Called by Window::create for the window first, then for each control
    // in the order they were made (a container always before what it holds),
    // and for a control made later in a created window. May return nullptr
    // (the sim).
    virtual std::unique_ptr<Peer> create_peer(Control& c) = 0;
    // The system's window-move loop (WM_SYSCOMMAND 0xF012); returns when the
    // user releases the button, the window's new place already reported.
    virtual void drag(Window& w) = 0;
};
UiBackend& ui_backend();
void install_ui_backend(UiBackend* b);

class Control {
public:
    Control(Container* container, Kind kind, Rect rect, std::string text = {});
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    Kind kind() const { return kind_; }
    // What holds the control (nullptr for a window).
    Container* container() const { return container_; }
    // The top-level window the control is in (the window itself for a window).
    Window* window() const;
    Peer* peer() const { return peer_.get(); }

    const Rect& rect() const { return rect_; }
    void set_rect(Rect r);
    void move(int left, int top);

    // An edit box's text is read back from the box here when the user changed it.
    const std::string& text() const {
        if (text_in_box_) read_back_text();
        return text_;
    }
    void set_text(std::string t);

    // The control's own flag; see shown() for what the screen shows.
    bool visible() const { return visible_; }
    void set_visible(bool v);
    void show() { set_visible(true); }
    void hide() { set_visible(false); }

    bool enabled() const { return enabled_; }
    void set_enabled(bool e);

    const Font& font() const { return font_; }
    void set_font(Font f);
    Color text_color() const { return text_color_; }
    void set_text_color(Color c);
    // Background colour; only Edit and Label honour it.
    Color back_color() const { return back_color_; }
    void set_back_color(Color c);

    void set_focus();

    // True when the control is on the screen: it, every container above it
    // and its window are visible, and the window is created.
    bool shown() const;
    // True when the user can reach the control now: shown, and it and every
    // container above it enabled.
    bool reachable() const;

    // ---- what the user does (peers and tests) ----
    virtual void user_click();
    void user_double_click();
    void user_mouse_down(MouseButton b);
    void user_pointer_move();
    void user_pointer_leave();
    void user_focus();
    void user_focus_lost();
    // A character typed while the control has the focus (13: Enter).
    void user_key(int ch);
    // A key pressed while the control has the focus (a KeyCode), Ctrl held or
    // not. A control with on_key_down takes the arrow keys for itself.
    void user_key_down(int key, bool ctrl);

    std::function<void()> on_click;
    std::function<void()> on_double_click;
    std::function<void(MouseButton)> on_mouse_down;
    std::function<void()> on_pointer_move;
    std::function<void()> on_pointer_leave;
    std::function<void()> on_focus;
    std::function<void()> on_focus_lost;
    std::function<void(int)> on_key;
    std::function<void(int, bool)> on_key_down;

protected:
    void changed(Prop p) {
        if (peer_) peer_->update(p);
    }
    static void raise(const std::function<void()>& f) {
        if (f) f();
    }
    // Every concrete control calls this at the end of its constructor: in a
    // window already created, the peer is made now that the object is whole.
    void made();
    // After the rectangle changed (by code or by the user).
    virtual void rect_changed(bool /*moved*/) {}

private:
    friend class Window;
    friend class Container;
    friend class Edit;
    void detach();
    void read_back_text() const;
    Kind kind_;
    Container* container_;
    Window* window_;  // nullptr for a window and for a control outside any
    Rect rect_;
    mutable std::string text_;
    // Edit: the box holds newer text than text_, read back on the next text().
    mutable bool text_in_box_ = false;
    bool visible_ = true;
    bool enabled_ = true;
    Font font_;
    Color text_color_ = kBlack;
    Color back_color_ = kWhite;
    std::unique_ptr<Peer> peer_;
};

// Holds controls: a window, a tab page or a group box. Its controls are
// listed in the order they were made.
class Container : public Control {
public:
    const std::vector<Control*>& children() const { return children_; }

protected:
    Container(Container* container, Kind kind, Rect r, std::string text = {})
        : Control(container, kind, r, std::move(text)) {}
    ~Container() override;

private:
    friend class Control;
    std::vector<Control*> children_;
};

class Button : public Control {
public:
    Button(Container* parent, Rect r, std::string caption) : Control(parent, Kind::Button, r, std::move(caption)) {
        made();
    }

    // The small icon a button of file targets shows left of its caption:
    // none, the shell's icon of a path, or a plain one for a target that is
    // gone or cannot be reached. The backend loads it when it is set and
    // frees it when it changes or the button goes.
    struct FileIcon {
        enum class Look { None, OfPath, Plain } look = Look::None;
        std::string path;  // OfPath only
        bool operator==(const FileIcon& o) const { return look == o.look && path == o.path; }
    };
    const FileIcon& file_icon() const { return file_icon_; }
    void set_file_icon(FileIcon icon);
    // Made with room for a file icon (a button drawn by the backend).
    bool shows_file_icon() const { return shows_file_icon_; }

protected:
    Button(Container* parent, Rect r, std::string caption, bool shows_file_icon)
        : Control(parent, Kind::Button, r, std::move(caption)), shows_file_icon_(shows_file_icon) {
        made();
    }

private:
    bool shows_file_icon_ = false;
    FileIcon file_icon_;
};

// Icon left of the caption; the backend draws the hover and pressed looks.
class ImageButton : public Control {
public:
    ImageButton(Container* parent, Rect r, std::string caption, Res icon)
        : Control(parent, Kind::ImageButton, r, std::move(caption)), icon_(icon) {
        made();
    }
    Res icon() const { return icon_; }

private:
    Res icon_;
};

class PictureButton : public Control {
public:
    PictureButton(Container* parent, Rect r, Res image) : Control(parent, Kind::PictureButton, r), image_(image) {
        made();
    }
    Res image() const { return image_; }

private:
    Res image_;
};

class Label : public Control {
public:
    enum class Look { Plain, Transparent, Hyperlink };
    Label(Container* parent, Rect r, std::string caption, Look look = Look::Plain)
        : Control(parent, Kind::Label, r, std::move(caption)), look_(look) {
        made();
    }
    Look look() const { return look_; }

private:
    Look look_;
};

class Edit : public Control {
public:
    struct Mode {
        bool multi_line = false;
        bool read_only = false;
        bool number_only = false;
        bool vertical_scroll = false;
        bool accept_files = false;
        // Bytes of CP936 text the box holds; 0: as much as memory allows
        // (never the control's 32K default).
        std::size_t max_bytes = 0;

        // The kinds of box the windows share.
        static Mode line(std::size_t max_bytes, bool multi_line = false);  // at most max_bytes
        static Mode numbers();                                               // digits only
        static Mode text_view();  // multi-line, read-only, scrolled: a text to read
    };
    Edit(Container* parent, Rect r, Mode m, std::string text = {})
        : Control(parent, Kind::Edit, r, std::move(text)), mode_(m) {
        made();
    }
    // g++ refuses "Mode m = {}" above: a nested aggregate's member initialisers
    // are not usable before the enclosing class is complete.
    Edit(Container* parent, Rect r);
    // The peer goes first, while the object can still take the box's text.
    ~Edit() override { peer_.reset(); }
    const Mode& mode() const { return mode_; }
    void set_mode(Mode m);

    // The user replaced the whole text (typing, pasting): raises on_change.
    void user_type(std::string new_text);
    // The user changed the text in the box, which the peer hands over (as
    // Peer::read_text) only when the program reads it, so that a key typed
    // into a long note costs no conversion of the whole text: raises
    // on_change. False when the box is out of the user's reach and the peer
    // is to take the change back.
    bool user_changed();
    // The peer goes: the text the user left in the box becomes the object's.
    void keep_box_text(std::string t);
    // The user dropped files from the shell, in drop order.
    void user_drop(std::vector<std::string> paths);
    // Selects the whole text, so that what the user types replaces it.
    void select_all();
    // The whole text is selected and has not changed since.
    bool all_selected() const { return all_selected_ && text() == selected_; }

    std::function<void()> on_change;
    std::function<void(const std::vector<std::string>&)> on_files_dropped;

private:
    Mode mode_;
    bool all_selected_ = false;
    std::string selected_;
};

class CheckBox : public Control {
public:
    CheckBox(Container* parent, Rect r, std::string caption) : Control(parent, Kind::CheckBox, r, std::move(caption)) {
        made();
    }
    bool checked() const { return checked_; }
    void set_checked(bool c);
    // Toggles the tick, then raises on_click.
    void user_click() override;

private:
    bool checked_ = false;
};

class DropDown : public Control {
public:
    DropDown(Container* parent, Rect r, std::vector<std::string> items = {});
    const std::vector<std::string>& items() const { return items_; }
    int item_data(int i) const;
    void set_items(std::vector<std::string> items);
    void add_item(std::string item, int data = 0);
    void clear_items();
    // -1: nothing selected. An index outside the items selects nothing.
    int selection() const { return selection_; }
    void select(int i);
    std::string selected_text() const;

    void user_select(int i);  // raises on_change
    std::function<void()> on_change;

private:
    std::vector<std::string> items_;
    std::vector<int> data_;
    int selection_ = -1;
};

// A plain list of texts, one selectable at a time.
class ListBox : public Control {
public:
    ListBox(Container* parent, Rect r) : Control(parent, Kind::ListBox, r) { made(); }
    const std::vector<std::string>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    // Empty for an index outside the list.
    std::string item(int i) const;
    // At pos clamped to 0..count; the selection stays on its item.
    void insert_item(int pos, std::string text);
    void add_item(std::string text) { insert_item(count(), std::move(text)); }
    void set_item(int i, std::string text);
    void remove_item(int i);
    void clear_items();
    // -1: nothing selected. An index outside the items selects nothing.
    int selection() const { return selection_; }
    void select(int i);

    void user_select(int i);  // raises on_change
    std::function<void()> on_change;

private:
    std::vector<std::string> items_;
    int selection_ = -1;
};

// Report-style list view with columns, optional tick boxes per row and two
// background colours (the list area and the area behind item text).
class ListView : public Control {
public:
    struct Column {
        std::string heading;
        int width = 0;
    };
    ListView(Container* parent, Rect r, std::vector<Column> columns, bool check_boxes = false);
    const std::vector<Column>& columns() const { return columns_; }
    bool check_boxes() const { return check_boxes_; }

    int row_count() const { return static_cast<int>(rows_.size()); }
    // Empty text for a row or column outside the list; good until the list changes.
    const std::string& cell(int row, int column) const;
    void set_cell(int row, int column, std::string text);
    // Inserts an empty row at pos (clamped to 0..count); returns its index.
    int insert_row(int pos);
    int append_row() { return insert_row(row_count()); }
    void remove_row(int row);
    void clear();
    bool row_checked(int row) const;
    void set_row_checked(int row, bool c);

    // Selected row or -1. Selecting from code raises nothing.
    int selection() const { return selection_; }
    void select(int row);
    void scroll_into_view(int row);

    Color list_color() const { return list_color_; }
    Color item_color() const { return item_color_; }
    void set_colors(Color list, Color item);

    // The user picked a row (-1: clicked where no row is): raises on_pick.
    void user_pick(int row);
    void user_check(int row, bool c);  // raises on_check
    std::function<void()> on_pick;
    std::function<void(int)> on_check;

    // The first row changed (added, removed, written or ticked) since the last
    // call, or INT_MAX: a view repaints only when that row is in sight.
    int take_changed_from() { return std::exchange(changed_from_, INT_MAX); }

private:
    struct Row {
        std::vector<std::string> cells;
        bool checked = false;
    };
    std::vector<Column> columns_;
    bool check_boxes_;
    std::vector<Row> rows_;
    void row_changed(int row) {
        changed_from_ = std::min(changed_from_, row);
        changed(Prop::Rows);
    }
    int selection_ = -1;
    int changed_from_ = INT_MAX;
    Color list_color_ = kWhite;
    Color item_color_ = kWhite;
};

class Slider : public Control {
public:
    Slider(Container* parent, Rect r, int min, int max) : Control(parent, Kind::Slider, r), min_(min), max_(max) {
        made();
    }
    int min() const { return min_; }
    int max() const { return max_; }
    int position() const { return position_; }
    // Clamped to min..max.
    void set_position(int p);
    void user_move(int p);  // raises on_change
    std::function<void()> on_change;

private:
    int min_, max_;
    int position_ = 0;
};

// A colour swatch that opens the system colour dialog when clicked.
class ColorPicker : public Control {
public:
    ColorPicker(Container* parent, Rect r, Color initial) : Control(parent, Kind::ColorPicker, r), color_(initial) {
        made();
    }
    Color color() const { return color_; }
    void set_color(Color c);
    void user_choose(Color c);  // raises on_change
    std::function<void()> on_change;

private:
    Color color_;
};

// A number box with up and down arrows. The text is what the user typed,
// stored as typed; the arrows step the number within min..max and write it
// back, as the system's up-down control does with its buddy.
class SpinEdit : public Control {
public:
    SpinEdit(Container* parent, Rect r, int min, int max, std::string text = {});
    int min() const { return min_; }
    int max() const { return max_; }
    // The user replaced the whole text: raises on_change.
    void user_type(std::string new_text);
    // The user pressed an arrow steps times (negative: down). The number the
    // box shows (or the last one in range) moves, held at the ends; on_change
    // is raised when the text changed.
    void user_spin(int steps);
    std::function<void()> on_change;

private:
    int min_, max_;
    int position_;
};

// A picture from the program's resources, drawn at its own size; or a
// canvas that shows pixels the program gives it.
class PictureBox : public Control {
public:
    PictureBox(Container* parent, Rect r, Res image) : Control(parent, Kind::PictureBox, r), image_(image) {
        made();
    }
    // A canvas, empty at first.
    PictureBox(Container* parent, Rect r) : Control(parent, Kind::PictureBox, r), canvas_(true) { made(); }
    Res image() const { return image_; }

    bool canvas() const { return canvas_; }
    // Canvas pixels, 0x00RRGGBB, row by row from the top, drawn at the
    // box's top-left at their own size. Empty pixels: the box is blank.
    // Pixels that do not fill width x height are refused (blank).
    void set_pixels(int width, int height, std::vector<std::uint32_t> pixels);
    void clear_pixels() { set_pixels(0, 0, {}); }
    int pixels_width() const { return pixels_width_; }
    int pixels_height() const { return pixels_height_; }
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

private:
    Res image_ = Res::AppIcon;
    bool canvas_ = false;
    int pixels_width_ = 0, pixels_height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// A drop-down calendar holding one date (the time of day is always 00:00:00).
class DatePicker : public Control {
public:
    DatePicker(Container* parent, Rect r);
    const DateTime& date() const { return date_; }
    // Keeps the date part; a date that is not a real one is ignored.
    void set_date(const DateTime& d);
    // The user chose a date: raises on_change when it differs.
    void user_pick(const DateTime& d);
    std::function<void()> on_change;

private:
    DateTime date_;
};

// A sunken line: horizontal when wider than high, vertical otherwise.
class Line : public Control {
public:
    Line(Container* parent, Rect r) : Control(parent, Kind::Line, r) { made(); }
    bool horizontal() const { return rect().width >= rect().height; }
};

// A page of a tab control: its rectangle is the tab control's own (origin at
// the tab control's top-left, the tab strip included), and it is visible
// exactly while its tab is selected.
class TabPage : public Container {
public:
    TabControl& tab() const;
    int index() const { return index_; }

private:
    friend class TabControl;
    TabPage(TabControl* tab, int index);
    int index_;
};

// Tabs with one page each; the first is selected from the start.
class TabControl : public Container {
public:
    TabControl(Container* parent, Rect r, std::vector<std::string> captions);
    ~TabControl() override;

    int count() const { return static_cast<int>(pages_.size()); }
    const std::vector<std::string>& captions() const { return captions_; }
    TabPage& page(int i) { return *pages_.at(static_cast<std::size_t>(i)); }
    const TabPage& page(int i) const { return *pages_.at(static_cast<std::size_t>(i)); }

    // The selected tab, -1 when there are none. Selecting from code raises
    // nothing; an index outside the tabs is ignored.
    int selection() const { return selection_; }
    void select(int i);
    // The user picked another tab: raises on_change.
    void user_select(int i);
    std::function<void()> on_change;

private:
    void rect_changed(bool moved) override;
    std::vector<std::string> captions_;
    std::vector<std::unique_ptr<TabPage>> pages_;
    int selection_ = -1;
};

// A captioned frame; hiding or disabling it takes everything in it along.
class GroupBox : public Container {
public:
    GroupBox(Container* parent, Rect r, std::string caption) : Container(parent, Kind::GroupBox, r, std::move(caption)) {
        made();
    }
};

class Window : public Container {
public:
    struct Style {
        bool caption = true;  // title bar and frame; false: borderless
        bool tool = false;    // not shown in the taskbar
    };
    Window(Rect r, std::string caption, Style style);
    ~Window() override;

    const Style& style() const { return style_; }
    // Every control in the window, at any depth, in the order they were made.
    const std::vector<Control*>& controls() const { return controls_; }

    // Makes the peers of the window and its controls. The window starts hidden.
    void create();
    bool created() const { return created_; }
    // Runs on_destroy, then removes the peers; the object stays and may be
    // deleted later (see Loop::defer).
    void destroy();
    // Taken by a handler before a modal step: false once the window has been
    // destroyed or deleted meanwhile (platform/liveness.h).
    AliveToken liveness() const { return life_.token(); }

    // Topmost requests go to the backend every time, even when unchanged.
    void set_topmost(bool t);
    bool topmost() const { return topmost_; }
    // Makes the window layered with this alpha, passed on unchecked (the
    // system keeps its low byte, so 300 is 44 and -5 is 251).
    void set_opacity(int alpha);
    int opacity() const { return opacity_; }  // -1 until set
    bool layered() const { return layered_; }
    // Background picture (BMP or JPEG) and the outline cut from a bitmap by a key colour.
    void set_background(Res image);
    Res background() const { return background_; }
    bool has_background() const { return has_background_; }
    void set_shape(Res bitmap, Color key);
    bool shaped() const { return shaped_; }
    Res shape_bitmap() const { return shape_; }
    Color shape_key() const { return shape_key_; }

    // The system's move loop; returns when the user lets go.
    void begin_drag();

    // The control that last took the focus, by code or by the user (nullptr: none yet).
    Control* focused() const { return focused_; }

    // The client area: the system's once created; before that, and in the
    // sim, a captioned window's frame is kFrameWidth by kFrameHeight.
    static constexpr int kFrameWidth = 6;
    static constexpr int kFrameHeight = 27;
    Size client_size() const;
    // Files dropped from the shell reach the window (DragAcceptFiles).
    void set_accept_files(bool a);
    bool accepts_files() const { return accept_files_; }
    // The user dropped files on the window, in drop order: raises on_files_dropped.
    void user_drop(std::vector<std::string> paths);
    std::function<void(const std::vector<std::string>&)> on_files_dropped;

    // The user moved the window, or the system did (peers); raises on_moved.
    void user_moved_to(Point p);
    // The user asked to close the window (system close button): raises on_close.
    void user_close();
    // Esc: a captioned window goes as by its close button (on_close); a
    // borderless one (bar, note, popup) stays.
    void user_escape();
    // Ctrl+Tab or Ctrl+PageDown (back: Ctrl+Shift+Tab, Ctrl+PageUp): the
    // window's first reachable tab control selects its next page, wrapping
    // round, and raises on_change.
    // False when the window has no such tab control.
    bool user_next_page(bool back);

    std::function<void()> on_shown;
    std::function<void()> on_hidden;
    std::function<void()> on_moved;   // every change of position, by code or by the user
    std::function<void()> on_close;   // close requested by the user
    std::function<void()> on_destroy;  // just before the peers go
    std::function<void(int)> on_hotkey;  // a WM_HOTKEY reached the window's procedure
    std::function<void()> on_end_session;  // Windows is ending the session

    // Raised by Control when the window's visibility changes.
    void notify_visible_changed();

private:
    friend class Control;
    void rect_changed(bool moved) override;
    Style style_;
    std::vector<Control*> controls_;
    Control* focused_ = nullptr;
    bool created_ = false;
    bool topmost_ = false;
    bool accept_files_ = false;
    int opacity_ = -1;
    bool layered_ = false;
    bool has_background_ = false;
    Res background_ = Res::AppIcon;
    bool shaped_ = false;
    Res shape_ = Res::AppIcon;
    Color shape_key_ = kPureRed;
    Liveness life_;
};

// Controls in reading order: rows from the top (a control whose top lies
// within kRowSlack pixels of its row's first top joins that row), left to
// right within a row. A container stands where its rectangle stands.
constexpr int kRowSlack = 10;
std::vector<Control*> reading_order(std::vector<Control*> controls);

// An interval timer (interval in ms, 0 stops; any other value starts it).
class Timer {
public:
    Timer() = default;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;
    ~Timer();
    int interval() const { return interval_; }
    bool running() const { return interval_ != 0; }
    // Setting an interval, the running one included, starts the count anew
    // (as SetTimer does on an existing timer).
    void set_interval(int ms);
    std::function<void()> on_tick;

private:
    int interval_ = 0;
    int id_ = 0;
};

}  // namespace q
