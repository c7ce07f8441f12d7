#include "reminders/popup.h"
#include "reminders/scheduler.h"
#include "tests/reminders/rem_fixture.h"

namespace q::reminders::testing {
namespace {

class RemindersPopupTest : public RemindersTest {
protected:
    // Opens the popup for a reminder due at 09:00 on Tuesday 2026-12-08.
    Popup& fire(const Reminder& r) {
        put_plan({r});
        EXPECT_TRUE(open_table());
        sim.set_now({2026, 12, 8, 8, 59, 58});
        Timer t;
        t.on_tick = [this] { tick(); };
        t.set_interval(1000);
        sim.advance(2000);
        t.set_interval(0);
        EXPECT_NE(popup(), nullptr);
        EXPECT_TRUE(pending_due_time().empty());
        return *popup();
    }
    // 40 steps; the system raises the 1 ms interval to 10 ms.
    void rise() { sim.advance(40 * 10); }
    System plain{sim, sim, sim, sim, sim, sim, sim, sim, sim};
};

const char* const kDateLines = "\r\n\r\n今天：2026年12月8日  星期二\r\n现在时刻：9时0分";

TEST_F(RemindersPopupTest, GreetingTextsRiseHoldAndSink) {
    sim.set_now({2026, 12, 8, 9, 5, 7});
    open_popup();
    Popup& p = *popup();
    EXPECT_EQ(p.rect(), (Rect{1024 - 185, 738, 185, 200}));
    EXPECT_TRUE(p.visible());
    EXPECT_FALSE(p.topmost());
    EXPECT_FALSE(p.style().caption);
    EXPECT_FALSE(p.了解按钮.visible());
    EXPECT_FALSE(p.取消按钮.visible());
    EXPECT_EQ(p.标题标签.font().face, "黑体");
    EXPECT_EQ(p.标题标签.text(), "主人，您好！");
    EXPECT_EQ(p.内容标签.text(), "Quillet在此等候您的指示！\r\n\r\n今天：2026年12月8日  星期二\r\n现在时刻：9时5分7秒");
    EXPECT_FALSE(program_->bar().visible());
    rise();
    EXPECT_EQ(p.rect().top, 738 - 200);
    EXPECT_EQ(count(Res::Chime3Wav), 1);
    EXPECT_EQ(p.移动时钟.interval(), 1000);
    sim.advance(5000);
    EXPECT_EQ(p.内容标签.text(), "Quillet在此等候您的指示！\r\n\r\n今天：2026年12月8日  星期二\r\n现在时刻：9时5分12秒");
    EXPECT_EQ(p.rect().top, 538);
    sim.advance(1000 + 100);
    ASSERT_NE(popup(), nullptr);
    EXPECT_GT(p.rect().top, 538);
    sim.advance(300);
    EXPECT_EQ(popup(), nullptr);
    EXPECT_EQ(slide_offset(), 0);
    EXPECT_EQ(slide_direction(), 0);
    EXPECT_EQ(count(Res::AlertWav), 0);
}

TEST_F(RemindersPopupTest, GreetingSettingsAndClickClosesAtOnce) {
    put_ini("[mesg]\r\ntitle=早上好\r\nmesg=新的一天\r\ndate=F\r\n");
    open_popup();
    EXPECT_EQ(popup()->标题标签.text(), "早上好");
    EXPECT_EQ(popup()->内容标签.text(), "新的一天");
    popup()->内容标签.user_mouse_down(MouseButton::Right);
    sim.run_deferred();
    EXPECT_EQ(popup(), nullptr);
    // The next opening rises again from the bottom and sounds at 50 pixels.
    open_popup();
    EXPECT_EQ(popup()->rect().top, 738);
    sim.advance(90);
    EXPECT_EQ(count(Res::Chime3Wav), 0);
    sim.advance(10);
    EXPECT_EQ(popup()->rect().top, 688);
    EXPECT_EQ(count(Res::Chime3Wav), 1);
    popup()->user_mouse_down(MouseButton::Left);
    sim.run_deferred();
    EXPECT_EQ(popup(), nullptr);
}

TEST_F(RemindersPopupTest, ReminderTextsAndTaskTexts) {
    Popup& p = fire({"09时00分", kDaily, kNone, "", "C:\\Tools\\backup.exe"});
    EXPECT_TRUE(p.了解按钮.visible());
    EXPECT_EQ(p.了解按钮.text(), "知道了！");
    EXPECT_EQ(p.取消按钮.text(), "取消");
    EXPECT_EQ(p.标题标签.text(), "每日提醒");
    EXPECT_EQ(p.内容标签.text(),
              std::string("Quillet提醒您，现有重要事务！\r\n计划任务：backup（文件路径无效）") + kDateLines);
    EXPECT_EQ(current_action(), "C:\\Tools\\backup.exe");
    p.了解按钮.user_click();
    EXPECT_TRUE(sim.launches.empty());
    sim.run_deferred();
    EXPECT_EQ(popup(), nullptr);

    new_program();
    sim.put_file("C:\\Tools\\backup.exe", "MZ");
    Popup& q = fire({"09时00分", kWeekly, "周2", "备份", "C:\\Tools\\backup.exe"});
    EXPECT_EQ(q.标题标签.text(), "每周提醒");
    EXPECT_EQ(q.内容标签.text(), std::string("备份\r\n计划任务：backup") + kDateLines);
    q.标题标签.user_mouse_down(MouseButton::Left);
    ASSERT_EQ(sim.launches.size(), 1u);
    EXPECT_EQ(sim.launches[0].path, "C:\\Tools\\backup.exe");

    new_program();
    EXPECT_EQ(fire({"09时00分", kDaily, kNone, "x", ""}).内容标签.text(), std::string("x\r\n计划任务：") + kDateLines);
    new_program();
    EXPECT_EQ(fire({"09时00分", kDaily, kNone, "x", "拨号"}).内容标签.text(),
              std::string("x\r\n计划任务：拨号") + kDateLines);
    popup()->了解按钮.user_click();
    ASSERT_EQ(sim.launches.size(), 2u);
    EXPECT_EQ(sim.launches[1].path, "C:\\WINDOWS\\system32\\Rasphone.exe");
    for (const char* none : {"无", "", "notepad.exe"}) {
        new_program();
        fire({"09时00分", kDaily, kNone, "x", none}).了解按钮.user_click();
    }
    EXPECT_EQ(sim.launches.size(), 2u);
    EXPECT_TRUE(sim.sessions_ended.empty());
    EXPECT_FALSE(sim.exit_code);
}

TEST_F(RemindersPopupTest, DelayRunsTheTaskAfterItsAlertSeconds) {
    sim.put_file("C:\\t.exe", "MZ");
    auto seconds_to_run = [&](const std::string& ini) {
        new_program();
        sim.launches.clear();
        sim.sounds.clear();
        put_ini(ini);
        fire({"09时00分", kDaily, kNone, "", "C:\\t.exe"});
        rise();
        for (int s = 1; s <= 40; ++s) {
            sim.advance(1000);
            if (!sim.launches.empty()) {
                EXPECT_EQ(count(Res::AlertWav), s);
                EXPECT_EQ(popup(), nullptr);
                return s;
            }
        }
        EXPECT_NE(popup(), nullptr);
        return 0;
    };
    EXPECT_EQ(seconds_to_run(""), 10);
    EXPECT_EQ(seconds_to_run("[plan]\r\ndelay=30\r\n"), 30);
    EXPECT_EQ(seconds_to_run("[plan]\r\ndelay=0\r\n"), 0);
    EXPECT_EQ(seconds_to_run("[plan]\r\ndelay=abc\r\n"), 0);
    EXPECT_EQ(seconds_to_run("[plan]\r\ndelay=2.5\r\n"), 0);
    EXPECT_EQ(seconds_to_run("[plan]\r\ndelay=-3\r\n"), 0);
}

TEST_F(RemindersPopupTest, CancelPerformsNothingAndTheNextPopupRisesAgain) {
    sim.put_file("C:\\t.exe", "MZ");
    fire({"09时00分", kDaily, kNone, "", "C:\\t.exe"});
    rise();
    sim.advance(3000);
    popup()->取消按钮.user_click();
    sim.advance(20000);
    EXPECT_TRUE(sim.launches.empty());
    EXPECT_EQ(popup(), nullptr);
    EXPECT_EQ(slide_offset(), 0);
    EXPECT_TRUE(current_action().empty());
    new_scheduler();
    fire({"09时00分", kDaily, kNone, "", kNone});
    rise();
    EXPECT_EQ(count(Res::Chime3Wav), 2);
}

TEST_F(RemindersPopupTest, ReminderWhileGreetingIsOpenTakesTheWindowOver) {
    open_popup();
    sim.advance(100);
    Popup* greeting = popup();
    Popup& p = fire({"09时00分", kMonthly, "8日", "会议", "无"});
    EXPECT_EQ(&p, greeting);
    EXPECT_TRUE(p.了解按钮.visible());
    EXPECT_EQ(p.标题标签.text(), "每月提醒");
    EXPECT_EQ(p.rect().top, 738);
    rise();
    EXPECT_EQ(p.rect().top, 538);
    sim.advance(6500);
    EXPECT_EQ(popup(), &p);  // no greeting sink
    EXPECT_EQ(count(Res::AlertWav), 6);
}

// Records what still stood when Windows was asked to end the session.
struct WatchingShell : Shell {
    Shell& real;
    std::function<std::string()> state;
    std::vector<std::string> at_end;
    explicit WatchingShell(Shell& r) : real(r) {}
    bool start_program(const std::string& p, const std::string& a) override { return real.start_program(p, a); }
    bool open_path(const std::string& p, const std::string& f) override { return real.open_path(p, f); }
    bool show_properties(const std::string& p) override { return real.show_properties(p); }
    bool end_session(EndSession how) override {
        at_end.push_back(state());
        return real.end_session(how);
    }
    std::string system_directory() override { return real.system_directory(); }
};

TEST_F(RemindersPopupTest, EndingTasksRunTheExitWorkThenEndWindowsAndTheProgram) {
    WatchingShell shell(sim);
    shell.state = [this] {
        return std::string(rem().table().is_open() ? " table" : "") + (program_->note().loaded() ? " note" : "") +
               (sim.tray.empty() ? "" : " tray") + (sim.exit_code ? " ended" : "");
    };
    System watched{sim, sim, sim, sim, shell, sim, sim, sim, sim};
    install_system(&watched);
    const std::vector<std::pair<const char*, EndSession>> tasks = {
        {"关机", EndSession::ShutDown}, {"注销", EndSession::LogOff}, {"重启", EndSession::Restart}};
    for (const auto& [word, how] : tasks) {
        new_program();
        sim.sessions_ended.clear();
        sim.exit_code.reset();
        program_->note().note_action();
        sim.tray_add(program_->bar(), Res::AppIcon, "Quillet1.0", [](TrayEvent) {});
        Popup& p = fire({"09时00分", kDaily, kNone, "", word});
        EXPECT_EQ(p.内容标签.text(), std::string("Quillet提醒您，现有重要事务！\r\n计划任务：") + word + kDateLines);
        p.了解按钮.user_click();
        EXPECT_EQ(sim.sessions_ended, std::vector<EndSession>{how});
        EXPECT_EQ(sim.exit_code, 0);
        EXPECT_FALSE(rem().table().is_open());
    }
    EXPECT_EQ(shell.at_end, (std::vector<std::string>{"", "", ""}));
    install_system(&plain);
}

}  // namespace
}  // namespace q::reminders::testing
