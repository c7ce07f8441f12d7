#include "platform/ui.h"

#include <algorithm>
#include <cassert>

#include "platform/system.h"
#include "platform/text.h"

namespace q {

namespace {
UiBackend* g_backend = nullptr;
}

UiBackend& ui_backend() {
    assert(g_backend && "no UI backend installed");
    return *g_backend;
}
void install_ui_backend(UiBackend* b) { g_backend = b; }

// ---- Control ------------------------------------------------------------------

Control::Control(Container* container, Kind kind, Rect rect, std::string text)
    : kind_(kind), container_(container), window_(container ? container->window() : nullptr), rect_(rect),
      text_(std::move(text)) {
    if (container_) container_->children_.push_back(this);
    if (window_) window_->controls_.push_back(this);
}

Control::~Control() {
    peer_.reset();
    if (container_) {
        auto& c = container_->children_;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
    if (window_) {
        auto& c = window_->controls_;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
}

Window* Control::window() const {
    if (kind_ == Kind::Window) return static_cast<Window*>(const_cast<Control*>(this));
    return window_;
}

void Control::made() {
    if (window_ && window_->created()) peer_ = ui_backend().create_peer(*this);
}

// Leaves the container chain (which is going away before the control): no
// peer, no window.
void Control::detach() {
    if (auto* self = dynamic_cast<Container*>(this))
        for (Control* c : self->children_) c->detach();
    peer_.reset();
    if (window_) {
        auto& c = window_->controls_;
        c.erase(std::remove(c.begin(), c.end(), this), c.end());
    }
    window_ = nullptr;
}

Container::~Container() {
    for (Control* c : children_) {
        c->detach();
        c->container_ = nullptr;
    }
}

void Control::set_rect(Rect r) {
    if (r == rect_) return;
    const bool moved = r.left != rect_.left || r.top != rect_.top;
    rect_ = r;
    changed(Prop::Geometry);
    rect_changed(moved);
}

void Control::move(int left, int top) { set_rect({left, top, rect_.width, rect_.height}); }

void Control::set_text(std::string t) {
    if (!text_in_box_ && t == text_) return;
    text_in_box_ = false;
    text_ = std::move(t);
    changed(Prop::Text);
}

void Control::read_back_text() const {
    text_in_box_ = false;
    if (peer_) text_ = peer_->read_text();
}

void Control::set_visible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    changed(Prop::Visible);
    if (kind_ == Kind::Window) static_cast<Window*>(this)->notify_visible_changed();
}

void Control::set_enabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    changed(Prop::Enabled);
}

void Control::set_font(Font f) {
    font_ = std::move(f);
    changed(Prop::Font);
}

void Control::set_text_color(Color c) {
    text_color_ = c;
    changed(Prop::Colors);
}

void Control::set_back_color(Color c) {
    back_color_ = c;
    changed(Prop::Colors);
}

void Control::set_focus() {
    if (window_) window_->focused_ = this;
    changed(Prop::Focus);
}

bool Control::shown() const {
    const Control* c = this;
    for (; c->container_; c = c->container_)
        if (!c->visible_) return false;
    return c->kind_ == Kind::Window && c->visible_ && static_cast<const Window*>(c)->created();
}

bool Control::reachable() const {
    for (const Control* c = this; c; c = c->container_)
        if (!c->enabled_) return false;
    return shown();
}

void Control::user_click() {
    if (reachable()) raise(on_click);
}
void Control::user_double_click() {
    if (reachable()) raise(on_double_click);
}
void Control::user_mouse_down(MouseButton b) {
    if (reachable() && on_mouse_down) on_mouse_down(b);
}
void Control::user_pointer_move() {
    if (reachable()) raise(on_pointer_move);
}
void Control::user_pointer_leave() {
    if (reachable()) raise(on_pointer_leave);
}
void Control::user_focus() {
    if (!reachable()) return;
    if (window_) window_->focused_ = this;
    raise(on_focus);
}
void Control::user_focus_lost() {
    if (reachable()) raise(on_focus_lost);
}

void Control::user_key(int ch) {
    if (reachable() && on_key) on_key(ch);
}

void Control::user_key_down(int key, bool ctrl) {
    if (reachable() && on_key_down) on_key_down(key, ctrl);
}

// ---- Edit ---------------------------------------------------------------------

Edit::Edit(Container* parent, Rect r) : Edit(parent, r, Mode{}) {}

Edit::Mode Edit::Mode::line(std::size_t max_bytes, bool multi_line) {
    Mode m;
    m.max_bytes = max_bytes;
    m.multi_line = multi_line;
    return m;
}

Edit::Mode Edit::Mode::numbers() {
    Mode m;
    m.number_only = true;
    return m;
}

Edit::Mode Edit::Mode::text_view() {
    Mode m;
    m.multi_line = true;
    m.read_only = true;
    m.vertical_scroll = true;
    return m;
}

void Edit::set_mode(Mode m) {
    mode_ = m;
    changed(Prop::Style);
}

void Edit::user_type(std::string new_text) {
    if (!reachable() || mode_.read_only) return;
    // An insertion that would pass the limit is refused whole: cutting the
    // end instead would lose text the user did not touch.
    if (mode_.max_bytes != 0 && new_text.size() > mode_.max_bytes) return;
    if (new_text == text()) return;
    set_text(std::move(new_text));
    raise(on_change);
}

bool Edit::user_changed() {
    if (!reachable() || mode_.read_only) return false;
    text_in_box_ = true;
    raise(on_change);
    return true;
}

void Edit::keep_box_text(std::string t) {
    if (!text_in_box_) return;
    text_in_box_ = false;
    text_ = std::move(t);
}

void Button::set_file_icon(FileIcon icon) {
    if (icon == file_icon_) return;
    file_icon_ = std::move(icon);
    changed(Prop::Image);
}

void Edit::select_all() {
    all_selected_ = true;
    selected_ = text();
    changed(Prop::Selection);
}

void Edit::user_drop(std::vector<std::string> paths) {
    if (!reachable() || !mode_.accept_files) return;
    if (on_files_dropped) on_files_dropped(paths);
}

// ---- CheckBox -----------------------------------------------------------------

void CheckBox::set_checked(bool c) {
    if (c == checked_) return;
    checked_ = c;
    changed(Prop::Check);
}

void CheckBox::user_click() {
    if (!reachable()) return;
    set_checked(!checked_);
    raise(on_click);
}

// ---- DropDown -----------------------------------------------------------------

DropDown::DropDown(Container* parent, Rect r, std::vector<std::string> items)
    : Control(parent, Kind::DropDown, r), items_(std::move(items)), data_(items_.size(), 0) {
    made();
}

int DropDown::item_data(int i) const {
    return i >= 0 && i < static_cast<int>(data_.size()) ? data_[static_cast<std::size_t>(i)] : 0;
}

void DropDown::set_items(std::vector<std::string> items) {
    items_ = std::move(items);
    data_.assign(items_.size(), 0);
    selection_ = -1;
    changed(Prop::Items);
}

void DropDown::add_item(std::string item, int data) {
    items_.push_back(std::move(item));
    data_.push_back(data);
    changed(Prop::Items);
}

void DropDown::clear_items() { set_items({}); }

void DropDown::select(int i) {
    if (i < 0 || i >= static_cast<int>(items_.size())) i = -1;
    selection_ = i;
    changed(Prop::Selection);
}

std::string DropDown::selected_text() const {
    return selection_ >= 0 ? items_[static_cast<std::size_t>(selection_)] : std::string();
}

void DropDown::user_select(int i) {
    if (!reachable()) return;
    select(i);
    raise(on_change);
}

// ---- ListBox ------------------------------------------------------------------

std::string ListBox::item(int i) const { return i >= 0 && i < count() ? items_[static_cast<std::size_t>(i)] : std::string(); }

void ListBox::insert_item(int pos, std::string text) {
    if (pos < 0) pos = 0;
    if (pos > count()) pos = count();
    items_.insert(items_.begin() + pos, std::move(text));
    if (selection_ >= pos) ++selection_;
    changed(Prop::Items);
}

void ListBox::set_item(int i, std::string text) {
    if (i < 0 || i >= count()) return;
    items_[static_cast<std::size_t>(i)] = std::move(text);
    changed(Prop::Items);
}

void ListBox::remove_item(int i) {
    if (i < 0 || i >= count()) return;
    items_.erase(items_.begin() + i);
    if (selection_ == i) selection_ = -1;
    else if (selection_ > i) --selection_;
    changed(Prop::Items);
}

void ListBox::clear_items() {
    items_.clear();
    selection_ = -1;
    changed(Prop::Items);
}

void ListBox::select(int i) {
    if (i < 0 || i >= count()) i = -1;
    selection_ = i;
    changed(Prop::Selection);
}

void ListBox::user_select(int i) {
    if (!reachable()) return;
    select(i);
    raise(on_change);
}

// ---- ListView -----------------------------------------------------------------

ListView::ListView(Container* parent, Rect r, std::vector<Column> columns, bool check_boxes)
    : Control(parent, Kind::ListView, r), columns_(std::move(columns)), check_boxes_(check_boxes) {
    made();
}

const std::string& ListView::cell(int row, int column) const {
    static const std::string none;
    if (row < 0 || row >= row_count() || column < 0) return none;
    const auto& cells = rows_[static_cast<std::size_t>(row)].cells;
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)] : none;
}

