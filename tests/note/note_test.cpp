#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "note/note.h"
#include "note/note_window.h"
#include "platform/sim/sim_system.h"
#include "settings/ini.h"
#include "settings/settings_file.h"

namespace q::note {
namespace {

const std::string kDir = "C:\\Quillet";

std::string block(const std::string& path, const std::string& content) {
    return "**载入文件**\r\n" + path + "\r\n\r\n" + content + "\r\n";
}

class NoteTest : public ::testing::Test {
protected:
    sim::SimSystem sim;
    // After the sim, so it goes first.
    std::optional<Note> note_{std::in_place};

    Note& note() { return *note_; }
    // The program ended without closing the note (a crash), and starts again.
    void new_note() { note_.emplace(); }

    NoteWindow& open() {
        note().note_action();
        return *note().window();
    }
    std::string key(const std::string& k) { return ini::read(settings_path(), "desktext", k, "<none>"); }
    void put_keys(int left, int top) {
        settings::note_left.write(left);
        settings::note_top.write(top);
    }
    void close(NoteWindow& w) {
        w.关闭按钮.user_click();
        sim.run_deferred();
    }
    std::optional<std::string> recovery() { return sim.file(recovery_path()); }
};

TEST_F(NoteTest, OpensWithDefaultsAndStoredLook) {
    NoteWindow& w = open();
    EXPECT_TRUE(note().loaded());
    EXPECT_TRUE(w.visible());
    EXPECT_EQ(w.rect(), (Rect{0, 0, 150, 270}));
    EXPECT_EQ(w.透明度滑块条.position(), 145);
    EXPECT_EQ(w.opacity(), 200);
    EXPECT_EQ(w.记录编辑框.back_color(), kWhite);
    EXPECT_EQ(w.颜色选择器.color(), kWhite);
    EXPECT_EQ(w.固定按钮.text(), "自动隐藏");
    EXPECT_TRUE(w.topmost());
    EXPECT_TRUE(w.has_background());
    EXPECT_EQ(w.background(), Res::NoteSkin);
    EXPECT_EQ(w.shape_key(), kPureRed);
    EXPECT_FALSE(w.style().caption);
    EXPECT_TRUE(w.style().tool);
    EXPECT_EQ(w.标题标签.text(), "随手记录");
    EXPECT_EQ(w.标题标签.font().face, "黑体");
    EXPECT_EQ(w.记录编辑框.rect(), (Rect{5, 24, 140, 200}));
    EXPECT_TRUE(w.记录编辑框.mode().multi_line);
    EXPECT_TRUE(w.记录编辑框.mode().accept_files);
    EXPECT_EQ(w.记录编辑框.mode().max_bytes, 0u);
    Font simsun;
    simsun.face = "宋体";
    simsun.points = 9;
    EXPECT_EQ(w.记录编辑框.font(), simsun);
    EXPECT_FALSE(w.移动时钟.running());
    new_note();

    put_keys(100, 50);
    settings::note_alpha.write("100");
    settings::note_color.write("255");
    NoteWindow& w2 = open();
    EXPECT_EQ(w2.rect().left, 100);
    EXPECT_EQ(w2.rect().top, 50);
    EXPECT_EQ(w2.透明度滑块条.position(), 45);
    EXPECT_EQ(w2.opacity(), 100);
    EXPECT_EQ(w2.记录编辑框.back_color(), rgb(255, 0, 0));
    EXPECT_EQ(w2.颜色选择器.color(), rgb(255, 0, 0));
}

TEST_F(NoteTest, WithoutLayeredWindowsTheSliderGivesWayToTheBox) {
    sim.layered = false;
    settings::note_alpha.write("100");
    NoteWindow& w = open();
    EXPECT_FALSE(w.透明度滑块条.visible());
    EXPECT_EQ(w.记录编辑框.rect().height, 218);
    EXPECT_EQ(w.opacity(), -1);
    EXPECT_EQ(w.透明度滑块条.position(), 0);
    w.透明度滑块条.user_move(10);  // unreachable
    EXPECT_EQ(key("transparance"), "100");
}

TEST_F(NoteTest, SliderAndColourAreSavedAtOnce) {
    NoteWindow& w = open();
    w.透明度滑块条.user_move(0);
    EXPECT_EQ(w.opacity(), 55);
    EXPECT_EQ(key("transparance"), "55");
    w.透明度滑块条.user_move(200);
    EXPECT_EQ(w.opacity(), 255);
    EXPECT_EQ(key("transparance"), "255");
    w.颜色选择器.user_choose(rgb(1, 2, 3));
    EXPECT_EQ(w.记录编辑框.back_color(), rgb(1, 2, 3));
    EXPECT_EQ(key("color"), std::to_string(rgb(1, 2, 3)));
}

TEST_F(NoteTest, DroppedFilesAppendLoadableOnesInOrder) {
    sim.put_file("C:\\d\\a.txt", "alpha");
    sim.put_file("C:\\d\\b.doc", "doc");
    sim.put_file("C:\\d\\c.INI", "[s]\r\nk=v");
    sim.put_file("C:\\d\\e.key", "locked");
    sim.unreadable.insert("C:\\d\\e.key");
    // UTF-16: the box would end the text at the first zero byte.
    sim.put_file("C:\\d\\u.inf", std::string("\xFF\xFE[\0s\0]\0", 8));
    NoteWindow& w = open();
    w.记录编辑框.user_type("x");
    w.记录编辑框.user_drop({"C:\\d\\a.txt", "C:\\d\\b.doc", "C:\\d\\missing.txt", "C:\\d\\e.key", "C:\\d\\c.INI"});
    EXPECT_EQ(w.记录编辑框.text(), "x" + block("C:\\d\\a.txt", "alpha") + block("C:\\d\\c.INI", "[s]\r\nk=v"));
    EXPECT_TRUE(sim.messages.empty());

    // What the note keeps is what it shows, and it says so.
    const std::string before = w.记录编辑框.text();
    w.记录编辑框.user_drop({"C:\\d\\u.inf", "C:\\d\\a.txt"});
    EXPECT_EQ(w.记录编辑框.text(), before + block("C:\\d\\u.inf", "\xFF\xFE[") + block("C:\\d\\a.txt", "alpha"));
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_NE(sim.messages[0].text.find("C:\\d\\u.inf"), std::string::npos);
    EXPECT_EQ(sim.messages[0].text.find("a.txt"), std::string::npos);
    EXPECT_EQ(sim.messages[0].owner, &w);
}

TEST_F(NoteTest, OpenDocumentAppendsOrReplaces) {
    sim.put_file("C:\\d\\n.txt", "new");
    NoteWindow& w = open();

    // Empty note: no question, the block is the text.
    sim.file_answers.push_back("C:\\d\\n.txt");
    w.open_document();
    EXPECT_TRUE(sim.messages.empty());
    ASSERT_EQ(sim.dialogs.size(), 1u);
    EXPECT_EQ(sim.dialogs[0].kind, "open");
    EXPECT_EQ(sim.dialogs[0].file.title, "打开文件");
    EXPECT_EQ(sim.dialogs[0].file.filter, "支持的文件格式|*.TXT;*.INI;*.INF;*.KEY");
    EXPECT_EQ(w.记录编辑框.text(), block("C:\\d\\n.txt", "new"));

    w.记录编辑框.user_type("old");
    sim.answers.push_back(Answer::No);
    sim.file_answers.push_back("C:\\d\\n.txt");
    w.open_document();
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.messages[0].text, "您是否需要在载入选定文件前清空本贴内容？");
    EXPECT_EQ(sim.messages[0].title, "询问");
    EXPECT_EQ(sim.messages[0].icon, Icon::Question);
    EXPECT_EQ(sim.messages[0].buttons, Buttons::YesNo);
    EXPECT_TRUE(sim.messages[0].foreground);
    EXPECT_EQ(w.记录编辑框.text(), "old" + block("C:\\d\\n.txt", "new"));

