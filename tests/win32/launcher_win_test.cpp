// The launcher's shortcut buttons under Windows: the shell's small icons are
// loaded as a group is shown and all freed again when the window closes.
#include <gtest/gtest.h>

#include "launcher/group_store.h"
#include "launcher/launcher.h"
#include "platform/win32/win_system.h"
#include "platform/win32/win_ui.h"
#include "platform/window_slot.h"
#include "settings/ini.h"

#include <cstdio>
#include <string>

namespace q::win32 {
namespace {

void pump() { sys().loop.process_pending(); }

TEST(LauncherWinTest, IconsComeWithAGroupAndGoWithTheWindow) {
    FileSystem& fs = sys().files;
    const std::string folder = launcher::group_folder();
    if (!fs.folder_exists(folder)) {
        ASSERT_TRUE(fs.create_folder(folder));
    }
    const std::string grp1 = launcher::group_file(1);
    ASSERT_FALSE(fs.exists(grp1)) << "a group 1 of someone else's";
    const std::string self = sys().process.program_dir() + "\\" + sys().process.program_file_name();
    const std::string text = sys().process.program_dir() + "\\launcher_icon.txt";
    ASSERT_TRUE(fs.replace(text, "x"));
    // A program, a document, a folder, a drive and a target that is gone.
    const std::string targets[] = {self, text, sys().process.program_dir(), "C:\\", "C:\\gone\\nothing.exe"};
    for (int s = 0; s < 5; ++s) ASSERT_FALSE(launcher::store_path(1, s, targets[s]).empty());

    launcher::Launcher launcher;
    launcher.state().current_group = 1;
    // Built and filled as the toggle does, but never mapped: a hidden window
    // goes without waiting on the X server, and its icons load all the same.
    WindowSlot<launcher::LauncherWindow> slot;
    auto open_and_close = [&] {
        slot.open(launcher).window_created();
        pump();
        slot.close();
        pump();
    };
    open_and_close();  // the shell's own caches fill on the first use
    const DWORD gdi_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user_before = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    const int icons_before = uidetail::live_file_icons();

    launcher.toggle();
    pump();
    const int icons_open = uidetail::live_file_icons();
    // Another group and back: the icons are replaced, not added.
    launcher.window()->下翻按钮.user_click();
    launcher.window()->前翻按钮.user_click();
    pump();
    EXPECT_EQ(uidetail::live_file_icons(), icons_open);
    launcher.toggle();
    pump();
    for (int i = 1; i < 200; ++i) open_and_close();

    const DWORD gdi_after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD user_after = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    std::printf("200 openings: GDI objects %lu -> %lu, USER objects %lu -> %lu, icons held open %d, after %d\n",
                static_cast<unsigned long>(gdi_before), static_cast<unsigned long>(gdi_after),
                static_cast<unsigned long>(user_before), static_cast<unsigned long>(user_after), icons_open,
                uidetail::live_file_icons());
    EXPECT_EQ(icons_open - icons_before, 5);  // every target has one, the gone one a plain icon
    EXPECT_EQ(uidetail::live_file_icons(), icons_before);
    EXPECT_LE(gdi_after, gdi_before + 2);
    EXPECT_LE(user_after, user_before + 2);

    fs.remove(grp1);
    fs.remove(text);
}

}  // namespace
}  // namespace q::win32
