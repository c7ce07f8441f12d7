// Portable UI objects driven by a test user: on the sim through user_*, on
// Windows through real messages to the controls, with the same expected events.
#include <functional>

#include "tests/contract/contract_env.h"

namespace q::contract {
namespace {

using ContractUi = ContractTest;

// One gesture and the events it must raise, in order; "?" entries are the
// focus moves Windows adds around a click.
struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<std::string> expected;
};

struct Form : Window {
    Form() : Window(Rect{120, 100, 420, 330}, "契约窗口", Window::Style{}) {}
    static Edit::Mode multi_mode() {
        Edit::Mode m;
        m.multi_line = true;
        m.vertical_scroll = true;
        return m;
    }
    static Edit::Mode drop_mode() {
        Edit::Mode m;
        m.accept_files = true;
        return m;
    }
    Button button{this, Rect{10, 10, 80, 24}, "确定"};
    Label label{this, Rect{100, 14, 120, 20}, "标签"};
    Edit line{this, Rect{10, 40, 200, 22}};
    Edit multi{this, Rect{10, 70, 200, 60}, multi_mode()};
    Edit files{this, Rect{220, 40, 180, 22}, drop_mode()};
    static Edit::Mode short_mode() {
        Edit::Mode m;
        m.max_bytes = 5;
        return m;
    }
    Edit brief{this, Rect{220, 70, 180, 22}, short_mode()};
    CheckBox check{this, Rect{10, 140, 120, 20}, "开机自动运行"};
    DropDown drop{this, Rect{140, 140, 120, 22}, {"甲", "乙", "丙"}};
    ListView list{this, Rect{10, 170, 250, 90}, {{"名称", 120}, {"目录", 100}}, true};
    Slider slider{this, Rect{270, 170, 130, 24}, 0, 200};
};

TEST_F(ContractUi, GesturesRaiseTheSameEventsOnBothBackendsAndHandlersSeeTheNewState) {
    EventLog log;  // outlives the form: Windows reports focus moves while it goes
    Form f;
    log.watch(f, "Win");
    log.watch(f.button, "Button");
    log.watch_mouse_down(f.button, "Button");
    log.watch(f.label, "Label");
    log.watch(f.line, "Line");
    log.watch(f.multi, "Multi");
    log.watch(f.files, "Files");
    log.watch(f.brief, "Brief");
    log.watch(f.check, "Check");
    log.watch(f.drop, "Drop");
    log.watch(f.list, "List");
    log.watch(f.slider, "Slider");
    // A label's press is counted aside: Windows reports its click (STN_CLICKED
    // comes with the button going down) before the mouse-down, the sim after.
    int label_downs = 0;
    f.label.on_mouse_down = [&](MouseButton) { ++label_downs; };
    for (const char* name : {"一.mp3", "二.mp3", "三.mp3"}) f.list.set_cell(f.list.append_row(), 0, name);

    user().press(f.button);  // not created yet: nobody can click it
    f.create();
    ASSERT_TRUE(f.created());
    f.show();
    pump(50);

    // Setters from code raise nothing, even once the peers have seen them.
    f.button.set_text("取消");
    f.label.set_text("新标签");
    f.line.set_text("代码写的");
    f.multi.set_text("第一行\r\n第二行");
    f.check.set_checked(true);
    f.check.set_checked(false);
    f.drop.select(1);
    f.list.select(0);
    f.list.set_row_checked(0, true);
    f.slider.set_position(40);
    pump(50);
    EXPECT_TRUE(log.matches({"?*:focus", "?*:blur"}));
    EXPECT_EQ(f.line.text(), "代码写的");
    EXPECT_EQ(f.multi.text(), "第一行\r\n第二行");
    EXPECT_EQ(f.drop.selected_text(), "乙");

    const std::vector<Step> steps = {
        {"press the button", [&] { user().press(f.button); },
         {"?*:blur", "?Button:focus", "Button:down left", "Button:click"}},
        {"type a line", [&] { user().type(f.line, "用户输入"); },
         {"?*:blur", "?Line:focus", "Line:change 用户输入"}},
        {"type the same line again", [&] { user().type(f.line, "用户输入"); }, {}},
        {"type lines", [&] { user().type(f.multi, "甲\r\n乙\r\n"); },
         {"?*:blur", "?Multi:focus", "Multi:change 甲\r\n乙\r\n"}},
        {"clear the lines", [&] { user().type(f.multi, ""); }, {"Multi:change "}},
        // 5 bytes: a third double-byte character does not fit, wherever it goes;
        // the box counts UTF-16 units, so only the program can refuse it.
        {"type up to a limit", [&] { user().type(f.brief, "定时"); },
         {"?*:blur", "?Brief:focus", "Brief:change 定时"}},
        {"insert past the limit", [&] { user().type(f.brief, "提定时"); }, {}},
        {"tick", [&] { user().tick(f.check); }, {"?*:blur", "?Check:focus", "Check:click on"}},
        {"untick", [&] { user().tick(f.check); }, {"Check:click off"}},
        {"pick an item", [&] { user().pick(f.drop, 2); }, {"?*:blur", "?Drop:focus", "Drop:change 2 丙"}},
        {"pick a row", [&] { user().pick(f.list, 1); }, {"?*:blur", "?List:focus", "List:pick 1"}},
        {"tick another row", [&] { user().tick(f.list, 2); }, {"List:pick 2", "List:check 2 on"}},
        {"untick the selected row", [&] { user().tick(f.list, 2); }, {"List:check 2 off"}},
        {"untick the first row", [&] { user().tick(f.list, 0); }, {"List:pick 0", "List:check 0 off"}},
        {"drag the slider", [&] { user().move(f.slider, 150); },
         {"?*:blur", "?Slider:focus", "Slider:change 150"}},
        {"drag the slider back where it stands", [&] { user().move(f.slider, 150); }, {}},
        {"click the label", [&] { user().press(f.label); }, {"Label:click"}},
        {"drop files", [&] { user().drop(f.files, {"C:\\音乐\\一.mp3", "D:\\b c.txt"}); },
         {"Files:drop C:\\音乐\\一.mp3 D:\\b c.txt"}},
        {"drop on a box that takes no files", [&] { user().drop(f.line, {"C:\\x.txt"}); }, {}},
        {"close the window", [&] { user().close(f); }, {"Win:close"}},
    };
    for (const Step& s : steps) {
        s.act();
        pump(20);
        EXPECT_TRUE(log.matches(s.expected)) << s.what;
    }
    EXPECT_EQ(label_downs, 1);
    EXPECT_EQ(f.line.text(), "用户输入");
    EXPECT_EQ(f.multi.text(), "");
    EXPECT_EQ(f.brief.text(), "定时");
    EXPECT_FALSE(f.check.checked());
    EXPECT_EQ(f.drop.selection(), 2);
    EXPECT_EQ(f.list.selection(), 0);
    EXPECT_FALSE(f.list.row_checked(0));
    EXPECT_EQ(f.slider.position(), 150);
    EXPECT_TRUE(f.created());  // closing is the program's decision

    // Hidden or disabled controls, or a hidden window, cannot be reached; what
    // the control showed meanwhile is taken back. Windows may still move the
    // focus, but the controls out of reach report nothing.
    const std::vector<std::string> kFocusMay = {"?*:blur", "?*:focus", "?*:blur"};
    const std::vector<Step> refused = {
        {"press a hidden button", [&] {
             f.button.hide();
             user().press(f.button);
             f.button.show();
         }, kFocusMay},
        {"press a disabled button", [&] {
             f.button.set_enabled(false);
             user().press(f.button);
             f.button.set_enabled(true);
         }, kFocusMay},
        {"type into a hidden window", [&] { f.hide(); user().type(f.line, "看不见"); }, kFocusMay},
        {"tick in a hidden window", [&] { user().tick(f.check); }, kFocusMay},
        {"pick in a hidden window", [&] { user().pick(f.drop, 0); }, kFocusMay},
        {"pick a row in a hidden window", [&] { user().pick(f.list, 1); }, kFocusMay},
        {"drag in a hidden window", [&] { user().move(f.slider, 10); }, kFocusMay},
    };
    for (const Step& s : refused) {
        s.act();
        pump(20);
        EXPECT_TRUE(log.matches(s.expected)) << s.what;
    }
    EXPECT_EQ(f.line.text(), "用户输入");
    EXPECT_FALSE(f.check.checked());
    EXPECT_EQ(f.drop.selection(), 2);
    EXPECT_EQ(f.list.selection(), 0);
    EXPECT_EQ(f.slider.position(), 150);
    f.show();
    pump(20);
    // Back in reach, the controls behave as before: their peers were not left behind.
    user().type(f.line, "又看见了");
    user().pick(f.drop, 1);
    pump(20);
    EXPECT_TRUE(log.matches({"?*:focus", "?*:blur", "?Line:focus", "Line:change 又看见了", "?Line:blur", "?Drop:focus",
                             "Drop:change 1 乙"}));

    int moved = 0, destroyed = 0;
    f.on_moved = [&] { ++moved; };
    f.on_destroy = [&] { ++destroyed; };
    f.move(200, 150);
    pump(50);
    EXPECT_GE(moved, 1);
    EXPECT_EQ(f.rect().left, 200);
    EXPECT_EQ(f.rect().top, 150);

    f.destroy();
    f.destroy();
    pump(50);
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(f.created());
    user().press(f.button);
    EXPECT_TRUE(log.matches({"?*:blur", "?*:blur"}));
}

}  // namespace
}  // namespace q::contract
