#include "launcher/launcher_window.h"

#include "launcher/group_store.h"
#include "launcher/launcher.h"
#include "platform/text.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::launcher {

namespace {

const char* const kCaption = "当前选定组：";
const char* const kDefaultName = "组";

Rect slot_rect(int s) { return {120 * (s % 4), 25 + 30 * (s / 4), 120, 30}; }

// The drive ("C:") or share ("\\\\server\\share") a path lies on, for
// asking each only once while a group is shown.
std::string volume_of(const std::string& path) {
    if (path.compare(0, 2, "\\\\") != 0) return ascii_upper(path.substr(0, 2));
    const std::size_t server_end = path.find('\\', 2);
    return ascii_upper(path.substr(0, path.find('\\', server_end == std::string::npos ? path.size() : server_end + 1)));
}

}  // namespace

const std::vector<std::string>& LauncherWindow::menu_items() {
    static const std::vector<std::string> items = {"更改名称", "", "剪切快捷项", "粘贴快捷项",
                                                   "删除快捷项", "", "查看属性"};
    return items;
}

LauncherWindow::LauncherWindow(Launcher& owner)
    : Window({50, 50, 486, 232}, kCaption, Style{}),
      前翻按钮(this, {0, 3, 32, 19}, "←"),
      组1(this, {32, 0, 52, 25}, kDefaultName),
      组2(this, {84, 0, 52, 25}, kDefaultName),
      组3(this, {136, 0, 52, 25}, kDefaultName),
      组4(this, {188, 0, 52, 25}, kDefaultName),
      组5(this, {240, 0, 52, 25}, kDefaultName),
      组6(this, {292, 0, 52, 25}, kDefaultName),
      组7(this, {344, 0, 52, 25}, kDefaultName),
      组8(this, {396, 0, 52, 25}, kDefaultName),
      下翻按钮(this, {448, 3, 32, 19}, "→"),
      按钮1(this, slot_rect(0), "0"),
      owner_(owner) {
    for (Control* c : controls()) c->set_font(Font{"宋体", 9});
    前翻按钮.on_click = [this] { 前翻按钮_click(); };
    下翻按钮.on_click = [this] { 下翻按钮_click(); };
    for (int n = 1; n <= 8; ++n) {
        tab(n).on_click = [this, n] { tab_click(n); };
        tab(n).on_mouse_down = [this, n](MouseButton b) { tab_mouse_down(n, b); };
        tab(n).on_key_down = [this, n](int key, bool ctrl) { tab_key_down(n, key, ctrl); };
    }
    wire(按钮1);
    on_moved = [this] { window_moved(); };
    on_destroy = [this] { window_destroyed(); };
    on_close = [this] { window_close(); };
    on_files_dropped = [this](const std::vector<std::string>& paths) { window_files_dropped(paths); };
}

State& LauncherWindow::state() { return owner_.state(); }

Button& LauncherWindow::tab(int n) {
    Button* tabs[8] = {&组1, &组2, &组3, &组4, &组5, &组6, &组7, &组8};
    return *tabs[n - 1];
}

ShortcutButton& LauncherWindow::slot_button(int s) { return s == 0 ? 按钮1 : *copies_[static_cast<std::size_t>(s)]; }

void LauncherWindow::wire(ShortcutButton& b) {
    b.on_click = [this, &b] { shortcut_click(b); };
    b.on_mouse_down = [this, &b](MouseButton mb) { shortcut_mouse_down(b, mb); };
    b.on_key_down = [this, &b](int key, bool ctrl) { shortcut_key_down(b, key, ctrl); };
}

int LauncherWindow::slot_of(const ShortcutButton& b) const {
    for (int s = 0; s < kSlots; ++s)
        if (b.tag == decimal(s)) return s;
    return 0;
}

void LauncherWindow::size_client() {
    // One pixel at a time, as the frame the system draws decides; bounded,
    // so that a size the system refuses cannot hold the program here.
    for (int i = 0; i < 2000 && client_size().height != kClientHeight; ++i) {
        Rect r = rect();
        r.height += client_size().height > kClientHeight ? -1 : 1;
        set_rect(r);
    }
    for (int i = 0; i < 2000 && client_size().width != kClientWidth; ++i) {
        Rect r = rect();
        r.width += client_size().width > kClientWidth ? -1 : 1;
        set_rect(r);
    }
}

