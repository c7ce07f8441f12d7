// The reminder popup: rises at the right edge of the work area, greets at
// start-up or shows a reminder that fell due, and runs the reminder's task.
#pragma once

#include <string>

#include "platform/datetime.h"
#include "platform/ui.h"

namespace q::reminders {

class Popup : public Window {
public:
    static constexpr int kWidth = 185;
    static constexpr int kHeight = 200;

    Popup();

    Label 标题标签;
    Label 内容标签;
    Button 取消按钮;
    Button 了解按钮;
    Timer 移动时钟;

    // Handlers.
    void opening_work();
    void slide_step();
    void body_click();
    void run_reminder_action();
    void cancel();

    bool greeting_mode() const { return !了解按钮.visible(); }

private:
    void show_greeting_text();
    void close_popup();
};

// The open popup, or nullptr.
Popup* popup();
// Program-wide slide state.
int slide_offset();
int slide_direction();
const std::string& current_action();

// Texts of a date-time used by the popup.
std::string weekday_text(const DateTime& t);   // 星期日, 星期一 ...
std::string clock_text(const DateTime& t, bool seconds);  // 9时5分7秒 / 9时5分
// The task line of a 运行 value: the base name of a program path (marked
// invalid when the file is missing) or the value itself.
std::string task_text(const std::string& action);

// Closes and forgets the popup and its state without any other effect.
void reset_popup();

}  // namespace q::reminders
