// Message box and portable UI objects: the same calls on both backends.
#include "tests/contract/contract_env.h"

namespace q::contract {
namespace {

using ContractUi = ContractTest;

TEST_F(ContractUi, MessageBoxAnswersAndTexts) {
    answer_next_box(Answer::Yes);
    EXPECT_EQ(sys().dialogs.message_box("确定要删除这条提醒吗？", "随手记录", Icon::Question, Buttons::YesNo),
              Answer::Yes);
    EXPECT_EQ(last_box_text(), "确定要删除这条提醒吗？");
    EXPECT_EQ(last_box_title(), "随手记录");

    answer_next_box(Answer::Cancel);
    EXPECT_EQ(sys().dialogs.message_box("文件“乗.txt”不存在！", "提示", Icon::Warning, Buttons::OkCancel),
              Answer::Cancel);
    EXPECT_EQ(last_box_text(), "文件“乗.txt”不存在！");
    EXPECT_EQ(last_box_title(), "提示");
}

struct Counts {
    int click = 0, change = 0, check = 0, select = 0, moved = 0, destroyed = 0;
};

TEST_F(ContractUi, CoreControlsRaiseEventsOnlyForTheUser) {
    Window w(Rect{120, 100, 320, 260}, "契约窗口", Window::Style{});
    Button button(&w, Rect{10, 10, 80, 24}, "确定");
    Label label(&w, Rect{100, 10, 120, 20}, "标签");
    Edit line(&w, Rect{10, 40, 200, 22});
    Edit::Mode multi_mode;
    multi_mode.multi_line = true;
    multi_mode.vertical_scroll = true;
    Edit multi(&w, Rect{10, 70, 200, 80}, multi_mode);
    CheckBox check(&w, Rect{10, 160, 120, 20}, "开机自动运行");
    DropDown drop(&w, Rect{140, 160, 120, 100}, {"甲", "乙", "丙"});
    Counts n;
    bool checked_in_handler = false;
    button.on_click = [&] { ++n.click; };
    line.on_change = [&] { ++n.change; };
    multi.on_change = [&] { ++n.change; };
    check.on_click = [&] {
        ++n.check;
        checked_in_handler = check.checked();
    };
    drop.on_change = [&] { ++n.select; };
    w.on_moved = [&] { ++n.moved; };
    w.on_destroy = [&] { ++n.destroyed; };

    button.user_click();  // not created yet: nobody can click it
    EXPECT_EQ(n.click, 0);
    w.create();
    EXPECT_TRUE(w.created());
    w.show();
    pump(50);

    // Setters from code raise nothing, even once the peers have seen them.
    button.set_text("取消");
    label.set_text("新标签");
    line.set_text("代码写的");
    multi.set_text("第一行\r\n第二行");
    check.set_checked(true);
    drop.select(1);
    pump(50);
    EXPECT_EQ(n.click + n.change + n.check + n.select, 0);
    EXPECT_EQ(line.text(), "代码写的");
    EXPECT_EQ(multi.text(), "第一行\r\n第二行");
    EXPECT_EQ(drop.selected_text(), "乙");

    button.user_click();
    EXPECT_EQ(n.click, 1);
    line.user_type("用户输入");
    EXPECT_EQ(n.change, 1);
    EXPECT_EQ(line.text(), "用户输入");
    multi.user_type("甲\r\n乙\r\n");
    EXPECT_EQ(n.change, 2);
    EXPECT_EQ(multi.text(), "甲\r\n乙\r\n");
    check.user_click();
    EXPECT_EQ(n.check, 1);
    EXPECT_FALSE(check.checked());
    EXPECT_FALSE(checked_in_handler);  // toggled before the event
    drop.user_select(2);
    EXPECT_EQ(n.select, 1);
    EXPECT_EQ(drop.selection(), 2);
    EXPECT_EQ(drop.selected_text(), "丙");
    pump(50);
    EXPECT_EQ(n.click, 1);
    EXPECT_EQ(n.change, 2);

    // Hidden or disabled controls, or a hidden window, cannot be reached.
    button.hide();
    button.user_click();
    button.show();
    button.set_enabled(false);
    button.user_click();
    EXPECT_EQ(n.click, 1);
    button.set_enabled(true);
    w.hide();
    line.user_type("看不见");
    check.user_click();
    EXPECT_EQ(n.change, 2);
    EXPECT_EQ(n.check, 1);
    EXPECT_EQ(line.text(), "用户输入");
    w.show();

    w.move(200, 150);
    pump(50);
    EXPECT_GE(n.moved, 1);
    EXPECT_EQ(w.rect().left, 200);
    EXPECT_EQ(w.rect().top, 150);

    w.destroy();
    w.destroy();
    pump(50);
    EXPECT_EQ(n.destroyed, 1);
    EXPECT_FALSE(w.created());
    button.user_click();
    EXPECT_EQ(n.click, 1);
}

}  // namespace
}  // namespace q::contract
