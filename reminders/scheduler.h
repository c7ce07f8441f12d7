// The once-a-second reminder scheduler and the hourly chime.
#pragma once

#include <string>

namespace q::reminders {

// The due moment being waited for ("" while searching), as date-time text.
const std::string& pending_due_time();
// Clears the pending due time only (the popup, when it opens for a reminder).
void clear_pending_due_time();
// 1-based number of the record examined last.
int scan_position();
// Empties the pending due time and sets the scan position to 0.
void reset_scheduler();

// A pending reminder whose second no tick fell into still fires on the first
// later tick up to this many seconds after it; later than that it is dropped.
constexpr int kLateFireSeconds = 600;

// The reminder timer's tick: at most three settings and one record are read.
void scheduler_tick();

}  // namespace q::reminders
