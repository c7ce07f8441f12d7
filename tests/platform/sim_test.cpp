// Checks only the simulated backend can make: injected failures, virtual time,
// deferred calls and its own set-up.
#include <gtest/gtest.h>

#include "platform/sim/sim_system.h"

namespace q::sim {
namespace {

TEST(SimSystemFiles, InjectedWriteFailuresLeaveTheOldFile) {
    SimSystem sim;
    const std::string f = sim.dir + "\\set.ini";
    EXPECT_TRUE(sim.folder_exists("c:\\quillet\\"));
    sim.put_file(f, "old");
    ASSERT_EQ(sim.write_count, 0);

    sim.interrupt_next_write(3);
    EXPECT_FALSE(sys().files.replace(f, "brand new"));
    EXPECT_EQ(sim.file(f), "old");
    EXPECT_EQ(sim.write_count, 0);
    // The crash left a partial temporary file beside the target.
    const auto after_crash = sys().files.enumerate(sim.dir + "\\*");
    ASSERT_EQ(after_crash.size(), 2u);
    EXPECT_EQ(sim.file(sim.dir + "\\" + after_crash[1].name), "bra");

    sim.fail_writes(2);
    EXPECT_FALSE(sys().files.replace(f, "a"));
    EXPECT_FALSE(sys().files.replace(sim.dir + "\\other.ini", "b"));
    EXPECT_FALSE(sim.file(sim.dir + "\\other.ini"));
    EXPECT_TRUE(sys().files.replace(f, "c"));
    EXPECT_EQ(sim.file(f), "c");
    EXPECT_EQ(sim.write_count, 1);
    EXPECT_EQ(sys().files.enumerate(sim.dir + "\\*").size(), 1u);  // the stale temporary file is gone

    sim.unreadable.insert("C:/QUILLET/SET.INI");
    std::string out;
    EXPECT_FALSE(sys().files.read(f, out));
    EXPECT_TRUE(sys().files.exists(f));
}

TEST(SimSystemFiles, PathsAndOrder) {
    SimSystem sim;
    sim.put_file("C:\\d\\b.txt", "1");
    sim.put_file("C:\\d\\A.txt", "2");
    sim.make_folder("C:\\d\\sub");
    auto e = sys().files.enumerate("c:\\D\\*");
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].name, "b.txt");  // creation order
    EXPECT_EQ(e[1].name, "A.txt");
    EXPECT_TRUE(e[2].folder);
    EXPECT_TRUE(sys().files.exists("C:\\d\\sub\\..\\.\\a.TXT"));
    EXPECT_TRUE(sys().files.exists("set.ini") == false);
    EXPECT_FALSE(sys().files.replace("C:\\d\\a?.txt", "x"));  // not a valid name
    EXPECT_FALSE(sys().files.replace("D:\\x.txt", "x"));      // no such drive
    EXPECT_FALSE(sys().files.create_folder("D:"));
    EXPECT_TRUE(sys().files.rename("C:\\d\\sub", "C:\\d\\moved"));
    EXPECT_TRUE(sys().files.folder_exists("C:\\d\\moved"));
    EXPECT_EQ(SimSystem::key_of("c:/Quillet/Set.ini\\"), "C:\\QUILLET\\SET.INI");
    // "a?.ini" also takes "a.ini", as Windows' '?' may match nothing before a dot.
    sim.put_file("C:\\w\\a.ini", "");
    sim.put_file("C:\\w\\noext", "");
    EXPECT_EQ(sys().files.enumerate("C:\\w\\a?.ini").size(), 1u);
    EXPECT_EQ(sys().files.enumerate("C:\\w\\*.*").size(), 2u);
}

TEST(SimSystemTime, TimersFireInDueOrderWithTheClockAtTheirDueTime) {
    SimSystem sim;
    EXPECT_EQ(sys().clock.now(), (DateTime{2026, 12, 8, 8, 0, 0}));
    EXPECT_EQ(sys().clock.now().weekday(), 3);  // Tuesday
    std::vector<std::string> log;
    Timer a, b, c;
    a.on_tick = [&] { log.push_back("a" + std::to_string(sys().clock.ticks_ms())); };
    b.on_tick = [&] {
        log.push_back("b" + std::to_string(sys().clock.ticks_ms()));
        c.set_interval(0);           // stops another timer that is also due now
        sys().loop.defer([&] { log.push_back("deferred"); });
    };
    c.on_tick = [&] { log.push_back("c"); };
    a.set_interval(1000);
    b.set_interval(500);
    c.set_interval(1000);
    sim.advance(1000);
    EXPECT_EQ(log, (std::vector<std::string>{"b500", "deferred", "a1000", "b1000", "deferred"}));
    EXPECT_EQ(sys().clock.ticks_ms(), 1000u);
    EXPECT_EQ(sim.running_timers(), 2);

    sim.set_now(DateTime{2027, 1, 1, 0, 0, 0});
    log.clear();
    sim.advance(499);
    EXPECT_TRUE(log.empty());  // the remaining time is kept across set_now
    sim.advance(1);
    EXPECT_EQ(log.size(), 2u);
    EXPECT_EQ(sys().clock.now(), (DateTime{2027, 1, 1, 0, 0, 0}));

    sys().clock.sleep_ms(1000);
    EXPECT_EQ(sim.sleeps, std::vector<int>{1000});
    EXPECT_EQ(sys().clock.now(), (DateTime{2027, 1, 1, 0, 0, 1}));
}

