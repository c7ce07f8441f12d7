// The real backend at the screen's DPI: the program lays out in 96 DPI
// pixels and the backend scales every window and control. tools/test.sh runs
// this once more in a prefix at 144 DPI with QUILLET_TEST_DPI=144.
#include <cstdlib>

#include "platform/win32/win_system.h"
#include "platform/win32/win_ui.h"

#include "app/program.h"
#include "tests/contract/contract_env.h"

namespace q {
namespace {

class DpiWinTest : public contract::ContractTest {};

RECT rect_in_parent(HWND h) {
    RECT rc{};
    GetWindowRect(h, &rc);
    MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

TEST_F(DpiWinTest, SettingsWindowAndItsControlsAreScaledByTheScreensDpi) {
    const char* want = std::getenv("QUILLET_TEST_DPI");
    const int dpi = want ? std::atoi(want) : 96;
    HDC dc = GetDC(nullptr);
    ASSERT_EQ(GetDeviceCaps(dc, LOGPIXELSY), dpi) << "the prefix's LogPixels";
    ReleaseDC(nullptr, dc);
    const double k = dpi / 96.0;

    Program program;
    SettingsWindow& s = program.open_settings();
    for (int i = 0; i < 5; ++i) sys().loop.process_pending();
    RECT outer{};
    ASSERT_TRUE(GetWindowRect(win32::hwnd_of(s), &outer));
    EXPECT_NEAR(outer.right - outer.left, SettingsWindow::kWidth * k, 1.0);
    EXPECT_NEAR(outer.bottom - outer.top, SettingsWindow::kHeight * k, 1.0);

    const Rect design = s.选择夹.rect();
    const RECT tab = rect_in_parent(win32::hwnd_of(s.选择夹));
    EXPECT_NEAR(tab.left, design.left * k, 1.0);
    EXPECT_NEAR(tab.top, design.top * k, 1.0);
    EXPECT_NEAR(tab.right - tab.left, design.width * k, 1.0);
    EXPECT_NEAR(tab.bottom - tab.top, design.height * k, 1.0);

    // The program still sees its own pixels: the window where it put it,
    // and the screen in 96 DPI pixels.
    EXPECT_EQ(s.rect().width, SettingsWindow::kWidth);
    EXPECT_NEAR(s.rect().left, outer.left / k, 1.0);
    EXPECT_NEAR(sys().desktop.screen_size().width, GetSystemMetrics(SM_CXSCREEN) / k, 1.0);

    // The bar's cut-away is made from its picture at the device size.
    program.bar().create();
    program.bar().set_shape(Res::BarBitmap, kPureRed);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    RECT box{};
    ASSERT_NE(GetWindowRgn(win32::hwnd_of(program.bar()), rgn), ERROR);
    GetRgnBox(rgn, &box);
    DeleteObject(rgn);
    EXPECT_NEAR(box.bottom - box.top, program.bar().rect().height * k, 1.0);
}

}  // namespace
}  // namespace q
