// The contract tests run the same assertions against the sim (natively) and
// against the win32 backend (under Wine). Each backend supplies this fixture:
// tests/platform/sim_contract_env.cpp and tests/win32/win_contract_env.cpp.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/system.h"
#include "platform/ui.h"

namespace q::contract {

class ContractTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A fresh, empty, existing folder for this test, without a trailing "\".
    std::string folder() const { return folder_; }
    // Runs timers and pending messages for about ms milliseconds of (virtual or real) time.
    void pump(int ms);
    // Answers the next message box: the sim takes it from its script; win32
    // presses the button in the box that appears and reads its texts.
    void answer_next_box(Answer a);
    // Texts of the last message box shown (after it was answered).
    std::string last_box_text() const;
    std::string last_box_title() const;
    // True on the simulated backend (for the few checks that only one side can make).
    static bool simulated();

private:
    std::string folder_;
};

}  // namespace q::contract
