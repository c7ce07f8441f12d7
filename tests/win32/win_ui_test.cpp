// The win32 UI backend against real windows: what the HWNDs show, which
// Windows notifications become events, and the window's region and styles.
#include <gtest/gtest.h>

#include "platform/system.h"
#include "platform/text.h"
#include "platform/win32/win_ui.h"

#include <string>

namespace q::win32 {
namespace {

void pump() { sys().loop.process_pending(); }

std::wstring text_of(HWND h) {
    std::wstring t(static_cast<std::size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    t.resize(static_cast<std::size_t>(GetWindowTextW(h, &t[0], static_cast<int>(t.size()))));
    return t;
}

HWND child_at(HWND parent, const Control& c) {
    POINT p{c.rect().left + 2, c.rect().top + 2};
    return ChildWindowFromPointEx(parent, p, CWP_SKIPINVISIBLE);
}

Size client_size(HWND h) {
    RECT rc;
    GetWindowRect(h, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

POINT screen_origin(HWND h) {
    RECT rc;
    GetWindowRect(h, &rc);
    return {rc.left, rc.top};
}

void command(HWND child, WORD code) {
    SendMessageW(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), code), reinterpret_cast<LPARAM>(child));
}

struct Form : Window {
    Form() : Window(Rect{100, 80, 420, 360}, "界面测试", Style{}) {}
    Button 确定按钮{this, Rect{10, 10, 90, 24}, "确定"};
    Edit 记录编辑框{this, Rect{10, 40, 200, 22}, Edit::Mode{}, "随手记录"};
    CheckBox 开机选择框{this, Rect{10, 70, 160, 20}, "开机自动运行"};
    DropDown 事件组合框{this, Rect{220, 10, 150, 20}, {"开关光驱", "更换壁纸", "播放音乐"}};
    ListView 列表框{this, Rect{10, 100, 380, 120}, {{"文件名称", 150}, {"所在目录", 200}}, true};
    Slider 透明度滑块条{this, Rect{10, 230, 200, 24}, 0, 200};
    Label 透明标签{this, Rect{220, 40, 150, 20}, "透明的标签", Label::Look::Transparent};
    ImageButton 播放按钮{this, Rect{220, 230, 82, 23}, "播放 MP3", button_icon(0)};
    Button 上层按钮{this, Rect{300, 42, 60, 16}, "上层"};  // made after the label it overlaps
};

class WinUiTest : public ::testing::Test {
protected:
    void SetUp() override {
        f.create();
        f.show();
        pump();
        h = hwnd_of(f);
        ASSERT_NE(h, nullptr);
    }
    void TearDown() override {
        f.destroy();
        pump();
    }
    Form f;
    HWND h = nullptr;
};

TEST_F(WinUiTest, ChildrenStandWhereTheObjectsSayWithTheirCp936Texts) {
    EXPECT_EQ(window_of(h), &f);
    EXPECT_EQ(text_of(h), L"界面测试");
    HWND button = child_at(h, f.确定按钮);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(text_of(button), L"确定");
    EXPECT_EQ(client_size(button), (Size{90, 24}));
    HWND edit = child_at(h, f.记录编辑框);
    EXPECT_EQ(text_of(edit), L"随手记录");
    EXPECT_EQ(client_size(edit), (Size{200, 22}));
    HWND check = child_at(h, f.开机选择框);
    EXPECT_EQ(text_of(check), L"开机自动运行");
    HWND drop = child_at(h, f.事件组合框);
    EXPECT_EQ(client_size(drop).width, 150);
    EXPECT_EQ(SendMessageW(drop, CB_GETCOUNT, 0, 0), 3);
    wchar_t item[32] = {};
    SendMessageW(drop, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"更换壁纸");
    EXPECT_EQ(client_size(child_at(h, f.列表框)), (Size{380, 120}));
    EXPECT_EQ(client_size(child_at(h, f.透明度滑块条)), (Size{200, 24}));
    // A label lies beneath the controls placed over it, whatever the order made.
    EXPECT_EQ(text_of(child_at(h, f.上层按钮)), L"上层");
    EXPECT_EQ(text_of(child_at(h, f.透明标签)), L"透明的标签");

    // Changes from code reach the screen.
    f.确定按钮.set_text("知道了！");
    EXPECT_EQ(text_of(button), L"知道了！");
    f.确定按钮.move(30, 12);
    RECT rc;
    GetWindowRect(button, &rc);
    MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.left, 30);
    f.确定按钮.hide();
    EXPECT_FALSE(IsWindowVisible(button));
    f.确定按钮.show();
    f.确定按钮.set_enabled(false);
    EXPECT_FALSE(IsWindowEnabled(button));
}

TEST_F(WinUiTest, UserActionsRaiseEventsAndCodeChangesDoNot) {
    int clicks = 0, changes = 0, selects = 0, checks = 0, moves = 0;
    f.确定按钮.on_click = [&] { ++clicks; };
    f.记录编辑框.on_change = [&] { ++changes; };
    f.事件组合框.on_change = [&] { ++selects; };
    f.开机选择框.on_click = [&] { ++checks; };
    f.透明度滑块条.on_change = [&] { ++moves; };

    HWND button = child_at(h, f.确定按钮);
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);

