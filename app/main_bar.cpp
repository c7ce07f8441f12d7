#include "app/main_bar.h"

#include <memory>

#include "app/actions.h"
#include "app/bar_helpers.h"
#include "app/program.h"
#include "note/note.h"
#include "reminders/reminders.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q {

namespace {

std::unique_ptr<MainBar> g_bar;
int g_hover = 0;      // 1 from the first movement over a button until the pointer leaves it
int g_door_open = 0;  // the program's own belief about the CD door

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

MainBar::MainBar()
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
      退出按钮(this, button_rect(10), kButtons[10].caption, button_icon(10)) {
    for (int n = 0; n <= 10; ++n) {
        ImageButton& b = button(n);
        b.set_font(Font{"宋体", 9});
        b.set_text_color(rgb(70, 99, 145));
        b.on_click = [n] { run_main_bar_function(n); };
        b.on_pointer_move = [this] { button_pointer_move(); };
        b.on_pointer_leave = [this] { button_pointer_leave(); };
    }
    提醒时钟.on_tick = [] { reminders::tick(); };
    隐藏时钟.on_tick = [this] { 隐藏时钟_tick(); };
    on_shown = [this] { bar_shown(); };
    on_hidden = [this] { bar_hidden(); };
    // A WM_HOTKEY that reaches the window procedure (a modal loop dispatched
    // it) runs the same function as one taken by the dispatch loop.
    on_hotkey = [](int id) { run_main_bar_function(id); };
    // Windows ends the session: end in order, so nothing lingers or is half written.
    on_end_session = [] { exit_procedure(); };
}

ImageButton& MainBar::button(int n) {
    ImageButton* all[11] = {&播放按钮, &停止按钮, &更换按钮, &暂停按钮, &开关按钮, &小贴按钮,
                            &提醒按钮, &快捷按钮, &设置按钮, &关于按钮, &退出按钮};
    return *all[n < 0 || n > 10 ? 0 : n];
}

void MainBar::button_pointer_move() {
    if (g_hover == 0) {
        sys().desktop.play_sound(Res::HoverWav);
        g_hover = 1;
    }
}

void MainBar::button_pointer_leave() { g_hover = 0; }

void MainBar::tray_event(TrayEvent kind) {
    switch (kind) {
        case TrayEvent::Click:
            hide_main_bar();
            break;
        case TrayEvent::DoubleClick:
            run_tray_action(settings::tray());
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

void MainBar::bar_shown() {
    if (sys().process.has_layered_windows()) set_window_opacity(*this, leading_int(settings::transparance()));
}

void MainBar::bar_hidden() {
    set_topmost(false);
    // The launcher window comes first here once it exists.
    if (note::loaded()) {
        if (Window* w = note::window()) w->set_topmost(true);
    }
}

MainBar& main_bar() {
    if (!g_bar) g_bar = std::make_unique<MainBar>();
    return *g_bar;
}

void hide_main_bar() { main_bar().hide(); }

void run_main_bar_function(int n) {
    if (n < 0 || n > 10) return;
    hide_main_bar();
    switch (n) {
        case 0: action_play_music(); break;
        case 1: action_stop_music(); break;
        case 2: action_change_wallpaper(); break;
        case 3: action_pause_wallpaper(); break;
        case 4: action_cd_door(); break;
        case 5: note::note_action(); break;
        case 6: action_reminders_page(); break;
        case 7: action_launcher(); break;
        case 8: action_settings(); break;
        case 9: action_about(); break;
        case 10: exit_procedure(); break;
    }
}

void run_tray_action(int value) {
    // Tray action value -> main bar function.
    static constexpr int kFunction[8] = {4, 2, 0, 5, 6, 7, 8, 10};
    if (value < 0 || value > 7) return;
    run_main_bar_function(kFunction[value]);
}

void action_cd_door() {
    if (g_door_open == 1) {
        sys().desktop.mci_command("set CDAudio door closed");
        g_door_open = 0;
    } else {
        sys().desktop.mci_command("set CDAudio door open");
        g_door_open = 1;
    }
}

int hover_flag() { return g_hover; }
int door_open_flag() { return g_door_open; }

void reset_main_bar() {
    g_bar.reset();
    g_hover = 0;
    g_door_open = 0;
}

}  // namespace q
