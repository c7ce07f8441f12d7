// The contract fixture on the simulated backend: a fresh SimSystem per test,
// and a user who calls the portable user_* methods.
#include <memory>

#include "platform/sim/sim_system.h"
#include "tests/contract/contract_env.h"

namespace q::contract {

namespace {
std::unique_ptr<sim::SimSystem> g_sim;
}

void ContractTest::SetUp() {
    g_sim = std::make_unique<sim::SimSystem>();
    folder_ = "C:\\ct\\case";
    g_sim->make_folder(folder_);
}

void ContractTest::TearDown() { g_sim.reset(); }

void ContractTest::pump(int ms) {
    // Posted messages first, as a message loop would see them.
    g_sim->process_pending();
    g_sim->advance(ms);
    g_sim->process_pending();
}

void ContractTest::answer_next_box(Answer a) { g_sim->answers.push_back(a); }

Box ContractTest::last_box() const {
    if (g_sim->messages.empty()) return {};
    const sim::ShownMessage& m = g_sim->messages.back();
    return {m.text, m.title, m.icon, m.buttons};
}

bool ContractTest::simulated() { return true; }

// ---- the user ----

void User::press(Control& c) {
    c.user_mouse_down(MouseButton::Left);
    c.user_click();
}

void User::type(Edit& e, const std::string& text) { e.user_type(text); }

void User::drop(Edit& e, const std::vector<std::string>& paths) { e.user_drop(paths); }

void User::drop(Window& w, const std::vector<std::string>& paths) { w.user_drop(paths); }

void User::pick(ListBox& l, int item) { l.user_select(item); }

void User::type_key(Control& c, int ch) { c.user_key(ch); }

void User::pick(DropDown& d, int item) { d.user_select(item); }

void User::pick(ListView& l, int row) { l.user_pick(row); }

void User::tick(ListView& l, int row) {
    if (l.selection() != row) l.user_pick(row);
    l.user_check(row, !l.row_checked(row));
}

void User::move(Slider& s, int position) { s.user_move(position); }

void User::pick_date(DatePicker& d, const DateTime& date) { d.user_pick(date); }

void User::spin(SpinEdit& s, int steps) {
    for (int i = 0; i < (steps < 0 ? -steps : steps); ++i) s.user_spin(steps < 0 ? -1 : 1);
}

void User::close(Window& w) { w.user_close(); }

void User::tray(Window& owner, TrayEvent e) { g_sim->tray_click(owner, e); }

void User::keys(int modifiers, int virtual_key) {
    // The system posts WM_HOTKEY to whoever holds the combination.
    for (const auto& [who, keys] : g_sim->hotkeys)
        if (keys == std::make_pair(modifiers, virtual_key)) g_sim->post_hotkey(*who.first, who.second);
}

}  // namespace q::contract
