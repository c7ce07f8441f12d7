#include "tests/reminders/rem_fixture.h"

namespace q::reminders::testing {
namespace {

std::vector<std::string> column(const ListView& l, int c) {
    std::vector<std::string> v;
    for (int r = 0; r < l.row_count(); ++r) v.push_back(l.cell(r, c));
    return v;
}

TEST_F(RemindersTest, StoreInsertsInTimeOrderAfterEqualTimes) {
    ListView list(nullptr, {}, list_columns());
    int picks = 0;
    list.on_pick = [&] { ++picks; };
    insert_in_time_order(list, {"09时00分", kDaily, kNone, "first", kNone});
    insert_in_time_order(list, {"08时00分", kDaily, kNone, "early", kNone});
    const int row = insert_in_time_order(list, {"09时00分", kWeekly, "周3", "second", "关机"});
    EXPECT_EQ(column(list, 3), (std::vector<std::string>{"early", "first", "second"}));
    EXPECT_EQ(row, 2);
    EXPECT_EQ(list.selection(), 2);
    EXPECT_EQ(picks, 0);
    EXPECT_EQ(list.cell(2, 2), "周3");
    EXPECT_EQ(list.cell(2, 4), "关机");
    // Only the time of day counts: a fixed date on another day at 07:00 goes first,
    // with or without leading zeros in its date.
    insert_in_time_order(list, {"2031年1月5日07时00分", kFixedDate, kNone, "fixed", kNone});
    insert_in_time_order(list, {"2001年01月05日08时30分", kFixedDate, kNone, "old", kNone});
    EXPECT_EQ(column(list, 3), (std::vector<std::string>{"fixed", "early", "old", "first", "second"}));
    EXPECT_EQ(count_label_text(list), "已添加提醒列表：现有5条提醒任务（按时间顺序排列）");
    ASSERT_EQ(list.columns().size(), 5u);
    EXPECT_EQ(list.columns()[2].heading, "周\\日");
    EXPECT_EQ(list.columns()[4].width, 200);
}

TEST_F(RemindersTest, StoreDeletesOnlyExpiredFixedDates) {
    sim.set_now({2026, 12, 8, 10, 0, 0});
    ListView list(nullptr, {}, list_columns());
    const std::vector<Reminder> rows = {
        {"2026年12月8日09时59分", kFixedDate, kNone, "past1", kNone},
        {"2026年1月2日11时00分", kFixedDate, kNone, "past2", kNone},
        {"2025年12月08日10时30分", kFixedDate, kNone, "past3", kNone},
        {"08时00分", kDaily, kNone, "daily", kNone},
        {"2026年12月8日10时01分", kFixedDate, kNone, "later", kNone},
        {"07时00分", kWeekly, "周日", "weekly", kNone},
        {"06时00分", kMonthly, "31日", "monthly", kNone},
        {"2020年12月8日09时00分", kFixedDate, kNone, "past4", kNone},
        {"garbage", kFixedDate, kNone, "unreadable", kNone},
    };
    for (const Reminder& r : rows) {
        const int n = list.append_row();
        list.set_cell(n, 0, r.time);
        list.set_cell(n, 1, r.kind);
        list.set_cell(n, 3, r.content);
    }
    EXPECT_TRUE(delete_expired(list));
    EXPECT_EQ(column(list, 3), (std::vector<std::string>{"daily", "later", "weekly", "monthly", "unreadable"}));
    EXPECT_FALSE(delete_expired(list));
}

TEST_F(RemindersTest, StoreFirstRunCreatesProtectedTable) {
    EXPECT_FALSE(open_table());
    EXPECT_FALSE(table_open());
    EXPECT_EQ(record_count(), 0);
    ListView list(nullptr, {}, list_columns());
    load_reminder_list(list);
    EXPECT_EQ(list.row_count(), 0);
    insert_in_time_order(list, {"2026年12月9日07时05分", kFixedDate, kNone, "内容" + std::string(250, 'y'), "C:\\a b\\t.exe"});
    insert_in_time_order(list, {"09时30分", kMonthly, "15日", "", ""});
    ASSERT_TRUE(save_reminder_list(list));
    EXPECT_TRUE(table_open());
    EXPECT_TRUE(table::is_protected(kPlan));
    EXPECT_FALSE(sim.file(kPlan + ".bad"));

    // The next start-up opens it with the password and loads the same rows.
    new_program();
    ASSERT_TRUE(open_table());
    EXPECT_EQ(record_count(), 2);
    ListView again(nullptr, {}, list_columns());
    load_reminder_list(again);
    ASSERT_EQ(again.row_count(), 2);
    EXPECT_EQ(again.cell(0, 0), "2026年12月9日07时05分");
    EXPECT_EQ(again.cell(0, 3), ("内容" + std::string(250, 'y')).substr(0, 200));
    EXPECT_EQ(again.cell(0, 4), "C:\\a b\\t.exe");
    EXPECT_EQ(again.cell(1, 2), "15日");
    EXPECT_EQ(again.cell(1, 4), "");

    // An empty list leaves a table with no records.
    ListView empty(nullptr, {}, list_columns());
    ASSERT_TRUE(save_reminder_list(empty));
    new_program();
    ASSERT_TRUE(open_table());
    EXPECT_EQ(record_count(), 0);
}

}  // namespace
}  // namespace q::reminders::testing