void ListView::set_cell(int row, int column, std::string text) {
    if (row < 0 || row >= row_count() || column < 0 || column >= static_cast<int>(columns_.size())) return;
    auto& cells = rows_[static_cast<std::size_t>(row)].cells;
    if (cells.size() <= static_cast<std::size_t>(column)) cells.resize(static_cast<std::size_t>(column) + 1);
    cells[static_cast<std::size_t>(column)] = std::move(text);
    row_changed(row);
}

int ListView::insert_row(int pos) {
    pos = std::clamp(pos, 0, row_count());
    Row row;
    row.cells.resize(columns_.size());
    rows_.insert(rows_.begin() + pos, std::move(row));
    if (selection_ >= pos) ++selection_;
    row_changed(pos);
    return pos;
}

void ListView::remove_row(int row) {
    if (row < 0 || row >= row_count()) return;
    rows_.erase(rows_.begin() + row);
    if (selection_ == row)
        selection_ = -1;
    else if (selection_ > row)
        --selection_;
    row_changed(row);
}

void ListView::clear() {
    rows_.clear();
    selection_ = -1;
    row_changed(0);
}

bool ListView::row_checked(int row) const {
    return row >= 0 && row < row_count() && rows_[static_cast<std::size_t>(row)].checked;
}

void ListView::set_row_checked(int row, bool c) {
    if (row < 0 || row >= row_count()) return;
    rows_[static_cast<std::size_t>(row)].checked = c;
    row_changed(row);
}

