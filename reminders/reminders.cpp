#include "reminders/reminders.h"

#include "reminders/store.h"

namespace q::reminders {

Reminders::Reminders(Hooks hooks) : hooks_(std::move(hooks)) {}

bool Reminders::open_table() { return table_.open(plan_path(), kPassword); }

int Reminders::record_count() const { return table_.make_current(plan_path()) ? table_.record_count() : 0; }

bool Reminders::table_open() const { return table_.make_current(plan_path()); }

void Reminders::close_table() { table_.close(); }

void Reminders::tick() {
    const Popup* p = popup();
    scheduler_.tick(table_, [this](const Reminder& due) { open_popup(due); }, p && !p->greeting_mode());
}

void Reminders::hide_bar() {
    if (hooks_.hide_bar) hooks_.hide_bar();
}

void Reminders::end_windows(EndSession how) {
    close_table();
    if (hooks_.end_windows) hooks_.end_windows(how);
}

void Reminders::close_window(const Popup& p) {
    if (popup() == &p) popup_.close();
}

}  // namespace q::reminders
