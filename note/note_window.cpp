#include "note/note_window.h"

#include "note/edge_slide.h"
#include "note/note.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::note {

namespace {

constexpr const char* kAutoHide = "自动隐藏";  // caption while pinned: a click switches auto-hide on
constexpr const char* kPin = "固定小贴";       // caption while auto-hide is on
constexpr int kSlideMs = 100;
// A crash loses at most this much typing.
constexpr int kRecoveryDelayMs = 1500;

Edit::Mode note_box_mode() {
    Edit::Mode m;
    m.multi_line = true;
    m.vertical_scroll = true;
    m.accept_files = true;
    // Files of several megabytes load whole.
    m.max_bytes = 0;
    return m;
}

// A stored COLORREF; anything outside 24 bits reads as white.
Color color_of(const std::string& text) {
    const double v = leading_number(text);
    if (!(v >= 0 && v <= 0xFFFFFF)) return kWhite;
    return static_cast<Color>(v);
}

bool loadable_extension(const std::string& path) {
    const std::string ext = ascii_lower(path_extension(path));
    return ext == "txt" || ext == "ini" || ext == "inf" || ext == "key";
}

}  // namespace

const std::vector<std::string>& NoteWindow::menu_items() {
    static const std::vector<std::string> items = {"存为文本(&S)", "打开文档(&O)", "清空本贴(&C)",
                                                   "",            "更换字体(&F)", "恢复默认(&R)"};
    return items;
}

NoteWindow::NoteWindow(Note& owner)
    : Window({0, 0, kWidth, kHeight}, "随手记录", Style{false, true}),
      标题标签(this, {45, 3, 60, 16}, "随手记录", Label::Look::Transparent),
      菜单按钮(this, {8, 7, 12, 12}, Res::NoteMenuButton),
      关闭按钮(this, {131, 7, 11, 9}, Res::NoteCloseButton),
      记录编辑框(this, {5, 24, 140, 200}, note_box_mode()),
      透明度滑块条(this, {5, 225, 140, 18}, 0, 200),
      固定按钮(this, {5, 244, 86, 21}, kAutoHide),
      颜色选择器(this, {93, 244, 52, 21}, kWhite),
      owner_(owner) {
    记录编辑框.set_font(default_font());
    Font title;
    title.face = "黑体";
    title.points = 9;
    标题标签.set_font(title);

    on_mouse_down = [this](MouseButton b) { window_mouse_down(b); };
    on_moved = [this] { window_moved(); };
    on_close = [this] { window_close(); };
    on_destroy = [this] { window_destroyed(); };
    on_end_session = [this] { window_end_session(); };
    标题标签.on_mouse_down = [this](MouseButton b) { 标题标签_mouse_down(b); };
    透明度滑块条.on_change = [this] { 透明度滑块条_change(); };
    颜色选择器.on_change = [this] { 颜色选择器_change(); };
    固定按钮.on_click = [this] { 固定按钮_click(); };
    移动时钟.on_tick = [this] { 移动时钟_tick(); };
    恢复时钟.on_tick = [this] { 恢复时钟_tick(); };
    菜单按钮.on_click = [this] { 菜单按钮_click(); };
    关闭按钮.on_click = [this] { 关闭按钮_click(); };
    记录编辑框.on_double_click = [this] { 记录编辑框_double_click(); };
    记录编辑框.on_change = [this] { 记录编辑框_change(); };
    记录编辑框.on_files_dropped = [this](const std::vector<std::string>& paths) { 记录编辑框_files_dropped(paths); };
}

void NoteWindow::window_created() {
    固定按钮.set_text(kAutoHide);
    set_background(Res::NoteSkin);
    set_shape(Res::NoteSkin, kPureRed);
    set_topmost(true);
    move(settings::note_left(), settings::note_top());
    if (sys().process.has_layered_windows()) {
        const long long position = static_cast<long long>(leading_int(settings::note_alpha())) - 55;
        透明度滑块条.set_position(static_cast<int>(position < 0 ? 0 : position > 200 ? 200 : position));
        apply_opacity();
    } else {
        透明度滑块条.hide();
        Rect r = 记录编辑框.rect();
        r.height = 218;
        记录编辑框.set_rect(r);
    }
    const Color color = color_of(settings::note_color());
    记录编辑框.set_back_color(color);
    颜色选择器.set_color(color);
    // Dropped files reach the box through its accept_files mode.

    // Text kept when the program last ended with the note open. The file
    // stays until the text is saved or let go at the close question, so a
    // crash before the first keystroke loses nothing.
    const std::string path = recovery_path();
    std::string kept;
    if (sys().files.exists(path) && sys().files.read(path, kept)) 记录编辑框.set_text(kept);
}

