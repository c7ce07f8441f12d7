#include "launcher/group_store.h"

#include <algorithm>

#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/settings_file.h"

namespace q::launcher {

namespace {

const char* const kSet = "set";
// The group files hold the user's shortcuts: every write reaches the disk.
constexpr FileSystem::Flush kFlush = FileSystem::Flush::Yes;

std::string section(int slot) { return decimal(slot); }

void write_total(int total) { settings::group_total.write(total); }

// Writers make the folder first: a group named on the settings page before
// the launcher window ever opened must not be lost.
std::string writable(int n) {
    if (!sys().files.folder_exists(group_folder())) sys().files.create_folder(group_folder());
    return group_file(n);
}

std::string temp_file() { return group_folder() + "\\grptemp.ini"; }

// A file at group number k that a renumbering needs (a group made by a drop
// beyond total) goes aside under a free name, never overwritten.
bool move_aside(int k, std::vector<std::string>* aside) {
    FileSystem& fs = sys().files;
    if (!fs.exists(group_file(k))) return true;
    const std::string kept =
        free_name(fs, [k](long long i) { return group_folder() + "\\grp" + decimal(k) + "-" + decimal(i) + ".ini"; });
    if (!fs.rename(group_file(k), kept)) return false;
    if (aside) aside->push_back(kept);
    return true;
}

// One renumbering rename of group file j to k. A missing source is skipped,
// as the other steps still run. A refused rename stops the renumbering,
// since going on would move the next file over it.
bool move_group_file(int j, int k, std::vector<std::string>* aside) {
    if (!group_exists(j)) return true;
    return move_aside(k, aside) && sys().files.rename(group_file(j), group_file(k));
}

// total after a renumbering stopped part way: up to the last group file.
void settle_total(int upto) {
    int last = upto;
    while (last > 0 && !group_exists(last)) --last;
    write_total(last);
}

// A grptemp.ini left by an interrupted swap holds a group. When exactly one
// of the two files now swapped is missing, it is the one that swap took away
// and it goes back; otherwise it goes aside under a free name, so the swap
// can use the name and nothing is lost.
bool clear_temp(int a, int b, std::vector<std::string>* aside) {
    FileSystem& fs = sys().files;
    if (!fs.exists(temp_file())) return true;
    const bool has_a = group_exists(a), has_b = group_exists(b);
    if (has_a != has_b) return fs.rename(temp_file(), group_file(has_a ? b : a));
    const std::string kept =
        free_name(fs, [](long long n) { return group_folder() + "\\grptemp-" + decimal(n) + ".ini"; });
    if (!fs.rename(temp_file(), kept)) return false;
    if (aside) aside->push_back(kept);
    return true;
}

bool swap_groups(int a, int b, std::vector<std::string>* aside) {
    if (!clear_temp(a, b, aside)) return false;
    FileSystem& fs = sys().files;
    const std::string fa = group_file(a), fb = group_file(b), t = temp_file();
    const bool had_a = fs.exists(fa);
    if (had_a && !fs.rename(fa, t)) return false;
    if (fs.exists(fb) && !fs.rename(fb, fa)) {
        // Put a back where it was.
        if (had_a) fs.rename(t, fa);
        return false;
    }
    return !had_a || fs.rename(t, fb);
}

}  // namespace

std::string group_folder() { return sys().process.program_dir() + "\\APrg"; }

std::string group_file(int n) { return group_folder() + "\\grp" + decimal(n) + ".ini"; }

bool group_exists(int n) { return sys().files.exists(group_file(n)); }

int bounded_group_total() {
    // The highest N of an APrg\grpN.ini written as group files are named.
    int highest = 0;
    for (const FileSystem::Entry& e : sys().files.enumerate(group_folder() + "\\grp*.ini")) {
        const std::string& name = e.name;
        if (e.folder || name.size() < 8 || name[3] == '0') continue;
        const std::size_t digits = name.size() - 7;
        if (ascii_lower(name.substr(name.size() - 4)) != ".ini") continue;
        const std::string number_text = name.substr(3, digits);
        if (number_text.find_first_not_of("0123456789") != std::string::npos) continue;
        highest = std::max(highest, digits > 4 ? kMaxGroups : std::stoi(number_text));
    }
    return std::clamp(settings::group_total(), 0, std::min(highest, kMaxGroups));
}

std::string group_name(int n, const std::string& def) { return ini::read(group_file(n), kSet, "grpname", def); }

bool set_group_name(int n, const std::string& name) { return n >= 1 && ini::write(writable(n), kSet, "grpname", name, kFlush); }

std::string slot_caption(int n, int slot) { return ini::read(group_file(n), section(slot), "btncaption"); }

std::string slot_path(int n, int slot) { return ini::read(group_file(n), section(slot), "path"); }

std::string caption_for(const std::string& path, PathKind kind) {
    std::string caption = kind == kFile ? path_base_name(path) : path_file_name(path);
    // A drive root, a path ending in "\", or a file such as .profile.
    if (caption.empty() && !path.empty()) caption = "驱动器" + path.substr(0, 1);
    return caption;
}

std::string store_path(int n, int slot, const std::string& path) {
    if (n < 1) return {};
    ini::Batch batch(writable(n), kFlush);
    batch.write(section(slot), "path", path);
    const std::string caption = caption_for(path, path_kind(path));
    batch.write(section(slot), "btncaption", caption);
    return batch.commit() ? caption : std::string();
}

bool path_in_group(int n, const std::string& path) {
    std::string content;
    if (!sys().files.read(group_file(n), content)) return false;
    for (int s = 0; s < kSlots; ++s) {
        bool found = false;
        const std::string p = ini::text::read(content, section(s), "path", found);
        if (found && !p.empty() && p == path) return true;
    }
    return false;
}

bool clear_slot(int n, int slot) { return n >= 1 && ini::delete_section(group_file(n), section(slot), kFlush); }

bool write_slot(int n, int slot, const std::string& caption, const std::string& path) {
    if (n < 1) return false;
    ini::Batch batch(writable(n), kFlush);
    batch.write(section(slot), "path", path);
    batch.write(section(slot), "btncaption", caption);
    return batch.commit();
}

bool rename_slot(int n, int slot, const std::string& caption) {
    return n >= 1 && ini::write(group_file(n), section(slot), "btncaption", caption, kFlush);
}

PathKind path_kind(const std::string& path) {
    FileSystem& fs = sys().files;
    if (path.empty()) return kMissing;
    if (fs.exists(path)) return kFile;
    const std::string before = fs.current_directory();
    const bool folder = fs.set_current_directory(path);
    fs.set_current_directory(before);
    return folder ? kFolder : kMissing;
}

bool insert_group(State& s, int n, int m, const std::string& name, std::vector<std::string>* aside) {
    write_total(n + 1);
    if (s.current_group != 0 && s.current_group >= m) ++s.current_group;
    for (int j = n; j >= m; --j) {
        if (!move_group_file(j, j + 1, aside)) {
            settle_total(n + 1);
            // Which file is which is no longer sure: none is chosen.
            s.current_group = 0;
            return false;
        }
    }
    // A file no count reached may hold the new number too.
    if (!move_aside(m, aside)) {
        settle_total(n + 1);
        return false;
    }
    set_group_name(m, name);
    return true;
}

bool delete_group(State& s, int n, int m) {
    // A file that stays would be moved aside by the next rename, not deleted.
    if (!sys().files.remove(group_file(m)) && group_exists(m)) return false;
    if (s.current_group != 0) {
        if (s.current_group > m) --s.current_group;
        else if (s.current_group == m) s.current_group = 0;
    }
    write_total(n - 1);
    for (int j = m + 1; j <= n; ++j) {
        if (!move_group_file(j, j - 1, nullptr)) {
            settle_total(n);
            return false;
        }
    }
    return true;
}

bool move_group_up(State& s, int m, std::vector<std::string>* aside) {
    if (s.current_group != 0) {
        if (s.current_group == m) s.current_group = m - 1;
        else if (s.current_group == m - 1) s.current_group = m;
    }
    return swap_groups(m, m - 1, aside);
}

bool move_group_down(State& s, int m, std::vector<std::string>* aside) {
    if (s.current_group != 0) {
        if (s.current_group == m) s.current_group = m + 1;
        else if (s.current_group == m + 1) s.current_group = m;
    }
    return swap_groups(m, m + 1, aside);
}

int page_base(int current_group) { return current_group <= 8 ? 0 : 8 * ((current_group - 1) / 8); }

}  // namespace q::launcher
