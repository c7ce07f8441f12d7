#include "reminders/popup.h"

#include "platform/system.h"
#include "platform/text.h"
#include "reminders/reminders.h"
#include "reminders/store.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::reminders {

namespace {

constexpr int kRiseStep = 5;
constexpr int kRiseSoundAt = 50;
constexpr int kGreetingSeconds = 6;

// The bottom edge of the work area: the window rests just above it and
// starts hidden below it.
int rest_base() { return sys().desktop.work_area().bottom(); }

}  // namespace

std::string weekday_text(const DateTime& t) {
    static const char* const names[7] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    const int w = t.weekday();
    return (w >= 1 && w <= 7) ? names[w - 1] : "";
}

std::string clock_text(const DateTime& t, bool seconds) {
    std::string s = decimal(t.hour) + "时" + decimal(t.minute) + "分";
    if (seconds) s += decimal(t.second) + "秒";
    return s;
}

std::string task_text(const std::string& action) {
    if (!contains_char(action, '\\')) return action;
    const std::string base = path_base_name(action);
    return sys().files.exists(action) ? base : base + "（文件路径无效）";
}

Popup::Popup(PopupOwner& owner)
    : Window({0, 0, kWidth, kHeight}, "", Style{false, true}),
      标题标签(this, {8, 12, 168, 15}, "", Label::Look::Transparent),
      内容标签(this, {8, 34, 168, 144}, "", Label::Look::Transparent),
      取消按钮(this, {8, 161, 82, 25}, "取消"),
      了解按钮(this, {94, 161, 82, 25}, "知道了！"),
      owner_(owner) {
    标题标签.set_font(Font{"黑体", 9});
    内容标签.set_font(Font{"宋体", 9});
    set_background(Res::PopupJpeg);
    on_mouse_down = [this](MouseButton) { body_mouse_down(); };
    标题标签.on_mouse_down = [this](MouseButton) { body_mouse_down(); };
    内容标签.on_mouse_down = [this](MouseButton) { body_mouse_down(); };
    了解按钮.on_click = [this] { 了解按钮_click(); };
    取消按钮.on_click = [this] { 取消按钮_click(); };
    移动时钟.on_tick = [this] { 移动时钟_tick(); };
}

void Popup::show_greeting_text() {
    const std::string message = settings::greeting_message_popup();
    if (!settings::greeting_date_popup()) {
        // Without the date lines the message still shows on its own.
        内容标签.set_text(message);
        return;
    }
    const DateTime now = sys().clock.now();
    内容标签.set_text(message + "\r\n\r\n今天：" + date_text(now) + "  " + weekday_text(now) + "\r\n现在时刻：" +
                      clock_text(now, true));
}

void Popup::opening_work(const std::optional<Reminder>& due) {
    PopupState& s = owner_.kept_state();
    // Opened again while open: a fresh rise for the new content.
    移动时钟.set_interval(0);
    s.slide_offset = 0;
    s.slide_direction = 0;

    const Rect work = sys().desktop.work_area();
    move(work.right() - kWidth, work.bottom());
    owner_.hide_bar();

    if (!due) {
        了解按钮.hide();
        取消按钮.hide();
        标题标签.set_text(settings::greeting_title());
        show_greeting_text();
    } else {
        了解按钮.show();
        取消按钮.show();
        标题标签.set_text(due->kind);
        内容标签.set_text(due->content);
        s.current_action = due->run;
        const std::string task = task_text(s.current_action);
        if (内容标签.text().empty()) 内容标签.set_text("Quillet提醒您，现有重要事务！");
        const DateTime now = sys().clock.now();
        内容标签.set_text(内容标签.text() + "\r\n计划任务：" + task + "\r\n\r\n今天：" + date_text(now) + "  " +
                          weekday_text(now) + "\r\n现在时刻：" + clock_text(now, false));
    }
    移动时钟.set_interval(1);
}

void Popup::移动时钟_tick() {
    PopupState& s = owner_.kept_state();
    if (移动时钟.interval() == 1) {
        if (s.slide_direction == 0) {
            s.slide_offset += kRiseStep;
            move(rect().left, rest_base() - s.slide_offset);
            if (s.slide_offset == kRiseSoundAt) sys().desktop.play_sound(Res::Chime3Wav);
            if (s.slide_offset >= kHeight) {
                移动时钟.set_interval(1000);
                s.slide_offset = 0;
            }
        } else {
            s.slide_offset -= kRiseStep;
            move(rect().left, rest_base() - s.slide_offset);
            if (s.slide_offset <= 0) close_popup();
        }
        return;
    }
    s.slide_offset += 1;
    if (greeting_mode()) {
        if (settings::greeting_date_popup()) show_greeting_text();
        if (s.slide_offset == kGreetingSeconds) {
            移动时钟.set_interval(1);
            s.slide_offset = kHeight;
            s.slide_direction = 1;
        }
    } else {
        sys().desktop.play_sound(Res::AlertWav);
        // A delay of 0, below 0 or with a fraction is never reached.
        if (nearly_equal(s.slide_offset, leading_number(settings::delay_popup()))) run_reminder_action();
    }
}

void Popup::body_mouse_down() {
    if (greeting_mode())
        close_popup();
    else
        run_reminder_action();
}

void Popup::了解按钮_click() { run_reminder_action(); }

void Popup::取消按钮_click() { close_popup(); }

void Popup::run_reminder_action() {
    const std::string action = owner_.kept_state().current_action;
    auto end_windows = [this](EndSession how) { owner_.end_windows(how); };
    if (action == "关机") {
        end_windows(EndSession::ShutDown);
    } else if (action == "注销") {
        end_windows(EndSession::LogOff);
    } else if (action == "重启") {
        end_windows(EndSession::Restart);
    } else if (action == "拨号") {
        std::string dir = sys().shell.system_directory();
        if (!dir.empty() && dir.back() != '\\') dir += '\\';
        sys().shell.start_program(dir + "Rasphone.exe");
    } else if (action == kNone) {
        // no task
    } else if (contains_char(action, '\\') && sys().files.exists(action)) {
        sys().shell.start_program(action);
    }
    // The ending tasks return here only in the sim; the window goes either way.
    close_popup();
}

void Popup::close_popup() {
    PopupState& s = owner_.kept_state();
    移动时钟.set_interval(0);
    s.slide_direction = 0;
    s.slide_offset = 0;
    s.current_action.clear();
    owner_.close_window(*this);
}

void Reminders::open_popup(const std::optional<Reminder>& due) {
    if (!popup_) {
        Popup& p = popup_.open(static_cast<PopupOwner&>(*this));
        p.opening_work(due);
        p.show();
    } else {
        popup_.get()->opening_work(due);
    }
}

}  // namespace q::reminders
