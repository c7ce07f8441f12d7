#include "reminders/page.h"

#include "platform/system.h"
#include "platform/text.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::reminders {

namespace {

const char* const kAddCaption = "确认添加";
const char* const kFinishCaption = "完成修改";
const char* const kResetCaption = "重新设置";
const char* const kDeleteCaption = "删除提醒";

// The number that follows the first marker, 0 when there is none.
int number_after(const std::string& text, const std::string& marker) {
    const std::size_t at = find_text(text, marker);
    if (at == std::string::npos) return 0;
    return leading_int(text.substr(at + marker.size()));
}

std::string padded(int n) {
    std::string s = decimal(n);
    if (s.size() == 1) s = "0" + s;
    return s;
}

void pad(Edit& e) {
    if (e.text().size() == 1) e.set_text("0" + e.text());
}

// Hour or minute check: a kind is assumed, the other box gets "00", and a
// value out of range is refused with its message.
void check_time_box(DropDown& kind, Edit& box, Edit& other, int max, const char* message, Window* owner) {
    if (kind.selection() < 0) kind.select(0);
    if (other.text().empty()) other.set_text("00");
    const double v = leading_number(box.text());
    if (v < 0 || v > max) {
        const AliveToken alive = owner->liveness();
        sys().dialogs.message_box(owner, message, "错误", Icon::Error, Buttons::Ok);
        if (!alive) return;
        box.set_text("");
    }
}

}  // namespace

const RemindersPage::Scheme RemindersPage::kSchemes[6] = {
    {rgb(255, 255, 255), rgb(255, 255, 255)}, {rgb(171, 198, 248), rgb(146, 188, 252)},
    {rgb(193, 216, 175), rgb(177, 205, 152)}, {rgb(251, 217, 166), rgb(250, 208, 146)},
    {rgb(202, 188, 228), rgb(189, 173, 222)}, {rgb(212, 212, 212), rgb(202, 202, 202)},
};

