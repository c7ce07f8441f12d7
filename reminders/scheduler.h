// The once-a-second reminder scheduler and the hourly chime.
#pragma once

#include <functional>
#include <string>

#include "platform/datetime.h"
#include "reminders/table.h"

namespace q::reminders {

// A pending reminder whose second no tick fell into still fires on the first
// later tick up to this many seconds after it; later than that it is dropped.
constexpr int kLateFireSeconds = 600;

class Scheduler {
public:
    // The due moment being waited for ("" while searching), as date-time text.
    const std::string& pending_due_time() const { return pending_; }
    // Clears the pending due time only (the popup, when it opens for a reminder).
    void clear_pending_due_time() { pending_.clear(); }
    // 1-based number of the record examined last.
    int scan_position() const { return scan_; }

    // The reminder timer's tick over the reminder table: at most three
    // settings and one record are read. fire runs when a reminder falls due,
    // with the table on its record.
    void tick(table::OpenTable& plan, const std::function<void()>& fire);

private:
    void examine_next_record(table::OpenTable& plan, const DateTime& now);
    void check_pending(table::OpenTable& plan, const DateTime& now, const std::function<void()>& fire);

    std::string pending_;
    int scan_ = 0;
};

}  // namespace q::reminders