void ListView::select(int row) {
    if (row < 0 || row >= row_count()) row = -1;
    selection_ = row;
    changed(Prop::Selection);
}

void ListView::scroll_into_view(int row) {
    if (row < 0 || row >= row_count()) return;
    changed(Prop::Scroll);
}

void ListView::set_colors(Color list, Color item) {
    list_color_ = list;
    item_color_ = item;
    changed(Prop::Colors);
}

void ListView::user_pick(int row) {
    if (!reachable()) return;
    select(row);
    raise(on_pick);
}

void ListView::user_check(int row, bool c) {
    if (!reachable() || row < 0 || row >= row_count()) return;
    set_row_checked(row, c);
    if (on_check) on_check(row);
}

// ---- Slider, ColorPicker --------------------------------------------------------

void Slider::set_position(int p) {
    p = std::clamp(p, min_, max_);
    if (p == position_) return;
    position_ = p;
    changed(Prop::Value);
}

void Slider::user_move(int p) {
    if (!reachable()) return;
    const int before = position_;
    set_position(p);
    // Windows reports no change when the thumb ends where it was.
    if (position_ != before) raise(on_change);
}

void ColorPicker::set_color(Color c) {
    color_ = c;
    changed(Prop::Value);
}

void ColorPicker::user_choose(Color c) {
    if (!reachable()) return;
    set_color(c);
    raise(on_change);
}

