// Global hotkeys: the hotkey file, registration on the main bar window, and
// the dispatch loop that is the program's message loop after start-up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace q::hotkeys {

// Program directory + "\hotkey.ini".
std::string file_path();

// Registers every stored entry ([0]..[10] with a non-empty yes); ids are
// appended to the registered list even when registration fails.
void register_all();
// Unregisters the registered list in order, then empties it.
void unregister_all();
// Waits for messages and runs hotkeys until the stop flag is 1 (or the
// program's messages end).
void dispatch_loop();

const std::vector<std::uint8_t>& registered();
int stop_flag();
void set_stop_flag(int v);
// The function list item of the entry that owned a combination last found taken.
const std::string& owner_name();

// Items of the function list (function numbers 0..10).
const std::vector<std::string>& function_items();
// Items of the modifier list (index = modifier mask 0..7).
const std::vector<std::string>& modifier_items();
// Key list: 38 items "A".."Z", "0".."9", "TAB", "ESC" and their virtual-key codes.
const std::vector<std::string>& key_items();
int key_code(int key_index);

// Conflict check: the first other stored function m (0..10, m != n) bound to
// the same key index and modifier, or -1. Sets owner_name() on a hit.
int find_conflict(int n, int modifier, int key_index);
// Stores [n] yes/function/key/keyvalue (no registration).
void store(int n, int modifier, int key_index);

// Back to the start values (tests).
void reset();

}  // namespace q::hotkeys
