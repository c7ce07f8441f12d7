// The reminder subsystem as the rest of the program sees it: the reminder
// table held open for the life of the process, the popup and the scheduler tick.
#pragma once

namespace q::reminders {

// Opens program directory + "\plan.edb" with the store's password.
bool open_table();
// Records of the open table (0 when it is not open).
int record_count();
bool table_open();
// Writes any unsaved change and closes the table.
void close_table();
// Loads the reminder popup: reminder mode when a reminder is pending, greeting otherwise.
void open_popup();
// Handler of the main bar's reminder timer (once a second).
void tick();

// Forgets all state of the subsystem (table, scheduler, popup) without touching
// any file; for a fresh start in tests.
void reset_state();

}  // namespace q::reminders