RemindersPage::RemindersPage(TabPage& page, Reminders& reminders, Timer& reminder_timer)
    : 提醒列表框(&page, {12, 45, 560, 143}, list_columns()),
      删除过期选择框(&page, {392, 192, 180, 17}, "自动从列表中删除已过期提醒"),
      透明标签8(&page, {404, 28, 62, 13}, "列表配色：", Label::Look::Transparent),
      配色组合框(&page, {466, 23, 106, 20}, {"素洁无痕", "淡爽天空", "草原春色", "夕阳无限", "浪漫罗兰", "朦胧夜暮"}),
      总数标签(&page, {12, 28, 392, 13}, ""),
      透明标签9(&page, {12, 195, 60, 13}, "提醒类型：", Label::Look::Transparent),
      类型组合框(&page, {70, 191, 88, 20}, {kDaily, kWeekly, kMonthly, kFixedDate}),
      透明标签10(&page, {12, 215, 60, 13}, "提醒时间：", Label::Look::Transparent),
      透明标签11(&page, {12, 233, 60, 13}, "提醒内容：", Label::Look::Transparent),
      // 内容 holds 200 bytes: the box takes no more, so what is seen is kept.
      信息编辑框(&page, {70, 233, 502, 29}, Edit::Mode::line(200, true)),
      透明标签12(&page, {12, 269, 60, 13}, "计划任务：", Label::Look::Transparent),
      任务组合框(&page, {70, 265, 88, 20}, {"关机", "注销", "重启", "拨号", "自定义"}),
      任务编辑框(&page, {161, 266, 376, 16}, Edit::Mode::line(512)),
      查看按钮(&page, {541, 266, 31, 16}, "..."),
      清空按钮(&page, {435, 287, 66, 23}, kResetCaption),
      增添按钮(&page, {506, 287, 66, 23}, kAddCaption),
      日期框(&page, {165, 191, 106, 20}),
      日期组合框(&page, {165, 191, 59, 20}),
      透明标签13(&page, {68, 216, 180, 13}, "     时     分（秒种默认为0）", Label::Look::Transparent),
      小时编辑框(&page, {70, 214, 25, 16}),
      分钟编辑框(&page, {112, 214, 25, 16}),
      透明标签15(&page, {12, 289, 420, 13}, "所有任务延时：      秒（默认为10，完成此项设定无需点击确认添加按钮）",
                 Label::Look::Transparent),
      延时编辑框(&page, {93, 288, 36, 17}),
      最小化选择框(&page, {70, 318, 189, 16}, "弹出提醒窗口时最小化其他窗口"),
      透明标签16(&page, {12, 319, 60, 13}, "提醒设置：", Label::Look::Transparent),
      外形框1(&page, {10, 312, 562, 2}),
      报时选择框(&page, {70, 340, 68, 17}, "整点报时"),
      透明标签17(&page, {143, 341, 60, 13}, "报时音乐：", Label::Look::Transparent),
      报时组合框(&page, {199, 338, 84, 20}, {"清脆布谷", "门前风铃", "暮鼓晨钟", "美丽流星"}),
      试听按钮(&page, {287, 338, 48, 20}, "试听"),
      切换按钮(&page, {435, 315, 138, 23}, "切换到添加提示模式"),
      reminders_(reminders),
      timer_(reminder_timer) {
    切换按钮.hide();
    查看按钮.set_enabled(false);
    // Pick row runs on what the user does only: a click on a row (or where no
    // row is) and a row selected with the keys. Selecting from code (the new
    // row after an insert) and removing the selected row report nothing; a
    // delete goes back to add mode itself.
    提醒列表框.on_pick = [this] { 提醒列表框_pick(); };
    类型组合框.on_change = [this] { 类型组合框_change(); };
    小时编辑框.on_change = [this] { 小时编辑框_change(); };
    分钟编辑框.on_change = [this] { 分钟编辑框_change(); };
    小时编辑框.on_focus_lost = [this] { 小时编辑框_focus_lost(); };
    分钟编辑框.on_focus_lost = [this] { 分钟编辑框_focus_lost(); };
    任务组合框.on_change = [this] { 任务组合框_change(); };
    小时编辑框.on_key = [this](int ch) { 小时编辑框_key(ch); };
    分钟编辑框.on_key = [this](int ch) { 分钟编辑框_key(ch); };
    任务编辑框.on_key = [this](int ch) { 任务编辑框_key(ch); };
    查看按钮.on_click = [this] { 查看按钮_click(); };
    增添按钮.on_click = [this] { 增添按钮_click(); };
    清空按钮.on_click = [this] { 清空按钮_click(); };
    切换按钮.on_click = [this] { 切换按钮_click(); };
    删除过期选择框.on_click = [this] { 删除过期选择框_click(); };
    最小化选择框.on_click = [this] { 最小化选择框_click(); };
    延时编辑框.on_change = [this] { 延时编辑框_change(); };
    报时选择框.on_click = [this] { 报时选择框_click(); };
    报时组合框.on_change = [this] { 报时组合框_change(); };
    试听按钮.on_click = [this] { 试听按钮_click(); };
    配色组合框.on_change = [this] { 配色组合框_change(); };
}

void RemindersPage::created() {
    // 7. Colour scheme of the reminder list.
    配色组合框.select(settings::list_colors());
    apply_color_scheme();
    // 8. Expired reminders.
    删除过期选择框.set_checked(settings::auto_delete());
    // 9. The editor's date controls and the list.
    日期组合框.hide();
    日期框.hide();
    // Today is where the picker opens, not a limit: any date may be chosen.
    日期框.set_date(sys().clock.now());
    load_reminder_list(reminders_.table(), 提醒列表框);
    // 10. Delay and chime.
    延时编辑框.set_text(settings::delay_page());
    报时选择框.set_checked(settings::chime());
    报时组合框.select(settings::chime_sound());
}

