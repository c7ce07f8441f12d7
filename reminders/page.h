// The reminders page (定时提醒) of the settings window: the reminder list
// above an editor that adds, changes and deletes reminders, and the reminder
// options with the hourly chime. Every change of the list rewrites plan.edb
// and resets the scheduler.
#pragma once

#include <string>

#include "platform/page.h"
#include "platform/ui.h"
#include "reminders/reminders.h"
#include "reminders/store.h"

namespace q::reminders {

class RemindersPage : public Page {
public:
    RemindersPage(TabPage& page, Reminders& reminders, Timer& reminder_timer);
    RemindersPage(const RemindersPage&) = delete;
    RemindersPage& operator=(const RemindersPage&) = delete;

    ListView 提醒列表框;
    CheckBox 删除过期选择框;
    Label 透明标签8;
    DropDown 配色组合框;
    Label 总数标签;
    Label 透明标签9;
    DropDown 类型组合框;
    Label 透明标签10;
    Label 透明标签11;
    Edit 信息编辑框;
    Label 透明标签12;
    DropDown 任务组合框;
    Edit 任务编辑框;
    Button 查看按钮;
    Button 清空按钮;
    Button 增添按钮;
    DatePicker 日期框;
    DropDown 日期组合框;
    Label 透明标签13;
    Edit 小时编辑框;
    Edit 分钟编辑框;
    Label 透明标签15;
    Edit 延时编辑框;
    CheckBox 最小化选择框;
    Label 透明标签16;
    Line 外形框1;
    CheckBox 报时选择框;
    Label 透明标签17;
    DropDown 报时组合框;
    Button 试听按钮;
    Button 切换按钮;

    // The two colours of each scheme of 配色组合框.
    struct Scheme {
        Color first, second;
    };
    static const Scheme kSchemes[6];

    // The frame's created steps 7 to 10, and its work when this tab is shown.
    void created() override;
    void shown() override;

    // Handlers.
    void 提醒列表框_pick();
    void 类型组合框_change();
    void 小时编辑框_change();
    void 分钟编辑框_change();
    void 小时编辑框_focus_lost();
    void 分钟编辑框_focus_lost();
    void 任务组合框_change();
    // Enter in the editor's one-line boxes runs 增添按钮 (add, or finish a change).
    void 小时编辑框_key(int ch);
    void 分钟编辑框_key(int ch);
    void 任务编辑框_key(int ch);
    void 查看按钮_click();
    void 增添按钮_click();
    void 清空按钮_click();
    void 切换按钮_click();
    void 删除过期选择框_click();
    void 最小化选择框_click();
    void 延时编辑框_change();
    void 报时选择框_click();
    void 报时组合框_change();
    void 试听按钮_click();
    void 配色组合框_change();

    // Gives 提醒列表框 the colours of the chosen scheme and stores the choice.
    void apply_color_scheme();

    bool edit_mode() const;

private:
    // The five field texts the editor describes.
    Reminder editor_fields() const;
    void clear_editor();
    void enter_add_mode();
    void browse();
    // Saves the list, resets the scheduler and shows the count.
    // Saves the list and resets the scheduler; false (and the user told)
    // when the table could not be written.
    bool list_changed();
    // Puts the rows back as they were before a change that could not be saved.
    void restore_rows(const std::vector<Reminder>& rows, int selection);
    void show_add_captions();
    void start_timer();
    Window* owner() const { return 提醒列表框.window(); }

    Reminders& reminders_;
    Timer& timer_;
};

}  // namespace q::reminders
