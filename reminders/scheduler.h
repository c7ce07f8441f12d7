// The once-a-second reminder scheduler and the hourly chime.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/datetime.h"
#include "reminders/store.h"
#include "reminders/table.h"

namespace q::reminders {

// A reminder whose second no tick fell into (the machine slept) still fires
// up to this many seconds late: the pending one on the first later tick, and
// the search still takes one due this long ago; later than that it is dropped.
constexpr int kLateFireSeconds = 600;

class Scheduler {
public:
    // The due moment being waited for ("" while searching), as date-time text.
    const std::string& pending_due_time() const { return pending_; }
    // 1-based number of the record examined last.
    int scan_position() const { return scan_; }

    // The reminder timer's tick over the reminder table: at most three
    // settings and one record are read. fire runs when a reminder falls due,
    // with that reminder; the search then goes on. While a reminder is on
    // screen (reminder_showing), a late one waits for it to go, so that each
    // has its popup and its task.
    using Fire = std::function<void(const Reminder&)>;
    void tick(table::OpenTable& plan, const Fire& fire, bool reminder_showing = false);

private:
    void examine_next_record(table::OpenTable& plan, const DateTime& now);
    void check_pending(table::OpenTable& plan, const DateTime& now, const Fire& fire, bool reminder_showing);
    // A past moment that had no turn yet and lies within the late window.
    bool missed(const DateTime& due, const DateTime& now) const;

    std::string pending_;
    int scan_ = 0;
    // Serial of the moment up to which every reminder has had its turn: the
    // first tick's, then the due moment of each one fired. A late reminder
    // must lie after it, so none fires twice.
    std::int64_t seen_until_ = 0;
};

}  // namespace q::reminders