void LauncherWindow::window_created() {
    State& st = state();
    // 1. Client area.
    size_client();
    // 2. The copies of the template.
    for (int s = 1; s < kSlots; ++s) {
        copies_[static_cast<std::size_t>(s)] = std::make_unique<ShortcutButton>(this, slot_rect(s), decimal(s));
        ShortcutButton& b = *copies_[static_cast<std::size_t>(s)];
        b.set_font(按钮1.font());
        wire(b);
    }
    // 3. Topmost.
    set_topmost(true);
    // 4. Placement: on the pointer, even partly off the screen, or the screen's centre.
    const Rect r = rect();
    if (settings::launcher_follow()) {
        const Point p = sys().desktop.pointer();
        move(p.x - r.width / 2, p.y - r.height / 2);
    } else {
        const Size screen = sys().desktop.screen_size();
        move((screen.width - r.width) / 2, (screen.height - r.height) / 2);
    }
    // 5. Transparency.
    if (settings::launcher_trans() && sys().process.has_layered_windows())
        set_opacity(leading_int(settings::launcher_alpha()));
    // 6. The group folder.
    const std::string folder = sys().process.program_dir() + "\\APrg";
    if (path_kind(folder) == kMissing) sys().files.create_folder(folder);
    // 7, 8, 9: the page of tabs is the current group's, whatever moved the
    // group meanwhile (a group deleted on the settings page).
    st.current_page = page_base(st.current_group) / 8;
    show_tabs(st.current_page);
    go_to_group(st.current_group == 0 ? 1 : st.current_group);
    // 10. Drop target.
    set_accept_files(true);
    ready_ = true;
}

void LauncherWindow::show_group(int n) {
    std::map<std::string, bool> ready;  // by volume: one slow answer per share, not per slot
    for (int s = 0; s < kSlots; ++s) {
        slot_button(s).set_text(slot_caption(n, s));
        show_icon(s, slot_path(n, s), &ready);
    }
    set_text(kCaption + group_name(n, kDefaultName));
}

void LauncherWindow::show_icon(int s, const std::string& path, std::map<std::string, bool>* ready) {
    Button::FileIcon icon;
    if (!path.empty()) {
        bool volume_ready = false;
        if (ready) {
            auto it = ready->find(volume_of(path));
            if (it == ready->end()) it = ready->emplace(volume_of(path), sys().files.volume_ready(path)).first;
            volume_ready = it->second;
        } else {
            volume_ready = sys().files.volume_ready(path);
        }
        const bool there = volume_ready && path_kind(path) != kMissing;
        icon = {there ? Button::FileIcon::Look::OfPath : Button::FileIcon::Look::Plain, there ? path : ""};
    }
    slot_button(s).set_file_icon(icon);
}

void LauncherWindow::show_tabs(int page) {
    for (int n = 1; n <= 8; ++n) tab(n).set_text(group_name(8 * page + n, kDefaultName));
}

void LauncherWindow::reapply_transparency() {
    if (!sys().process.has_layered_windows()) return;
    if (settings::launcher_trans())
        set_opacity(leading_int(settings::launcher_alpha()));
    else
        set_opacity(255);
}

void LauncherWindow::window_moved() {
    // The placement of the creation steps comes before the options are applied.
    if (ready_) reapply_transparency();
}

void LauncherWindow::window_destroyed() { set_topmost(false); }

void LauncherWindow::window_close() { owner_.close_window(); }

void LauncherWindow::go_to_group(int g) {
    State& st = state();
    st.current_group = g;
    const int page = page_base(g) / 8;
    if (page != st.current_page) {
        st.current_page = page;
        show_tabs(page);
    }
    前翻按钮.set_enabled(g > 8);
    show_group(g);
}

void LauncherWindow::tab_click(int n) { go_to_group(page_base(state().current_group) + n); }

void LauncherWindow::前翻按钮_click() {
    if (state().current_group > 8) go_to_group(state().current_group - 8);
}

void LauncherWindow::下翻按钮_click() { go_to_group(state().current_group + 8); }