// ---- DatePicker ------------------------------------------------------------------

DatePicker::DatePicker(Container* parent, Rect r) : Control(parent, Kind::DatePicker, r) {
    date_ = DateTime{2000, 1, 1, 0, 0, 0};
    made();
}

void DatePicker::set_date(const DateTime& d) {
    if (!d.valid()) return;
    date_ = d.date();
    changed(Prop::Value);
}

void DatePicker::user_pick(const DateTime& d) {
    if (!reachable() || !d.valid()) return;
    const DateTime before = date_;
    set_date(d);
    if (date_ != before) raise(on_change);
}

// ---- SpinEdit, PictureBox ------------------------------------------------------

SpinEdit::SpinEdit(Container* parent, Rect r, int min, int max, std::string text)
    : Control(parent, Kind::SpinEdit, r, std::move(text)), min_(min), max_(max), position_(min) {
    made();
}

namespace {
// The whole text as a number in range, as the up-down control reads its buddy.
bool spin_number(const std::string& t, int min, int max, int& out) {
    if (t.empty() || t.size() > 9) return false;
    int v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v < min || v > max) return false;
    out = v;
    return true;
}
}  // namespace

void SpinEdit::user_type(std::string new_text) {
    if (!reachable() || new_text == text()) return;
    set_text(std::move(new_text));
    raise(on_change);
}

void SpinEdit::user_spin(int steps) {
    if (!reachable() || steps == 0) return;
    spin_number(text(), min_, max_, position_);
    const long long want = static_cast<long long>(position_) + steps;
    const int next = static_cast<int>(want < min_ ? min_ : want > max_ ? max_ : want);
    if (next == position_) return;
    position_ = next;
    const std::string t = decimal(next);
    if (t == text()) return;
    set_text(t);
    raise(on_change);
}

void PictureBox::set_pixels(int width, int height, std::vector<std::uint32_t> pixels) {
    if (width <= 0 || height <= 0 || pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
        width = height = 0;
        pixels.clear();
    }
    pixels_width_ = width;
    pixels_height_ = height;
    pixels_ = std::move(pixels);
    changed(Prop::Image);
}

// ---- TabControl -----------------------------------------------------------------

TabPage::TabPage(TabControl* tab, int index)
    : Container(tab, Kind::TabPage, Rect{0, 0, tab->rect().width, tab->rect().height}), index_(index) {
    set_visible(index == tab->selection());
    made();
}

TabControl& TabPage::tab() const { return *static_cast<TabControl*>(container()); }

TabControl::TabControl(Container* parent, Rect r, std::vector<std::string> captions)
    : Container(parent, Kind::TabControl, r), captions_(std::move(captions)) {
    if (!captions_.empty()) selection_ = 0;
    made();
    // The pages come after the tab control itself, so their peers find its.
    for (int i = 0; i < static_cast<int>(captions_.size()); ++i)
        pages_.push_back(std::unique_ptr<TabPage>(new TabPage(this, i)));
}

// Out of line: TabPage is complete here.
TabControl::~TabControl() = default;

void TabControl::select(int i) {
    if (i < 0 || i >= count() || i == selection_) return;
    // The new page shows before the old one goes, so the window never shows neither.
    const int old = selection_;
    selection_ = i;
    changed(Prop::Selection);
    page(i).set_visible(true);
    if (old >= 0) page(old).set_visible(false);
}

void TabControl::user_select(int i) {
    if (!reachable() || i < 0 || i >= count() || i == selection_) return;
    select(i);
    raise(on_change);
}

void TabControl::rect_changed(bool) {
    for (auto& p : pages_) p->set_rect({0, 0, rect().width, rect().height});
}

// ---- Window -------------------------------------------------------------------

Window::Window(Rect r, std::string caption, Style style) : Container(nullptr, Kind::Window, r, std::move(caption)), style_(style) {
    // A window starts hidden; it is shown by its owner after its created handler.
    set_visible(false);
}

