// The quick launcher as a user drives it: the group files, the window opened
// by main bar function 7, drops, the shortcut menu and the tab rename.
#include <gtest/gtest.h>

#include "launcher/group_store.h"
#include "launcher/launcher.h"
#include "settings/ini.h"
#include "settings/settings_file.h"
#include "tests/app/app_fixture.h"

namespace q::launcher {
namespace {

using testing_app::AppFixture;

class LauncherTest : public AppFixture {
protected:
    Launcher& launcher() { return program().launcher(); }
    State& st() { return launcher().state(); }
    LauncherWindow& open() {
        if (!launcher().loaded()) run_main_bar_function(7);
        return *launcher().window();
    }
    std::string grp(int n) const { return sim.dir + "\\APrg\\grp" + std::to_string(n) + ".ini"; }
    void put_group(int n, const std::string& text) { sim.put_file(grp(n), text); }
    std::string name_in(int n) { return ini::read(grp(n), "set", "grpname", "<none>"); }
    std::string total() { return ini::read(settings_path(), "acprg", "total", "<none>"); }
    // The pointer over slot s of the open window, then the drop.
    void drop_on_slot(LauncherWindow& w, int s, std::vector<std::string> paths) {
        const Rect r = w.rect();
        sim.mouse = {r.left + 6 + 120 * (s % 4) + 60, r.top + 27 + 25 + 30 * (s / 4) + 15};
        w.user_drop(std::move(paths));
    }
    std::vector<std::string> captions(LauncherWindow& w) {
        std::vector<std::string> c;
        for (int s = 0; s < kSlots; ++s) c.push_back(w.slot_button(s).text());
        return c;
    }
};

TEST_F(LauncherTest, StoreCaptionsKindsAndPresence) {
    sim.put_file("C:\\Windows\\notepad.exe", "MZ");
    sim.put_file("C:\\Home\\.profile", "x");
    sim.make_folder("D:\\Games");
    sim.make_folder(sim.dir + "\\APrg");
    const std::string before = sim.current_directory();
    EXPECT_EQ(store_path(1, 0, "C:\\"), "驱动器C");
    EXPECT_EQ(store_path(1, 1, "C:\\Windows\\notepad.exe"), "notepad");
    EXPECT_EQ(store_path(1, 2, "D:\\Games"), "Games");
    EXPECT_EQ(store_path(1, 3, "E:\\x\\y.txt"), "y.txt");
    EXPECT_EQ(store_path(1, 4, "D:\\Games\\"), "驱动器D");
    EXPECT_EQ(store_path(1, 5, "C:\\Home\\.profile"), "驱动器C");
    EXPECT_EQ(store_path(1, 23, "D:\\My.Docs"), "My.Docs");
    // The folder test leaves the current directory as it was, in either case.
    EXPECT_EQ(path_kind("D:\\Games"), kFolder);
    EXPECT_EQ(path_kind("E:\\x\\y.txt"), kMissing);
    EXPECT_EQ(sim.current_directory(), before);
    // path is written before btncaption.
    EXPECT_NE(sim.file(grp(1))->find("[1]\r\npath=C:\\Windows\\notepad.exe\r\nbtncaption=notepad\r\n"), std::string::npos);
    EXPECT_TRUE(path_in_group(1, "D:\\My.Docs"));
    EXPECT_FALSE(path_in_group(1, "d:\\my.docs"));
    EXPECT_EQ(page_base(0), 0);
    EXPECT_EQ(page_base(9), 8);
    EXPECT_EQ(page_base(19), 16);
}

TEST_F(LauncherTest, RenumberingKeepsTheCurrentGroupWithItsFile) {
    for (int n = 1; n <= 3; ++n) put_group(n, "[set]\r\ngrpname=g" + std::to_string(n) + "\r\n");
    State s;
    s.current_group = 2;
    // After the last: nothing moves.
    ASSERT_TRUE(insert_group(s, 3, 4, "组"));
    EXPECT_EQ(total(), "4");
    EXPECT_EQ(name_in(3), "g3");
    EXPECT_EQ(name_in(4), "组");
    EXPECT_EQ(s.current_group, 2);
    // At the top: every file moves up, and the current group with them.
    ASSERT_TRUE(insert_group(s, 4, 1, "新"));
    EXPECT_EQ(name_in(1), "新");
    EXPECT_EQ(name_in(2), "g1");
    EXPECT_EQ(name_in(5), "组");
    EXPECT_EQ(s.current_group, 3);
    // Up: the current group follows; down from just above it: it moves up one.
    ASSERT_TRUE(move_group_up(s, 3));
    EXPECT_EQ(name_in(2), "g2");
    EXPECT_EQ(name_in(3), "g1");
    EXPECT_EQ(s.current_group, 2);
    ASSERT_TRUE(move_group_down(s, 1));
    EXPECT_EQ(name_in(1), "g2");
    EXPECT_EQ(s.current_group, 1);
    EXPECT_FALSE(sim.file(sim.dir + "\\APrg\\grptemp.ini"));
    // Deleting the current group leaves none chosen; the last file is gone.
    ASSERT_TRUE(delete_group(s, 5, 1));
    EXPECT_EQ(s.current_group, 0);
    EXPECT_EQ(total(), "4");
    EXPECT_EQ(name_in(1), "新");
    EXPECT_FALSE(sim.file(grp(5)));
}

TEST_F(LauncherTest, SwapsAndRenumberingsNeverLoseAGroup) {
    for (int n = 1; n <= 4; ++n) put_group(n, "[set]\r\ngrpname=g" + std::to_string(n) + "\r\n");
    // A swap interrupted earlier left a group's shortcuts behind.
    sim.put_file(sim.dir + "\\APrg\\grptemp.ini", "[0]\r\npath=C:\\a.exe\r\nbtncaption=a\r\n");
    sim.put_file(sim.dir + "\\APrg\\grptemp-1.ini", "older");
    State s;
    ASSERT_TRUE(move_group_up(s, 2));
    EXPECT_EQ(name_in(1), "g2");
    EXPECT_EQ(name_in(2), "g1");
    EXPECT_EQ(sim.file(sim.dir + "\\APrg\\grptemp-2.ini"), "[0]\r\npath=C:\\a.exe\r\nbtncaption=a\r\n");
    // Interrupted after its first rename, a swap left grp3 in grptemp.ini:
    // the next swap of 3 and 4 puts it back first.
    sim.rename(grp(3), sim.dir + "\\APrg\\grptemp.ini");
    std::vector<std::string> aside;
    ASSERT_TRUE(move_group_down(s, 3, &aside));
    EXPECT_TRUE(aside.empty());
    EXPECT_EQ(name_in(3), "g4");
    EXPECT_EQ(name_in(4), "g3");
    EXPECT_FALSE(sim.file(sim.dir + "\\APrg\\grptemp.ini"));
    ASSERT_TRUE(move_group_down(s, 3));
    EXPECT_EQ(sim.file(sim.dir + "\\APrg\\grptemp-1.ini"), "older");
    // A rename refused half way (a folder holds the name grp5.ini): the
    // renumbering stops there instead of moving grp4 over grp3.
    sim.make_folder(grp(5));
    settings::group_total.write(4);
    EXPECT_FALSE(insert_group(s, 4, 1, "新"));
    EXPECT_EQ(name_in(4), "g4");
    EXPECT_EQ(name_in(3), "g3");
    EXPECT_EQ(name_in(1), "g2");
    EXPECT_EQ(total(), "4");
}

TEST_F(LauncherTest, FirstOpeningShowsGroupOneOnTheScreenCentre) {
    start();
    put_group(1, "[set]\r\ngrpname=常用\r\n");
    put_group(2, "[set]\r\ngrpname=游戏\r\n[5]\r\npath=D:\\x\r\nbtncaption=x\r\n");
    LauncherWindow& w = open();
    EXPECT_TRUE(w.visible());
    EXPECT_TRUE(w.topmost());
    EXPECT_EQ(w.client_size(), (Size{480, 205}));
    EXPECT_EQ(w.rect(), (Rect{(1024 - 486) / 2, (768 - 232) / 2, 486, 232}));
    EXPECT_EQ(w.text(), "当前选定组：常用");
    EXPECT_EQ(w.组1.text(), "常用");
    EXPECT_FALSE(w.前翻按钮.enabled());
    EXPECT_EQ(captions(w), std::vector<std::string>(24, ""));
    EXPECT_EQ(w.slot_button(23).rect(), (Rect{360, 175, 120, 30}));
    EXPECT_EQ(w.opacity(), -1);
    EXPECT_TRUE(sim.folder_exists(sim.dir + "\\APrg"));
    w.组2.user_click();
    EXPECT_EQ(w.text(), "当前选定组：游戏");
    EXPECT_EQ(w.slot_button(5).text(), "x");
    // The toggle closes it; the group survives for the next opening.
    run_main_bar_function(7);
    sim.run_deferred();
    EXPECT_FALSE(launcher().loaded());
    EXPECT_EQ(open().text(), "当前选定组：游戏");
    // The exit takes it down with the program.
    exit_procedure();
    EXPECT_FALSE(launcher().loaded());
}

TEST_F(LauncherTest, PagingWithoutALastPage) {
    start();
    put_group(19, "[set]\r\ngrpname=十九\r\n");
    LauncherWindow& w = open();
    w.组3.user_click();
    w.下翻按钮.user_click();
    w.下翻按钮.user_click();
    EXPECT_EQ(w.组1.text(), "组");
    EXPECT_EQ(w.组3.text(), "十九");
    EXPECT_EQ(st().current_group, 19);
    EXPECT_EQ(w.text(), "当前选定组：十九");
    w.前翻按钮.user_click();
    EXPECT_TRUE(w.前翻按钮.enabled());
    w.前翻按钮.user_click();
    EXPECT_EQ(st().current_group, 3);
    EXPECT_EQ(st().current_page, 0);
    EXPECT_FALSE(w.前翻按钮.enabled());
    // A tab on a later page chooses a group of that page.
    w.下翻按钮.user_click();
    w.组8.user_click();
    EXPECT_EQ(st().current_group, 16);
    // The group went elsewhere while the window was closed (a delete on the
    // settings page): the tabs follow it back to the first page.
    w.下翻按钮.user_click();
    EXPECT_EQ(w.组3.text(), "十九");
    run_main_bar_function(7);
    st().current_group = 0;
    LauncherWindow& again = open();
    EXPECT_EQ(st().current_page, 0);
    EXPECT_EQ(again.组3.text(), "组");
    EXPECT_FALSE(again.前翻按钮.enabled());
    again.组2.user_click();
    EXPECT_EQ(st().current_group, 2);
}

TEST_F(LauncherTest, KeysWalkTheSlotsTurnTheGroupsAndOpenTheMenu) {
    start();
    put_group(9, "[set]\r\ngrpname=九\r\n");
    LauncherWindow& w = open();
    // Arrows move between the four columns and six rows, and stop at the edges.
    const std::pair<int, int> moves[] = {{kKeyRight, 1}, {kKeyDown, 5}, {kKeyLeft, 4}, {kKeyUp, 0}};
    int at = 0;
    for (const auto& [key, to] : moves) {
        w.slot_button(at).user_key_down(key, false);
        EXPECT_EQ(w.focused(), &w.slot_button(to)) << key;
        at = to;
    }
    const std::pair<int, int> edges[] = {{3, kKeyRight}, {4, kKeyLeft}, {21, kKeyDown}, {2, kKeyUp}};
    for (const auto& [from, key] : edges) {
        w.slot_button(from).user_key_down(key, false);
        EXPECT_EQ(w.focused(), &w.slot_button(0)) << from;
    }
    // Ctrl+PageDown past the eighth tab turns the page; Ctrl+PageUp turns back;
    // without Ctrl, or before the first group, nothing happens.
    w.组8.user_click();
    w.slot_button(0).user_key_down(kKeyPageDown, false);
    EXPECT_EQ(st().current_group, 8);
    w.slot_button(0).user_key_down(kKeyPageDown, true);
    EXPECT_EQ(st().current_group, 9);
    EXPECT_EQ(w.组1.text(), "九");
    w.组1.user_key_down(kKeyPageUp, true);
    EXPECT_EQ(st().current_group, 8);
    w.组1.user_click();
    w.组1.user_key_down(kKeyPageUp, true);
    EXPECT_EQ(st().current_group, 1);
    // The menu key opens the focused slot's menu.
    w.slot_button(6).user_key_down(kKeyMenu, false);
    ASSERT_FALSE(sim.dialogs.empty());
    EXPECT_EQ(sim.dialogs.back().kind, "menu");
    EXPECT_EQ(st().current_slot, 6);
}

TEST_F(LauncherTest, PlacementAndTransparency) {
    start();
    put("set.ini", "[acprg]\r\nfollow=T\r\ntrans=T\r\ntransvalue=128\r\n");
    sim.mouse = {5, 760};
    LauncherWindow& w = open();
    EXPECT_EQ(w.rect().left, 5 - 243);
    EXPECT_EQ(w.rect().top, 760 - 116);
    EXPECT_EQ(w.opacity(), 128);
    run_main_bar_function(7);
    put("set.ini", "[acprg]\r\ntrans=T\r\ntransvalue=0abc\r\n");
    EXPECT_EQ(open().opacity(), 0);
    run_main_bar_function(7);
    put("set.ini", "[acprg]\r\ntrans=F\r\ntransvalue=128\r\n");
    LauncherWindow& opaque = open();
    EXPECT_EQ(opaque.opacity(), -1);
    opaque.user_moved_to({10, 10});
    EXPECT_EQ(opaque.opacity(), 255);
}

TEST_F(LauncherTest, ShortcutsStartOrAskAboutTheirPath) {
    start();
    sim.put_file("C:\\Tools\\calc.exe", "MZ");
    put_group(1, "[0]\r\npath=C:\\Tools\\calc.exe\r\nbtncaption=calc\r\n[1]\r\npath=C:\\gone.exe\r\nbtncaption=gone\r\n"
                 "[2]\r\npath=C:\\\r\nbtncaption=驱动器C\r\n");
    LauncherWindow& w = open();
    // Behind the box the window is not topmost.
    bool topmost_behind = true;
    sim.while_shown = [&] { topmost_behind = w.topmost(); };
    sim.answers = {Answer::No};
    w.slot_button(1).user_click();
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.messages[0].text, "该快捷项的路径已经失效，是否立即删除？");
    EXPECT_EQ(sim.messages[0].title, "路径失效处理");
    EXPECT_EQ(sim.messages[0].icon, Icon::Question);
    EXPECT_FALSE(topmost_behind);
    EXPECT_TRUE(w.topmost());
    EXPECT_EQ(w.slot_button(1).text(), "gone");
    // Yes clears it, and the window stays.
    sim.answers = {Answer::Yes};
    w.slot_button(1).user_mouse_down(MouseButton::Right);
    EXPECT_EQ(w.slot_button(1).text(), "");
    EXPECT_EQ(slot_path(1, 1), "");
    EXPECT_TRUE(launcher().loaded());
    w.slot_button(7).user_click();  // empty: nothing
    EXPECT_TRUE(sim.opened_paths.empty());
    // A drive that is not there now is not a vanished target: no delete offer.
    sim.absent_volumes = {"E:"};
    put_group(1, "[0]\r\npath=C:\\Tools\\calc.exe\r\nbtncaption=calc\r\n[2]\r\npath=C:\\\r\nbtncaption=驱动器C\r\n"
                 "[3]\r\npath=E:\\setup.exe\r\nbtncaption=setup\r\n");
    w.show_group(1);
    w.slot_button(3).user_click();
    EXPECT_EQ(sim.messages.back().title, "驱动器不可用");
    EXPECT_EQ(w.slot_button(3).text(), "setup");
    EXPECT_EQ(slot_path(1, 3), "E:\\setup.exe");
    sim.menu_answers = {-1};
    w.slot_button(3).user_mouse_down(MouseButton::Right);
    EXPECT_EQ(sim.dialogs.back().kind, "menu");
    // A program starts in its own folder.
    w.slot_button(0).user_click();
    sim.run_deferred();
    EXPECT_EQ(sim.opened_paths, (std::vector<std::string>{"C:\\Tools\\calc.exe"}));
    EXPECT_EQ(sim.opened_folders, (std::vector<std::string>{"C:\\Tools\\"}));
    EXPECT_FALSE(launcher().loaded());
    open().slot_button(2).user_click();
    EXPECT_EQ(sim.opened_paths.back(), "C:\\");
}

TEST_F(LauncherTest, DropsFindTheSlotUnderThePointer) {
    start();
    sim.put_file("C:\\a.exe", "MZ");
    sim.put_file("C:\\b.txt", "b");
    LauncherWindow& w = open();
    drop_on_slot(w, 21, {"C:\\a.exe", "C:\\b.txt"});
    EXPECT_EQ(w.slot_button(21).text(), "a");
    EXPECT_EQ(slot_path(1, 21), "C:\\a.exe");
    // The tab row and the caption take nothing.
    sim.mouse = {w.rect().left + 100, w.rect().top + 27 + 10};
    w.user_drop({"C:\\b.txt"});
    EXPECT_FALSE(path_in_group(1, "C:\\b.txt"));
    // The same path again, onto an empty slot: the duplicate message.
    drop_on_slot(w, 0, {"C:\\a.exe"});
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.messages[0].title, "重复！");
    EXPECT_EQ(sim.messages[0].text, "该快捷项已在本组存在，无需重复添加！");
    EXPECT_EQ(sim.messages[0].icon, Icon::Warning);
    EXPECT_EQ(slot_path(1, 0), "");
    // Onto an occupied slot: No keeps the old one, and the next drop works.
    sim.answers = {Answer::No};
    drop_on_slot(w, 21, {"C:\\b.txt"});
    EXPECT_EQ(sim.messages.back().title, "确认覆盖");
    EXPECT_EQ(slot_path(1, 21), "C:\\a.exe");
    drop_on_slot(w, 20, {"C:\\b.txt"});
    EXPECT_EQ(w.slot_button(20).text(), "b");
    sim.answers = {Answer::Yes};
    const std::string deep = "C:\\" + std::string(300, 'd') + "\\x.doc";
    drop_on_slot(w, 23, {deep});
    EXPECT_EQ(slot_path(1, 23), deep);
    // Below the grid, or left of it on any row: ignored.
    sim.mouse = {w.rect().left + 100, w.rect().bottom() + 5};
    w.user_drop({"C:\\c.txt"});
    for (int left : {50, 150}) {
        sim.mouse = {w.rect().left - left, w.rect().top + 27 + 25 + 15};
        w.user_drop({"C:\\c.txt"});
        sim.mouse.y += 60;
        w.user_drop({"C:\\c.txt"});
    }
    EXPECT_FALSE(path_in_group(1, "C:\\c.txt"));
}

