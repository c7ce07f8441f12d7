// The reminder popup: rises at the right edge of the work area, greets at
// start-up or shows a reminder that fell due, and runs the reminder's task.
#pragma once

#include <optional>
#include <string>

#include "platform/datetime.h"
#include "platform/system.h"
#include "platform/ui.h"
#include "reminders/store.h"

namespace q::reminders {

class Popup;

// The popup's slide and task, kept by the subsystem from one opening to the next.
struct PopupState {
    int slide_offset = 0;
    int slide_direction = 0;  // 0 rising, 1 sinking
    std::string current_action;
};

// What the popup asks of the subsystem that keeps it.
class PopupOwner {
public:
    virtual PopupState& kept_state() = 0;
    // The popup opens: the main bar goes.
    virtual void hide_bar() = 0;
    // A task ends Windows: the table is closed first.
    virtual void end_windows(EndSession how) = 0;
    // Takes this popup's window down, when it is still the one open.
    virtual void close_window(const Popup& p) = 0;

protected:
    ~PopupOwner() = default;
};

class Popup : public Window {
public:
    static constexpr int kWidth = 185;
    static constexpr int kHeight = 200;

    explicit Popup(PopupOwner& owner);

    Label 标题标签;
    Label 内容标签;
    Button 取消按钮;
    Button 了解按钮;
    Timer 移动时钟;

    // Fills the window for a reminder that fell due, or for the greeting
    // when there is none, and starts its rise; also when opened again while open.
    void opening_work(const std::optional<Reminder>& due);

    // Handlers.
    void 移动时钟_tick();
    // A press on the window or on either label.
    void body_mouse_down();
    void 了解按钮_click();
    void 取消按钮_click();

    bool greeting_mode() const { return !了解按钮.visible(); }

private:
    void show_greeting_text();
    void run_reminder_action();
    void close_popup();

    PopupOwner& owner_;
};

// Texts of a date-time used by the popup.
std::string weekday_text(const DateTime& t);   // 星期日, 星期一 ...
std::string clock_text(const DateTime& t, bool seconds);  // 9时5分7秒 / 9时5分
// The task line of a 运行 value: the base name of a program path (marked
// invalid when the file is missing) or the value itself.
std::string task_text(const std::string& action);

}  // namespace q::reminders
