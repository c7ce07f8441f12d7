// The settings page "快捷程序": the launcher's options and the group console.
#include <gtest/gtest.h>

#include "launcher/group_store.h"
#include "launcher/launcher.h"
#include "launcher/launcher_page.h"
#include "settings/ini.h"
#include "settings/settings_file.h"
#include "tests/app/app_fixture.h"

namespace q::launcher {
namespace {

using testing_app::AppFixture;

class LauncherPageTest : public AppFixture {
protected:
    void SetUp() override { start(); }
    LauncherPage& show_page() {
        run_main_bar_function(8);
        SettingsWindow& w = *program().settings_window();
        w.选择夹.user_select(SettingsWindow::kLauncherTab);
        return w.快捷页;
    }
    std::string grp(int n) const { return sim.dir + "\\APrg\\grp" + std::to_string(n) + ".ini"; }
    void put_groups(std::vector<std::string> names) {
        for (std::size_t i = 0; i < names.size(); ++i)
            sim.put_file(grp(static_cast<int>(i) + 1), "[set]\r\ngrpname=" + names[i] + "\r\n");
        settings::group_total.write(static_cast<long long>(names.size()));
    }
    std::vector<std::string> names_on_disk(int n) {
        std::vector<std::string> v;
        for (int i = 1; i <= n; ++i) v.push_back(ini::read(grp(i), "set", "grpname", "<none>"));
        return v;
    }
    std::string acprg(const char* key) { return ini::read(settings_path(), "acprg", key, "<none>"); }
};

TEST_F(LauncherPageTest, OptionsFollowAnOpenLauncherWindow) {
    put("set.ini", "[acprg]\r\nfollow=T\r\ntrans=T\r\n");
    LauncherPage& p = show_page();
    EXPECT_TRUE(p.位置选择框.checked());
    EXPECT_TRUE(p.透明选择框.checked());
    EXPECT_TRUE(p.透明值编辑框.visible());
    EXPECT_EQ(p.透明值编辑框.text(), "255");
    run_main_bar_function(7);
    LauncherWindow& w = *program().launcher().window();
    p.透明值编辑框.user_type("100");
    EXPECT_EQ(acprg("transvalue"), "100");
    EXPECT_EQ(w.opacity(), 100);
    p.透明选择框.user_click();
    EXPECT_EQ(acprg("trans"), "F");
    EXPECT_FALSE(p.透明度标签.visible());
    EXPECT_EQ(w.opacity(), 255);
    p.位置选择框.user_click();
    EXPECT_EQ(acprg("follow"), "F");
    // Without layered windows the option is out of reach.
    program().close_settings_window();
    sim.run_deferred();
    sim.layered = false;
    LauncherPage& old = show_page();
    EXPECT_FALSE(old.透明选择框.enabled());
    EXPECT_FALSE(old.透明值编辑框.visible());
}

TEST_F(LauncherPageTest, MembersViewAndRenameByEnter) {
    put_groups({"常用", ""});
    sim.put_file(grp(1), "[set]\r\ngrpname=常用\r\n[1]\r\npath=C:\\a.exe\r\nbtncaption=a\r\n");
    LauncherPage& p = show_page();
    EXPECT_EQ(p.组名列表框.items(), (std::vector<std::string>{"常用", ""}));
    p.组名列表框.user_select(0);
    std::string expected = "“常用”组的快捷项成员如下：\r\n\r\n1.\r\n\r\n2.a\r\n指向路径：C:\\a.exe\r\n\r\n";
    for (int k = 3; k <= 24; ++k) expected += std::to_string(k) + ".\r\n\r\n";
    EXPECT_EQ(p.信息浏览编辑框.text(), expected);
    EXPECT_EQ(p.名称编辑框.text(), "常用");
    run_main_bar_function(7);
    p.名称编辑框.user_type("工具");
    p.名称编辑框.user_key('x');
    EXPECT_TRUE(program().launcher().loaded());
    p.名称编辑框.user_key(13);
    sim.run_deferred();
    EXPECT_FALSE(program().launcher().loaded());
    EXPECT_EQ(p.组名列表框.item(0), "工具");
    EXPECT_EQ(names_on_disk(1)[0], "工具");
    EXPECT_EQ(acprg("total"), "2");
}

TEST_F(LauncherPageTest, ConsoleInsertsMovesAndDeletesGroups) {
    put_groups({"a", "b", "c"});
    program().launcher().state().current_group = 2;
    LauncherPage& p = show_page();
    // Nothing selected: the new group is number 1 and the others move up.
    p.按钮1.user_click();
    EXPECT_EQ(p.组名列表框.items(), (std::vector<std::string>{"组", "a", "b", "c"}));
    EXPECT_EQ(p.组名列表框.selection(), 0);
    EXPECT_EQ(names_on_disk(4), (std::vector<std::string>{"组", "a", "b", "c"}));
    EXPECT_EQ(acprg("total"), "4");
    EXPECT_EQ(program().launcher().state().current_group, 3);
    EXPECT_EQ(p.名称编辑框.text(), "组");
    // Ready to be typed over.
    EXPECT_EQ(program().settings_window()->focused(), &p.名称编辑框);
    EXPECT_TRUE(p.名称编辑框.all_selected());
    // Up from the top and down from the bottom only beep.
    p.按钮2.user_click();
    EXPECT_EQ(sim.beeps, 1);
    p.组名列表框.user_select(3);
    p.按钮3.user_click();
    EXPECT_EQ(sim.beeps, 2);
    p.按钮2.user_click();
    EXPECT_EQ(p.组名列表框.items(), (std::vector<std::string>{"组", "a", "c", "b"}));
    EXPECT_EQ(names_on_disk(4), (std::vector<std::string>{"组", "a", "c", "b"}));
    EXPECT_EQ(p.组名列表框.selection(), 2);
    // Delete asks; the group the launcher shows goes, and it opens at group 1 next.
    p.组名列表框.user_select(3);
    sim.answers = {Answer::No, Answer::Yes};
    p.按钮4.user_click();
    EXPECT_EQ(sim.messages.back().title, "删除组确认");
    EXPECT_EQ(sim.messages.back().icon, Icon::Warning);
    EXPECT_EQ(p.组名列表框.count(), 4);
    // The toggle opens the launcher while the question is up: it closes again
    // before any file moves, and nothing is ever written as group 0.
    sim.while_shown = [this] { run_main_bar_function(7); };
    p.按钮4.user_click();
    EXPECT_FALSE(program().launcher().loaded());
    EXPECT_EQ(p.组名列表框.items(), (std::vector<std::string>{"组", "a", "c"}));
    EXPECT_EQ(p.组名列表框.selection(), -1);
    EXPECT_EQ(acprg("total"), "3");
    EXPECT_FALSE(sim.file(grp(4)));
    EXPECT_EQ(program().launcher().state().current_group, 0);
    run_main_bar_function(7);
    EXPECT_EQ(program().launcher().window()->text(), "当前选定组：组");
    EXPECT_EQ(program().launcher().state().current_group, 1);
    // Insert below the selection.
    p.组名列表框.user_select(0);
    p.按钮1.user_click();
    EXPECT_EQ(names_on_disk(4), (std::vector<std::string>{"组", "组", "a", "c"}));
    EXPECT_FALSE(sim.file(grp(0)));
}

TEST_F(LauncherPageTest, InsertMovesAsideAGroupNoCountReaches) {
    // A drop on tab 2 made grp2.ini, which total=1 does not count.
    put_groups({"常用"});
    sim.put_file(grp(2), "[set]\r\ngrpname=拖入\r\n[0]\r\npath=C:\\a.exe\r\nbtncaption=a\r\n");
    LauncherPage& p = show_page();
    p.按钮1.user_click();
    EXPECT_EQ(names_on_disk(2), (std::vector<std::string>{"组", "常用"}));
    const std::string kept = sim.dir + "\\APrg\\grp2-1.ini";
    EXPECT_EQ(ini::read(kept, "0", "path"), "C:\\a.exe");
    ASSERT_FALSE(sim.messages.empty());
    EXPECT_NE(sim.messages.back().text.find(kept), std::string::npos);
    EXPECT_EQ(acprg("total"), "2");
}

TEST_F(LauncherPageTest, HostileTotalsAreBoundedByTheGroupFiles) {
    put_groups({"常用", "游戏"});
    ini::write(settings_path(), "acprg", "total", "2147483647", FileSystem::Flush::No);
    EXPECT_EQ(show_page().组名列表框.count(), 2);
    program().close_settings_window();
    sim.run_deferred();
    // A negative count lists nothing, and an insert keeps group 1's file.
    ini::write(settings_path(), "acprg", "total", "-3", FileSystem::Flush::No);
    LauncherPage& p = show_page();
    EXPECT_EQ(p.组名列表框.count(), 0);
    p.按钮1.user_click();
    EXPECT_EQ(acprg("total"), "1");
    EXPECT_EQ(names_on_disk(1)[0], "组");
    EXPECT_EQ(ini::read(sim.dir + "\\APrg\\grp1-1.ini", "set", "grpname"), "常用");
}

}  // namespace
}  // namespace q::launcher
