// Global hotkeys: the hotkey file, registration on the main bar window, and
// the dispatch loop that is the program's message loop after start-up.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/ui.h"

namespace q::hotkeys {

// Program directory + "\hotkey.ini".
std::string file_path();
// Its writes skip the disk flush, as set.ini's do: it is small and set again
// as easily as it was set.
constexpr FileSystem::Flush kFileFlush = FileSystem::Flush::No;

class Hotkeys {
public:
    // Hotkeys are registered on owner; run_function runs the main bar
    // function of a hotkey the dispatch loop takes.
    Hotkeys(Window& owner, std::function<void(int)> run_function);
    Hotkeys(const Hotkeys&) = delete;
    Hotkeys& operator=(const Hotkeys&) = delete;

    // Registers every stored entry ([0]..[10] with a non-empty yes); ids are
    // appended to the registered list even when registration fails.
    void register_all();
    // The ids whose registration failed in the last register_all (another
    // program holds the combination), in order.
    const std::vector<int>& failed() const { return failed_; }
    // Unregisters the registered list in order, then empties it.
    void unregister_all();
    // Waits for messages and runs hotkeys until the stop flag is 1 (or the
    // program's messages end).
    void dispatch_loop();

    const std::vector<std::uint8_t>& registered() const { return registered_; }
    int stop_flag() const { return stop_; }
    void set_stop_flag(int v) { stop_ = v; }
    // The function list item of the entry that owned a combination last found taken.
    const std::string& owner_name() const { return owner_name_; }

    // Conflict check: the first other stored function m (0..10, m != n) bound
    // to the same key index and modifier, or -1. Sets owner_name() on a hit.
    int find_conflict(int n, int modifier, int key_index);

private:
    Window& owner_;
    std::function<void(int)> run_function_;
    std::vector<std::uint8_t> registered_;  // ids registered on the owner, in order
    std::vector<int> failed_;
    int stop_ = 0;                          // 1 ends the dispatch loop
    std::string owner_name_;
};

// Items of the function list (function numbers 0..10).
const std::vector<std::string>& function_items();
// Items of the modifier list (index = modifier mask 0..7).
const std::vector<std::string>& modifier_items();
// Key list: 38 items "A".."Z", "0".."9", "TAB", "ESC" and their virtual-key codes.
const std::vector<std::string>& key_items();
int key_code(int key_index);

// Stores [n] yes/function/key/keyvalue (no registration).
void store(int n, int modifier, int key_index);

}  // namespace q::hotkeys