void NoteWindow::apply_opacity() { set_opacity(透明度滑块条.position() + 55); }

void NoteWindow::透明度滑块条_change() {
    settings::note_alpha.write(decimal(透明度滑块条.position() + 55));
    apply_opacity();
}

void NoteWindow::颜色选择器_change() {
    const Color color = 颜色选择器.color();
    记录编辑框.set_back_color(color);
    settings::note_color.write(decimal(color));
}

void NoteWindow::window_moved() {
    const Size screen = sys().desktop.screen_size();
    int left = rect().left;
    if (left < 0) left = 0;
    if (left > screen.width - kWidth) left = screen.width - kWidth;
    int top = rect().top;
    if (top < 0) top = 0;
    if (top > screen.height - kHeight) top = screen.height - kHeight;
    settings::Batch batch;
    batch.write(settings::note_left, left);
    batch.write(settings::note_top, top);
    batch.commit();
}

void NoteWindow::window_mouse_down(MouseButton b) {
    if (b == MouseButton::Left) drag();
}

void NoteWindow::标题标签_mouse_down(MouseButton b) {
    if (b == MouseButton::Left) drag();
}

void NoteWindow::drag() {
    begin_drag();
    if (!created()) return;
    if (固定按钮.text() == kPin) {
        park();
        移动时钟.set_interval(kSlideMs);
    } else {
        keep_on_screen();
    }
}

void NoteWindow::keep_on_screen() {
    const Size screen = sys().desktop.screen_size();
    const Rect r = rect();
    int left = r.left;
    int top = r.top;
    if (left < 0) left = 0;
    if (left > screen.width - r.width) left = screen.width - r.width;
    if (top < 0) top = 0;
    if (top > screen.height - r.height) top = screen.height - r.height;
    move(left, top);
}

void NoteWindow::park() {
    const Size screen = sys().desktop.screen_size();
    const Rect r = rect();
    int side = 0;
    if (r.left >= screen.width - r.width) {
        move(screen.width - kStrip, r.top);
        side = 2;
    } else if (r.left <= 0) {
        move(kStrip - r.width, r.top);
        side = 1;
    } else if (r.top >= screen.height - r.height) {
        move(r.left, screen.height - kStrip);
        side = 4;
    } else if (r.top <= 0) {
        move(r.left, kStrip - r.height);
        side = 3;
    }
    owner_.set_docking_side(side);
}

void NoteWindow::固定按钮_click() {
    if (固定按钮.text() == kAutoHide) {
        固定按钮.set_text(kPin);
        park();
        移动时钟.set_interval(kSlideMs);
    } else {
        固定按钮.set_text(kAutoHide);
        移动时钟.set_interval(0);
    }
}

void NoteWindow::移动时钟_tick() {
    const int side = owner_.docking_side();
    if (side >= 1 && side <= 4) edge_slide_step(*this, side);
}

void NoteWindow::菜单按钮_click() {
    const AliveToken alive = liveness();
    const int item = sys().dialogs.popup_menu(menu_items(), {rect().left + 8, rect().top + 19});
    if (!alive) return;
    switch (item) {
        case 0: save_as_text(); break;
        case 1: open_document(); break;
        case 2: clear(); break;
        case 4: change_font(); break;
        case 5: restore_default(); break;
        default: break;
    }
}

void NoteWindow::记录编辑框_double_click() { clear(); }

void NoteWindow::clear() { set_note_text(""); }

NoteWindow::Saved NoteWindow::save_text() {
    const AliveToken alive = liveness();
    const std::string text = 记录编辑框.text();
    if (text.empty()) {
        sys().dialogs.message_box(this, "本贴中没有需要保存的文本！", "内容？", Icon::Error, Buttons::Ok, true);
        return Saved::No;
    }
    FileDialog d;
    d.title = "保存文本";
    d.default_ext = "txt";
    d.filter = "文本文件(*.txt)|*.TXT";
    const auto path = sys().dialogs.save_file(this, d);
    if (!path) return Saved::No;
    // The text was taken before the dialog: it is written even when the window went meanwhile.
    // A text file is plain CP936 for every other program: a character it
    // lacks is written as "?", as Windows writes it.
    if (!sys().files.replace(*path, cp936_without_escapes(text))) {
        // The user must not believe the text is safe in that file.
        sys().dialogs.message_box(alive ? this : nullptr, "文本未能保存到：\r\n" + *path, "保存文本", Icon::Error,
                                  Buttons::Ok, true);
        return Saved::WriteFailed;
    }
    return Saved::Yes;
}

