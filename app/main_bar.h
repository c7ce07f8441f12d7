// The main bar: the program's shaped bar of eleven buttons above the tray
// icon, owner of the tray icon, the four main timers and the hotkeys.
#pragma once

#include "platform/system.h"
#include "platform/ui.h"

namespace q {

class Program;

class MainBar : public Window {
public:
    explicit MainBar(Program& program);

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

    // Handlers; the button ones serve all eleven buttons.
    void button_click(int n);
    void button_pointer_move();
    void button_pointer_leave();
    void tray_event(TrayEvent kind);
    void 提醒时钟_tick();
    void 隐藏时钟_tick();
    void window_shown();
    void window_hidden();
    void window_hotkey(int id);
    void window_end_session();

    void show_at_pointer();

    // 1 from the first movement over a button until the pointer leaves it.
    int hover_flag() const { return hover_; }

private:
    Program& program_;
    int hover_ = 0;
};

}  // namespace q
