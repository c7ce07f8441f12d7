// Shared set-up of the reminder tests: a fresh sim, a fresh program around
// the reminder subsystem and helpers to put reminders into plan.edb.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "app/program.h"
#include "platform/sim/sim_system.h"
#include "platform/text.h"
#include "reminders/reminders.h"
#include "reminders/store.h"
#include "reminders/table.h"

namespace q::reminders::testing {

inline const std::string kPlan = "C:\\Quillet\\plan.edb";
inline const std::string kIni = "C:\\Quillet\\set.ini";

// A protected plan.edb holding these reminders, made by the pure encoder.
inline std::string plan_bytes(const std::vector<Reminder>& rows) {
    table::Table t;
    t.fields = plan_fields();
    table::protect(t, {1, 2, 3}, kPassword);
    for (const Reminder& r : rows) {
        table::append_record(t);
        const std::size_t n = t.records.size() - 1;
        table::set_field(t, n, 0, r.time);
        table::set_field(t, n, 1, r.kind);
        table::set_field(t, n, 2, r.day);
        table::set_field(t, n, 3, r.content);
        table::set_field(t, n, 4, r.run);
    }
    return table::encode(t);
}

class RemindersTest : public ::testing::Test {
protected:
    sim::SimSystem sim;
    // After the sim, so it goes first. A whole program: the popup hides its
    // bar and a task ends it.
    std::optional<Program> program_{std::in_place};

    Reminders& rem() { return program_->reminders(); }
    // A new process on the same machine: the files stay.
    void new_program() { program_.emplace(); }

    // The subsystem as the tests reach it.
    bool open_table() { return rem().open_table(); }
    int record_count() { return rem().record_count(); }
    bool table_open() { return rem().table_open(); }
    void close_table() { rem().close_table(); }
    void open_popup() { rem().open_popup(); }
    void tick() { rem().tick(); }
    Popup* popup() { return rem().popup(); }
    int slide_offset() { return rem().popup_state().slide_offset; }
    int slide_direction() { return rem().popup_state().slide_direction; }
    const std::string& current_action() { return rem().popup_state().current_action; }
    const std::string& pending_due_time() { return rem().scheduler().pending_due_time(); }
    // Back to searching from the first record, as after a start.
    void new_scheduler() { rem().scheduler() = Scheduler{}; }
    void load_reminder_list(ListView& list) { reminders::load_reminder_list(rem().table(), list); }
    bool save_reminder_list(const ListView& list) { return reminders::save_reminder_list(rem().table(), list); }

    void put_plan(const std::vector<Reminder>& rows) { sim.put_file(kPlan, plan_bytes(rows)); }
    void put_ini(const std::string& text) { sim.put_file(kIni, text); }
    int count(Res r) const {
        int n = 0;
        for (Res s : sim.sounds) n += s == r;
        return n;
    }
};

}  // namespace q::reminders::testing