    sim.answers.push_back(Answer::Yes);
    sim.file_answers.push_back("C:\\d\\n.txt");
    w.open_document();
    EXPECT_EQ(w.记录编辑框.text(), block("C:\\d\\n.txt", "new"));

    // Cancelled, unreadable or missing: nothing changes, even after Yes.
    sim.put_file("C:\\d\\locked.txt", "secret");
    sim.unreadable.insert("C:\\d\\locked.txt");
    const std::string before = w.记录编辑框.text();
    for (auto answer : {std::optional<std::string>(), std::optional<std::string>("C:\\d\\locked.txt"),
                        std::optional<std::string>("C:\\d\\gone.txt")}) {
        sim.answers.push_back(Answer::Yes);
        sim.file_answers.push_back(answer);
        w.open_document();
        EXPECT_EQ(w.记录编辑框.text(), before);
    }
}

TEST_F(NoteTest, FilesOfSeveralMegabytesLoadWhole) {
    std::string big(5 * 1024 * 1024, 'a');
    big += "的" "end";  // a CP936 character at the very end
    sim.put_file("C:\\d\\big.txt", big);
    NoteWindow& w = open();
    w.记录编辑框.user_drop({"C:\\d\\big.txt"});
    EXPECT_EQ(w.记录编辑框.text(), block("C:\\d\\big.txt", big));
}

TEST_F(NoteTest, SaveAsText) {
    NoteWindow& w = open();
    w.菜单按钮.user_click();
    ASSERT_EQ(sim.dialogs.size(), 1u);
    EXPECT_EQ(sim.dialogs[0].kind, "menu");
    EXPECT_EQ(sim.dialogs[0].items, NoteWindow::menu_items());
    EXPECT_EQ(sim.dialogs[0].at, (Point{8, 19}));

    // Empty: the message and no dialog.
    sim.menu_answers.push_back(0);
    w.菜单按钮.user_click();
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.messages[0].text, "本贴中没有需要保存的文本！");
    EXPECT_EQ(sim.messages[0].title, "内容？");
    EXPECT_EQ(sim.messages[0].icon, Icon::Error);
    EXPECT_TRUE(sim.messages[0].foreground);
    EXPECT_EQ(sim.dialogs.size(), 2u);  // the two menus only

