// The settings window's frame and program page, and the about window.
#include <gtest/gtest.h>

#include "settings/ini.h"
#include "settings/settings_file.h"
#include "tests/app/app_fixture.h"

namespace q {
namespace {

using testing_app::AppFixture;

class SettingsTest : public AppFixture {
protected:
    void SetUp() override { start(); }
    SettingsWindow& open() {
        run_main_bar_function(8);
        return *program().settings_window();
    }
    ProgramPage& page() { return program().settings_window()->程序页; }
    std::string set(const char* section, const char* key) { return ini::read(settings_path(), section, key, "<none>"); }
    std::string manifest() const { return sim.dir + "\\quillet.exe.manifest"; }
    static std::string chinese(int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += "字";
        return s;
    }
};

TEST_F(SettingsTest, CreatedFillsThePageFromTheRegistryAndTheSettings) {
    sim.registry.clear();  // removed by another program since start-up
    put("set.ini", "[set]\r\nrun=T\r\ntray=6\r\ntransparance=abc\r\nstyle=T\r\n[plan]\r\ncolor=5\r\nautodel=F\r\n");
    SettingsWindow& w = open();
    EXPECT_EQ(w.text(), "设置Quillet");
    EXPECT_EQ(w.rect().width, 606);
    EXPECT_EQ(w.rect().height, 421);
    EXPECT_TRUE(w.visible());
    EXPECT_EQ(w.选择夹.captions(), (std::vector<std::string>{"程序设置", "壁纸\\音乐", "定时提醒", "快捷程序"}));
    EXPECT_EQ(w.选择夹.selection(), 0);
    ProgramPage& p = page();
    EXPECT_FALSE(p.启动选择框.checked()) << "run=T, but the registry holds no entry";
    EXPECT_TRUE(p.提示选择框.checked());
    EXPECT_TRUE(p.分组框.visible());
    EXPECT_EQ(p.标题编辑框.text(), "主人，您好！");
    EXPECT_EQ(p.内容编辑框.text(), "我是您忠实的Quillet，在此等候您的指示！");
    EXPECT_FALSE(p.时间选择框.checked()) << "the page's date option is on only if T";
    EXPECT_FALSE(p.风格选择框.checked()) << "style=T but no manifest";
    EXPECT_TRUE(p.风格选择框.enabled());
    EXPECT_EQ(p.透明度编辑框.text(), "abc") << "as stored";
    EXPECT_EQ(p.托盘事件组合框.selected_text(), "设置Quillet");
    EXPECT_EQ(w.提醒页.配色组合框.selection(), 5);
    EXPECT_EQ(w.提醒页.提醒列表框.list_color(), rgb(212, 212, 212));
    EXPECT_EQ(w.提醒页.提醒列表框.item_color(), rgb(202, 202, 202));
    EXPECT_FALSE(w.提醒页.删除过期选择框.checked());
    // Loading again brings the open one forward; function 6 switches its tab.
    p.标题编辑框.set_text("未保存的样子");
    run_main_bar_function(8);
    EXPECT_EQ(program().settings_window(), &w);
    EXPECT_EQ(p.标题编辑框.text(), "未保存的样子");
    run_main_bar_function(6);
    EXPECT_EQ(program().settings_window(), &w);
    EXPECT_EQ(w.选择夹.selection(), 2);
    w.user_close();
    sim.run_deferred();
    EXPECT_EQ(program().settings_window(), nullptr);
    run_main_bar_function(6);
    ASSERT_NE(program().settings_window(), nullptr);
    EXPECT_EQ(program().settings_window()->选择夹.selection(), 2);
}

TEST_F(SettingsTest, OtherSystemsAndAHiddenGreeting) {
    put("set.ini", "[mesg]\r\nshow=F\r\ndate=T\r\n");
    sim.registry["HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Quillet"] = "x";
    sim.os = 0;
    sim.layered = false;
    open();
    ProgramPage& p = page();
    EXPECT_TRUE(p.启动选择框.checked());
    EXPECT_FALSE(p.分组框.visible());
    EXPECT_FALSE(p.时间选择框.shown());
    EXPECT_FALSE(p.风格选择框.enabled());
    EXPECT_FALSE(p.透明度编辑框.enabled());
    // Ticking the greeting shows the group and reloads it, the date option with it.
    p.提示选择框.user_click();
    EXPECT_TRUE(p.分组框.visible());
    EXPECT_EQ(set("mesg", "show"), "T");
    EXPECT_TRUE(p.时间选择框.checked());
    p.提示选择框.user_click();
    EXPECT_EQ(set("mesg", "show"), "F");
    EXPECT_FALSE(p.分组框.visible());
}

TEST_F(SettingsTest, StartWithWindowsFallsBackToTheUser) {
    sim.hklm_read_only = true;
    sim.registry.clear();
    open();
    ProgramPage& p = page();
    const std::string hkcu = "HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Quillet";
    p.启动选择框.user_click();
    EXPECT_EQ(sim.registry[hkcu], "C:\\Quillet\\quillet.exe");
    EXPECT_EQ(set("set", "run"), "T");
    p.启动选择框.user_click();
    EXPECT_EQ(sim.registry.count(hkcu), 0u);
    EXPECT_EQ(set("set", "run"), "F");
}

TEST_F(SettingsTest, AMachineEntryThatCannotGoKeepsTheBoxTicked) {
    const std::string hklm = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Quillet";
    sim.registry[hklm] = "C:\\Quillet\\quillet.exe";
    sim.hklm_read_only = true;
    open();
    ProgramPage& p = page();
    ASSERT_TRUE(p.启动选择框.checked());
    p.启动选择框.user_click();
    EXPECT_EQ(sim.messages.back().text, "系统启动项由管理员写入，无法删除，Quillet仍将随系统启动！");
    EXPECT_TRUE(p.启动选择框.checked());
    EXPECT_NE(set("set", "run"), "F");
}

TEST_F(SettingsTest, GreetingStoresTheDatedCopyCutOnACharacter) {
    open();
    ProgramPage& p = page();
    p.标题编辑框.user_type("主人，晚上好！这是一个");
    p.标题编辑框.user_type("主人，晚上好！这是一个很长的标题");
    EXPECT_EQ(p.标题编辑框.text(), "主人，晚上好！这是一个") << "11 characters, and no more";
    EXPECT_EQ(set("mesg", "title"), "主人，晚上好！这是一个");

    p.时间选择框.user_click();
    EXPECT_EQ(set("mesg", "date"), "T");
    const std::string text = chinese(150);
    p.内容编辑框.user_type(text);
    EXPECT_EQ(set("mesg", "mesg"), chinese(100));
    EXPECT_EQ(p.内容编辑框.text(), text) << "the box keeps it all";
    // The key is deleted first, so it moves behind the title.
    EXPECT_LT(sim.file(settings_path())->find("title="), sim.file(settings_path())->find("mesg="));
    // One single-byte character ahead: 199 bytes, never half a character.
    p.内容编辑框.user_type("a" + text);
    EXPECT_EQ(set("mesg", "mesg"), "a" + chinese(99));
    p.时间选择框.user_click();
    EXPECT_EQ(set("mesg", "date"), "F");
    EXPECT_EQ(set("mesg", "mesg"), "a" + text);
    p.时间选择框.user_click();
    EXPECT_EQ(set("mesg", "mesg"), "a" + chinese(99));
    p.内容编辑框.user_type(chinese(168 + 5));
    EXPECT_EQ(p.内容编辑框.text(), "a" + text) << "refused whole";
}

TEST_F(SettingsTest, GreetingLineBreaksStayInOneValueAndOldStrayLinesGo) {
    // What raw line breaks left: the later lines of each copy, one of them read as a key.
    put("set.ini", "[mesg]\r\nshow=T\r\n二行\r\nk=v\r\nmesg=一行\r\n; note\r\n[set]\r\ntray=1\r\n");
    open();
    const std::string tidy = "[mesg]\r\nshow=T\r\nmesg=一行\r\n; note\r\n[set]\r\ntray=1\r\n";
    EXPECT_EQ(sim.file(settings_path())->substr(0, tidy.size()), tidy);
    const std::string text = "第一行\r\nk=v\r\n[set]\r\n";
    page().内容编辑框.user_type("第一行\r\n");
    page().内容编辑框.user_type(text);
    EXPECT_EQ(set("set", "tray"), "1");
    EXPECT_EQ(settings::greeting_message_popup(), text);
    program().settings_window()->user_close();
    sim.run_deferred();
    open();
    EXPECT_EQ(page().内容编辑框.text(), text);
}

TEST_F(SettingsTest, StyleWritesTheManifestOnceAndRestarts) {
    open();
    ProgramPage& p = page();
    sim.answers.push_back(Answer::No);
    p.风格选择框.user_click();
    EXPECT_EQ(sim.xp_look_calls.back(), false);
    EXPECT_EQ(set("set", "style"), "T");
    ASSERT_TRUE(sim.file(manifest()));
    EXPECT_EQ(sim.file(manifest())->size(), 749u);
    EXPECT_EQ(*sim.file(manifest()), style_manifest());
    EXPECT_TRUE(sim.is_hidden(manifest()));
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.messages[0].title, "重启确认");
    EXPECT_EQ(sim.messages[0].buttons, Buttons::YesNo);
    EXPECT_TRUE(sim.launches.empty());

