// The XP-look switch against Windows' own theming: neither position of our
// switch may take the system's visual style away from its controls.
#include <gtest/gtest.h>

#include "platform/win32/win_internal.h"
#include "platform/win32/win_ui.h"

#include <uxtheme.h>

namespace q::win32 {
namespace {

struct LookForm : Window {
    LookForm() : Window(Rect{100, 80, 300, 200}, "外观测试", Style{}) {}
    Button 确定按钮{this, Rect{10, 10, 90, 24}, "确定"};
    CheckBox 开机选择框{this, Rect{10, 40, 160, 20}, "开机自动运行"};
    GroupBox 分组框{this, Rect{10, 70, 200, 80}, "分组"};
};

HWND peer_hwnd(const Control& c) {
    auto* p = dynamic_cast<uidetail::ControlPeer*>(c.peer());
    return p ? p->hwnd() : nullptr;
}

// Windows' theme reaches a control unless someone opted it out.
bool themed(HWND h, const wchar_t* cls) {
    HTHEME t = OpenThemeData(h, cls);
    if (t) CloseThemeData(t);
    return t != nullptr;
}

bool frame_themed(HWND group) {
    HWND frame = FindWindowExW(group, nullptr, L"BUTTON", nullptr);
    return frame && themed(frame, L"BUTTON");
}

TEST(WinLook, BothPositionsLeaveWindowsThemingAlone) {
    ASSERT_TRUE(IsThemeActive()) << "the prefix needs its visual style on";
    for (bool on : {false, true}) {
        set_xp_look(on);
        LookForm f;
        f.create();
        EXPECT_TRUE(themed(peer_hwnd(f.确定按钮), L"BUTTON")) << "created with the look " << on;
        EXPECT_TRUE(themed(peer_hwnd(f.开机选择框), L"BUTTON")) << on;
        EXPECT_TRUE(frame_themed(peer_hwnd(f.分组框))) << on;
        // Switched while the controls live: still the system's.
        set_xp_look(!on);
        EXPECT_TRUE(themed(peer_hwnd(f.确定按钮), L"BUTTON")) << "switched to " << !on;
        EXPECT_TRUE(frame_themed(peer_hwnd(f.分组框))) << !on;
        f.destroy();
    }
    set_xp_look(false);
}

}  // namespace
}  // namespace q::win32
