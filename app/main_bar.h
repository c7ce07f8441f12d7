// The main bar: the program's shaped bar of eleven buttons above the tray
// icon, owner of the tray icon, the four main timers and the hotkeys.
#pragma once

#include "platform/system.h"
#include "platform/ui.h"

namespace q {

class MainBar : public Window {
public:
    MainBar();

    static constexpr int kWidth = 121;
    static constexpr int kHeight = 300;

    ImageButton 播放按钮;
    ImageButton 停止按钮;
    ImageButton 更换按钮;
    ImageButton 暂停按钮;
    ImageButton 开关按钮;
    ImageButton 小贴按钮;
    ImageButton 提醒按钮;
    ImageButton 快捷按钮;
    ImageButton 设置按钮;
    ImageButton 关于按钮;
    ImageButton 退出按钮;

    Timer 提醒时钟;
    Timer 音乐时钟;
    Timer 壁纸时钟;
    Timer 隐藏时钟;

    // Button of main bar function n (0..10).
    ImageButton& button(int n);

    // Handlers.
    void button_pointer_move();
    void button_pointer_leave();
    void tray_event(TrayEvent kind);
    void show_at_pointer();
    void 隐藏时钟_tick();
    void bar_shown();
    void bar_hidden();
};

// The bar exists from program start to exit (made on first use).
MainBar& main_bar();
void hide_main_bar();
// Main bar function n (0..10): hides the bar, then acts; other numbers do nothing.
void run_main_bar_function(int n);
// Runs the function of a tray action value ([set] tray, 0..7); others do nothing.
void run_tray_action(int value);

// Program-wide state of the bar.
int hover_flag();
int door_open_flag();

// Destroys the bar and clears its state (tests: before their SimSystem goes).
void reset_main_bar();

}  // namespace q