void RemindersPage::shown() {
    if (删除过期选择框.checked() && delete_expired(提醒列表框)) {
        save_reminder_list(reminders_.table(), 提醒列表框);
        reminders_.scheduler() = Scheduler{};
    }
    最小化选择框.set_checked(settings::minimise_first());
    总数标签.set_text(count_label_text(提醒列表框));
}

bool RemindersPage::edit_mode() const { return 增添按钮.text() == kFinishCaption; }

bool RemindersPage::list_changed() {
    const bool saved = save_reminder_list(reminders_.table(), 提醒列表框);
    reminders_.scheduler() = Scheduler{};
    总数标签.set_text(count_label_text(提醒列表框));
    if (!saved)
        sys().dialogs.message_box(owner(), "提醒记录无法写入文件plan.edb，此次更改未能保存！", "保存失败",
                                  Icon::Error, Buttons::Ok);
    return saved;
}

void RemindersPage::restore_rows(const std::vector<Reminder>& rows, int selection) {
    提醒列表框.clear();
    for (const Reminder& r : rows) set_reminder_row(提醒列表框, 提醒列表框.append_row(), r);
    提醒列表框.select(selection);
    // The table in memory follows the list again; the file keeps what it had.
    save_reminder_list(reminders_.table(), 提醒列表框);
    reminders_.scheduler() = Scheduler{};
    总数标签.set_text(count_label_text(提醒列表框));
}

void RemindersPage::show_add_captions() {
    清空按钮.set_text(kResetCaption);
    增添按钮.set_text(kAddCaption);
    切换按钮.hide();
}

void RemindersPage::start_timer() {
    if (!timer_.running()) timer_.set_interval(1000);
}

void RemindersPage::类型组合框_change() {
    switch (类型组合框.selection()) {
        case 0:
            日期框.hide();
            日期组合框.hide();
            break;
        case 1: {
            日期组合框.show();
            日期框.hide();
            std::vector<std::string> days;
            for (int i = 1; i <= 6; ++i) days.push_back("周" + decimal(i));
            days.push_back("周日");
            日期组合框.set_items(days);
            日期组合框.select(0);
            break;
        }
        case 2: {
            日期组合框.show();
            日期框.hide();
            std::vector<std::string> days;
            for (int i = 1; i <= 31; ++i) days.push_back(decimal(i) + "日");
            日期组合框.set_items(days);
            日期组合框.select(0);
            break;
        }
        case 3:
            日期组合框.hide();
            日期框.show();
            break;
        default: break;
    }
}

void RemindersPage::小时编辑框_change() {
    check_time_box(类型组合框, 小时编辑框, 分钟编辑框, 23, "时间设定错误，请重新设定小时数值！", owner());
}

void RemindersPage::分钟编辑框_change() {
    check_time_box(类型组合框, 分钟编辑框, 小时编辑框, 59, "时间设定错误，请重新设定分钟数值！", owner());
}

void RemindersPage::小时编辑框_focus_lost() { pad(小时编辑框); }
void RemindersPage::分钟编辑框_focus_lost() { pad(分钟编辑框); }

void RemindersPage::任务组合框_change() {
    if (任务组合框.selection() == 4) {
        查看按钮.set_enabled(true);
        if (任务编辑框.text().empty()) browse();
    } else {
        查看按钮.set_enabled(false);
    }
}

void RemindersPage::查看按钮_click() { browse(); }

void RemindersPage::browse() {
    FileDialog d;
    d.title = "请选择计划运行程序：";
    d.filter = "可执行程序(*.exe)|*.EXE";
    const AliveToken alive = owner()->liveness();
    const std::optional<std::string> path = sys().dialogs.open_file(owner(), d);
    if (alive && path) 任务编辑框.set_text(cut_bytes(*path, 512));
}

