// The contract tests run the same assertions against the sim (natively) and
// against the win32 backend (under Wine). Each backend supplies this fixture
// and the test user: tests/platform/sim_contract_env.cpp and
// tests/win32/win_contract_env.cpp.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/ui.h"

namespace q::contract {

// What a person does to the program. On the sim it calls the portable user_*
// methods; on win32 it sends the control's window what Windows sends for the
// real gesture (BM_CLICK, EM_REPLACESEL, CB_SETCURSEL with CBN_SELCHANGE,
// LVM_SETITEMSTATE, WM_DROPFILES, ...), so an event that arrives proves the
// peer turned a real notification into it. Windows may add focus events.
class User {
public:
    // A left click on a button, check box, label or picture button.
    void press(Control& c);
    void tick(CheckBox& c) { press(c); }
    // Selects the whole text and types (or pastes) text over it.
    void type(Edit& e, const std::string& text);
    // Files dragged from the shell and dropped on the box, in that order.
    void drop(Edit& e, const std::vector<std::string>& paths);
    // The same onto a window that takes dropped files.
    void drop(Window& w, const std::vector<std::string>& paths);
    void pick(ListBox& l, int item);
    // A character typed into the control that has the focus.
    void type_key(Control& c, int ch);
    void pick(DropDown& d, int item);
    // Selects a row that is not selected yet (keyboard or click).
    void pick(ListView& l, int row);
    // Selects the row when needed, then toggles its box with the space bar.
    void tick(ListView& l, int row);
    // Drags the slider's thumb to position.
    void move(Slider& s, int position);
    // Presses the up arrow (steps > 0) or the down arrow of a spin edit, steps times.
    void spin(SpinEdit& s, int steps);
    // Chooses a date in the picker's calendar.
    void pick_date(DatePicker& d, const DateTime& date);
    // The close button of the title bar.
    void close(Window& w);
    // The shell reports a mouse action on the owner's notification-area icon.
    void tray(Window& owner, TrayEvent e);
    // A key combination pressed anywhere; modifiers as for Desktop::register_hotkey.
    void keys(int modifiers, int virtual_key);
};

// A message box as the user saw it.
struct Box {
    std::string text, title;
    std::optional<Icon> icon;        // nothing: an icon the test does not know
    std::optional<Buttons> buttons;  // nothing: another set of buttons
};

class ContractTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A fresh, empty, existing folder for this test, without a trailing "\".
    std::string folder() const { return folder_; }
    // Runs timers and pending messages for about ms milliseconds of (virtual or real) time.
    void pump(int ms);
    // Answers the next message box: the sim takes it from its script; win32
    // presses the button in the box that appears and reads its texts.
    void answer_next_box(Answer a);
    // The last message box shown (after it was answered).
    Box last_box() const;
    std::string last_box_text() const { return last_box().text; }
    std::string last_box_title() const { return last_box().title; }
    User& user() { return user_; }
    // True on the simulated backend (for the few checks that only one side can make).
    static bool simulated();

private:
    std::string folder_;
    User user_;
};

// Records events as "<name>:<event>[ <state read in the handler>]", e.g.
// "Box:click on", "Edit:change 用户输入", "List:check 2 off".
class EventLog {
public:
    void add(std::string entry) { entries_.push_back(std::move(entry)); }
    // Hooks click, double click, focus ("focus") and focus lost ("blur"), and
    // the kind's own events; a window's close and hotkeys.
    void watch(Control& c, const std::string& name);
    void watch(Edit& e, const std::string& name);
    void watch(CheckBox& c, const std::string& name);
    void watch(DropDown& d, const std::string& name);
    void watch(ListView& l, const std::string& name);
    void watch(Slider& s, const std::string& name);
    void watch(SpinEdit& s, const std::string& name);
    void watch(Window& w, const std::string& name);
    // Left and right button presses ("down left", "down right").
    void watch_mouse_down(Control& c, const std::string& name);

    // Compares the entries so far with expected, then forgets them. An
    // expected entry starting with "?" may be missing (Windows adds focus
    // events the sim does not); "*" as the name stands for any name.
    ::testing::AssertionResult matches(const std::vector<std::string>& expected);

private:
    std::vector<std::string> entries_;
};

}  // namespace q::contract
