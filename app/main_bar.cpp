#include "app/main_bar.h"

#include <algorithm>

#include "app/program.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q {

namespace {

struct ButtonSpec {
    const char* caption;
    int top;
};
// In function order 0..10.
constexpr ButtonSpec kButtons[11] = {
    {"播放 MP3", 25},    {"停止播放", 49},    {"更换壁纸", 75},    {"暂停更换", 99},
    {"开关光驱", 125},   {"随手记录", 149},   {"定时提醒", 173},   {"快捷程序", 197},
    {"设置Quillet", 223}, {"介绍Quillet", 247}, {"遣退Quillet", 271},
};

constexpr int kButtonLeft = 34;
constexpr int kButtonWidth = 82;
constexpr int kButtonHeight = 23;

Rect button_rect(int n) { return {kButtonLeft, kButtons[n].top, kButtonWidth, kButtonHeight}; }

}  // namespace

MainBar::MainBar(Program& program)
    : Window({0, 0, kWidth, kHeight}, "Quillet", Style{false, true}),
      播放按钮(this, button_rect(0), kButtons[0].caption, button_icon(0)),
      停止按钮(this, button_rect(1), kButtons[1].caption, button_icon(1)),
      更换按钮(this, button_rect(2), kButtons[2].caption, button_icon(2)),
      暂停按钮(this, button_rect(3), kButtons[3].caption, button_icon(3)),
      开关按钮(this, button_rect(4), kButtons[4].caption, button_icon(4)),
      小贴按钮(this, button_rect(5), kButtons[5].caption, button_icon(5)),
      提醒按钮(this, button_rect(6), kButtons[6].caption, button_icon(6)),
      快捷按钮(this, button_rect(7), kButtons[7].caption, button_icon(7)),
      设置按钮(this, button_rect(8), kButtons[8].caption, button_icon(8)),
      关于按钮(this, button_rect(9), kButtons[9].caption, button_icon(9)),
      退出按钮(this, button_rect(10), kButtons[10].caption, button_icon(10)),
      program_(program) {
    for (int n = 0; n <= 10; ++n) {
        ImageButton& b = button(n);
        b.set_font(Font{"宋体", 9});
        b.set_text_color(rgb(70, 99, 145));
        b.on_click = [this, n] { button_click(n); };
        b.on_pointer_move = [this] { button_pointer_move(); };
        b.on_pointer_leave = [this] { button_pointer_leave(); };
    }
    提醒时钟.on_tick = [this] { 提醒时钟_tick(); };
    音乐时钟.on_tick = [this] { program_.media().start_next_track(); };
    壁纸时钟.on_tick = [this] { program_.media().change_wallpaper_now(); };
    隐藏时钟.on_tick = [this] { 隐藏时钟_tick(); };
    on_shown = [this] { window_shown(); };
    on_hidden = [this] { window_hidden(); };
    on_hotkey = [this](int id) { window_hotkey(id); };
    on_end_session = [this] { window_end_session(); };
}

ImageButton& MainBar::button(int n) {
    ImageButton* all[11] = {&播放按钮, &停止按钮, &更换按钮, &暂停按钮, &开关按钮, &小贴按钮,
                            &提醒按钮, &快捷按钮, &设置按钮, &关于按钮, &退出按钮};
    return *all[n < 0 || n > 10 ? 0 : n];
}

void MainBar::button_click(int n) { program_.run_main_bar_function(n); }

void MainBar::button_pointer_move() {
    if (hover_ == 0) {
        sys().desktop.play_sound(Res::HoverWav);
        hover_ = 1;
    }
}

void MainBar::button_pointer_leave() { hover_ = 0; }

void MainBar::tray_event(TrayEvent kind) {
    switch (kind) {
        case TrayEvent::Click:
            hide();
            break;
        case TrayEvent::DoubleClick:
            program_.run_tray_action(settings::tray());
            break;
        case TrayEvent::RightClick:
            show_at_pointer();
            break;
    }
}

void MainBar::show_at_pointer() {
    set_topmost(true);
    if (visible()) return;
    sys().desktop.play_sound(Res::TrayShowWav);
    const Point p = sys().desktop.pointer();
    // The pointer ends at the middle of the bar's bottom edge.
    move(p.x - 60, p.y - 300);
    show();
    隐藏时钟.set_interval(100);
}

void MainBar::提醒时钟_tick() { program_.reminders().tick(); }

void MainBar::隐藏时钟_tick() {
    if (!visible()) {
        隐藏时钟.set_interval(0);
        return;
    }
    const Point p = sys().desktop.pointer();
    const Rect& r = rect();
    // The bottom edge is not tested: the tray icon lies below the bar.
    const bool on_bar = p.x >= r.left && p.x <= r.left + kWidth && p.y >= r.top;
    if (!on_bar) hide();
}

void MainBar::window_shown() {
    // What was typed is stored as typed; the bar takes at least the spin box's
    // smallest value, so an empty or mistyped box never makes it invisible.
    if (sys().process.has_layered_windows())
        set_opacity(std::clamp(leading_int(settings::transparance()), 100, 255));
}

void MainBar::window_hidden() {
    set_topmost(false);
    // The launcher before the note, so the note ends in front of it.
    if (launcher::LauncherWindow* w = program_.launcher().window()) w->set_topmost(true);
    if (note::NoteWindow* w = program_.note().window()) w->set_topmost(true);
}

// A WM_HOTKEY that reaches the window procedure (a modal loop dispatched it)
// runs the same function as one taken by the dispatch loop.
void MainBar::window_hotkey(int id) { program_.run_main_bar_function(id); }

// Windows ends the session: end in order, so nothing lingers or is half written.
void MainBar::window_end_session() { program_.exit_procedure(); }

}  // namespace q
