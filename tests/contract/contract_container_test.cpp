// Containers on both backends: a control on a hidden tab page or in a hidden
// or disabled group box is neither shown nor reachable.
#include "tests/contract/contract_env.h"

namespace q::contract {
namespace {

using ContractContainers = ContractTest;

TEST_F(ContractContainers, OnlyTheSelectedPageAndAnOpenGroupCanBeReached) {
    Window w(Rect{100, 80, 606, 421}, "设置Quillet", Window::Style{});
    TabControl tabs(&w, Rect{8, 6, 584, 376}, {"程序设置", "壁纸\\音乐"});
    GroupBox group(&tabs.page(0), Rect{194, 112, 360, 221}, "自定义提示信息");
    Label caption(&group, Rect{16, 20, 32, 14}, "标题：", Label::Look::Transparent);
    Edit title(&group, Rect{49, 18, 149, 16});
    Button add(&tabs.page(1), Rect{16, 31, 75, 23}, "添加");
    int changes = 0, clicks = 0, typed = 0, seen_in_handler = -1;
    tabs.on_change = [&] {
        ++changes;
        seen_in_handler = tabs.selection();
    };
    add.on_click = [&] { ++clicks; };
    title.on_change = [&] { ++typed; };

    EXPECT_EQ(tabs.count(), 2);
    EXPECT_EQ(&tabs.page(1).tab(), &tabs);
    EXPECT_EQ(tabs.page(1).index(), 1);
    EXPECT_EQ(tabs.page(0).rect(), (Rect{0, 0, 584, 376}));
    EXPECT_EQ(title.container(), &group);
    EXPECT_EQ(group.container(), &tabs.page(0));
    EXPECT_EQ(title.window(), &w);
    EXPECT_EQ(w.controls().size(), 7u);  // the pages among them
    EXPECT_EQ(tabs.selection(), 0);
    EXPECT_TRUE(tabs.page(0).visible());
    EXPECT_FALSE(tabs.page(1).visible());

    w.create();
    w.show();
    pump(50);
    EXPECT_TRUE(title.shown());
    EXPECT_TRUE(title.reachable());
    // The button keeps its own flag, but its page is not the one shown.
    EXPECT_TRUE(add.visible());
    EXPECT_FALSE(add.shown());
    EXPECT_FALSE(add.reachable());
    add.user_click();
    EXPECT_EQ(clicks, 0);

    // From code: the pages change, nothing is raised; unknown tabs are ignored.
    tabs.select(1);
    tabs.select(7);
    tabs.select(-1);
    pump(50);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(tabs.selection(), 1);
    EXPECT_TRUE(add.shown());
    EXPECT_FALSE(title.shown());
    EXPECT_FALSE(caption.shown());
    title.user_type("看不见");
    EXPECT_EQ(typed, 0);
    EXPECT_EQ(title.text(), "");
    add.user_click();
    EXPECT_EQ(clicks, 1);

    // The user: once per real change, the new tab already selected.
    tabs.user_select(0);
    tabs.user_select(0);
    tabs.user_select(5);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(seen_in_handler, 0);
    title.user_type("主人，您好！");
    EXPECT_EQ(typed, 1);
    add.user_click();
    EXPECT_EQ(clicks, 1);

    // Hiding the group hides what is in it; disabling it keeps it shown but out of reach.
    group.hide();
    EXPECT_TRUE(title.visible());
    EXPECT_FALSE(title.shown());
    title.user_type("藏起来了");
    group.show();
    group.set_enabled(false);
    EXPECT_TRUE(title.shown());
    EXPECT_FALSE(title.reachable());
    title.user_type("禁用了");
    EXPECT_EQ(typed, 1);
    group.set_enabled(true);
    EXPECT_TRUE(title.reachable());

    // A disabled tab control lets the user switch nothing and reach nothing on it.
    tabs.set_enabled(false);
    tabs.user_select(1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(tabs.selection(), 0);
    EXPECT_FALSE(title.reachable());
    tabs.set_enabled(true);

    // A control made on a page of a created window works like the others.
    Button late(&tabs.page(1), Rect{100, 31, 75, 23}, "后加");
    int late_clicks = 0;
    late.on_click = [&] { ++late_clicks; };
    late.user_click();
    tabs.user_select(1);
    pump(50);
    late.user_click();
    EXPECT_EQ(late_clicks, 1);
    EXPECT_EQ(changes, 2);

    w.destroy();
    pump(50);
    add.user_click();
    EXPECT_FALSE(add.shown());
    EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace q::contract