    const std::string text = "line 1\r\n中文\r\n\tend";
    w.记录编辑框.user_type(text);
    sim.put_file("C:\\d\\out.txt", "an older and much longer content");
    sim.file_answers.push_back("C:\\d\\out.txt");
    EXPECT_TRUE(w.save_as_text());
    EXPECT_EQ(sim.dialogs.back().kind, "save");
    EXPECT_EQ(sim.dialogs.back().file.title, "保存文本");
    EXPECT_EQ(sim.dialogs.back().file.filter, "文本文件(*.txt)|*.TXT");
    EXPECT_EQ(sim.dialogs.back().file.default_ext, "txt");
    EXPECT_EQ(sim.file("C:\\d\\out.txt"), text);
}

TEST_F(NoteTest, ClosingAsksOnlyWhenThereIsText) {
    NoteWindow& w = open();
    close(w);
    EXPECT_TRUE(sim.messages.empty());
    EXPECT_FALSE(note().loaded());

    NoteWindow& w2 = open();
    w2.记录编辑框.user_type("draft");
    sim.answers.push_back(Answer::No);
    w2.关闭按钮.user_click();
    EXPECT_FALSE(w2.topmost());  // dropped while being destroyed
    sim.run_deferred();
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.messages[0].text, "在您关闭小贴前是否需要保存本贴内容？");
    EXPECT_EQ(sim.messages[0].title, "请您确认");
    EXPECT_FALSE(note().loaded());
    EXPECT_TRUE(sim.dialogs.empty());
    EXPECT_EQ(open().记录编辑框.text(), "");

    // Yes saves, and a cancelled save still closes.
    NoteWindow& w3 = *note().window();
    w3.记录编辑框.user_type("keep");
    sim.answers.push_back(Answer::Yes);
    sim.file_answers.push_back("C:\\d\\k.txt");
    sim.make_folder("C:\\d");
    close(w3);
    EXPECT_EQ(sim.file("C:\\d\\k.txt"), "keep");
    EXPECT_FALSE(note().loaded());
    NoteWindow& w4 = open();
    w4.记录编辑框.user_type("keep");
    sim.answers.push_back(Answer::Yes);
    close(w4);
    EXPECT_FALSE(note().loaded());
}

TEST_F(NoteTest, ParkTestsRunInOrder) {
    NoteWindow& w = open();
    struct Case {
        Point at, parked;
        int side;
    } cases[] = {
        {{874, 0}, {1019, 0}, 2},      // right wins over top
        {{2000, 600}, {1019, 600}, 2}, // right wins over bottom
        {{0, 0}, {-145, 0}, 1},        // left wins over top
        {{-30, 600}, {-145, 600}, 1},  // left wins over bottom
        {{300, 498}, {300, 763}, 4},   // bottom wins over top
        {{300, -10}, {300, -265}, 3},
        {{300, 200}, {300, 200}, 0},
    };
    for (const Case& c : cases) {
        w.move(c.at.x, c.at.y);
        w.park();
        EXPECT_EQ((Point{w.rect().left, w.rect().top}), c.parked) << c.at.x << "," << c.at.y;
        EXPECT_EQ(note().docking_side(), c.side) << c.at.x << "," << c.at.y;
    }
}

