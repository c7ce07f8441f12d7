// The program's windows from the keyboard, on the real backend: Tab in
// reading order, Ctrl+Tab between pages, Enter and Esc, the focus coming
// back after a box, and a minimised window coming forward when loaded again.
#include "platform/win32/win_system.h"
#include "platform/win32/win_ui.h"

#include "app/program.h"
#include "tests/contract/contract_env.h"

namespace q {
namespace {

class KeyboardWinTest : public contract::ContractTest {
protected:
    // Our own loop, which gives a window its dialog keys.
    static void run_loop() {
        for (int i = 0; i < 5; ++i) sys().loop.process_pending();
    }
    // A key pressed in the focused control, with Ctrl and Shift held or not.
    static void press(UINT vk, bool ctrl = false, bool shift = false) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = ctrl ? 0x80 : 0;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        HWND f = GetFocus();
        PostMessageW(f, WM_KEYDOWN, vk, 1);
        PostMessageW(f, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
        run_loop();
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
    }
    static HWND hwnd(const Control& c) { return win32::hwnd_of(c); }
};

TEST_F(KeyboardWinTest, TabWalksTheSettingsPagesInReadingOrderEnterAddsAndEscCloses) {
    Program program;
    SettingsWindow& s = program.open_settings();
    run_loop();
    // The shown page's first control has the focus.
    EXPECT_EQ(GetFocus(), hwnd(s.程序页.启动选择框));
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), hwnd(s.程序页.媒体选项.壁纸选择框));
    press(VK_TAB, false, true);
    EXPECT_EQ(GetFocus(), hwnd(s.程序页.启动选择框));
    // Round the page backwards: the last control is the hotkey group's, bottom right.
    press(VK_TAB, false, true);
    EXPECT_NE(GetFocus(), hwnd(s.程序页.启动选择框));
    EXPECT_TRUE(IsChild(hwnd(s.选择夹.page(0)), GetFocus()));

    // Ctrl+Tab twice: the reminders page, focus on its first control; Ctrl+Shift+Tab back once.
    press(VK_TAB, true);
    press(VK_TAB, true);
    EXPECT_EQ(s.选择夹.selection(), SettingsWindow::kRemindersTab);
    EXPECT_EQ(GetFocus(), hwnd(s.提醒页.配色组合框));
    press(VK_TAB, true, true);
    EXPECT_EQ(s.选择夹.selection(), SettingsWindow::kMediaTab);
    press(VK_TAB, true);
    ASSERT_EQ(s.选择夹.selection(), SettingsWindow::kRemindersTab);

    // Enter in a time box runs the add button, which asks for the time first.
    SetFocus(hwnd(s.提醒页.小时编辑框));
    answer_next_box(Answer::Ok);
    press(VK_RETURN);
    EXPECT_EQ(last_box().text, "请设定提醒的具体时间！");
    ASSERT_NE(program.settings_window(), nullptr);

    // Esc closes the window as its close button does.
    SetFocus(hwnd(s.提醒页.小时编辑框));
    press(VK_ESCAPE);
    EXPECT_EQ(program.settings_window(), nullptr);
}

TEST_F(KeyboardWinTest, FocusComesBackAfterABoxAndAMinimisedWindowComesForward) {
    Program program;
    SettingsWindow& s = program.open_settings();
    run_loop();
    HWND box = hwnd(s.程序页.透明度编辑框);
    SetFocus(box);
    answer_next_box(Answer::Ok);
    sys().dialogs.message_box(&s, "Quillet", "Quillet", Icon::Information, Buttons::Ok);
    run_loop();
    EXPECT_EQ(GetFocus(), box);

    // Minimised, then loaded again (bar button, hotkey or tray): back on the screen, focus where it was.
    HWND w = win32::hwnd_of(s);
    ShowWindow(w, SW_MINIMIZE);
    run_loop();
    ASSERT_TRUE(IsIconic(w));
    EXPECT_EQ(&program.open_settings(), &s);
    run_loop();
    EXPECT_FALSE(IsIconic(w));
    EXPECT_EQ(GetActiveWindow(), w);
    EXPECT_EQ(GetFocus(), box);

    // The about window's text hands the focus to the close button; Esc closes it too.
    AboutWindow& a = program.open_about();
    run_loop();
    EXPECT_EQ(GetFocus(), hwnd(a.关闭按钮));
    // Tab reaches the links, Enter and Space follow them.
    int followed = 0;
    a.超级链接框.on_click = a.超级链接框1.on_click = [&] { ++followed; };
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), hwnd(a.超级链接框));
    press(VK_RETURN);
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), hwnd(a.超级链接框1));
    press(VK_SPACE);
    EXPECT_EQ(followed, 2);
    EXPECT_NE(program.about_window(), nullptr) << "Enter on a link is not the window's OK";
    press(VK_ESCAPE);
    EXPECT_EQ(program.about_window(), nullptr);
}

}  // namespace
}  // namespace q
