// The quick launcher: its window, opened and closed by main bar function 7,
// and the state that outlives the window.
#pragma once

#include "launcher/group_store.h"
#include "launcher/launcher_window.h"
#include "platform/window_slot.h"

namespace q::launcher {

class Launcher {
public:
    Launcher() = default;
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Main bar function 7, after the bar is hidden: closes the open window,
    // or opens a new one.
    void toggle();
    bool loaded() const { return window_.get() != nullptr; }
    LauncherWindow* window() const { return window_.get(); }
    void close_window() { window_.close(); }
    // The settings page changed the options: the open window follows.
    void reapply_transparency() {
        if (window_.get()) window_.get()->reapply_transparency();
    }

    State& state() { return state_; }

private:
    WindowSlot<LauncherWindow> window_;
    State state_;
};

}  // namespace q::launcher