TEST(SimSystemLoop, HotkeysAndDeferredCalls) {
    SimSystem sim;
    Window bar(Rect{0, 0, 10, 10}, "bar", Window::Style{});
    Window other(Rect{0, 0, 10, 10}, "other", Window::Style{});
    EXPECT_TRUE(sys().desktop.register_hotkey(bar, 1, 2, 'A'));
    EXPECT_FALSE(sys().desktop.register_hotkey(other, 2, 2, 'A'));  // the keys are taken
    EXPECT_TRUE(sys().desktop.register_hotkey(other, 3, 4, 'B'));
    EXPECT_EQ(sim.register_calls.size(), 3u);
    EXPECT_FALSE(sys().loop.wait_message());

    int other_got = -1;
    other.on_hotkey = [&](int id) { other_got = id; };
    sim.post_hotkey(other, 3);
    sim.post_hotkey(bar, 1);
    ASSERT_TRUE(sys().loop.wait_message());
    int id = -1;
    EXPECT_TRUE(sys().loop.take_hotkey(bar, id));
    EXPECT_EQ(id, 1);
    EXPECT_FALSE(sys().loop.take_hotkey(bar, id));
    EXPECT_TRUE(sys().loop.process_pending());
    EXPECT_EQ(other_got, 3);
    EXPECT_FALSE(sys().loop.wait_message());

    bool ran = false;
    sys().loop.defer([&] { ran = true; });
    EXPECT_TRUE(sys().loop.wait_message());
    sys().loop.process_pending();
    EXPECT_TRUE(ran);
}

TEST(SimSystemRegistry, LocalMachineReadOnly) {
    SimSystem sim;
    const std::string run = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
    sim.registry["HKLM\\software\\microsoft\\windows\\currentversion\\run\\Quillet"] = "C:\\Quillet\\quillet.exe";
    sim.hklm_read_only = true;
    EXPECT_EQ(sys().registry.read_string(Hive::LocalMachine, run, "QUILLET"), "C:\\Quillet\\quillet.exe");
    EXPECT_FALSE(sys().registry.delete_value(Hive::LocalMachine, run, "Quillet"));
    EXPECT_FALSE(sys().registry.write_string(Hive::LocalMachine, run, "Other", "x"));
    EXPECT_FALSE(sys().registry.value_exists(Hive::LocalMachine, run, "Other"));
    EXPECT_TRUE(sys().registry.write_string(Hive::CurrentUser, run, "Other", "x"));
    EXPECT_TRUE(sys().registry.value_exists(Hive::CurrentUser, run, "other"));
    EXPECT_EQ(sim.registry_log.size(), 3u);
    sim.hklm_read_only = false;
    EXPECT_TRUE(sys().registry.delete_value(Hive::LocalMachine, run, "Quillet"));
    EXPECT_FALSE(sys().registry.value_exists(Hive::LocalMachine, run, "Quillet"));
}

TEST(SimSystemProcess, DefaultsAndRandom) {
    SimSystem sim;
    EXPECT_EQ(sys().dialogs.message_box(nullptr, "t", "", Icon::None, Buttons::OkCancel), Answer::Cancel);
    EXPECT_EQ(sys().dialogs.message_box(nullptr, "t", "", Icon::None, Buttons::YesNo), Answer::No);
    EXPECT_EQ(sys().dialogs.popup_menu({"a", "b"}, Point{1, 2}), -1);
    EXPECT_EQ(sim.dialogs.size(), 1u);
    EXPECT_EQ(sim.messages.size(), 2u);
    std::set<int> seen;
    for (int i = 0; i < 1000; ++i) {
        const int r = sys().process.random_int(3, 7);
        ASSERT_GE(r, 3);
        ASSERT_LE(r, 7);
        seen.insert(r);
    }
    EXPECT_EQ(seen.size(), 5u);
    EXPECT_EQ(sys().process.random_int(5, 2), 5);
    sys().process.end_process(0);
    EXPECT_EQ(sim.exit_code, 0);
}

}  // namespace
}  // namespace q::sim
