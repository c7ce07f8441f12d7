// Registry, hotkeys, tray icon and message boxes: the same checks on the sim
// and on Windows.
#include "tests/contract/contract_env.h"

namespace q::contract {
namespace {

using ContractServices = ContractTest;

// The program's autostart key, as it writes it, and a name of our own.
const char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kName[] = "QuilletContract";

TEST_F(ContractServices, RunKeyValuesAreWrittenReadAndDeletedInTheHiveThatTakesThem) {
    Registry& reg = sys().registry;
    for (Hive h : {Hive::LocalMachine, Hive::CurrentUser}) reg.delete_value(h, kRun, kName);
    ASSERT_FALSE(reg.value_exists(Hive::CurrentUser, kRun, kName));
    EXPECT_EQ(reg.read_string(Hive::CurrentUser, kRun, kName), std::nullopt);
    EXPECT_FALSE(reg.delete_value(Hive::CurrentUser, kRun, kName));
    EXPECT_FALSE(reg.value_exists(Hive::CurrentUser, "Software\\QuilletNoSuchKey", kName));
    EXPECT_EQ(reg.read_string(Hive::CurrentUser, "Software\\QuilletNoSuchKey", kName), std::nullopt);
    EXPECT_FALSE(reg.delete_value(Hive::CurrentUser, "Software\\QuilletNoSuchKey", kName));

    // The machine's key when it may be written, else the user's, as the program does.
    const std::string data = "\"C:\\随手 工具\\quillet.exe\" restart";
    const bool machine = reg.write_string(Hive::LocalMachine, kRun, kName, data);
    const Hive taken = machine ? Hive::LocalMachine : Hive::CurrentUser;
    const Hive other = machine ? Hive::CurrentUser : Hive::LocalMachine;
    if (!machine) {
        ASSERT_TRUE(reg.write_string(Hive::CurrentUser, kRun, kName, data));
    }
    EXPECT_TRUE(reg.value_exists(taken, kRun, kName));
    EXPECT_FALSE(reg.value_exists(other, kRun, kName));
    EXPECT_EQ(reg.read_string(taken, kRun, kName), data);
    // Key and value names are compared without case; a trailing "\" names the same key.
    EXPECT_EQ(reg.read_string(taken, "software\\microsoft\\windows\\currentversion\\run\\", "quilletcontract"), data);

    // Rewritten in place, even to an empty text, which still exists.
    ASSERT_TRUE(reg.write_string(taken, kRun, "QUILLETCONTRACT", "D:\\新\\quillet.exe"));
    EXPECT_EQ(reg.read_string(taken, kRun, kName), "D:\\新\\quillet.exe");
    ASSERT_TRUE(reg.write_string(taken, kRun, kName, ""));
    EXPECT_TRUE(reg.value_exists(taken, kRun, kName));
    EXPECT_EQ(reg.read_string(taken, kRun, kName), "");

    EXPECT_TRUE(reg.delete_value(taken, kRun, kName));
    EXPECT_FALSE(reg.value_exists(taken, kRun, kName));
    EXPECT_FALSE(reg.delete_value(taken, kRun, kName));
    EXPECT_FALSE(reg.delete_value(other, kRun, kName));
}

TEST_F(ContractServices, HotkeyCombinationBelongsToOneRegistrationAndReachesItsWindow) {
    EventLog log;
    Window a({10, 10, 120, 80}, "热键", {});
    Window b({140, 10, 120, 80}, "另一个", {});
    log.watch(a, "A");
    log.watch(b, "B");
    a.create();
    b.create();
    Desktop& d = sys().desktop;
    const int ctrl_alt = 2 | 1, shift = 4;
    const int f11 = 0x7A, f12 = 0x7B;
    ASSERT_TRUE(d.register_hotkey(a, 3, ctrl_alt, f11));
    // Taken: by another id, another window, or the same registration again.
    EXPECT_FALSE(d.register_hotkey(a, 4, ctrl_alt, f11));
    EXPECT_FALSE(d.register_hotkey(b, 3, ctrl_alt, f11));
    EXPECT_FALSE(d.register_hotkey(a, 3, ctrl_alt, f11));
    // Other modifiers make another combination.
    ASSERT_TRUE(d.register_hotkey(b, 5, ctrl_alt | shift, f11));
    ASSERT_TRUE(d.register_hotkey(b, 6, shift, f12));

    user().keys(ctrl_alt, f11);
    pump(100);
    user().keys(ctrl_alt | shift, f11);
    pump(100);
    user().keys(ctrl_alt, f12);  // nobody's
    pump(100);
    EXPECT_TRUE(log.matches({"A:hotkey 3", "B:hotkey 5"}));

    // The loop may take a window's hotkey before it is dispatched.
    user().keys(shift, f12);
    int id = -1;
    bool taken = false;
    for (int i = 0; i < 20 && !(taken = sys().loop.take_hotkey(b, id)); ++i) sys().clock.sleep_ms(10);
    EXPECT_TRUE(taken);
    EXPECT_EQ(id, 6);
    EXPECT_FALSE(sys().loop.take_hotkey(b, id));
    EXPECT_FALSE(sys().loop.take_hotkey(a, id));
    pump(50);
    EXPECT_TRUE(log.matches({}));

    // Unregistered, the combination is free for someone else and no longer reaches A.
    d.unregister_hotkey(a, 3);
    d.unregister_hotkey(a, 3);
    user().keys(ctrl_alt, f11);
    pump(100);
    EXPECT_TRUE(log.matches({}));
    ASSERT_TRUE(d.register_hotkey(b, 4, ctrl_alt, f11));
    user().keys(ctrl_alt, f11);
    pump(100);
    EXPECT_TRUE(log.matches({"B:hotkey 4"}));
    for (int i : {4, 5, 6}) d.unregister_hotkey(b, i);
    a.destroy();
    b.destroy();
}

TEST_F(ContractServices, TrayIconReportsClicksUntilRemoved) {
    Window w({10, 10, 120, 80}, "托盘", {});
    w.create();
    std::vector<TrayEvent> events;
    Desktop& d = sys().desktop;
    EXPECT_FALSE(d.tray_modify(w, Res::AppIcon, "还没有"));
    // A tip longer than the shell keeps is cut, not refused.
    ASSERT_TRUE(d.tray_add(w, Res::AppIcon, std::string(200, 'x'), [&](TrayEvent e) { events.push_back(e); }));
    EXPECT_TRUE(d.tray_modify(w, Res::AppIcon, "Quillet1.0 随手"));
    for (TrayEvent e : {TrayEvent::Click, TrayEvent::DoubleClick, TrayEvent::RightClick}) user().tray(w, e);
    pump(20);
    EXPECT_EQ(events, (std::vector<TrayEvent>{TrayEvent::Click, TrayEvent::DoubleClick, TrayEvent::RightClick}));

    // A handler may remove the icon; later clicks reach nobody.
    events.clear();
    Window other({10, 100, 120, 80}, "托盘二", {});
    other.create();
    ASSERT_TRUE(d.tray_add(other, Res::AppIcon, "二", [&](TrayEvent e) {
        events.push_back(e);
        d.tray_remove(other);
    }));
    user().tray(other, TrayEvent::RightClick);
    user().tray(other, TrayEvent::Click);
    EXPECT_EQ(events, (std::vector<TrayEvent>{TrayEvent::RightClick}));
    EXPECT_FALSE(d.tray_modify(other, Res::AppIcon, "走了"));

    d.tray_remove(w);
    d.tray_remove(w);
    user().tray(w, TrayEvent::Click);
    pump(20);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_FALSE(d.tray_modify(w, Res::AppIcon, "走了"));
    other.destroy();
    w.destroy();
}

TEST_F(ContractServices, MessageBoxesShowTheirTextsIconsAndButtonsAndReturnTheAnswer) {
    struct Case {
        std::string text, title;
        Icon icon;
        Buttons buttons;
        Answer answer;
    };
    const std::vector<Case> cases = {
        {"确定要删除这条提醒吗？", "随手记录", Icon::Question, Buttons::YesNo, Answer::Yes},
        {"确定要删除这条提醒吗？", "随手记录", Icon::Question, Buttons::YesNo, Answer::No},
        {"文件“乗.txt”不存在！", "提示", Icon::Warning, Buttons::OkCancel, Answer::Cancel},
        {"设置已保存。\r\n第二行", "Quillet", Icon::Information, Buttons::OkCancel, Answer::Ok},
        {"无法写入 set.ini", "错误", Icon::Error, Buttons::Ok, Answer::Ok},
        {"没有图标", "", Icon::None, Buttons::Ok, Answer::Ok},
    };
    for (const Case& c : cases) {
        answer_next_box(c.answer);
        EXPECT_EQ(sys().dialogs.message_box(nullptr, c.text, c.title, c.icon, c.buttons, c.answer == Answer::No), c.answer)
            << c.text;
        const Box seen = last_box();
        EXPECT_EQ(seen.text, c.text);
        EXPECT_EQ(seen.title, c.title);
        EXPECT_EQ(seen.icon, std::optional<Icon>(c.icon)) << c.text;
        EXPECT_EQ(seen.buttons, std::optional<Buttons>(c.buttons)) << c.text;
    }
}

}  // namespace
}  // namespace q::contract
