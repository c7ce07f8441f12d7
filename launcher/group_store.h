// The launcher's groups: one INI file per group in APrg, 24 slots each, and
// the state the launcher window and the settings page share.
#pragma once

#include <string>
#include <vector>

namespace q::launcher {

constexpr int kSlots = 24;

// Kept for the life of the process; survives closing the launcher window.
struct State {
    int current_group = 0;  // 0: none chosen yet
    int current_page = 0;   // page p shows groups 8p+1 .. 8p+8
    int current_slot = 0;
    std::string cut_caption, cut_path;  // an empty caption: nothing to paste
    int group_count = 0;                // the settings page's count, kept in step with total
};

// Program dir + "\APrg" (one spelling on every file system).
std::string group_folder();
// Program dir + "\APrg\grpN.ini".
std::string group_file(int n);
bool group_exists(int n);

// [acprg] total as far as group files reach: 0 up to the highest
// APrg\grpN.ini present and at most kMaxGroups, so that no count makes a
// page loop for long.
constexpr int kMaxGroups = 9999;
int bounded_group_total();

// Writers return false when nothing was stored; group 0 (none chosen) is
// never written.
std::string group_name(int n, const std::string& def);
bool set_group_name(int n, const std::string& name);
std::string slot_caption(int n, int slot);
std::string slot_path(int n, int slot);
// Fills the slot from a path; returns the caption its button shows, empty
// when the group file could not be written.
std::string store_path(int n, int slot, const std::string& path);
// Some slot of the group holds exactly this path.
bool path_in_group(int n, const std::string& path);
bool clear_slot(int n, int slot);
bool write_slot(int n, int slot, const std::string& caption, const std::string& path);
bool rename_slot(int n, int slot, const std::string& caption);

enum PathKind { kMissing = 0, kFile = 1, kFolder = 2 };
PathKind path_kind(const std::string& path);
// The caption store_path gives a path of this kind.
std::string caption_for(const std::string& path, PathKind kind);

// Renumbering. n groups exist (total); m is the group acted on. Each
// returns false when a rename was refused: the renumbering stopped there,
// nothing was overwritten, and total counts up to the last group file left.
// A file in the way of a rename is moved aside under a free name, added to
// *aside for the user to be told.
bool insert_group(State& s, int n, int m, const std::string& name, std::vector<std::string>* aside = nullptr);
bool delete_group(State& s, int n, int m);
// A grptemp.ini left by an interrupted swap is put back where one of the two
// files is missing, or else moved aside (into *aside).
bool move_group_up(State& s, int m, std::vector<std::string>* aside = nullptr);    // swaps m-1 and m
bool move_group_down(State& s, int m, std::vector<std::string>* aside = nullptr);  // swaps m and m+1

// The number before the first group of the current group's page.
int page_base(int current_group);

}  // namespace q::launcher
