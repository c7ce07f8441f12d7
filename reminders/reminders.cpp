#include "reminders/reminders.h"

#include "reminders/popup.h"
#include "reminders/scheduler.h"
#include "reminders/store.h"
#include "reminders/table.h"

namespace q::reminders {

bool open_table() { return table::open(plan_path(), kPassword); }

int record_count() { return table::make_current(plan_path()) ? table::record_count() : 0; }

bool table_open() { return table::make_current(plan_path()); }

void close_table() { table::close(); }

void tick() { scheduler_tick(); }

void reset_state() {
    reset_popup();
    reset_scheduler();
    table::reset();
}

}  // namespace q::reminders
