// A fresh simulated system and a fresh program for each test of the running
// program.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "app/program.h"
#include "platform/sim/sim_system.h"

namespace q::testing_app {

class AppFixture : public ::testing::Test {
protected:
    sim::SimSystem sim;
    // After the sim, so it goes first.
    std::optional<Program> program_{std::in_place};

    Program& program() { return *program_; }
    // A new process on the same machine: files and registry stay.
    void new_program() { program_.emplace(); }

    MainBar& main_bar() { return program().bar(); }
    hotkeys::Hotkeys& hotkeys() { return program().hotkeys(); }
    note::Note& note() { return program().note(); }
    reminders::Reminders& reminders() { return program().reminders(); }
    void run_main_bar_function(int n) { program().run_main_bar_function(n); }
    void exit_procedure() { program().exit_procedure(); }

    std::string path(const std::string& name) const { return sim.dir + "\\" + name; }
    void put(const std::string& name, const std::string& text) { sim.put_file(path(name), text); }

    int count_sound(Res r) const { return static_cast<int>(std::count(sim.sounds.begin(), sim.sounds.end(), r)); }

    // Starts the program; in the sim the dispatch loop returns once nothing is queued.
    void start() { program().main(); }
};

}  // namespace q::testing_app