TEST_F(LauncherTest, AWriteThatFailsKeepsTheOldCaptionAndTheCutShortcut) {
    start();
    sim.put_file("C:\\a.exe", "MZ");
    put_group(1, "[3]\r\npath=C:\\a.exe\r\nbtncaption=a\r\n");
    LauncherWindow& w = open();
    auto failed = [&] {
        return !sim.messages.empty() && sim.messages.back().text.find("grp1.ini") != std::string::npos &&
               sim.messages.back().icon == Icon::Warning;
    };
    sim.fail_writes(1);
    drop_on_slot(w, 5, {"C:\\a.txt"});
    EXPECT_TRUE(failed());
    EXPECT_EQ(w.slot_button(5).text(), "");
    sim.messages.clear();
    sim.menu_answers = {0};
    sim.input_answers = {std::string("新名")};
    sim.fail_writes(1);
    w.slot_button(3).user_mouse_down(MouseButton::Right);
    EXPECT_TRUE(failed());
    EXPECT_EQ(w.slot_button(3).text(), "a");
    sim.messages.clear();
    sim.menu_answers = {2, 3};
    w.slot_button(3).user_mouse_down(MouseButton::Right);  // cut
    sim.fail_writes(1);
    w.slot_button(7).user_mouse_down(MouseButton::Right);  // paste
    EXPECT_TRUE(failed());
    EXPECT_EQ(w.slot_button(7).text(), "");
    EXPECT_EQ(st().cut_caption, "a");
    EXPECT_EQ(st().cut_path, "C:\\a.exe");
}

