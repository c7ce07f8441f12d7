// Start-up sequence, single instance, autostart and the exit procedure.
#include <gtest/gtest.h>

#include "settings/settings_file.h"
#include "tests/app/app_fixture.h"

namespace q {
namespace {

using testing_app::AppFixture;
using autostart::kRunKey;

class AppStartup : public AppFixture {
protected:
    std::optional<std::string> hklm() { return sim.read_string(Hive::LocalMachine, kRunKey, "Quillet"); }
    std::optional<std::string> hkcu() { return sim.read_string(Hive::CurrentUser, kRunKey, "Quillet"); }
    int registry_writes() const {
        int n = 0;
        for (const auto& w : sim.registry_log) n += w.op == "write";
        return n;
    }
};

TEST_F(AppStartup, WithoutSettingsFileGreetsRegistersAndStartsNoMedia) {
    start();
    MainBar& bar = main_bar();
    EXPECT_TRUE(bar.created());
    EXPECT_FALSE(bar.visible());
    ASSERT_EQ(sim.tray.count(&bar), 1u);
    EXPECT_EQ(sim.tray[&bar].icon, Res::AppIcon);
    EXPECT_EQ(sim.tray[&bar].tip, "Quillet1.0");
    EXPECT_TRUE(bar.has_background());
    EXPECT_EQ(bar.background(), Res::BarBitmap);
    EXPECT_TRUE(bar.shaped());
    EXPECT_EQ(bar.shape_bitmap(), Res::BarBitmap);
    EXPECT_EQ(bar.shape_key(), kPureRed);
    EXPECT_EQ(sim.xp_look_calls, std::vector<bool>{true});
    EXPECT_NE(reminders().popup(), nullptr) << "greeting";
    EXPECT_EQ(hklm(), std::optional<std::string>("C:\\Quillet\\quillet.exe"));
    EXPECT_EQ(setting("set", "run"), "T");
    EXPECT_TRUE(sim.wallpapers.empty());
    EXPECT_TRUE(sim.music.empty());
    EXPECT_EQ(bar.壁纸时钟.interval(), 0);
    EXPECT_EQ(bar.音乐时钟.interval(), 0);
    // The chime is on without a settings file: the reminder timer runs whenever the table opened.
    EXPECT_EQ(bar.提醒时钟.interval(), reminders().table_open() ? 1000 : 0);
    EXPECT_TRUE(sim.messages.empty());
    EXPECT_FALSE(sim.exit_code.has_value());
}

TEST_F(AppStartup, SwitchesOfSettingsFile) {
    put("set.ini", "[set]\r\nrun=F\r\n[mesg]\r\nshow=F\r\n[plan]\r\ntime=F\r\n");
    start();
    EXPECT_EQ(registry_writes(), 0) << "run = F never writes the entry";
    EXPECT_FALSE(hklm().has_value());
    EXPECT_EQ(setting("set", "run"), "F");
    EXPECT_EQ(reminders().popup(), nullptr) << "greeting off";
    // An empty table and no chime: the reminder timer stays stopped.
    EXPECT_EQ(main_bar().提醒时钟.interval(), 0);
}

TEST_F(AppStartup, LowerCaseFLeavesAutostartOn) {
    put("set.ini", "[set]\r\nrun=f\r\n");
    start();
    EXPECT_TRUE(hklm().has_value());
}

TEST_F(AppStartup, AutostartEntryKeptRewrittenOrFallsBack) {
    // Removed by hand while run = T: written again.
    put("set.ini", "[set]\r\nrun=T\r\n");
    start();
    EXPECT_EQ(hklm(), std::optional<std::string>("C:\\Quillet\\quillet.exe"));
    new_program();

    // Present and naming this copy: nothing written.
    sim.registry_log.clear();
    start();
    EXPECT_EQ(registry_writes(), 0);
    new_program();

    // Naming another copy of the program: written anew.
    sim.write_string(Hive::LocalMachine, kRunKey, "Quillet", "D:\\Old\\quillet.exe");
    start();
    EXPECT_EQ(hklm(), std::optional<std::string>("C:\\Quillet\\quillet.exe"));
}

// The sim's registry, but the user's key refuses writes too.
struct UserKeyReadOnly : Registry {
    Registry& real;
    explicit UserKeyReadOnly(Registry& r) : real(r) {}
    bool value_exists(Hive h, const std::string& k, const std::string& n) override { return real.value_exists(h, k, n); }
    std::optional<std::string> read_string(Hive h, const std::string& k, const std::string& n) override {
        return real.read_string(h, k, n);
    }
    bool write_string(Hive h, const std::string& k, const std::string& n, const std::string& d) override {
        return h != Hive::CurrentUser && real.write_string(h, k, n, d);
    }
    bool delete_value(Hive h, const std::string& k, const std::string& n) override { return real.delete_value(h, k, n); }
};

TEST_F(AppStartup, MachineKeyReadOnlyFallsBackToUserKey) {
    sim.hklm_read_only = true;
    // Neither hive took the entry: the switch stays unset and the next start tries again.
    UserKeyReadOnly registry(sim);
    System refusing{sim, sim, sim, sim, sim, sim, registry, sim, sim};
    System plain{sim, sim, sim, sim, sim, sim, sim, sim, sim};
    install_system(&refusing);
    start();
    EXPECT_FALSE(autostart::exists("Quillet"));
    EXPECT_EQ(setting("set", "run"), "");
    new_program();
    install_system(&plain);

    // Another copy's machine entry that cannot be rewritten stays; the user's key names this copy.
    sim.hklm_read_only = false;
    sim.write_string(Hive::LocalMachine, kRunKey, "Quillet", "D:\\Old\\quillet.exe");
    sim.hklm_read_only = true;
    start();
    EXPECT_EQ(hklm(), std::optional<std::string>("D:\\Old\\quillet.exe"));
    EXPECT_EQ(hkcu(), std::optional<std::string>("C:\\Quillet\\quillet.exe"));
    EXPECT_EQ(setting("set", "run"), "T");
    // Once it can be, the machine's entry is rewritten and the user's goes.
    sim.hklm_read_only = false;
    new_program();
    start();
    EXPECT_EQ(hklm(), std::optional<std::string>("C:\\Quillet\\quillet.exe"));
    EXPECT_FALSE(hkcu().has_value());
    sim.write_string(Hive::CurrentUser, kRunKey, "Quillet", "x");
    autostart::remove("Quillet");
    EXPECT_FALSE(autostart::exists("Quillet"));
    EXPECT_FALSE(hklm().has_value());
    EXPECT_FALSE(hkcu().has_value());
    program_.reset();  // its timers stop before `plain` goes
}

TEST_F(AppStartup, PathWithSpaceIsQuoted) {
    sim.dir = "C:\\Program Files\\随手 工具";
    sim.make_folder(sim.dir);
    start();
    EXPECT_EQ(hklm(), std::optional<std::string>("\"C:\\Program Files\\随手 工具\\quillet.exe\""));
    EXPECT_EQ(setting("set", "run"), "T");
}

TEST_F(AppStartup, SecondInstanceOnlySaysSoAndEnds) {
    sim.mutex_answer = MutexState::Busy;
    put("hotkey.ini", "[4]\r\nyes=**********\r\nfunction=3\r\nkeyvalue=81\r\n");
    const int writes = sim.write_count;
    start();
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.messages[0].text, "Quillet正在工作！");
    EXPECT_EQ(sim.messages[0].title, "程序已运行");
    EXPECT_EQ(sim.messages[0].icon, Icon::None);
    EXPECT_EQ(sim.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(sim.exit_code, std::optional<int>(0));
    EXPECT_TRUE(sim.tray.empty());
    EXPECT_TRUE(sim.xp_look_calls.empty());
    EXPECT_TRUE(sim.registry_log.empty());
    EXPECT_TRUE(sim.register_calls.empty());
    EXPECT_EQ(sim.write_count, writes);
    EXPECT_EQ(reminders().popup(), nullptr);
    EXPECT_FALSE(main_bar().shaped());
}

TEST_F(AppStartup, AbandonedOrFailedMutexStartsTheProgram) {
    for (MutexState state : {MutexState::Abandoned, MutexState::Failed}) {
        new_program();
        sim.mutex_answer = state;
        start();
        EXPECT_TRUE(sim.messages.empty());
        EXPECT_EQ(sim.tray.count(&main_bar()), 1u);
    }
}

TEST_F(AppStartup, RestartDelayOnlyForExactFirstArgument) {
    sim.args = {"restart"};
    start();
    EXPECT_EQ(sim.sleeps, std::vector<int>{1000});
    for (auto args : {std::vector<std::string>{"Restart"}, {"RESTART"}, {"x", "restart"}, {}}) {
        new_program();
        sim.tray.clear();
        sim.sleeps.clear();
        sim.args = args;
        start();
        EXPECT_TRUE(sim.sleeps.empty()) << (args.empty() ? "" : args[0]);
    }
}

TEST_F(AppStartup, VisualStyle) {
    // style = T without the manifest: the XP look all the same.
    put("set.ini", "[set]\r\nstyle=T\r\n");
    start();
    EXPECT_EQ(sim.xp_look_calls, std::vector<bool>{true});
    exit_procedure();
    EXPECT_EQ(sim.xp_look_calls, std::vector<bool>{true}) << "style T: not switched off at exit";
    new_program();
    sim.xp_look_calls.clear();
    // With the manifest, Windows' own style: the layer is left alone.
    put("quillet.exe.manifest", "<assembly/>");
    start();
    EXPECT_TRUE(sim.xp_look_calls.empty());
}

TEST_F(AppStartup, WallpaperStepNeedsSwitchAndListAndSetsTimer) {
    put("set.ini", "[set]\r\nchange=T\r\n");
    start();
    EXPECT_EQ(main_bar().壁纸时钟.interval(), 0) << "no wallpaper.ini";
    struct Case {
        const char* time;
        int interval;
    };
    for (Case c : {Case{nullptr, 600000}, Case{"1.5", 90000}, Case{"abc", 0}}) {
        new_program();
        sim.tray.clear();
        put("wallpaper.ini", "[list]\r\n");
        put("set.ini", std::string("[set]\r\nchange=T\r\n") + (c.time ? std::string("[change]\r\ntime=") + c.time + "\r\n" : ""));
        start();
        EXPECT_EQ(main_bar().壁纸时钟.interval(), c.interval) << (c.time ? c.time : "absent");
    }
}

// ---- exit ---------------------------------------------------------------------

class AppExit : public ::testing::Test {
protected:
    sim::SimSystem sim;
    Program program;
};

TEST_F(AppExit, RunsInOrder) {
    sim.put_file(sim.dir + "\\hotkey.ini",
                 "[2]\r\nyes=**********\r\nfunction=2\r\nkeyvalue=65\r\n[10]\r\nyes=*\r\nfunction=3\r\nkeyvalue=81\r\n");
    program.main();
    MainBar& bar = program.bar();
    program.note().note_action();
    ASSERT_TRUE(program.note().loaded());
    sim.mouse = {500, 700};
    sim.tray_click(bar, TrayEvent::RightClick);
    ASSERT_TRUE(bar.visible());
    const std::size_t from = sim.calls.size();

    program.exit_procedure();

    // The bar goes first; the sounds stop and the tray icon goes while the
    // note is still up; the note is gone before the look is switched off, and
    // the hotkeys go last before the end.
    EXPECT_EQ(sim.calls_differ({"window hide Quillet", "stop_all_sound", "tray remove", "window hide 随手记录",
                                "window destroy 随手记录", "xp_look off", "hotkey unregister 2",
                                "hotkey unregister 10", "end 0"},
                               from),
              "");
    EXPECT_EQ(program.hotkeys().stop_flag(), 1);
    EXPECT_TRUE(sim.tray.empty());
    EXPECT_TRUE(sim.hotkeys.empty());
    EXPECT_TRUE(program.hotkeys().registered().empty());
    EXPECT_EQ(sim.exit_code, std::optional<int>(0));
}

TEST_F(AppExit, EndOfSessionRunsTheExitProcedureOnce) {
    program.main();
    ASSERT_FALSE(sim.tray.empty());
    program.bar().on_end_session();
    EXPECT_TRUE(sim.tray.empty());
    EXPECT_EQ(sim.exit_code, std::optional<int>(0));
    const std::size_t from = sim.calls.size();
    program.run_main_bar_function(10);
    EXPECT_EQ(sim.calls.size(), from) << "a second request does nothing";
}

}  // namespace
}  // namespace q
