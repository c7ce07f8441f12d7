// Shared set-up of the reminder tests: a fresh sim, fresh reminder state and
// helpers to put reminders into plan.edb.
#pragma once

#include <gtest/gtest.h>

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
    void SetUp() override { reset_state(); }
    void TearDown() override {
        reset_state();
        reset_program_state();
    }
    void put_plan(const std::vector<Reminder>& rows) { sim.put_file(kPlan, plan_bytes(rows)); }
    void put_ini(const std::string& text) { sim.put_file(kIni, text); }
    int count(Res r) const {
        int n = 0;
        for (Res s : sim.sounds) n += s == r;
        return n;
    }
};

}  // namespace q::reminders::testing
