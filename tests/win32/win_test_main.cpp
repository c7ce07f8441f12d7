// The Windows test runner: the real backends, then every test.
#include <gtest/gtest.h>

#include "platform/win32/win_system.h"

int main(int argc, char** argv) {
    q::win32::start_backends();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
