// The Windows test runner: the real backends, then every test.
#include "platform/win32/win_system.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

int main(int argc, char** argv) {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES | ICC_DATE_CLASSES};
    InitCommonControlsEx(&icc);

    static q::win32::Win32System system;
    q::install_system(&system.system());
    q::install_ui_backend(&q::win32::ui());

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