TEST_F(NoteTest, DragParksWithAutoHideAndKeepsOnScreenWithout) {
    NoteWindow& w = open();
    sim.drag_answers.push_back({-75, 10});
    w.标题标签.user_mouse_down(MouseButton::Left);
    EXPECT_EQ(w.rect().left, 0);
    EXPECT_EQ(w.rect().top, 10);
    sim.drag_answers.push_back({2000, 2000});
    w.user_mouse_down(MouseButton::Left);
    EXPECT_EQ(w.rect().left, 874);
    EXPECT_EQ(w.rect().top, 498);
    EXPECT_FALSE(w.移动时钟.running());

    // Auto-hide on: the button parks at once, a drag past the right edge parks there.
    w.move(300, 200);
    w.固定按钮.user_click();
    EXPECT_EQ(w.固定按钮.text(), "固定小贴");
    EXPECT_EQ(w.移动时钟.interval(), 100);
    EXPECT_EQ(note().docking_side(), 0);
    sim.drag_answers.push_back({950, 100});
    w.标题标签.user_mouse_down(MouseButton::Left);
    EXPECT_EQ(w.rect().left, 1019);
    EXPECT_EQ(note().docking_side(), 2);
    EXPECT_EQ(w.移动时钟.interval(), 100);
    // The saved place is clamped, so the note reopens fully visible.
    EXPECT_EQ(key("left"), "874");
    EXPECT_EQ(key("top"), "100");

    // The pointer at the edge slides it into view on the next tick.
    sim.mouse = {1023, 150};
    sim.advance(100);
    EXPECT_EQ(w.rect().left, 874);
    sim.mouse = {500, 150};
    sim.advance(100);
    EXPECT_EQ(w.rect().left, 1019);

    w.固定按钮.user_click();
    EXPECT_EQ(w.固定按钮.text(), "自动隐藏");
    EXPECT_FALSE(w.移动时钟.running());
    EXPECT_EQ(w.rect().left, 1019);  // stays where it is
}

TEST_F(NoteTest, SavedPositionIsClampedForEverySide) {
    NoteWindow& w = open();
    w.move(-145, 300);
    EXPECT_EQ(key("left"), "0");
    w.move(300, -265);
    EXPECT_EQ(key("top"), "0");
    w.move(300, 763);
    EXPECT_EQ(key("top"), "498");
    w.move(1019, 763);
    new_note();
    NoteWindow& again = open();
    EXPECT_EQ(again.rect().left, 874);
    EXPECT_EQ(again.rect().top, 498);
}

TEST_F(NoteTest, NoteActionInItsThreeStates) {
    NoteWindow& w = open();
    EXPECT_TRUE(note().loaded());
    EXPECT_EQ(note().window(), &w);

    // Open and pinned: nothing more.
    w.move(-50, 100);
    note().note_action();
    EXPECT_EQ(note().window(), &w);
    EXPECT_EQ(w.rect().left, -50);

    // Sliding: stops, comes fully on screen, pinned again.
    w.move(500, 100);
    w.固定按钮.user_click();
    w.move(1019, 100);
    ASSERT_TRUE(w.移动时钟.running());
    note().note_action();
    EXPECT_FALSE(w.移动时钟.running());
    EXPECT_EQ(w.rect().left, 874);
    EXPECT_EQ(w.固定按钮.text(), "自动隐藏");
}

TEST_F(NoteTest, FontAndClear) {
    NoteWindow& w = open();
    Font f;
    f.face = "Arial";
    f.points = 14;
    f.bold = f.strike = true;
    sim.font_answers.push_back(std::make_pair(f, rgb(0, 0, 255)));
    sim.menu_answers = {4};
    w.菜单按钮.user_click();
    EXPECT_EQ(w.记录编辑框.font(), f);
    EXPECT_EQ(w.记录编辑框.text_color(), rgb(0, 0, 255));
    sim.menu_answers = {4};  // cancelled
    w.菜单按钮.user_click();
    EXPECT_EQ(w.记录编辑框.font(), f);
    sim.menu_answers = {5};
    w.菜单按钮.user_click();
    EXPECT_EQ(w.记录编辑框.font().face, "宋体");
    EXPECT_EQ(w.记录编辑框.font().points, 9);
    EXPECT_FALSE(w.记录编辑框.font().bold || w.记录编辑框.font().strike);
    EXPECT_EQ(w.记录编辑框.text_color(), kBlack);

    w.记录编辑框.user_type("abc");
    w.记录编辑框.user_double_click();
    EXPECT_EQ(w.记录编辑框.text(), "");
    w.记录编辑框.user_type("abc");
    sim.menu_answers = {2};
    w.菜单按钮.user_click();
    EXPECT_EQ(w.记录编辑框.text(), "");
    EXPECT_TRUE(sim.messages.empty());
}