TEST_F(LauncherTest, ShortcutMenuCutsAcrossGroupsRenamesAndDeletes) {
    start();
    sim.put_file("C:\\a.exe", "MZ");
    put_group(1, "[3]\r\npath=C:\\a.exe\r\nbtncaption=a\r\n");
    LauncherWindow& w = open();
    // An empty slot with nothing cut: everything greyed.
    w.slot_button(0).user_mouse_down(MouseButton::Right);
    ASSERT_EQ(sim.dialogs.back().kind, "menu");
    EXPECT_EQ(sim.dialogs.back().items, LauncherWindow::menu_items());
    EXPECT_EQ(sim.dialogs.back().disabled, (std::vector<bool>{true, false, true, true, true, false, true}));
    // Rename: Cancel and an empty text change nothing.
    sim.menu_answers = {0, 0, 0};
    sim.input_answers = {std::nullopt, std::string(), std::string("计算")};
    for (int i = 0; i < 3; ++i) w.slot_button(3).user_mouse_down(MouseButton::Right);
    EXPECT_EQ(sim.dialogs.back().prompt, "此快捷项的名称更改为：");
    EXPECT_EQ(sim.dialogs.back().title, "快捷项更名");
    EXPECT_EQ(sim.dialogs.back().initial, "a");
    EXPECT_EQ(w.slot_button(3).text(), "计算");
    EXPECT_EQ(slot_caption(1, 3), "计算");
    // Cut, then paste in group 2.
    sim.menu_answers = {2};
    w.slot_button(3).user_mouse_down(MouseButton::Right);
    EXPECT_EQ(w.slot_button(3).text(), "");
    EXPECT_EQ(slot_path(1, 3), "");
    w.组2.user_click();
    sim.menu_answers = {3};
    w.slot_button(9).user_mouse_down(MouseButton::Right);
    EXPECT_EQ(sim.dialogs.back().items[3], "粘贴：计算");
    EXPECT_FALSE(sim.dialogs.back().disabled[3]);
    EXPECT_EQ(w.slot_button(9).text(), "计算");
    EXPECT_EQ(slot_path(2, 9), "C:\\a.exe");
    sim.menu_answers = {6};
    w.slot_button(9).user_mouse_down(MouseButton::Right);
    EXPECT_EQ(sim.dialogs.back().items[3], "粘贴快捷项");
    EXPECT_TRUE(sim.dialogs.back().disabled[3]);
    EXPECT_EQ(sim.properties_paths, (std::vector<std::string>{"C:\\a.exe"}));
    // Paste onto a shown caption asks; delete asks.
    sim.menu_answers = {2, 3};
    sim.answers = {Answer::No};
    w.slot_button(9).user_mouse_down(MouseButton::Right);
    put_group(2, "[9]\r\npath=C:\\a.exe\r\nbtncaption=again\r\n");
    w.show_group(2);
    w.slot_button(9).user_mouse_down(MouseButton::Right);
    EXPECT_EQ(sim.messages.back().title, "覆盖确认");
    EXPECT_EQ(w.slot_button(9).text(), "again");
    EXPECT_EQ(st().cut_caption, "计算");
    sim.menu_answers = {4};
    sim.answers = {Answer::Yes};
    w.slot_button(9).user_mouse_down(MouseButton::Right);
    EXPECT_EQ(sim.messages.back().title, "删除确认");
    EXPECT_EQ(sim.messages.back().text, "您确定要删除此快捷项？");
    EXPECT_EQ(slot_path(2, 9), "");
}

