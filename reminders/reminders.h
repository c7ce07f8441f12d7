// The reminder subsystem as the rest of the program sees it: the reminder
// table held open for the life of the process, the scheduler tick and the popup.
#pragma once

#include <functional>
#include <optional>

#include "platform/system.h"
#include "platform/window_slot.h"
#include "reminders/popup.h"
#include "reminders/scheduler.h"
#include "reminders/table.h"

namespace q::reminders {

class Reminders : private PopupOwner {
public:
    // What the subsystem asks of the program; a hook left empty does nothing.
    struct Hooks {
        std::function<void()> hide_bar;     // hides the main bar (the popup opens)
        // A task ends Windows: the program's exit work, then the forced end of
        // the session, then the end of the process.
        std::function<void(EndSession)> end_windows;
    };

    explicit Reminders(Hooks hooks = {});
    Reminders(const Reminders&) = delete;
    Reminders& operator=(const Reminders&) = delete;

    // Opens program directory + "\plan.edb" with the store's password.
    bool open_table();
    // Records of the open table (0 when it is not open).
    int record_count() const;
    bool table_open() const;
    // Writes any unsaved change and closes the table.
    void close_table();
    // Handler of the main bar's reminder timer (once a second).
    void tick();
    // Loads the reminder popup: reminder mode for a reminder that fell due,
    // greeting without one.
    void open_popup(const std::optional<Reminder>& due = std::nullopt);
    // The open popup, or nullptr.
    Popup* popup() const { return popup_.get(); }

    table::OpenTable& table() { return table_; }
    Scheduler& scheduler() { return scheduler_; }
    const PopupState& popup_state() const { return popup_state_; }

private:
    // The popup keeps its state here, runs the hooks and closes its own slot.
    PopupState& kept_state() override { return popup_state_; }
    void hide_bar() override;
    void end_windows(EndSession how) override;
    void close_window(const Popup& p) override;

    Hooks hooks_;
    table::OpenTable table_;
    Scheduler scheduler_;
    PopupState popup_state_;
    WindowSlot<Popup> popup_;
};

}  // namespace q::reminders