Reminder RemindersPage::editor_fields() const {
    Reminder r;
    // Written padded whatever the boxes hold, so the time always reads back.
    const std::string time = time_of_day_text(leading_int(小时编辑框.text()), leading_int(分钟编辑框.text()));
    switch (类型组合框.selection()) {
        case 1:
        case 2:
            r.time = time;
            r.kind = 类型组合框.selection() == 1 ? kWeekly : kMonthly;
            r.day = 日期组合框.selected_text();
            break;
        case 3:
            r.time = date_text(日期框.date()) + time;
            r.kind = kFixedDate;
            r.day = kNone;
            break;
        default:
            r.time = time;
            r.kind = kDaily;
            r.day = kNone;
            break;
    }
    r.content = 信息编辑框.text();
    const int task = 任务组合框.selection();
    if (task < 0)
        r.run = kNone;
    else if (task < 4)
        r.run = 任务组合框.selected_text();
    else
        r.run = 任务编辑框.text();
    return r;
}

// A time box is padded first, as when the focus leaves it for the button.
void RemindersPage::小时编辑框_key(int ch) {
    if (ch != 13) return;
    小时编辑框_focus_lost();
    增添按钮.user_click();
}

void RemindersPage::分钟编辑框_key(int ch) {
    if (ch != 13) return;
    分钟编辑框_focus_lost();
    增添按钮.user_click();
}

void RemindersPage::任务编辑框_key(int ch) {
    if (ch == 13) 增添按钮.user_click();
}

void RemindersPage::增添按钮_click() {
    if (小时编辑框.text().empty() || 分钟编辑框.text().empty()) {
        sys().dialogs.message_box(owner(), "请设定提醒的具体时间！", "时间不确定", Icon::Warning, Buttons::Ok);
        return;
    }
    const bool editing = edit_mode();
    if (editing && 提醒列表框.selection() < 0) return;
    if (类型组合框.selection() < 0) {
        sys().dialogs.message_box(owner(), "请设定提醒类型！", "类型不确定", Icon::Warning, Buttons::Ok);
        return;
    }
    const Reminder r = editor_fields();
    // What the editor holds stays there when the table cannot be written.
    const std::vector<Reminder> before = reminder_rows(提醒列表框);
    const int selected = 提醒列表框.selection();
    if (!editing) {
        insert_in_time_order(提醒列表框, r);
        if (!list_changed()) return restore_rows(before, selected);
        clear_editor();
        start_timer();
        return;
    }
    提醒列表框.remove_row(selected);
    insert_in_time_order(提醒列表框, r);
    if (!list_changed()) return restore_rows(before, selected);
    const AliveToken alive = owner()->liveness();
    sys().dialogs.message_box(owner(), "该条提醒记录已修改！", "修改完成", Icon::Information, Buttons::Ok);
    if (!alive) return;
    show_add_captions();
    clear_editor();
}

void RemindersPage::清空按钮_click() { clear_editor(); }

void RemindersPage::clear_editor() {
    小时编辑框.set_text("");
    分钟编辑框.set_text("");
    信息编辑框.set_text("");
    任务编辑框.set_text("");
    类型组合框.select(-1);
    任务组合框.select(-1);
    日期框.hide();
    日期组合框.hide();
    查看按钮.set_enabled(false);
    if (清空按钮.text() != kDeleteCaption || 提醒列表框.selection() < 0) return;
    const AliveToken alive = owner()->liveness();
    if (sys().dialogs.message_box(owner(), "您是否确认删除此提醒记录？", "删除确认", Icon::Question,
                                  Buttons::OkCancel) != Answer::Ok ||
        !alive)
        return;
    const std::vector<Reminder> before = reminder_rows(提醒列表框);
    const int selected = 提醒列表框.selection();
    提醒列表框.remove_row(selected);
    if (!list_changed()) return restore_rows(before, selected);
    if (提醒列表框.row_count() == 0 && !报时选择框.checked()) timer_.set_interval(0);
    // No row is selected now: 完成修改 would have nothing to change.
    show_add_captions();
}