TEST_F(LauncherTest, TabRenameCountsANewGroupOnce) {
    start();
    put("set.ini", "[acprg]\r\ntotal=1\r\n");
    put_group(1, "[set]\r\ngrpname=常用\r\n");
    LauncherWindow& w = open();
    sim.input_answers = {std::string("游戏"), std::string("游戏二"), std::nullopt, std::string()};
    w.组2.user_mouse_down(MouseButton::Right);
    EXPECT_EQ(sim.dialogs.back().title, "组更名");
    EXPECT_EQ(sim.dialogs.back().prompt, "此组的名称更改为：");
    EXPECT_EQ(sim.dialogs.back().initial, "组");
    EXPECT_EQ(total(), "2");
    EXPECT_EQ(name_in(2), "游戏");
    EXPECT_EQ(w.text(), "当前选定组：游戏");
    EXPECT_EQ(w.focused(), &w.组2);
    w.组2.user_mouse_down(MouseButton::Right);
    EXPECT_EQ(total(), "2");
    EXPECT_EQ(name_in(2), "游戏二");
    w.组1.user_mouse_down(MouseButton::Right);  // cancelled
    EXPECT_EQ(w.组1.text(), "常用");
    w.组1.user_mouse_down(MouseButton::Right);  // empty: shown, not stored
    EXPECT_EQ(w.组1.text(), "");
    EXPECT_EQ(name_in(1), "常用");
}

}  // namespace
}  // namespace q::launcher