    HWND edit = child_at(h, f.记录编辑框);
    f.记录编辑框.set_text("代码写的");
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(text_of(edit), L"代码写的");
    // The user's text: WM_SETTEXT makes the edit send EN_CHANGE.
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"用户输入的文字"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(f.记录编辑框.text(), "用户输入的文字");

    HWND check = child_at(h, f.开机选择框);
    SendMessageW(check, BM_CLICK, 0, 0);
    EXPECT_EQ(checks, 1);
    EXPECT_TRUE(f.开机选择框.checked());
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    f.开机选择框.set_checked(false);
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(checks, 1);

    HWND drop = child_at(h, f.事件组合框);
    f.事件组合框.select(0);
    EXPECT_EQ(SendMessageW(drop, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(selects, 0);
    SendMessageW(drop, CB_SETCURSEL, 2, 0);
    command(drop, CBN_SELCHANGE);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(f.事件组合框.selected_text(), "播放音乐");

    HWND slider = child_at(h, f.透明度滑块条);
    f.透明度滑块条.set_position(145);
    EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 145);
    SendMessageW(slider, TBM_SETPOS, TRUE, 30);
    SendMessageW(h, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 30), reinterpret_cast<LPARAM>(slider));
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(f.透明度滑块条.position(), 30);

    // A disabled control is out of the user's reach: nothing is raised.
    f.确定按钮.set_enabled(false);
    command(button, BN_CLICKED);
    EXPECT_EQ(clicks, 1);
}

TEST_F(WinUiTest, ListViewShowsTheObjectsRowsAndReportsPicksAndTicks) {
    ListView& list = f.列表框;
    int picks = 0, ticks = 0;
    list.on_pick = [&] { ++picks; };
    list.on_check = [&](int) { ++ticks; };
    for (int i = 0; i < 3000; ++i) {
        const int r = list.append_row();
        list.set_cell(r, 0, "歌曲" + decimal(i) + ".mp3");
        list.set_cell(r, 1, "D:\\音乐\\");
    }
    list.set_row_checked(1, true);
    pump();
    HWND lv = child_at(h, list);
    EXPECT_EQ(ListView_GetItemCount(lv), 3000);
    wchar_t cell[64] = {};
    ListView_GetItemText(lv, 2, 0, cell, 64);
    EXPECT_STREQ(cell, L"歌曲2.mp3");
    ListView_GetItemText(lv, 2999, 1, cell, 64);
    EXPECT_STREQ(cell, L"D:\\音乐\\");
    EXPECT_EQ(ListView_GetItemState(lv, 1, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(2));
    EXPECT_EQ(ListView_GetItemState(lv, 0, LVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1));

    // Selecting from code raises nothing; an insertion above keeps the same row selected.
    list.select(5);
    EXPECT_EQ(ListView_GetNextItem(lv, -1, LVNI_SELECTED), 5);
    list.insert_row(0);
    EXPECT_EQ(list.selection(), 6);
    EXPECT_EQ(ListView_GetNextItem(lv, -1, LVNI_SELECTED), 6);
    list.remove_row(6);
    EXPECT_EQ(ListView_GetNextItem(lv, -1, LVNI_SELECTED), -1);
    EXPECT_EQ(picks, 0);

    // The user selects a row (keyboard-like: no click follows).
    ListView_SetItemState(lv, 10, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(picks, 1);
    EXPECT_EQ(list.selection(), 10);
    EXPECT_EQ(ticks, 0);
}

TEST_F(WinUiTest, EditTakesLongTextsWholeAndRefusesMoreThanItsByteLimit) {
    HWND edit = child_at(h, f.记录编辑框);
    std::wstring big(100000, L'x');
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(big.c_str()));
    EXPECT_EQ(GetWindowTextLengthW(edit), 100000);
    EXPECT_EQ(f.记录编辑框.text().size(), 100000u);
    f.记录编辑框.set_text(std::string(200000, 'y'));
    EXPECT_EQ(GetWindowTextLengthW(edit), 200000);

    Edit::Mode m;
    m.max_bytes = 5;
    f.记录编辑框.set_mode(m);
    f.记录编辑框.set_text("");
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"定时"));
    EXPECT_EQ(f.记录编辑框.text(), "定时");
    // Three double-byte characters are six bytes: the change is refused whole,
    // and the box shows the text as it was.
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"定提时"));
    EXPECT_EQ(f.记录编辑框.text(), "定时");
    EXPECT_EQ(text_of(edit), L"定时");
}

