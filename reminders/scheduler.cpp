#include "reminders/scheduler.h"

#include "app/bar_helpers.h"
#include "platform/datetime.h"
#include "platform/system.h"
#include "reminders/reminders.h"
#include "reminders/store.h"
#include "reminders/table.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::reminders {

namespace {

struct SchedulerState {
    std::string pending;
    int scan = 0;
};

SchedulerState& state() {
    static SchedulerState s;
    return s;
}

// The leading digits of a text ("31日" gives 31); 0 when there are none.
int leading_digits(const std::string& s) {
    long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9' || v > 100000) break;
        v = v * 10 + (c - '0');
    }
    return static_cast<int>(v);
}

// Searching: one record per tick.
void examine_next_record(const DateTime& now) {
    SchedulerState& s = state();
    s.scan += 1;
    table::go_to(s.scan);
    const std::string kind = table::read_field(kKindField);
    const std::string today = date_text(now);
    bool candidate = true;
    if (kind == kDaily) {
        s.pending = today + table::read_field(kTimeField);
    } else if (kind == kWeekly) {
        const std::string day = table::read_field(kDayField);
        const char last = day.empty() ? '\0' : day.back();
        const int number = (last >= '0' && last <= '9') ? last - '0' : 0;
        if (number + 1 == now.weekday()) s.pending = today + table::read_field(kTimeField);
    } else if (kind == kMonthly) {
        if (leading_digits(table::read_field(kDayField)) == now.day) s.pending = today + table::read_field(kTimeField);
    } else if (kind == kFixedDate) {
        const std::string time = table::read_field(kTimeField);
        DateTime when;
        if (parse_date_time(time, when) && when.year > 0 && when.date() == now.date()) s.pending = time;
    } else {
        candidate = false;
    }
    if (candidate && !s.pending.empty()) {
        DateTime due;
        if (!parse_date_time(s.pending, due) || due < now) s.pending.clear();
    }
}

// Waiting: fire in the due second, or late when no tick fell into it.
void check_pending(const DateTime& now) {
    SchedulerState& s = state();
    DateTime due;
    if (!parse_date_time(s.pending, due)) {
        s.pending.clear();
        return;
    }
    const std::int64_t late = now.serial() - due.serial();
    if (late < 0) return;
    if (late > kLateFireSeconds) {
        // Too old to be useful now: resume the search with the next record.
        s.pending.clear();
        return;
    }
    if (settings::minimise_first()) show_desktop();
    table::go_to(s.scan);
    open_popup();
}

}  // namespace

const std::string& pending_due_time() { return state().pending; }
void clear_pending_due_time() { state().pending.clear(); }
int scan_position() { return state().scan; }

void reset_scheduler() {
    state().pending.clear();
    state().scan = 0;
}

void scheduler_tick() {
    SchedulerState& s = state();
    if (table::make_current(plan_path())) {
        const DateTime now = sys().clock.now();
        if (s.pending.empty())
            examine_next_record(now);
        else
            check_pending(now);
        if (table::end_of_table()) s.scan = 0;
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
