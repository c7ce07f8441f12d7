// The reminder store: plan.edb's five fields, their encodings and order, and
// the operations that move rows between the table and a reminder list view.
#pragma once

#include <string>
#include <vector>

#include "platform/datetime.h"
#include "platform/ui.h"
#include "reminders/table.h"

namespace q::reminders {

// Field names, also the order of the list columns 0..4.
extern const char* const kTimeField;     // 时间
extern const char* const kKindField;     // 类型
extern const char* const kDayField;      // 周日
extern const char* const kContentField;  // 内容
extern const char* const kRunField;      // 运行

// Kinds and the "none" value of 周日 / 运行.
extern const char* const kDaily;
extern const char* const kWeekly;
extern const char* const kMonthly;
extern const char* const kFixedDate;
extern const char* const kNone;

// The fixed password (CP936) and the table's path.
extern const char* const kPassword;
std::string plan_path();
std::vector<table::Field> plan_fields();

// Columns of the reminder list view.
std::vector<ListView::Column> list_columns();

// One reminder, the five field texts.
struct Reminder {
    std::string time, kind, day, content, run;
};

// The record the table is on.
Reminder read_reminder(const table::OpenTable& plan);

// The time of day of a 时间 text (the whole text, or the time of a date + time).
// False when none can be read.
bool time_of_day(const std::string& time_text, int& hour, int& minute);
// Today combined with the row's time of day (today at 00:00:00 when unreadable).
DateTime sort_key(const std::string& time_text, const DateTime& today);

// Table <-> list.
void load_reminder_list(table::OpenTable& plan, ListView& list);
// Rewrites the whole table from the list; creates and protects plan.edb when
// the table cannot be made current. False when nothing could be saved.
bool save_reminder_list(table::OpenTable& plan, const ListView& list);
// One row of the list as a reminder, and back.
std::vector<Reminder> reminder_rows(const ListView& list);
void set_reminder_row(ListView& list, int row, const Reminder& r);
// Inserts after every row whose key is not later; selects the new row
// (raising nothing) and scrolls it into view. Returns its index.
int insert_in_time_order(ListView& list, const Reminder& r);
// Removes every fixed-date row whose moment has passed; true when any went.
bool delete_expired(ListView& list);
std::string count_label_text(const ListView& list);

}  // namespace q::reminders
