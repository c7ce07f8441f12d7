// The contract fixture on the simulated backend: a fresh SimSystem per test.
#include <memory>

#include "platform/sim/sim_system.h"
#include "tests/contract/contract_env.h"

namespace q::contract {

namespace {
std::unique_ptr<sim::SimSystem> g_sim;
}

void ContractTest::SetUp() {
    g_sim = std::make_unique<sim::SimSystem>();
    folder_ = "C:\\ct\\case";
    g_sim->make_folder(folder_);
}

void ContractTest::TearDown() { g_sim.reset(); }

void ContractTest::pump(int ms) { g_sim->advance(ms); }

void ContractTest::answer_next_box(Answer a) { g_sim->answers.push_back(a); }

std::string ContractTest::last_box_text() const {
    return g_sim->messages.empty() ? std::string() : g_sim->messages.back().text;
}

std::string ContractTest::last_box_title() const {
    return g_sim->messages.empty() ? std::string() : g_sim->messages.back().title;
}

bool ContractTest::simulated() { return true; }

}  // namespace q::contract