Window::~Window() {
    if (created_) {
        created_ = false;
        for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) (*it)->peer_.reset();
        peer_.reset();
    }
}

void Window::create() {
    if (created_) return;
    UiBackend& b = ui_backend();
    life_.restart();
    peer_ = b.create_peer(*this);
    for (Control* c : controls_) c->peer_ = b.create_peer(*c);
    created_ = true;
}

void Window::destroy() {
    if (!created_) return;
    if (on_destroy) on_destroy();
    set_visible(false);
    created_ = false;
    life_.end();
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) (*it)->peer_.reset();
    peer_.reset();
}

void Window::set_topmost(bool t) {
    topmost_ = t;
    changed(Prop::Topmost);
}

void Window::set_opacity(int alpha) {
    opacity_ = alpha;
    layered_ = true;
    changed(Prop::Opacity);
}

void Window::set_background(Res image) {
    background_ = image;
    has_background_ = true;
    changed(Prop::Image);
}

void Window::set_shape(Res bitmap, Color key) {
    shape_ = bitmap;
    shape_key_ = key;
    shaped_ = true;
    changed(Prop::Shape);
}

void Window::begin_drag() {
    if (created_) ui_backend().drag(*this);
}

void Window::user_moved_to(Point p) {
    if (!created_) return;
    const Rect& r = rect();
    if (r.left == p.x && r.top == p.y) return;
    // The peer already stands there: store without pushing back, then tell.
    Peer* keep = peer_.release();
    set_rect({p.x, p.y, r.width, r.height});
    peer_.reset(keep);
}

void Window::user_close() {
    if (created_) raise(on_close);
}

void Window::user_escape() {
    if (style_.caption) user_close();
}

bool Window::user_next_page(bool back) {
    for (Control* c : controls_) {
        if (c->kind() != Kind::TabControl || !c->reachable()) continue;
        auto* tab = static_cast<TabControl*>(c);
        const int n = tab->count();
        if (n > 1) tab->user_select((tab->selection() + (back ? n - 1 : 1)) % n);
        return true;
    }
    return false;
}

Size Window::client_size() const {
    Size s;
    if (created_ && peer_ && peer_->client_size(s)) return s;
    const Rect& r = rect();
    if (!style_.caption) return {r.width, r.height};
    return {r.width - kFrameWidth, r.height - kFrameHeight};
}

void Window::set_accept_files(bool a) {
    if (a == accept_files_) return;
    accept_files_ = a;
    changed(Prop::Style);
}

void Window::user_drop(std::vector<std::string> paths) {
    if (!created_ || !accept_files_ || !enabled() || !visible()) return;
    if (on_files_dropped) on_files_dropped(paths);
}

void Window::notify_visible_changed() {
    if (!created_) return;
    raise(visible() ? on_shown : on_hidden);
}

void Window::rect_changed(bool moved) {
    if (moved) raise(on_moved);
}

std::vector<Control*> reading_order(std::vector<Control*> controls) {
    std::stable_sort(controls.begin(), controls.end(),
                     [](const Control* a, const Control* b) { return a->rect().top < b->rect().top; });
    for (auto row = controls.begin(); row != controls.end();) {
        const int first_top = (*row)->rect().top;
        auto end = std::find_if(row, controls.end(),
                                [&](const Control* c) { return c->rect().top >= first_top + kRowSlack; });
        std::stable_sort(row, end, [](const Control* a, const Control* b) { return a->rect().left < b->rect().left; });
        row = end;
    }
    return controls;
}

// ---- Timer --------------------------------------------------------------------

Timer::~Timer() {
    if (id_) sys().timers.stop(id_);
}

void Timer::set_interval(int ms) {
    if (ms < 0) ms = 0;
    if (ms == 0 && interval_ == 0) return;
    if (id_) {
        sys().timers.stop(id_);
        id_ = 0;
    }
    interval_ = ms;
    if (ms > 0) {
        id_ = sys().timers.start(ms, [this] {
            if (on_tick) on_tick();
        });
    }
}

}  // namespace q
