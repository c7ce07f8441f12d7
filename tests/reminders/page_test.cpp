// The reminders page as a user drives it: the editor's checks, add and
// change in time order, the delete question, the options and the timer.
#include "tests/reminders/rem_fixture.h"

#include "settings/ini.h"

namespace q::reminders::testing {
namespace {

class PageTest : public RemindersTest {
protected:
    RemindersPage& open(const std::vector<Reminder>& rows = {}, const std::string& ini = {}) {
        sim.set_now({2026, 12, 9, 10, 0, 0});
        if (!rows.empty()) put_plan(rows);
        if (!ini.empty()) put_ini(ini);
        program_->main();
        program_->run_main_bar_function(6);
        return program_->settings_window()->提醒页;
    }
    Timer& timer() { return program_->bar().提醒时钟; }
    std::string set(const char* key) { return ini::read(kIni, "plan", key, "<none>"); }
    // The records of plan.edb, as time|kind|day|content|run.
    std::vector<std::string> records() {
        std::vector<std::string> v;
        table::OpenTable& t = rem().table();
        if (!t.make_current(kPlan)) return v;
        for (int n = 1; n <= t.record_count(); ++n) {
            t.go_to(n);
            v.push_back(t.read_field(kTimeField) + "|" + t.read_field(kKindField) + "|" + t.read_field(kDayField) +
                        "|" + t.read_field(kContentField) + "|" + t.read_field(kRunField));
        }
        return v;
    }
    std::string last_message() const { return sim.messages.empty() ? "" : sim.messages.back().text; }
};

TEST_F(PageTest, EditorChecksAndAddsInTimeOrder) {
    RemindersPage& p = open();
    EXPECT_FALSE(timer().running()) << "no reminders, no chime";
    EXPECT_EQ(p.总数标签.text(), "已添加提醒列表：现有0条提醒任务（按时间顺序排列）");
    EXPECT_FALSE(p.日期框.visible());
    EXPECT_EQ(p.日期框.date(), (DateTime{2026, 12, 9, 0, 0, 0}));

    // An hour alone: a kind and the minutes follow, and it is padded on leaving.
    p.小时编辑框.user_type("8");
    EXPECT_EQ(p.分钟编辑框.text(), "00");
    EXPECT_EQ(p.类型组合框.selection(), 0);
    p.小时编辑框.user_focus_lost();
    EXPECT_EQ(p.小时编辑框.text(), "08");
    p.小时编辑框.user_type("24");
    EXPECT_EQ(last_message(), "时间设定错误，请重新设定小时数值！");
    EXPECT_EQ(sim.messages.back().icon, Icon::Error);
    EXPECT_EQ(p.小时编辑框.text(), "");
    p.增添按钮.user_click();
    EXPECT_EQ(last_message(), "请设定提醒的具体时间！");
    EXPECT_EQ(sim.messages.back().title, "时间不确定");
    p.分钟编辑框.user_type("60");
    EXPECT_EQ(last_message(), "时间设定错误，请重新设定分钟数值！");

    // Weekly on Sunday at 07:30, with a message longer than 内容 holds.
    p.类型组合框.user_select(1);
    ASSERT_EQ(p.日期组合框.items().size(), 7u);
    EXPECT_EQ(p.日期组合框.items()[0], "周1");
    p.日期组合框.user_select(6);
    p.小时编辑框.user_type("7");
    p.分钟编辑框.user_type("30");
    std::string long_text;
    for (int i = 0; i < 100; ++i) long_text += "长";
    p.信息编辑框.user_type(long_text);
    p.信息编辑框.user_type(long_text + "长");
    EXPECT_EQ(p.信息编辑框.text(), long_text) << "the box takes no more than the field keeps";
    p.增添按钮.user_click();
    EXPECT_TRUE(timer().running());
    EXPECT_EQ(p.提醒列表框.cell(0, 0), "07时30分") << "padded even when the box was never left";
    EXPECT_EQ(p.提醒列表框.cell(0, 2), "周日");
    EXPECT_EQ(p.小时编辑框.text(), "");
    EXPECT_FALSE(p.edit_mode()) << "selecting the new row is no pick";

    // A custom task without a path: the dialog opens at once; cancelled, 运行 stays empty.
    p.小时编辑框.user_type("6");
    p.任务组合框.user_select(4);
    ASSERT_FALSE(sim.dialogs.empty());
    EXPECT_EQ(sim.dialogs.back().file.title, "请选择计划运行程序：");
    EXPECT_EQ(sim.dialogs.back().file.filter, "可执行程序(*.exe)|*.EXE");
    EXPECT_TRUE(p.查看按钮.enabled());
    p.增添按钮.user_click();
    // A fixed date, and a task chosen then changed: the browse button goes off.
    p.类型组合框.user_select(3);
    EXPECT_TRUE(p.日期框.visible());
    p.日期框.user_pick({2027, 3, 4, 0, 0, 0});
    p.小时编辑框.user_type("9");
    sim.file_answers.push_back(std::string("C:\\Tools\\run.exe"));
    p.任务组合框.user_select(4);
    EXPECT_EQ(p.任务编辑框.text(), "C:\\Tools\\run.exe");
    p.任务组合框.user_select(1);
    EXPECT_FALSE(p.查看按钮.enabled());
    p.增添按钮.user_click();
    EXPECT_EQ(records(), (std::vector<std::string>{"06时00分|每日提醒|无||", "07时30分|每周提醒|周日|" + long_text + "|无",
                                                   "2027年3月4日09时00分|定日提醒|无||注销"}));
    EXPECT_EQ(p.总数标签.text(), "已添加提醒列表：现有3条提醒任务（按时间顺序排列）");
    // No kind (the boxes filled without their checks).
    p.小时编辑框.set_text("10");
    p.分钟编辑框.set_text("00");
    p.增添按钮.user_click();
    EXPECT_EQ(last_message(), "请设定提醒类型！");
    EXPECT_EQ(records().size(), 3u);
}

TEST_F(PageTest, PickChangeAndDelete) {
    RemindersPage& p = open({{"07时30分", kWeekly, "周日", "sunday", kNone},
                             {"2030年1月2日8时5分", kFixedDate, kNone, "unpadded", "C:\\a.exe"},
                             {"09时00分", kDaily, kNone, "daily", "重启"},
                             {"10时00分", kMonthly, "31日", "monthly", ""}},
                            "[plan]\r\ntime=F\r\n");
    for (int i = 0; i < 3; ++i) tick();
    EXPECT_GT(rem().scheduler().scan_position(), 0);

    p.提醒列表框.user_pick(0);
    EXPECT_EQ(p.清空按钮.text(), "删除提醒");
    EXPECT_EQ(p.增添按钮.text(), "完成修改");
    EXPECT_TRUE(p.切换按钮.visible());
    EXPECT_EQ(p.类型组合框.selection(), 1);
    EXPECT_EQ(p.日期组合框.selection(), 6);
    EXPECT_EQ(p.任务组合框.selection(), -1);
    p.提醒列表框.user_pick(1);
    EXPECT_EQ(p.类型组合框.selection(), 3);
    EXPECT_EQ(p.日期框.date(), (DateTime{2030, 1, 2, 0, 0, 0}));
    EXPECT_EQ(p.小时编辑框.text(), "08") << "read by its markers";
    EXPECT_EQ(p.分钟编辑框.text(), "05");
    EXPECT_EQ(p.任务编辑框.text(), "C:\\a.exe");
    EXPECT_TRUE(p.查看按钮.enabled());
    const std::size_t dialogs = sim.dialogs.size();
    p.提醒列表框.user_pick(3);
    EXPECT_EQ(p.日期组合框.selected_text(), "31日");
    EXPECT_EQ(sim.dialogs.size(), dialogs + 1) << "a custom task without a path asks for one";

    // A changed time moves the row; the fixed-date row is written padded.
    p.提醒列表框.user_pick(1);
    p.增添按钮.user_click();
    EXPECT_EQ(last_message(), "该条提醒记录已修改！");
    EXPECT_EQ(sim.messages.back().icon, Icon::Information);
    p.提醒列表框.user_pick(2);
    EXPECT_EQ(p.信息编辑框.text(), "daily");
    p.小时编辑框.user_type("6");
    p.增添按钮.user_click();
    EXPECT_FALSE(p.edit_mode());
    EXPECT_FALSE(p.切换按钮.visible());
    EXPECT_EQ(records()[0], "06时00分|每日提醒|无|daily|重启");
    EXPECT_EQ(records()[2], "2030年1月2日08时05分|定日提醒|无|unpadded|C:\\a.exe");
    EXPECT_EQ(rem().scheduler().scan_position(), 0) << "reset";

    // Cancelled: the row stays, the editor is already empty.
    p.提醒列表框.user_pick(0);
    sim.answers.push_back(Answer::Cancel);
    p.清空按钮.user_click();
    EXPECT_EQ(sim.messages.back().title, "删除确认");
    EXPECT_EQ(sim.messages.back().buttons, Buttons::OkCancel);
    EXPECT_EQ(p.提醒列表框.row_count(), 4);
    EXPECT_EQ(p.信息编辑框.text(), "");
    // Confirmed: gone, and back in add mode, so the reminder typed next is added.
    sim.answers.push_back(Answer::Ok);
    p.清空按钮.user_click();
    EXPECT_EQ(records().size(), 3u);
    EXPECT_FALSE(p.edit_mode());
    EXPECT_FALSE(p.切换按钮.visible());
    p.小时编辑框.user_type("5");
    p.增添按钮.user_click();
    EXPECT_EQ(records().size(), 4u);

    // A table that cannot be written: no success is shown, the list keeps what
    // the file holds and the editor what the user typed.
    p.提醒列表框.user_pick(0);
    p.信息编辑框.user_type("changed");
    sim.fail_writes(100);
    p.增添按钮.user_click();
    EXPECT_EQ(last_message(), "提醒记录无法写入文件plan.edb，此次更改未能保存！");
    EXPECT_TRUE(p.edit_mode());
    EXPECT_EQ(p.信息编辑框.text(), "changed");
    EXPECT_EQ(p.提醒列表框.cell(0, 3), "");
    EXPECT_EQ(p.提醒列表框.selection(), 0);
    sim.fail_writes(0);
    EXPECT_EQ(records()[0], "05时00分|每日提醒|无||无");

    // The last row deleted: with the chime on the timer keeps going, without it stops.
    p.报时选择框.user_click();
    for (int i = 0; i < 4; ++i) {
        sim.answers.push_back(Answer::Ok);
        p.提醒列表框.user_pick(0);
        p.清空按钮.user_click();
    }
    EXPECT_TRUE(records().empty());
    EXPECT_TRUE(timer().running());
    p.报时选择框.user_click();
    EXPECT_EQ(set("time"), "F");
    p.切换按钮.user_click();
    EXPECT_FALSE(p.edit_mode());
    p.小时编辑框.user_type("11");
    p.增添按钮.user_click();
    p.提醒列表框.user_pick(0);
    sim.answers.push_back(Answer::Ok);
    p.清空按钮.user_click();
    EXPECT_FALSE(timer().running());
}

TEST_F(PageTest, OptionsTakeEffectAtOnce) {
    RemindersPage& p = open({{"2026年12月8日08时00分", kFixedDate, kNone, "past", kNone},
                             {"2026年12月9日09时59分", kFixedDate, kNone, "just past", kNone},
                             {"2026年12月9日10时01分", kFixedDate, kNone, "ahead", kNone}},
                            "[plan]\r\ndelay=7\r\nsound=2\r\ntime=F\r\nmin=F\r\n");
    EXPECT_EQ(p.总数标签.text(), "已添加提醒列表：现有1条提醒任务（按时间顺序排列）") << "counted after the expired went";
    EXPECT_EQ(records().size(), 1u);
    EXPECT_EQ(p.延时编辑框.text(), "7");
    EXPECT_FALSE(p.最小化选择框.checked());
    EXPECT_EQ(p.报时组合框.selection(), 2);

    p.删除过期选择框.user_click();
    EXPECT_EQ(set("autodel"), "F");
    sim.advance(120000);
    program_->settings_window()->选择夹.user_select(0);
    program_->settings_window()->选择夹.user_select(2);
    EXPECT_EQ(p.提醒列表框.row_count(), 1) << "kept while the option is off";
    p.删除过期选择框.user_click();
    EXPECT_EQ(set("autodel"), "T");
    EXPECT_TRUE(records().empty()) << "ticking deletes at once";
    EXPECT_EQ(p.总数标签.text(), "已添加提醒列表：现有0条提醒任务（按时间顺序排列）");

    p.最小化选择框.user_click();
    EXPECT_EQ(set("min"), "T");
    p.延时编辑框.user_type("abc");
    EXPECT_EQ(set("delay"), "abc");
    timer().set_interval(0);
    p.报时选择框.user_click();
    EXPECT_EQ(set("time"), "T");
    EXPECT_TRUE(timer().running());
    p.报时组合框.user_select(3);
    EXPECT_EQ(set("sound"), "3");
    sim.sounds.clear();
    p.试听按钮.user_click();
    EXPECT_EQ(sim.sounds, (std::vector<Res>{Res::Chime3Wav}));

    p.配色组合框.user_select(5);
    EXPECT_EQ(p.提醒列表框.list_color(), rgb(212, 212, 212));
    EXPECT_EQ(p.提醒列表框.item_color(), rgb(202, 202, 202));
    EXPECT_EQ(set("color"), "5");
}

}  // namespace
}  // namespace q::reminders::testing
