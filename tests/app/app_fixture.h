// A fresh simulated system and fresh program state for each test of the
// running program.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/main_bar.h"
#include "app/program.h"
#include "note/note.h"
#include "platform/sim/sim_system.h"
#include "reminders/reminders.h"

namespace q::testing_app {

class AppFixture : public ::testing::Test {
protected:
    sim::SimSystem sim;

    void TearDown() override {
        note::reset();
        reminders::reset_state();
        reset_program_state();
    }

    std::string path(const std::string& name) const { return sim.dir + "\\" + name; }
    void put(const std::string& name, const std::string& text) { sim.put_file(path(name), text); }

    int count_sound(Res r) const { return static_cast<int>(std::count(sim.sounds.begin(), sim.sounds.end(), r)); }

    // Starts the program; in the sim the dispatch loop returns once nothing is queued.
    void start() { program_main(); }
};

}  // namespace q::testing_app
