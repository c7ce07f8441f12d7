#include "launcher/group_store.h"

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

// One renumbering rename. A missing source is skipped, as the design lets
// the other steps run; a refused rename of a file that is there stops the
// renumbering, since going on would move the next file over it.
bool move_file(const std::string& from, const std::string& to) {
    FileSystem& fs = sys().files;
    if (!fs.exists(from)) return true;
    return fs.rename(from, to);
}

// total after a renumbering stopped part way: up to the last group file.
void settle_total(int upto) {
    int last = upto;
    while (last > 0 && !group_exists(last)) --last;
    write_total(last);
}

// A grptemp.ini left by an interrupted swap holds a group's shortcuts: it
// goes aside under a free name, so the swap can use the name and nothing is lost.
bool clear_temp() {
    FileSystem& fs = sys().files;
    if (!fs.exists(temp_file())) return true;
    return fs.rename(temp_file(),
                     free_name(fs, [](long long n) { return group_folder() + "\\grptemp-" + decimal(n) + ".ini"; }));
}

bool swap_groups(int a, int b) {
    if (!clear_temp()) return false;
    FileSystem& fs = sys().files;
    const std::string fa = group_file(a), fb = group_file(b), t = temp_file();
    const bool had_a = fs.exists(fa);
    if (had_a && !fs.rename(fa, t)) return false;
    if (!move_file(fb, fa)) {
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

std::string group_name(int n, const std::string& def) { return ini::read(group_file(n), kSet, "grpname", def); }

void set_group_name(int n, const std::string& name) { ini::write(writable(n), kSet, "grpname", name, kFlush); }

std::string slot_caption(int n, int slot) { return ini::read(group_file(n), section(slot), "btncaption"); }

std::string slot_path(int n, int slot) { return ini::read(group_file(n), section(slot), "path"); }

std::string caption_for(const std::string& path, PathKind kind) {
    std::string caption = kind == kFile ? path_base_name(path) : path_file_name(path);
    // A drive root, a path ending in "\", or a file such as .profile.
    if (caption.empty() && !path.empty()) caption = "驱动器" + path.substr(0, 1);
    return caption;
}

std::string store_path(int n, int slot, const std::string& path) {
    ini::Batch batch(writable(n), kFlush);
    batch.write(section(slot), "path", path);
    const std::string caption = caption_for(path, path_kind(path));
    batch.write(section(slot), "btncaption", caption);
    batch.commit();
    return caption;
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

void clear_slot(int n, int slot) { ini::delete_section(group_file(n), section(slot), kFlush); }

void write_slot(int n, int slot, const std::string& caption, const std::string& path) {
    ini::Batch batch(writable(n), kFlush);
    batch.write(section(slot), "path", path);
    batch.write(section(slot), "btncaption", caption);
    batch.commit();
}

void rename_slot(int n, int slot, const std::string& caption) {
    ini::write(group_file(n), section(slot), "btncaption", caption, kFlush);
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

bool insert_group(State& s, int n, int m, const std::string& name) {
    write_total(n + 1);
    if (s.current_group != 0 && s.current_group >= m) ++s.current_group;
    for (int j = n; j >= m; --j) {
        if (!move_file(group_file(j), group_file(j + 1))) {
            settle_total(n + 1);
            // Which file is which is no longer sure: none is chosen.
            s.current_group = 0;
            return false;
        }
    }
    set_group_name(m, name);
    return true;
}

bool delete_group(State& s, int n, int m) {
    sys().files.remove(group_file(m));
    if (s.current_group != 0) {
        if (s.current_group > m) --s.current_group;
        else if (s.current_group == m) s.current_group = 0;
    }
    write_total(n - 1);
    for (int j = m + 1; j <= n; ++j) {
        if (!move_file(group_file(j), group_file(j - 1))) {
            settle_total(n);
            return false;
        }
    }
    return true;
}

bool move_group_up(State& s, int m) {
    if (s.current_group != 0) {
        if (s.current_group == m) s.current_group = m - 1;
        else if (s.current_group == m - 1) s.current_group = m;
    }
    return swap_groups(m, m - 1);
}

bool move_group_down(State& s, int m) {
    if (s.current_group != 0) {
        if (s.current_group == m) s.current_group = m + 1;
        else if (s.current_group == m + 1) s.current_group = m;
    }
    return swap_groups(m, m + 1);
}

int page_base(int current_group) { return current_group <= 8 ? 0 : 8 * ((current_group - 1) / 8); }

}  // namespace q::launcher
