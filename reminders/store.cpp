#include "reminders/store.h"

#include "platform/system.h"
#include "platform/text.h"
#include "settings/settings_file.h"

namespace q::reminders {

const char* const kTimeField = "时间";
const char* const kKindField = "类型";
const char* const kDayField = "周日";
const char* const kContentField = "内容";
const char* const kRunField = "运行";

const char* const kDaily = "每日提醒";
const char* const kWeekly = "每周提醒";
const char* const kMonthly = "每月提醒";
const char* const kFixedDate = "定日提醒";
const char* const kNone = "无";

const char* const kPassword = "harbour5817灯塔站";

namespace {
const char* const kFieldNames[5] = {kTimeField, kKindField, kDayField, kContentField, kRunField};
}

std::string plan_path() { return program_file("plan.edb"); }

std::vector<table::Field> plan_fields() {
    return {{kTimeField, "text", 22}, {kKindField, "text", 8}, {kDayField, "text", 6},
            {kContentField, "text", 200}, {kRunField, "text", 512}};
}

std::vector<ListView::Column> list_columns() {
    return {{"时间", 100}, {"类型", 100}, {"周\\日", 50}, {"内容", 200}, {"运行", 200}};
}

Reminder read_reminder(const table::OpenTable& plan) {
    return {plan.read_field(kTimeField), plan.read_field(kKindField), plan.read_field(kDayField),
            plan.read_field(kContentField), plan.read_field(kRunField)};
}

bool time_of_day(const std::string& time_text, int& hour, int& minute) {
    DateTime t;
    // The whole text first, so an unpadded time after a date still reads right;
    // then the last 8 bytes, where the time of a date + time stands.
    bool ok = parse_date_time(time_text, t);
    if (!ok && time_text.size() > 8) ok = parse_date_time(time_text.substr(time_text.size() - 8), t);
    if (!ok) return false;
    hour = t.hour;
    minute = t.minute;
    return true;
}

DateTime sort_key(const std::string& time_text, const DateTime& today) {
    DateTime key = today.date();
    int hour = 0, minute = 0;
    if (time_of_day(time_text, hour, minute)) {
        key.hour = hour;
        key.minute = minute;
    }
    return key;
}

void load_reminder_list(table::OpenTable& plan, ListView& list) {
    if (!plan.make_current(plan_path())) return;
    const int count = plan.record_count();
    for (int n = 1; n <= count; ++n) {
        plan.go_to(n);
        const int row = list.append_row();
        list.set_cell(row, 0, plan.read_field(kTimeField));
        for (int c = 1; c < 5; ++c) list.set_cell(row, c, plan.read_field(kFieldNames[c]));
    }
}

bool save_reminder_list(table::OpenTable& plan, const ListView& list) {
    const std::string path = plan_path();
    if (!plan.make_current(path)) {
        if (!table::create(path, plan_fields())) return false;
        if (table::is_protected(path)) {
            if (!plan.open(path, kPassword)) return false;
        } else {
            if (!plan.open(path, "")) return false;
            plan.set_password(kPassword);
        }
    }
    plan.remove_all_records();
    for (int row = 0; row < list.row_count(); ++row) {
        plan.append_record();
        for (int c = 0; c < 5; ++c) plan.write_field(kFieldNames[c], list.cell(row, c));
    }
    return plan.save();
}

void set_reminder_row(ListView& list, int row, const Reminder& r) {
    list.set_cell(row, 0, r.time);
    list.set_cell(row, 1, r.kind);
    list.set_cell(row, 2, r.day);
    list.set_cell(row, 3, r.content);
    list.set_cell(row, 4, r.run);
}

std::vector<Reminder> reminder_rows(const ListView& list) {
    std::vector<Reminder> rows;
    for (int row = 0; row < list.row_count(); ++row)
        rows.push_back({list.cell(row, 0), list.cell(row, 1), list.cell(row, 2), list.cell(row, 3), list.cell(row, 4)});
    return rows;
}

int insert_in_time_order(ListView& list, const Reminder& r) {
    int pos = 0;
    const int count = list.row_count();
    if (count > 0) {
        const DateTime today = sys().clock.now();
        const DateTime key = sort_key(r.time, today);
        for (int i = 1; i <= count; ++i) {
            if (key >= sort_key(list.cell(count - i, 0), today)) {
                pos = count - i + 1;
                break;
            }
        }
    }
    const int row = list.insert_row(pos);
    set_reminder_row(list, row, r);
    list.select(row);
    list.scroll_into_view(row);
    return row;
}

bool delete_expired(ListView& list) {
    bool deleted = false;
    const DateTime now = sys().clock.now();
    for (int row = 0; row < list.row_count();) {
        DateTime when;
        // A text without a real date never counts as past.
        if (list.cell(row, 1) == kFixedDate && parse_date_time(list.cell(row, 0), when) && when.year > 0 &&
            when < now) {
            list.remove_row(row);
            deleted = true;
            row = 0;
            continue;
        }
        ++row;
    }
    return deleted;
}

std::string count_label_text(const ListView& list) {
    return "已添加提醒列表：现有" + decimal(list.row_count()) + "条提醒任务（按时间顺序排列）";
}

}  // namespace q::reminders
