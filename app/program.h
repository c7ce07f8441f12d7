// The process life cycle: entry, start-up sequence, exit procedure, and the
// autostart entry in the registry.
#pragma once

#include <string>

namespace q {

// Entry: creates the main bar hidden and runs the start-up sequence; returns
// when the dispatch loop ends (in the sim, also after end_process).
void program_main();
// The start-up sequence (the main bar's creation handler), steps 1 to 11.
void startup_sequence();
// The only orderly end. Calls sys().process.end_process(0) last; returns in the sim.
void exit_procedure();

// Everything the program keeps between events, back to its start values
// (main bar, hotkey state). Tests call it before their SimSystem goes.
void reset_program_state();

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
// One of the two hives holds exactly this data (letter case aside).
bool holds(const std::string& name, const std::string& data);
// Writes under HKLM; when that fails, under HKCU. True when either took it.
bool write(const std::string& name, const std::string& data);
// Removes the value from both.
void remove(const std::string& name);
}  // namespace autostart

}  // namespace q
