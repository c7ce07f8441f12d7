// The hotkey controls of the program page, driven as a user would.
#include <gtest/gtest.h>

#include "hotkeys/hotkeys.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "tests/app/app_fixture.h"

namespace q {
namespace {

using testing_app::AppFixture;

class HotkeyGroupTest : public AppFixture {
protected:
    void SetUp() override {
        start();
        group = &program().open_settings().程序页.hotkey_group;
    }
    std::string stored(int n, const char* key) { return ini::read(hotkeys::file_path(), decimal(n), key); }
    std::pair<int, int> held(int id) {
        auto it = sim.hotkeys.find({&main_bar(), id});
        return it == sim.hotkeys.end() ? std::pair<int, int>{-1, -1} : it->second;
    }
    hotkeys::HotkeyGroup* group = nullptr;
};

TEST_F(HotkeyGroupTest, ChoosingStoresUnlessTakenAndApplyRegisters) {
    hotkeys::HotkeyGroup& g = *group;
    EXPECT_EQ(g.字母组合框.item_data(36), 0x09);
    EXPECT_EQ(g.功能组合框.selection(), -1);

    // No function chosen: a beep, and the changed list goes back to its first item.
    g.字母组合框.user_select(5);
    g.功能键组合框.user_select(2);
    EXPECT_EQ(sim.beeps, 2);
    EXPECT_EQ(g.字母组合框.selection(), 0);
    EXPECT_EQ(g.功能键组合框.selection(), 0);
    EXPECT_FALSE(sim.exists(hotkeys::file_path()));

    // A bare key: the modifier still shows "在此选择功能键" and is stored as 0.
    g.功能组合框.user_select(5);
    EXPECT_EQ(g.字母组合框.selected_text(), "A") << "a function without an entry";
    EXPECT_EQ(g.功能键组合框.selection(), 0);
    g.字母组合框.user_select(1);
    EXPECT_EQ(stored(5, "yes"), "**********");
    EXPECT_EQ(stored(5, "function"), "0");
    EXPECT_EQ(stored(5, "key"), "1");
    EXPECT_EQ(stored(5, "keyvalue"), "66");
    EXPECT_EQ(held(5), (std::pair<int, int>{-1, -1})) << "storing registers nothing";

    // 播放 MP3 on CTRL+P; 暂停更换 asking for the same is refused.
    g.功能组合框.user_select(0);
    g.功能键组合框.user_select(2);
    g.字母组合框.user_select(15);
    g.功能组合框.user_select(3);
    g.功能键组合框.user_select(2);
    EXPECT_TRUE(sim.messages.empty());
    g.字母组合框.user_select(15);
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.messages[0].text, "此热键已被播放 MP3拥有！\r\n请重新设定暂停更换的热键。");
    EXPECT_EQ(sim.messages[0].title, "热键重复");
    EXPECT_EQ(sim.messages[0].icon, Icon::Error);
    EXPECT_EQ(sim.messages[0].owner, program().settings_window());
    EXPECT_EQ(stored(3, "key"), "0") << "CTRL+A from the step before stays; the taken one is not stored";
    EXPECT_EQ(g.字母组合框.selection(), 15) << "the lists stay as chosen";

    // Choosing a function shows its stored combination; its own is no conflict.
    g.功能组合框.user_select(0);
    EXPECT_EQ(g.功能键组合框.selection(), 2);
    EXPECT_EQ(g.字母组合框.selection(), 15);
    g.字母组合框.user_select(15);
    EXPECT_EQ(sim.messages.size(), 1u);

    g.生效按钮.user_click();
    EXPECT_EQ(held(0), (std::pair<int, int>{2, 0x50}));
    EXPECT_EQ(held(5), (std::pair<int, int>{0, 0x42}));
    EXPECT_EQ(sim.messages.size(), 1u) << "all taken: nothing said";
    // Apply starts no second loop: a hotkey still runs through the program's one.
    sim.post_hotkey(main_bar(), 0);
    hotkeys().dispatch_loop();
    EXPECT_EQ(hotkeys().stop_flag(), 0);
}

TEST_F(HotkeyGroupTest, ClearDeletesTheEntryAndReappliesTheOthers) {
    hotkeys::store(10, 3, 16);
    hotkeys::store(2, 1, 3);
    hotkeys::HotkeyGroup& g = *group;
    g.清除按钮.user_click();
    EXPECT_TRUE(sim.messages.empty()) << "no function chosen";
    g.功能组合框.user_select(10);
    EXPECT_EQ(g.功能键组合框.selection(), 3);
    g.清除按钮.user_click();
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.messages[0].text, "遣退Quillet的热键已清除。");
    EXPECT_EQ(sim.messages[0].title, "");
    EXPECT_EQ(sim.messages[0].icon, Icon::None);
    EXPECT_EQ(stored(10, "yes"), "");
    EXPECT_EQ(sim.file(hotkeys::file_path())->find("[10]"), std::string::npos);
    EXPECT_EQ(g.功能键组合框.selection(), 0);
    EXPECT_EQ(g.字母组合框.selection(), 0);
    EXPECT_EQ(held(10), (std::pair<int, int>{-1, -1}));
    EXPECT_EQ(held(2), (std::pair<int, int>{1, 0x44}));
}

TEST_F(HotkeyGroupTest, ApplyNamesTheCombinationsAnotherProgramHolds) {
    Window other(Rect{0, 0, 10, 10}, "别的程序", Window::Style{});
    sim.hotkeys[{&other, 1}] = {2, 0x41};  // CTRL+A, held elsewhere
    sim.hotkeys[{&other, 2}] = {1, 0x42};  // ALT+B
    hotkeys::store(5, 2, 0);
    hotkeys::store(6, 1, 1);
    hotkeys::store(8, 4, 2);
    group->生效按钮.user_click();
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.messages[0].text.rfind("随手记录、定时提醒的热键已被其他程序占用", 0), 0u) << sim.messages[0].text;
    EXPECT_EQ(sim.messages[0].title, "热键重复");
    EXPECT_EQ(sim.messages[0].icon, Icon::Warning);
    EXPECT_EQ(held(8), (std::pair<int, int>{4, 0x43}));
    // Start-up stays silent.
    exit_procedure();
    sim.messages.clear();
    new_program();
    start();
    EXPECT_TRUE(sim.messages.empty());
    EXPECT_EQ(hotkeys().failed(), (std::vector<int>{5, 6}));
}

}  // namespace
}  // namespace q
