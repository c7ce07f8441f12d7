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
    scheduler_.tick(table_, [this] { open_popup(); }, p && !p->greeting_mode());
}

}  // namespace q::reminders