bool NoteWindow::loaded_block(const std::string& path, std::string& block, bool& cut) {
    std::string content;
    if (!sys().files.read(path, content)) return false;
    // The box ends its text at a zero byte: the note keeps what it shows.
    const std::size_t zero = content.find('\0');
    cut = zero != std::string::npos;
    if (cut) content.resize(zero);
    block = "**载入文件**\r\n" + path + "\r\n\r\n" + content + "\r\n";
    return true;
}

void NoteWindow::tell_cut(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    std::string text = "下列文件含有非文本的字节，只载入了其中第一个非文本字节之前的文本：";
    for (const std::string& p : paths) text += "\r\n" + p;
    sys().dialogs.message_box(this, text, "载入文件", Icon::Warning, Buttons::Ok, true);
}

void NoteWindow::open_document() {
    const AliveToken alive = liveness();
    bool replace = false;
    if (!记录编辑框.text().empty()) {
        replace = sys().dialogs.message_box(this, "您是否需要在载入选定文件前清空本贴内容？", "询问", Icon::Question,
                                            Buttons::YesNo, true) == Answer::Yes;
        if (!alive) return;
    }
    FileDialog d;
    d.title = "打开文件";
    d.filter = "支持的文件格式|*.TXT;*.INI;*.INF;*.KEY";
    const auto path = sys().dialogs.open_file(this, d);
    if (!path || !alive) return;
    std::string block;
    bool cut = false;
    if (!loaded_block(*path, block, cut)) return;
    set_note_text(replace ? block : 记录编辑框.text() + block);
    if (cut) tell_cut({*path});
}

void NoteWindow::记录编辑框_files_dropped(const std::vector<std::string>& paths) {
    std::string text = 记录编辑框.text();
    bool added = false;
    std::vector<std::string> cut_files;
    for (const std::string& path : paths) {
        if (!sys().files.exists(path) || !loadable_extension(path)) continue;
        std::string block;
        bool cut = false;
        if (!loaded_block(path, block, cut)) continue;
        text += block;
        added = true;
        if (cut) cut_files.push_back(path);
    }
    if (added) set_note_text(std::move(text));
    tell_cut(cut_files);
}

void NoteWindow::change_font() {
    const AliveToken alive = liveness();
    Font font = 记录编辑框.font();
    Color color = 记录编辑框.text_color();
    if (!sys().dialogs.choose_font(this, font, color) || !alive) return;
    记录编辑框.set_font(font);
    记录编辑框.set_text_color(color);
}

Font NoteWindow::default_font() {
    Font font;
    font.face = "宋体";
    font.points = 9;
    return font;
}

void NoteWindow::restore_default() {
    记录编辑框.set_font(default_font());
    记录编辑框.set_text_color(kBlack);
}

void NoteWindow::关闭按钮_click() {
    // One close at a time: a second one while the question or the save dialog
    // is up would close the window under the first.
    if (closing_) return;
    closing_ = true;
    const AliveToken alive = liveness();
    Saved saved = Saved::No;
    if (!记录编辑框.text().empty() &&
        sys().dialogs.message_box(this, "在您关闭小贴前是否需要保存本贴内容？", "请您确认", Icon::Question,
                                  Buttons::YesNo) == Answer::Yes) {
        if (alive) saved = save_text();
    }
    // Closed meanwhile (the program's exit): that close kept what had to be kept.
    if (!alive) return;
    恢复时钟.set_interval(0);
    // The text goes with the window, unless it could not be written where the user wanted it.
    if (saved == Saved::WriteFailed)
        write_recovery();
    else if (sys().files.exists(recovery_path()))
        sys().files.remove(recovery_path());
    owner_.close_window();
}

void NoteWindow::window_close() { 关闭按钮_click(); }

void NoteWindow::set_note_text(std::string text) {
    记录编辑框.set_text(std::move(text));
    记录编辑框_change();
}

void NoteWindow::记录编辑框_change() {
    // Restart the delay: the file is written once typing pauses.
    恢复时钟.set_interval(0);
    恢复时钟.set_interval(kRecoveryDelayMs);
}

void NoteWindow::恢复时钟_tick() {
    恢复时钟.set_interval(0);
    write_recovery();
}

void NoteWindow::write_recovery() {
    const std::string path = recovery_path();
    const std::string& text = 记录编辑框.text();
    if (text.empty()) {
        if (sys().files.exists(path)) sys().files.remove(path);
        return;
    }
    sys().files.replace(path, text);
}

void NoteWindow::window_destroyed() {
    set_topmost(false);
    移动时钟.set_interval(0);
    恢复时钟.set_interval(0);
}

void NoteWindow::window_end_session() { write_recovery(); }

}  // namespace q::note
