// The process life cycle: entry, start-up sequence, exit procedure, and the
// autostart entry in the registry.
#pragma once

#include <optional>
#include <string>

#include "app/about_window.h"
#include "app/main_bar.h"
#include "app/settings_window.h"
#include "hotkeys/hotkeys.h"
#include "launcher/launcher.h"
#include "media/media.h"
#include "note/note.h"
#include "platform/entry.h"
#include "platform/liveness.h"
#include "reminders/reminders.h"

namespace q {

// The running program: the main bar and the state of every subsystem, wired
// together. program_main builds one; a test builds a fresh one.
class Program {
public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Creates the main bar hidden and runs the start-up sequence; returns
    // when the dispatch loop ends (in the sim, also after end_process).
    void main();
    // The start-up sequence (the main bar's creation handler), steps 1 to 11.
    void startup_sequence();
    // The only orderly end. Calls sys().process.end_process(0) last; returns in the sim.
    void exit_procedure();
    // A reminder's shut-down, log-off or restart: the exit procedure's work,
    // then Windows is asked to end the session, then the process ends.
    void end_windows(EndSession how);

    void hide_main_bar() { bar_.hide(); }
    // Main bar function n (0..10): hides the bar, then acts; other numbers do nothing.
    void run_main_bar_function(int n);
    // Runs the function of a tray action value ([set] tray, 0..7); others do nothing.
    void run_tray_action(int value);

    MainBar& bar() { return bar_; }
    hotkeys::Hotkeys& hotkeys() { return hotkeys_; }
    reminders::Reminders& reminders() { return reminders_; }
    note::Note& note() { return note_; }
    launcher::Launcher& launcher() { return launcher_; }
    media::Media& media() { return media_; }
    // The program's own belief about the CD door.
    int door_open_flag() const { return door_open_; }

    // Main bar function 8: loads the settings window, or brings the open one forward.
    SettingsWindow& open_settings();
    // Main bar function 6: the settings window on its reminders page, the
    // tab-changed handler run even when it was open already.
    void open_reminders_page();
    // The settings window on its wallpaper and music page, on this list kind
    // when given (a list the changer or player misses).
    void open_media_page(std::optional<media::ListKind> preset = std::nullopt);
    // Main bar function 9: loads the about window, or brings the open one forward.
    AboutWindow& open_about();
    SettingsWindow* settings_window() const { return settings_.get(); }
    AboutWindow* about_window() const { return about_.get(); }
    void close_settings_window() { settings_.close(); }
    void close_about_window() { about_.close(); }

private:
    // The exit procedure up to the end of the process; false when it already ran.
    bool exit_work();
    void action_cd_door();

    // The bar goes last: the other windows and the hotkeys refer to it.
    MainBar bar_;
    media::Media media_;
    hotkeys::Hotkeys hotkeys_;
    reminders::Reminders reminders_;
    note::Note note_;
    launcher::Launcher launcher_;
    WindowSlot<SettingsWindow> settings_;
    WindowSlot<AboutWindow> about_;
    int door_open_ = 0;
    bool exited_ = false;  // the exit procedure has run
    Liveness liveness_;    // for work deferred past a handler
};

namespace autostart {
constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kName = "Quillet";
// The entry's data for this program: program directory + "\" + program file
// name, in double quotes when it holds a space.
std::string program_command();
// Held under HKEY_LOCAL_MACHINE or, failing that, HKEY_CURRENT_USER.
bool exists(const std::string& name);
// The data stored (HKLM first), empty when none.
std::string data(const std::string& name);
// A hive holds exactly this data (letter case aside) and neither names
// anything else: Windows starts this and only this at logon.
bool holds(const std::string& name, const std::string& data);
// Writes under HKLM; when that fails, under HKCU. True when either took it.
bool write(const std::string& name, const std::string& data);
// Removes the value from both; false when one is still there.
bool remove(const std::string& name);
}  // namespace autostart

}  // namespace q