TEST_F(WinUiTest, WindowStylesRegionAndPlace) {
    f.set_opacity(180);
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYERED);
    ASSERT_TRUE(GetLayeredWindowAttributes(h, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 180);
    EXPECT_TRUE(flags & LWA_ALPHA);

    f.set_topmost(true);
    EXPECT_TRUE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    f.set_topmost(false);
    EXPECT_FALSE(GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);

    int moved = 0;
    f.on_moved = [&] { ++moved; };
    SetWindowPos(h, nullptr, 150, 120, 0, 0, SWP_NOSIZE | SWP_NOZORDER);  // as the system would
    EXPECT_EQ(f.rect().left, 150);
    EXPECT_EQ(f.rect().top, 120);
    EXPECT_EQ(moved, 1);

    int closes = 0;
    f.on_close = [&] { ++closes; };
    SendMessageW(h, WM_CLOSE, 0, 0);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(IsWindow(h));  // the program decides
}

struct Settings : Window {
    Settings() : Window(Rect{60, 40, 606, 421}, "设置Quillet", Style{}) {}
    TabControl 选择夹{this, Rect{8, 6, 584, 376}, {"程序设置", "壁纸\\音乐", "定时提醒", "快捷程序"}};
    CheckBox 启动选择框{&选择夹.page(0), Rect{16, 31, 106, 15}, "Quillet随系统启动"};
    GroupBox 分组框{&选择夹.page(0), Rect{194, 112, 360, 221}, "自定义提示信息"};
    Label 透明标签1{&分组框, Rect{16, 20, 32, 14}, "标题：", Label::Look::Transparent};
    Edit 标题编辑框{&分组框, Rect{49, 18, 149, 16}};
    ImageButton 添加按钮{&选择夹.page(1), Rect{16, 31, 82, 23}, "添加", button_icon(0)};
};

TEST(WinUiContainers, PagesAndGroupsHoldTheirControlsAndATabClickSwitchesPages) {
    Settings s;
    int changes = 0, typed = 0, clicks = 0;
    s.选择夹.on_change = [&] { ++changes; };
    s.标题编辑框.on_change = [&] { ++typed; };
    s.添加按钮.on_click = [&] { ++clicks; };
    s.create();
    s.show();
    pump();
    HWND h = hwnd_of(s);
    HWND tab = hwnd_of(s.选择夹);
    HWND page0 = hwnd_of(s.选择夹.page(0));
    HWND group = hwnd_of(s.分组框);
    HWND edit = hwnd_of(s.标题编辑框);
    HWND add = hwnd_of(s.添加按钮);
    ASSERT_TRUE(tab && page0 && group && edit && add);
    EXPECT_EQ(GetParent(tab), h);
    EXPECT_EQ(GetParent(page0), tab);
    EXPECT_EQ(GetParent(group), page0);
    EXPECT_EQ(GetParent(edit), group);

    // Each rectangle is relative to its container.
    POINT client{0, 0};
    ClientToScreen(h, &client);
    POINT at = screen_origin(edit);
    EXPECT_EQ(at.x, client.x + 8 + 194 + 49);
    EXPECT_EQ(at.y, client.y + 6 + 112 + 18);
    EXPECT_EQ(client_size(edit), (Size{149, 16}));
    at = screen_origin(hwnd_of(s.启动选择框));
    EXPECT_EQ(at.x, client.x + 8 + 16);
    EXPECT_EQ(at.y, client.y + 6 + 31);
    EXPECT_EQ(client_size(group), (Size{360, 221}));

    // The tabs, and the group's frame with its caption beneath its controls.
    EXPECT_EQ(TabCtrl_GetItemCount(tab), 4);
    wchar_t caption[32] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = 32;
    SendMessageW(tab, TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(caption, L"壁纸\\音乐");
    HWND frame = GetWindow(GetWindow(group, GW_CHILD), GW_HWNDLAST);
    EXPECT_EQ(text_of(frame), L"自定义提示信息");
    EXPECT_EQ(GetWindowLongW(frame, GWL_STYLE) & BS_TYPEMASK, BS_GROUPBOX);
    // A control made after a label stands above it: the label never paints over their overlap.
    EXPECT_EQ(GetWindow(group, GW_CHILD), edit);

    EXPECT_TRUE(IsWindowVisible(edit));
    EXPECT_FALSE(IsWindowVisible(add));
    // Inside the frame lies the page's body, as beside the group.
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC page_dc = GetDC(page0), group_dc = GetDC(group);
    EXPECT_EQ(GetPixel(group_dc, 6, 210), GetPixel(page_dc, 180, 300));
    ReleaseDC(group, group_dc);
    ReleaseDC(page0, page_dc);
    // A click on the hidden page's button does nothing.
    command(add, BN_CLICKED);
    EXPECT_EQ(clicks, 0);

    // The page leaves the tab strip to the tab control: a click there picks the tab.
    RECT tab1;
    TabCtrl_GetItemRect(tab, 1, &tab1);
    POINT mid{(tab1.left + tab1.right) / 2, (tab1.top + tab1.bottom) / 2};
    POINT on_screen = mid;
    ClientToScreen(tab, &on_screen);
    EXPECT_EQ(WindowFromPoint(on_screen), tab);
    SendMessageW(tab, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(mid.x, mid.y));
    SendMessageW(tab, WM_LBUTTONUP, 0, MAKELPARAM(mid.x, mid.y));
    pump();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(s.选择夹.selection(), 1);
    EXPECT_TRUE(IsWindowVisible(add));
    EXPECT_FALSE(IsWindowVisible(edit));
    command(add, BN_CLICKED);
    EXPECT_EQ(clicks, 1);

    // From code: the tab control follows, nothing is raised.
    s.选择夹.select(0);
    EXPECT_EQ(TabCtrl_GetCurSel(tab), 0);
    EXPECT_TRUE(IsWindowVisible(edit));
    EXPECT_EQ(changes, 1);

    // Hiding the group hides its controls; disabled, it takes no typing.
    s.分组框.hide();
    EXPECT_FALSE(IsWindowVisible(edit));
    s.分组框.show();
    EXPECT_TRUE(IsWindowVisible(edit));
    s.分组框.set_enabled(false);
    EXPECT_FALSE(IsWindowEnabled(group));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"禁用了"));
    EXPECT_EQ(typed, 0);
    EXPECT_EQ(text_of(edit), L"");  // what the object refused is taken back
    s.分组框.set_enabled(true);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"主人，您好！"));
    EXPECT_EQ(typed, 1);
    EXPECT_EQ(s.标题编辑框.text(), "主人，您好！");

    // A control made on a page of the created window gets its HWND there.
    Button late(&s.选择夹.page(1), Rect{100, 31, 75, 23}, "后加");
    ASSERT_NE(hwnd_of(late), nullptr);
    EXPECT_EQ(GetParent(hwnd_of(late)), hwnd_of(s.选择夹.page(1)));
    EXPECT_FALSE(IsWindowVisible(hwnd_of(late)));
    s.destroy();
    pump();
}