void RemindersPage::切换按钮_click() { enter_add_mode(); }

void RemindersPage::enter_add_mode() {
    show_add_captions();
    clear_editor();
}

void RemindersPage::提醒列表框_pick() {
    const int row = 提醒列表框.selection();
    if (row < 0) {
        enter_add_mode();
        return;
    }
    清空按钮.set_text(kDeleteCaption);
    增添按钮.set_text(kFinishCaption);
    切换按钮.show();
    const std::string time = 提醒列表框.cell(row, 0);
    const std::string kind = 提醒列表框.cell(row, 1);
    const std::string day = 提醒列表框.cell(row, 2);
    信息编辑框.set_text(cut_bytes(提醒列表框.cell(row, 3), 200));
    const std::string run = 提醒列表框.cell(row, 4);
    static const char* const kTasks[4] = {"关机", "注销", "重启", "拨号"};
    int task = 4;
    for (int i = 0; i < 4; ++i)
        if (run == kTasks[i]) task = i;
    if (run == kNone) task = -1;
    任务组合框.select(task);
    if (task == 4) 任务编辑框.set_text(run);
    任务组合框_change();
    // The parts are found by their markers, so a time not padded to two
    // digits (a file written elsewhere) still reads right.
    if (kind != kFixedDate) {
        小时编辑框.set_text(padded(leading_int(time)));
        分钟编辑框.set_text(padded(number_after(time, "时")));
        if (kind == kWeekly) {
            类型组合框.select(1);
            类型组合框_change();
            const char last = day.empty() ? '\0' : day.back();
            if (day == "周日")
                日期组合框.select(6);
            else
                日期组合框.select(last >= '0' && last <= '9' ? last - '0' - 1 : -1);
        } else if (kind == kMonthly) {
            类型组合框.select(2);
            类型组合框_change();
            日期组合框.select(leading_int(day) - 1);
        } else {
            类型组合框.select(0);
            类型组合框_change();
        }
    } else {
        类型组合框.select(3);
        DateTime when;
        if (parse_date_time(time, when) && when.year > 0) 日期框.set_date(when);
        类型组合框_change();
        小时编辑框.set_text(padded(number_after(time, "日")));
        分钟编辑框.set_text(padded(number_after(time, "时")));
    }
}

void RemindersPage::删除过期选择框_click() {
    if (删除过期选择框.checked()) {
        settings::auto_delete.write(true);
        if (delete_expired(提醒列表框)) list_changed();
    } else {
        settings::auto_delete.write(false);
    }
}

void RemindersPage::最小化选择框_click() { settings::minimise_first.write(最小化选择框.checked()); }

void RemindersPage::延时编辑框_change() { settings::delay_page.write(延时编辑框.text()); }

void RemindersPage::报时选择框_click() {
    if (报时选择框.checked()) {
        settings::chime.write(true);
        start_timer();
    } else {
        settings::chime.write(false);
    }
}

void RemindersPage::报时组合框_change() { settings::chime_sound.write(报时组合框.selection()); }

void RemindersPage::试听按钮_click() {
    static const Res kSounds[4] = {Res::Chime0Wav, Res::Chime1Wav, Res::Chime2Wav, Res::Chime3Wav};
    const int i = 报时组合框.selection();
    if (i >= 0 && i < 4) sys().desktop.play_sound(kSounds[i]);
}

void RemindersPage::配色组合框_change() { apply_color_scheme(); }

void RemindersPage::apply_color_scheme() {
    const int i = 配色组合框.selection();
    if (i >= 0 && i < 6) 提醒列表框.set_colors(kSchemes[i].first, kSchemes[i].second);
    settings::list_colors.write(i);
}

}  // namespace q::reminders
