#include "reminders/scheduler.h"

#include "platform/datetime.h"
#include "platform/system.h"
#include "reminders/store.h"
#include "reminders/table.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::reminders {

namespace {

// The leading digits of a text ("31日" gives 31); 0 when there are none.
int leading_digits(const std::string& s) {
    long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9' || v > 100000) break;
        v = v * 10 + (c - '0');
    }
    return static_cast<int>(v);
}

}  // namespace

// Searching: one record per tick.
void Scheduler::examine_next_record(table::OpenTable& plan, const DateTime& now) {
    scan_ += 1;
    plan.go_to(scan_);
    const std::string kind = plan.read_field(kKindField);
    const std::string today = date_text(now);
    bool candidate = true;
    if (kind == kDaily) {
        pending_ = today + plan.read_field(kTimeField);
    } else if (kind == kWeekly) {
        const std::string day = plan.read_field(kDayField);
        const char last = day.empty() ? '\0' : day.back();
        const int number = (last >= '0' && last <= '9') ? last - '0' : 0;
        if (number + 1 == now.weekday()) pending_ = today + plan.read_field(kTimeField);
    } else if (kind == kMonthly) {
        if (leading_digits(plan.read_field(kDayField)) == now.day) pending_ = today + plan.read_field(kTimeField);
    } else if (kind == kFixedDate) {
        const std::string time = plan.read_field(kTimeField);
        DateTime when;
        if (parse_date_time(time, when) && when.year > 0 && when.date() == now.date()) pending_ = time;
    } else {
        candidate = false;
    }
    if (candidate && !pending_.empty()) {
        DateTime due;
        // A moment already past is skipped, unless a short sleep missed it.
        if (!parse_date_time(pending_, due) || (due < now && !missed(due, now))) pending_.clear();
    }
}

bool Scheduler::missed(const DateTime& due, const DateTime& now) const {
    return due.serial() > seen_until_ && now.serial() - due.serial() <= kLateFireSeconds;
}

// Waiting: fire in the due second, or late when no tick fell into it.
void Scheduler::check_pending(table::OpenTable& plan, const DateTime& now, const Fire& fire, bool reminder_showing) {
    DateTime due;
    if (!parse_date_time(pending_, due)) {
        pending_.clear();
        return;
    }
    const std::int64_t late = now.serial() - due.serial();
    if (late < 0) return;
    if (late > kLateFireSeconds) {
        // Too old to be useful now: resume the search with the next record.
        pending_.clear();
        return;
    }
    if (late > 0 && reminder_showing) return;
    seen_until_ = due.serial();
    if (settings::minimise_first()) sys().desktop.show_desktop();
    plan.go_to(scan_);
    const Reminder due_reminder = read_reminder(plan);
    pending_.clear();
    fire(due_reminder);
}

void Scheduler::tick(table::OpenTable& plan, const Fire& fire, bool reminder_showing) {
    if (plan.make_current(plan_path())) {
        const DateTime now = sys().clock.now();
        if (seen_until_ == 0) seen_until_ = now.serial();
        if (pending_.empty())
            examine_next_record(plan, now);
        else
            check_pending(plan, now, fire, reminder_showing);
        if (plan.end_of_table()) scan_ = 0;
    }
    if (settings::chime()) {
        const DateTime now = sys().clock.now();
        if (now.minute == 0 && now.second == 0) {
            switch (settings::chime_sound()) {
                case 0: sys().desktop.play_sound(Res::Chime0Wav); break;
                case 1: sys().desktop.play_sound(Res::Chime1Wav); break;
                case 2: sys().desktop.play_sound(Res::Chime2Wav); break;
                case 3: sys().desktop.play_sound(Res::Chime3Wav); break;
                default: break;
            }
        }
    }
}

}  // namespace q::reminders
