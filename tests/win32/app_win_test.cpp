// The running program's pieces on the real backend: autostart in the
// registry, the bar's region and opacity, the tray icon's re-add.
#include "platform/win32/win_system.h"

#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "app/program.h"
#include "tests/contract/contract_env.h"

namespace q {
namespace {

class AppWinTest : public contract::ContractTest {};

const char kTestName[] = "QuilletAppTest";

TEST_F(AppWinTest, AutostartWritesOneHiveAndRemovesBoth) {
    Registry& reg = sys().registry;
    autostart::remove(kTestName);
    ASSERT_FALSE(autostart::exists(kTestName));
    const std::string data = "\"C:\\随手 工具\\quillet.exe\"";
    ASSERT_TRUE(autostart::write(kTestName, data));
    EXPECT_TRUE(autostart::exists(kTestName));
    EXPECT_EQ(autostart::data(kTestName), data);
    EXPECT_TRUE(autostart::holds(kTestName, data));
    const bool machine = reg.value_exists(Hive::LocalMachine, autostart::kRunKey, kTestName);
    const bool user = reg.value_exists(Hive::CurrentUser, autostart::kRunKey, kTestName);
    EXPECT_NE(machine, user) << "exactly one hive holds it";

    // A per-user entry left by an earlier run is removed along with the machine's.
    ASSERT_TRUE(reg.write_string(Hive::CurrentUser, autostart::kRunKey, kTestName, "D:\\old.exe"));
    autostart::remove(kTestName);
    EXPECT_FALSE(autostart::exists(kTestName));
    EXPECT_FALSE(reg.value_exists(Hive::LocalMachine, autostart::kRunKey, kTestName));
    EXPECT_FALSE(reg.value_exists(Hive::CurrentUser, autostart::kRunKey, kTestName));
}

// Pixel (x, y) of the embedded 24-bit bottom-up bar bitmap is pure red.
bool bar_pixel_is_red(int x, int y) {
    const std::string_view bmp = resource_bytes(Res::BarBitmap);
    std::uint32_t off = 0;
    std::int32_t w = 0, h = 0;
    std::memcpy(&off, bmp.data() + 10, 4);
    std::memcpy(&w, bmp.data() + 18, 4);
    std::memcpy(&h, bmp.data() + 22, 4);
    const int row = (w * 3 + 3) & ~3;
    const int yy = h > 0 ? h - 1 - y : y;
    const auto* p = reinterpret_cast<const unsigned char*>(bmp.data() + off + yy * row + x * 3);
    return p[0] == 0 && p[1] == 0 && p[2] == 255;
}

TEST_F(AppWinTest, BarRegionIsCutFromTheBitmapAndOpacityIsLayered) {
    const std::string_view bmp = resource_bytes(Res::BarBitmap);
    ASSERT_GT(bmp.size(), 54u + 121u * 300u * 3u);
    Program program;
    MainBar& bar = program.bar();
    bar.create();
    HWND h = win32::hwnd_of(bar);
    ASSERT_NE(h, nullptr);
    bar.set_background(Res::BarBitmap);
    bar.set_shape(Res::BarBitmap, kPureRed);
    RECT wr{};
    GetWindowRect(h, &wr);
    EXPECT_EQ(wr.right - wr.left, 121);
    EXPECT_EQ(wr.bottom - wr.top, 300);

    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(h, rgn), ERROR);
    int red = 0, checked = 0;
    for (int y = 0; y < 300; y += 7) {
        for (int x = 0; x < 121; x += 5) {
            const bool cut = bar_pixel_is_red(x, y);
            red += cut;
            ++checked;
            EXPECT_EQ(PtInRegion(rgn, x, y) != 0, !cut) << x << "," << y;
        }
    }
    DeleteObject(rgn);
    EXPECT_GT(red, 0) << "the bitmap has a cut-away";
    EXPECT_LT(red, checked);

    // Values from set.ini go on as they are: the system keeps the low byte.
    for (auto [value, expected] : {std::pair{180, 180}, {300, 44}, {256, 0}, {-5, 251}, {-1, 255}}) {
        bar.set_opacity(value);
        EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED) << value;
        BYTE alpha = 0;
        DWORD flags = 0;
        COLORREF key = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(h, &key, &alpha, &flags));
        EXPECT_EQ(alpha, expected) << value;
        EXPECT_TRUE(flags & LWA_ALPHA);
    }
    bar.destroy();
}

TEST_F(AppWinTest, TrayIconComesBackWhenTheTaskbarIsCreated) {
    Program program;
    MainBar& bar = program.bar();
    bar.create();
    HWND h = win32::hwnd_of(bar);
    if (!sys().desktop.tray_add(bar, Res::AppIcon, "Quillet1.0", [](TrayEvent) {}))
        GTEST_SKIP() << "no notification area here";
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = h;
    nid.uID = 1;
    // The shell forgot the icon, as when Explorer restarts.
    ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &nid));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &nid));
    SendMessageW(h, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &nid)) << "added again";
    sys().desktop.tray_remove(bar);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &nid));
    bar.destroy();
}

}  // namespace
}  // namespace q
