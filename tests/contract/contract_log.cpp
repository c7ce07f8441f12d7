// The event recorder of the contract tests and its comparison with the
// expected sequences.
#include <sstream>

#include "platform/text.h"
#include "tests/contract/contract_env.h"

namespace q::contract {

namespace {

const char* on_off(bool b) { return b ? "on" : "off"; }

bool optional_entry(const std::string& pattern) { return !pattern.empty() && pattern[0] == '?'; }

bool entry_matches(std::string pattern, const std::string& entry) {
    if (optional_entry(pattern)) pattern.erase(0, 1);
    if (pattern.size() >= 2 && pattern[0] == '*' && pattern[1] == ':') {
        const std::size_t colon = entry.find(':');
        return colon != std::string::npos && entry.compare(colon, std::string::npos, pattern, 1) == 0;
    }
    return pattern == entry;
}

std::string listed(const std::vector<std::string>& v) {
    std::ostringstream out;
    for (const std::string& s : v) out << "\n    " << s;
    if (v.empty()) out << "\n    (nothing)";
    return out.str();
}

}  // namespace

void EventLog::watch(Control& c, const std::string& name) {
    c.on_click = [this, name] { add(name + ":click"); };
    c.on_double_click = [this, name] { add(name + ":dblclick"); };
    c.on_focus = [this, name] { add(name + ":focus"); };
    c.on_focus_lost = [this, name] { add(name + ":blur"); };
}

void EventLog::watch(Edit& e, const std::string& name) {
    watch(static_cast<Control&>(e), name);
    e.on_change = [this, name, &e] { add(name + ":change " + e.text()); };
    e.on_files_dropped = [this, name](const std::vector<std::string>& paths) {
        std::string s = name + ":drop";
        for (const std::string& p : paths) s += " " + p;
        add(s);
    };
}

void EventLog::watch(CheckBox& c, const std::string& name) {
    watch(static_cast<Control&>(c), name);
    c.on_click = [this, name, &c] { add(name + ":click " + on_off(c.checked())); };
}

void EventLog::watch(DropDown& d, const std::string& name) {
    watch(static_cast<Control&>(d), name);
    d.on_change = [this, name, &d] { add(name + ":change " + decimal(d.selection()) + " " + d.selected_text()); };
}

void EventLog::watch(ListView& l, const std::string& name) {
    watch(static_cast<Control&>(l), name);
    l.on_pick = [this, name, &l] { add(name + ":pick " + decimal(l.selection())); };
    l.on_check = [this, name, &l](int row) { add(name + ":check " + decimal(row) + " " + on_off(l.row_checked(row))); };
}

void EventLog::watch(Slider& s, const std::string& name) {
    watch(static_cast<Control&>(s), name);
    s.on_change = [this, name, &s] { add(name + ":change " + decimal(s.position())); };
}

void EventLog::watch(SpinEdit& s, const std::string& name) {
    watch(static_cast<Control&>(s), name);
    s.on_change = [this, name, &s] { add(name + ":change " + s.text()); };
}

void EventLog::watch(Window& w, const std::string& name) {
    w.on_close = [this, name] { add(name + ":close"); };
    w.on_hotkey = [this, name](int id) { add(name + ":hotkey " + decimal(id)); };
}

void EventLog::watch_mouse_down(Control& c, const std::string& name) {
    c.on_mouse_down = [this, name](MouseButton b) {
        add(name + (b == MouseButton::Left ? ":down left" : ":down right"));
    };
}

::testing::AssertionResult EventLog::matches(const std::vector<std::string>& expected) {
    std::vector<std::string> got;
    got.swap(entries_);
    // can[i][j]: expected[i..] accounts for got[j..] exactly.
    const std::size_t n = expected.size(), m = got.size();
    std::vector<std::vector<char>> can(n + 1, std::vector<char>(m + 1, 0));
    can[n][m] = 1;
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m + 1; j-- > 0;)
            can[i][j] = (optional_entry(expected[i]) && can[i + 1][j]) ||
                        (j < m && entry_matches(expected[i], got[j]) && can[i + 1][j + 1]);
    if (can[0][0]) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "events" << listed(got) << "\n  expected" << listed(expected);
}

}  // namespace q::contract