void LauncherWindow::shortcut_click(ShortcutButton& b) {
    State& st = state();
    st.current_slot = slot_of(b);
    const std::string path = slot_path(st.current_group, st.current_slot);
    if (path.empty()) return;
    if (!sys().files.volume_ready(path)) {
        volume_not_ready();
        return;
    }
    const PathKind kind = path_kind(path);
    if (kind == kMissing) {
        invalid_path_flow();
        return;
    }
    // A program started from here finds the files beside it.
    sys().shell.open_path(path, kind == kFolder ? path : path_directory(path));
    owner_.close_window();
}

void LauncherWindow::volume_not_ready() {
    ask("该快捷项所在的驱动器当前不可用，请插入磁盘或连接网络后再试。", "驱动器不可用", Icon::Warning, Buttons::Ok);
}

void LauncherWindow::invalid_path_flow() {
    State& st = state();
    if (ask("该快捷项的路径已经失效，是否立即删除？", "路径失效处理", Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;
    if (!stored(clear_slot(st.current_group, st.current_slot))) return;
    slot_button(st.current_slot).set_text("");
    show_icon(st.current_slot, "");
}

bool LauncherWindow::stored(bool ok) {
    if (!ok)
        ask("无法写入组文件" + group_file(state().current_group) + "，更改未能保存！", "快捷程序组", Icon::Warning,
            Buttons::Ok);
    return ok;
}

Answer LauncherWindow::ask(const std::string& text, const std::string& title, Icon icon, Buttons buttons) {
    const AliveToken alive = liveness();
    set_topmost(false);
    const Answer a = sys().dialogs.message_box(this, text, title, icon, buttons);
    if (!alive) return Answer::Cancel;
    set_topmost(true);
    return a;
}

std::optional<std::string> LauncherWindow::input(const std::string& prompt, const std::string& title,
                                                 const std::string& initial) {
    const AliveToken alive = liveness();
    set_topmost(false);
    std::optional<std::string> text = sys().dialogs.input_box(this, prompt, title, initial);
    if (!alive) return std::nullopt;
    set_topmost(true);
    return text;
}

void LauncherWindow::shortcut_mouse_down(ShortcutButton& b, MouseButton mb) {
    if (mb != MouseButton::Right) return;
    State& st = state();
    st.current_slot = slot_of(b);
    const std::string path = slot_path(st.current_group, st.current_slot);
    // A target on a drive that is not there now is not gone: the menu shows.
    if (!path.empty() && sys().files.volume_ready(path) && path_kind(path) == kMissing) {
        invalid_path_flow();
        return;
    }
    std::vector<std::string> items = menu_items();
    std::vector<bool> disabled(items.size(), false);
    if (st.cut_caption.empty()) {
        disabled[kPaste] = true;
    } else {
        items[kPaste] = "粘贴：" + st.cut_caption;
    }
    if (slot_caption(st.current_group, st.current_slot).empty()) disabled[kRename] = disabled[kCut] = disabled[kDelete] = disabled[kProperties] = true;
    // At the button's lower left corner, on the screen.
    const Size client = client_size();
    const int frame = (rect().width - client.width) / 2;
    const Point at{rect().left + frame + b.rect().left,
                   rect().top + (rect().height - client.height) - frame + b.rect().bottom()};
    const AliveToken alive = liveness();
    const int chosen = sys().dialogs.popup_menu(items, at, disabled);
    if (alive && chosen >= 0) menu_command(chosen);
}

void LauncherWindow::shortcut_key_down(ShortcutButton& b, int key, bool ctrl) {
    const int s = slot_of(b);
    int to = -1;
    switch (key) {
        case kKeyLeft: to = s % 4 > 0 ? s - 1 : -1; break;
        case kKeyRight: to = s % 4 < 3 ? s + 1 : -1; break;
        case kKeyUp: to = s - 4; break;
        case kKeyDown: to = s + 4; break;
        case kKeyMenu: shortcut_mouse_down(b, MouseButton::Right); return;
        default:
            if (ctrl && (key == kKeyPageUp || key == kKeyPageDown)) step_group(key == kKeyPageUp ? -1 : 1);
            return;
    }
    if (to >= 0 && to < kSlots) slot_button(to).set_focus();
}

void LauncherWindow::tab_key_down(int n, int key, bool ctrl) {
    if (ctrl && (key == kKeyPageUp || key == kKeyPageDown))
        step_group(key == kKeyPageUp ? -1 : 1);
    else if (key == kKeyLeft && n > 1)
        tab(n - 1).set_focus();
    else if (key == kKeyRight && n < 8)
        tab(n + 1).set_focus();
}

void LauncherWindow::step_group(int step) {
    // As the user would: a tab beside, or the page's arrow and the tab at its far end.
    const int n = state().current_group - page_base(state().current_group);
    if (n + step >= 1 && n + step <= 8) {
        tab(n + step).user_click();
    } else if (step > 0) {
        下翻按钮.user_click();
        tab(1).user_click();
    } else if (前翻按钮.enabled()) {
        前翻按钮.user_click();
        tab(8).user_click();
    }
}

void LauncherWindow::menu_command(int item) {
    State& st = state();
    const int g = st.current_group, s = st.current_slot;
    ShortcutButton& b = slot_button(s);
    switch (item) {
        case kRename: {
            const std::optional<std::string> name = input("此快捷项的名称更改为：", "快捷项更名", slot_caption(g, s));
            if (!name || name->empty() || !stored(rename_slot(g, s, *name))) return;
            b.set_text(*name);
            return;
        }
        case kCut: {
            const std::string caption = slot_caption(g, s), path = slot_path(g, s);
            if (!stored(clear_slot(g, s))) return;
            st.cut_caption = caption;
            st.cut_path = path;
            b.set_text("");
            show_icon(s, "");
            return;
        }
        case kPaste:
            if (!b.text().empty() && ask("要覆盖吗？", "覆盖确认", Icon::Question, Buttons::YesNo) != Answer::Yes) return;
            // A paste that was not stored keeps the buffer: the shortcut lives only there.
            if (!stored(write_slot(g, s, st.cut_caption, st.cut_path))) return;
            b.set_text(st.cut_caption);
            show_icon(s, st.cut_path);
            st.cut_caption.clear();
            st.cut_path.clear();
            return;
        case kDelete:
            if (ask("您确定要删除此快捷项？", "删除确认", Icon::Question, Buttons::YesNo) != Answer::Yes) return;
            if (!stored(clear_slot(g, s))) return;
            b.set_text("");
            show_icon(s, "");
            return;
        case kProperties:
            sys().shell.show_properties(slot_path(g, s));
            return;
        default:
            return;
    }
}

void LauncherWindow::tab_mouse_down(int n, MouseButton b) {
    if (b != MouseButton::Right) return;
    tab_click(n);
    tab(n).set_focus();
    const std::optional<std::string> name = input("此组的名称更改为：", "组更名", tab(n).text());
    if (!name) return;
    const std::string before = tab(n).text();
    tab(n).set_text(*name);
    if (name->empty()) return;
    State& st = state();
    const bool counted = group_exists(st.current_group);
    if (!stored(set_group_name(st.current_group, *name))) {
        tab(n).set_text(before);
        return;
    }
    if (!counted) settings::group_total.write(bounded_group_total() + 1);
    set_text(kCaption + *name);
}

void LauncherWindow::window_files_dropped(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    // Only the first file, taken whole.
    const std::string path = paths.front();
    State& st = state();
    // Where the pointer is now, not the drop point.
    const Point p = sys().desktop.pointer();
    const Rect r = rect();
    const Size client = client_size();
    const int y = p.y - r.top - (r.height - client.height) - 25;
    const int x = p.x - r.left - (r.width - client.width);
    // Only the 4 x 6 grid takes a drop (a division truncates toward zero).
    if (y <= 0 || x < 0) return;
    const int row = y / 30;
    const int column = x / 120;
    if (row >= 6 || column >= 4) return;
    const int slot = 4 * row + column;
    if (path_in_group(st.current_group, path)) {
        ask("该快捷项已在本组存在，无需重复添加！", "重复！", Icon::Warning, Buttons::Ok);
        return;
    }
    if (!slot_path(st.current_group, slot).empty() &&
        ask("要覆盖吗？", "确认覆盖", Icon::Question, Buttons::YesNo) != Answer::Yes)
        return;
    const std::string caption = store_path(st.current_group, slot, path);
    if (!stored(!caption.empty())) return;
    slot_button(slot).set_text(caption);
    show_icon(slot, path);
}

}  // namespace q::launcher