TEST_F(NoteTest, RecoveryKeepsTextAcrossExitAndCrash) {
    // At exit.
    NoteWindow& w = open();
    w.记录编辑框.user_type("at exit 中");
    note().close_for_exit();
    sim.run_deferred();
    EXPECT_FALSE(note().loaded());
    EXPECT_TRUE(sim.messages.empty());
    EXPECT_EQ(recovery(), "at exit 中");
    EXPECT_EQ(sim.file(kDir + "\\note.recover"), recovery());

    // The next open starts with it and keeps the file: a crash before the
    // first keystroke loses nothing.
    EXPECT_EQ(open().记录编辑框.text(), "at exit 中");
    EXPECT_EQ(recovery(), "at exit 中");
    new_note();
    NoteWindow& w2 = open();
    EXPECT_EQ(w2.记录编辑框.text(), "at exit 中");

    // While typing: written once typing pauses for 1.5 s.
    w2.记录编辑框.user_type("typed");
    sim.advance(1000);
    w2.记录编辑框.user_type("typed more");
    sim.advance(1400);
    EXPECT_EQ(recovery(), "at exit 中");
    sim.advance(100);
    EXPECT_EQ(recovery(), "typed more");

    // A crash now: the file still holds the text for the next start.
    new_note();
    EXPECT_EQ(open().记录编辑框.text(), "typed more");
    new_note();

    // "No" at close discards the text and its recovery.
    NoteWindow& w3 = open();
    w3.记录编辑框.user_type("throw away");
    sim.advance(1500);
    ASSERT_TRUE(recovery());
    sim.answers.push_back(Answer::No);
    close(w3);
    EXPECT_FALSE(recovery());
    sim.advance(3000);
    EXPECT_FALSE(recovery());

    // Exit right after the note was emptied leaves no stale recovery; with
    // no note open an exit leaves the kept text of a crash alone.
    NoteWindow& w4 = open();
    w4.记录编辑框.user_type("x");
    sim.advance(1500);
    ASSERT_TRUE(recovery());
    w4.记录编辑框.user_double_click();
    note().close_for_exit();
    EXPECT_FALSE(recovery());
    sim.put_file(recovery_path(), "from a crash");
    note().close_for_exit();
    EXPECT_EQ(recovery(), "from a crash");
}

TEST_F(NoteTest, NothingBehindTheNotesBoxesClosesItUnderThem) {
    sim.make_folder("C:\\d");
    NoteWindow& w = open();
    w.记录编辑框.user_type("draft");
    // Behind the close question × is out of reach; a second close that came
    // all the same (an owner left enabled) is refused.
    sim.while_shown = [&] {
        EXPECT_FALSE(w.关闭按钮.reachable());
        w.关闭按钮.user_click();
        w.关闭按钮_click();
        w.user_close();
        sim.run_deferred();  // held while the box is up: nothing is freed under it
    };
    sim.answers.push_back(Answer::Yes);
    sim.file_answers.push_back("C:\\d\\k.txt");
    close(w);
    EXPECT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.dialogs.size(), 1u);
    EXPECT_EQ(sim.file("C:\\d\\k.txt"), "draft");
    EXPECT_FALSE(note().loaded());

    // Closed and deleted behind the open dialog: the chosen file goes nowhere.
    sim.put_file("C:\\d\\n.txt", "new");
    NoteWindow& w2 = open();
    sim.while_shown = [&] {
        w2.关闭按钮_click();
        sim.run_deferred();
    };
    sim.file_answers.push_back("C:\\d\\n.txt");
    w2.open_document();
    EXPECT_FALSE(note().loaded());
    sim.advance(3000);
    EXPECT_FALSE(recovery());

    // The program ends behind the close question: its text stays kept.
    NoteWindow& w3 = open();
    w3.记录编辑框.user_type("kept");
    sim.while_shown = [&] {
        note().close_for_exit();
        sim.run_deferred();
    };
    sim.answers.push_back(Answer::No);
    w3.关闭按钮_click();
    EXPECT_FALSE(note().loaded());
    EXPECT_EQ(recovery(), "kept");
}

TEST_F(NoteTest, AFailedSaveIsToldAndItsTextKept) {
    sim.make_folder("C:\\d");
    NoteWindow& w = open();
    w.记录编辑框.user_type("precious");
    sim.answers.push_back(Answer::Yes);
    sim.file_answers.push_back("C:\\d\\p.txt");
    sim.fail_writes(1);
    close(w);
    EXPECT_FALSE(note().loaded());
    ASSERT_EQ(sim.messages.size(), 2u);
    EXPECT_EQ(sim.messages[1].icon, Icon::Error);
    EXPECT_FALSE(sim.file("C:\\d\\p.txt"));
    EXPECT_EQ(recovery(), "precious");
}

}  // namespace
}  // namespace q::note