TEST(WinUiShape, RegionLeavesOutEveryKeyPixel) {
    int w = 0, hgt = 0;
    HBITMAP bmp = load_picture(Res::BarBitmap, &w, &hgt);
    if (resource_bytes(Res::BarBitmap).empty()) GTEST_SKIP() << "no bar bitmap embedded";
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(w, 121);
    EXPECT_EQ(hgt, 300);
    // A red and a kept pixel, found in the picture itself.
    DIBSECTION ds{};
    GetObjectW(bmp, sizeof(ds), &ds);
    const auto* px = static_cast<const std::uint32_t*>(ds.dsBm.bmBits);
    POINT red{-1, -1}, kept{-1, -1};
    for (int y = 0; y < hgt; ++y)
        for (int x = 0; x < w; ++x) {
            const bool is_red = (px[y * w + x] & 0xFFFFFF) == 0xFF0000;
            if (is_red && red.x < 0) red = {x, y};
            if (!is_red && kept.x < 0) kept = {x, y};
        }
    DeleteObject(bmp);
    ASSERT_GE(red.x, 0);
    ASSERT_GE(kept.x, 0);

    Window bar(Rect{200, 200, 121, 300}, "", Window::Style{false, true});
    bar.create();
    bar.set_background(Res::BarBitmap);
    bar.set_shape(Res::BarBitmap, kPureRed);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(hwnd_of(bar), rgn), ERROR);
    EXPECT_FALSE(PtInRegion(rgn, red.x, red.y));
    EXPECT_TRUE(PtInRegion(rgn, kept.x, kept.y));
    DeleteObject(rgn);
    EXPECT_TRUE(GetWindowLongW(hwnd_of(bar), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(GetWindowLongW(hwnd_of(bar), GWL_STYLE) & WS_CAPTION);
    bar.destroy();
}

TEST(WinUiPictures, JpegDecodesAndUnknownDataGivesNothing) {
    EXPECT_EQ(load_picture(static_cast<Res>(9999)), nullptr);
    if (resource_bytes(Res::PopupJpeg).empty()) GTEST_SKIP() << "no popup picture embedded";
    int w = 0, h = 0;
    HBITMAP jpeg = load_picture(Res::PopupJpeg, &w, &h);
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(w, 185);
    EXPECT_EQ(h, 200);
    DeleteObject(jpeg);
}

}  // namespace
}  // namespace q::win32