    p.风格选择框.user_click();
    EXPECT_EQ(sim.xp_look_calls.back(), true);
    EXPECT_EQ(set("set", "style"), "F");
    EXPECT_TRUE(sim.file(manifest())) << "the manifest stays";
    p.风格选择框.user_click();
    EXPECT_EQ(sim.messages.size(), 1u) << "asked only the first time";

    sim.remove(manifest());
    p.风格选择框.user_click();
    sim.answers.push_back(Answer::Yes);
    p.风格选择框.user_click();
    ASSERT_EQ(sim.launches.size(), 1u);
    EXPECT_EQ(sim.launches[0].path, "C:\\Quillet\\quillet.exe");
    EXPECT_EQ(sim.launches[0].args, "restart");
    EXPECT_EQ(sim.exit_code, std::optional<int>(0));
}

TEST_F(SettingsTest, OpacityTrayAndColourScheme) {
    SettingsWindow& w = open();
    ProgramPage& p = page();
    EXPECT_EQ(p.透明度编辑框.text(), "180");
    p.透明度编辑框.user_type("25");
    EXPECT_EQ(set("set", "transparance"), "25") << "stored as typed";
    p.透明度编辑框.user_type("254");
    p.透明度编辑框.user_spin(3);
    EXPECT_EQ(set("set", "transparance"), "255");
    p.托盘事件组合框.user_select(7);
    EXPECT_EQ(set("set", "tray"), "7");
    w.选择夹.user_select(2);
    w.提醒页.配色组合框.user_select(1);
    EXPECT_EQ(w.提醒页.提醒列表框.list_color(), rgb(171, 198, 248));
    EXPECT_EQ(set("plan", "color"), "1");
    EXPECT_EQ(os_class(0), 3);
    EXPECT_EQ(os_class(3), 2600);
    EXPECT_EQ(os_class(7), 10000);
}

TEST_F(SettingsTest, AChangeSetIniRefusesIsSaidOnceUntilAWriteTakes) {
    SettingsWindow& w = open();
    ProgramPage& p = page();
    const auto told = [&] {
        sim.run_deferred();
        int n = 0;
        for (const auto& m : sim.messages)
            if (m.text == "设置无法写入文件set.ini，此次更改未能保存！" && m.owner == &w) ++n;
        return n;
    };
    sim.fail_writes(1000);
    p.托盘事件组合框.user_select(7);
    EXPECT_EQ(told(), 1);
    p.标题编辑框.user_type("每一键都写");
    EXPECT_EQ(told(), 1) << "typing on is not told per keystroke";
    sim.fail_writes(0);
    p.透明度编辑框.user_type("99");
    sim.fail_writes(1000);
    w.选择夹.user_select(2);
    w.提醒页.报时选择框.user_click();
    EXPECT_EQ(told(), 2) << "a write that took, then one refused";
    sim.fail_writes(0);
}

TEST_F(SettingsTest, AboutWindowShowsTheHelpTextAndKeepsNoCaret) {
    run_main_bar_function(9);
    AboutWindow* w = program().about_window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->text(), "Quillet简介");
    EXPECT_EQ(w->rect().width, 602);
    EXPECT_EQ(w->rect().height, 454);
    EXPECT_EQ(w->编辑框.text(), "") << "no help file, no message";
    EXPECT_TRUE(sim.messages.empty());
    w->编辑框.user_focus();
    EXPECT_EQ(w->focused(), &w->关闭按钮);
    // No dead address: both links open the help text beside the program.
    w->超级链接框.user_click();
    EXPECT_EQ(sim.opened_paths.back(), help_file_path());
    w->超级链接框1.user_click();
    EXPECT_EQ(sim.opened_paths.back(), help_file_path());
    w->关闭按钮.user_click();
    sim.run_deferred();
    EXPECT_EQ(program().about_window(), nullptr);

    put("Quillet使用说明.txt", "Quillet使用说明\r\n第一行");
    run_main_bar_function(9);
    EXPECT_EQ(program().about_window()->编辑框.text(), "Quillet使用说明\r\n第一行");
}

}  // namespace
}  // namespace q
