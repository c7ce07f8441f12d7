// A window closed by a hotkey while its own pop-up menu is up: the menu's
// modal loop runs the hotkey, and the item picked afterwards must run nothing
// on the closed (and soon deleted) window.
#include <gtest/gtest.h>

#include "platform/win32/win_system.h"
#include "platform/win32/win_ui.h"
#include "tests/win32/shown_window.h"

#include <string>

#include "app/program.h"
#include "launcher/group_store.h"
#include "settings/ini.h"

namespace q::win32 {
namespace {

struct MenuScript {
    HWND bar = nullptr;
    bool menu_seen = false;
} g_script;

// Runs inside the menu's modal loop: the launcher's hotkey reaches the bar,
// then the user moves to 剪切 and presses Enter.
void CALLBACK act_under_menu(HWND, UINT, UINT_PTR id, DWORD) {
    const HWND menu = shown_window_of_class(L"#32768");
    if (!menu) return;
    KillTimer(nullptr, id);
    g_script.menu_seen = true;
    PostMessageW(g_script.bar, WM_HOTKEY, 7, 0);
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(menu, WM_KEYDOWN, key, 0);
}

TEST(LivenessWinTest, AHotkeyClosesTheLauncherUnderItsMenuAndThePickRunsNothing) {
    const std::string grp = launcher::group_file(1);
    std::string kept;
    const bool had_group = sys().files.read(grp, kept);
    const bool had_folder = sys().files.folder_exists(launcher::group_folder());
    if (!had_folder) sys().files.create_folder(launcher::group_folder());
    const std::string self = sys().process.program_dir() + "\\" + sys().process.program_file_name();
    ASSERT_TRUE(sys().files.replace(grp, "[1]\r\npath=" + self + "\r\nbtncaption=self\r\n"));

    Program program;
    program.bar().create();
    g_script = MenuScript{};
    g_script.bar = hwnd_of(program.bar());
    launcher::Launcher& launcher = program.launcher();
    launcher.state().cut_caption = "earlier";
    launcher.toggle();
    ASSERT_TRUE(launcher.loaded());
    launcher::LauncherWindow& w = *launcher.window();
    w.show_group(1);
    ASSERT_EQ(w.slot_button(1).text(), "self");

    ASSERT_NE(SetTimer(nullptr, 0, 50, &act_under_menu), 0u);
    // A right click on the shortcut, as Windows sends it: the peer, the
    // button and the handler are all on the stack under the menu.
    SendMessageW(hwnd_of(w.slot_button(1)), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    sys().loop.process_pending();

    EXPECT_TRUE(g_script.menu_seen);
    EXPECT_FALSE(launcher.loaded()) << "the hotkey closed the window";
    // 剪切 would have moved the shortcut out of its group.
    EXPECT_EQ(launcher.state().cut_caption, "earlier");
    EXPECT_EQ(launcher::slot_caption(1, 1), "self");
    EXPECT_EQ(ini::read(grp, "1", "path"), self);

    if (had_group)
        sys().files.replace(grp, kept);
    else
        sys().files.remove(grp);
    if (!had_folder) RemoveDirectoryW(widen(launcher::group_folder()).c_str());
}

}  // namespace
}  // namespace q::win32
