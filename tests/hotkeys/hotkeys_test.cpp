// Hotkey file, registration, dispatch, and the stored-entry conflict check.
#include <gtest/gtest.h>

#include "hotkeys/hotkeys.h"
#include "settings/ini.h"
#include "tests/app/app_fixture.h"

namespace q {
namespace {

using testing_app::AppFixture;

class HotkeysFile : public AppFixture {
protected:
    std::pair<int, int> held(int id) {
        auto it = sim.hotkeys.find({&main_bar(), id});
        return it == sim.hotkeys.end() ? std::pair<int, int>{-1, -1} : it->second;
    }
};

TEST_F(HotkeysFile, NoFileRegistersNothingAndTheProgramRuns) {
    hotkeys().set_stop_flag(1);
    hotkeys().register_all();
    EXPECT_EQ(hotkeys().stop_flag(), 1) << "the stop flag keeps its value";
    hotkeys().set_stop_flag(0);
    start();
    EXPECT_TRUE(sim.register_calls.empty());
    EXPECT_TRUE(hotkeys().registered().empty());
    // Messages still reach the bar through the loop.
    sim.post_hotkey(main_bar(), 4);
    hotkeys().dispatch_loop();
    EXPECT_EQ(sim.mci.size(), 1u);
}

TEST_F(HotkeysFile, RegistersStoredEntriesInOrder) {
    put("hotkey.ini",
        "[10]\r\nyes=**********\r\nfunction=3\r\nkey=16\r\nkeyvalue=81\r\n"
        "[0]\r\nyes=**********\r\nfunction=0\r\nkey=0\r\nkeyvalue=65\r\n"
        "[3]\r\nyes=\r\nfunction=2\r\nkeyvalue=66\r\n"
        "[5]\r\nyes=x\r\nfunction=abc\r\n");
    start();
    EXPECT_EQ(hotkeys().registered(), (std::vector<std::uint8_t>{0, 5, 10}));
    EXPECT_EQ(held(0), (std::pair<int, int>{0, 65})) << "a bare key with modifier 0";
    EXPECT_EQ(held(5), (std::pair<int, int>{0, 0})) << "absent and non-numeric read as 0";
    EXPECT_EQ(held(10), (std::pair<int, int>{3, 81}));
    EXPECT_EQ(held(3), (std::pair<int, int>{-1, -1})) << "empty yes: no hotkey";
    hotkeys().unregister_all();
    EXPECT_TRUE(hotkeys().registered().empty());
    EXPECT_TRUE(sim.hotkeys.empty());
}

TEST_F(HotkeysFile, FailedRegistrationStillListsTheId) {
    sim.hotkey_register_fails = true;
    put("hotkey.ini", "[1]\r\nyes=*\r\nfunction=2\r\nkeyvalue=65\r\n[7]\r\nyes=*\r\nfunction=2\r\nkeyvalue=66\r\n");
    start();
    EXPECT_TRUE(sim.hotkeys.empty());
    EXPECT_EQ(hotkeys().registered(), (std::vector<std::uint8_t>{1, 7}));
    EXPECT_TRUE(sim.messages.empty()) << "failures are silent";
}

TEST_F(HotkeysFile, DispatchRunsTheFunctionAndHidesTheBar) {
    put("hotkey.ini", "[4]\r\nyes=*\r\nfunction=3\r\nkeyvalue=68\r\n[10]\r\nyes=*\r\nfunction=3\r\nkeyvalue=81\r\n");
    start();
    sim.mouse = {500, 700};
    sim.tray_click(main_bar(), TrayEvent::RightClick);
    ASSERT_TRUE(main_bar().visible());
    sim.post_hotkey(main_bar(), 4);
    hotkeys().dispatch_loop();
    EXPECT_FALSE(main_bar().visible());
    EXPECT_EQ(sim.mci, std::vector<std::string>{"set CDAudio door open"});
    // The same id reaching the window procedure (a modal loop) closes it again.
    main_bar().on_hotkey(4);
    EXPECT_EQ(sim.mci.back(), "set CDAudio door closed");
    // Ids outside 0..10 do nothing.
    sim.post_hotkey(main_bar(), 11);
    hotkeys().dispatch_loop();
    EXPECT_EQ(sim.mci.size(), 2u);
    // Hotkey 10 ends the program and the loop.
    sim.post_hotkey(main_bar(), 10);
    sim.post_hotkey(main_bar(), 4);
    hotkeys().dispatch_loop();
    EXPECT_EQ(sim.exit_code, std::optional<int>(0));
    EXPECT_EQ(hotkeys().stop_flag(), 1);
    EXPECT_EQ(sim.mci.size(), 2u) << "nothing runs after the exit";
    EXPECT_TRUE(sim.hotkeys.empty());
}

TEST_F(HotkeysFile, ConflictCheckAndStore) {
    const std::string file = hotkeys::file_path();
    hotkeys::store(0, 2, 16);  // CTRL+Q for 播放 MP3
    EXPECT_EQ(ini::read(file, "0", "yes"), "**********");
    EXPECT_EQ(ini::read(file, "0", "function"), "2");
    EXPECT_EQ(ini::read(file, "0", "key"), "16");
    EXPECT_EQ(ini::read(file, "0", "keyvalue"), "81");
    EXPECT_EQ(hotkeys().find_conflict(3, 2, 16), 0);
    EXPECT_EQ(hotkeys().owner_name(), "播放 MP3");
    EXPECT_EQ(hotkeys().find_conflict(0, 2, 16), -1) << "its own combination";
    EXPECT_EQ(hotkeys().find_conflict(3, 1, 16), -1);
    EXPECT_EQ(hotkeys().find_conflict(3, 2, 17), -1);
    hotkeys::store(9, 0, 37);
    EXPECT_EQ(ini::read(file, "9", "keyvalue"), "27");
    EXPECT_EQ(hotkeys().find_conflict(10, 0, 37), 9);
    EXPECT_EQ(hotkeys().owner_name(), "介绍Quillet");
}

TEST_F(HotkeysFile, KeyList) {
    const auto& keys = hotkeys::key_items();
    ASSERT_EQ(keys.size(), 38u);
    EXPECT_EQ(keys[0], "A");
    EXPECT_EQ(keys[26], "0");
    EXPECT_EQ(keys[37], "ESC");
    EXPECT_EQ(hotkeys::key_code(25), 0x5A);
    EXPECT_EQ(hotkeys::key_code(35), 0x39);
    EXPECT_EQ(hotkeys::key_code(36), 0x09);
    EXPECT_EQ(hotkeys::modifier_items()[3], "ALT+CTRL");
    EXPECT_EQ(hotkeys::function_items()[10], "遣退Quillet");
}

}  // namespace
}  // namespace q
