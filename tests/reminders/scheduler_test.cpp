#include "reminders/popup.h"
#include "reminders/scheduler.h"
#include "tests/reminders/rem_fixture.h"

namespace q::reminders::testing {
namespace {

// The reminder timer as the main bar runs it, noting when a popup opened.
class RemindersSchedulerTest : public RemindersTest {
protected:
    Timer timer;
    std::vector<std::string> fired;  // 标题标签 + "@" + time of each opening
    int answer_after = 0;            // ticks a reminder popup stays up before the user cancels it
    int up = 0;
    void SetUp() override {
        RemindersTest::SetUp();
        timer.on_tick = [this] {
            tick();
            Popup* p = popup();
            if (!p || p->greeting_mode()) return;
            // Opened (or opened again) by this tick: its rise has not begun.
            if (p->移动时钟.interval() == 1 && slide_offset() == 0 && slide_direction() == 0) {
                const DateTime t = sim.now();
                fired.push_back(p->标题标签.text() + "@" + time_of_day_text(t) + decimal(t.second));
                up = answer_after;
            }
            if (up-- <= 0) p->取消按钮_click();
        };
    }
    void TearDown() override {
        timer.set_interval(0);
        RemindersTest::TearDown();
    }
    // Runs the timer from `from` for `seconds`.
    void run(const DateTime& from, int seconds) {
        sim.set_now(from);
        timer.set_interval(1000);
        sim.advance(seconds * 1000LL);
        timer.set_interval(0);
    }
    void start(const std::vector<Reminder>& rows) {
        put_plan(rows);
        ASSERT_TRUE(open_table());
    }
};

TEST_F(RemindersSchedulerTest, DailyFiresInItsSecondOnlyWhenStillAhead) {
    start({{"09时00分", kDaily, kNone, "", kNone}});
    run({2026, 12, 8, 8, 59, 30}, 60);
    EXPECT_EQ(fired, (std::vector<std::string>{"每日提醒@09时00分0"}));
    EXPECT_EQ(sim.show_desktop_count, 1);

    fired.clear();
    new_scheduler();
    run({2026, 12, 8, 9, 0, 30}, 3600);
    EXPECT_TRUE(fired.empty());
    run({2026, 12, 9, 8, 59, 50}, 20);
    EXPECT_EQ(fired, (std::vector<std::string>{"每日提醒@09时00分0"}));
}

TEST_F(RemindersSchedulerTest, WeeklyMonthlyAndFixedMatchTheirDaysOnly) {
    put_ini("[plan]\r\nmin=F\r\n");
    start({{"07时00分", kWeekly, "周日", "", kNone},
           {"07时00分", kMonthly, "31日", "", kNone},
           {"2027年04月07日07时00分", kFixedDate, kNone, "", kNone},
           {"07时00分", kWeekly, "周3", "", kNone}});
    std::vector<std::string> per_day;
    // March 28 2027 is a Sunday; run each morning from then to May 31.
    DateTime day{2027, 3, 28, 6, 59, 55};
    for (int i = 0; i < 65; ++i) {
        fired.clear();
        new_scheduler();
        run(day, 10);
        for (const std::string& f : fired) per_day.push_back(decimal(day.month) + "/" + decimal(day.day) + f);
        day = day.plus_seconds(86400);
    }
    // Only the first of the records at 07:00 that matches a day fires that day.
    const std::vector<std::string> expected = {
        "3/28每周提醒@07时00分0", "3/31每月提醒@07时00分0", "4/4每周提醒@07时00分0",
        "4/7定日提醒@07时00分0", "4/11每周提醒@07时00分0", "4/14每周提醒@07时00分0",
        "4/18每周提醒@07时00分0", "4/21每周提醒@07时00分0", "4/25每周提醒@07时00分0",
        "4/28每周提醒@07时00分0", "5/2每周提醒@07时00分0", "5/5每周提醒@07时00分0",
        "5/9每周提醒@07时00分0", "5/12每周提醒@07时00分0", "5/16每周提醒@07时00分0",
        "5/19每周提醒@07时00分0", "5/23每周提醒@07时00分0", "5/26每周提醒@07时00分0",
        "5/30每周提醒@07时00分0", "5/31每月提醒@07时00分0"};
    EXPECT_EQ(per_day, expected);
    EXPECT_EQ(sim.show_desktop_count, 0);
}

TEST_F(RemindersSchedulerTest, OfTwoAtTheSameTimeOnlyTheFirstFires) {
    start({{"09时00分", kDaily, kNone, "", kNone}, {"09时00分", kMonthly, "8日", "", kNone}});
    run({2026, 12, 8, 8, 59, 50}, 600);
    EXPECT_EQ(fired, (std::vector<std::string>{"每日提醒@09时00分0"}));
}

TEST_F(RemindersSchedulerTest, RemindersMissedByASleepFireLateOrAreDropped) {
    start({{"09时00分", kDaily, kNone, "", kNone},
           {"09时05分", kWeekly, "周2", "", kNone},
           {"09时30分", kMonthly, "8日", "", kNone}});
    run({2026, 12, 8, 8, 59, 50}, 3);
    ASSERT_FALSE(pending_due_time().empty());
    // The machine slept over both due seconds and wakes within ten minutes:
    // both fire, in time order, and neither again on later passes.
    run({2026, 12, 8, 9, 9, 58}, 1500);
    EXPECT_EQ(fired, (std::vector<std::string>{"每日提醒@09时09分59", "每周提醒@09时10分1", "每月提醒@09时30分0"}));

    // The user leaves the first popup up: the second waits for it to go (it
    // runs its task after the 10 s delay) instead of taking its place and task.
    fired.clear();
    new_scheduler();
    answer_after = 20;
    run({2026, 12, 8, 8, 59, 50}, 3);
    run({2026, 12, 8, 9, 9, 58}, 1500);
    EXPECT_EQ(fired, (std::vector<std::string>{"每日提醒@09时09分59", "每周提醒@09时10分10", "每月提醒@09时30分0"}));
    answer_after = 0;

    fired.clear();
    new_scheduler();
    run({2026, 12, 8, 8, 59, 50}, 3);
    ASSERT_FALSE(pending_due_time().empty());
    // Woken more than ten minutes after both.
    run({2026, 12, 8, 9, 15, 1}, 1);
    EXPECT_TRUE(pending_due_time().empty());
    run({2026, 12, 8, 9, 15, 2}, 1800);
    EXPECT_EQ(fired, (std::vector<std::string>{"每月提醒@09时30分0"}));
}

TEST_F(RemindersSchedulerTest, HourlyChimeFollowsItsSettings) {
    auto chimes = [&](const std::string& ini, bool table) {
        new_program();
        sim.sounds.clear();
        if (!ini.empty()) put_ini(ini);
        if (table) start({});
        run({2026, 12, 8, 9, 59, 58}, 4);
        return sim.sounds;
    };
    EXPECT_EQ(chimes("[plan]\r\nsound=2\r\n", true), (std::vector<Res>{Res::Chime2Wav}));
    EXPECT_EQ(chimes("[plan]\r\nsound=3.9\r\n", false), (std::vector<Res>{Res::Chime3Wav}));
    EXPECT_EQ(chimes("[plan]\r\nsound=7\r\n", true), std::vector<Res>{});
    EXPECT_EQ(chimes("[plan]\r\nsound=1\r\ntime=F\r\n", true), std::vector<Res>{});
    sim.put_file(kIni, "");
    EXPECT_EQ(chimes("", true), (std::vector<Res>{Res::Chime0Wav}));
}

}  // namespace
}  // namespace q::reminders::testing
