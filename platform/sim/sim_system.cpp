#include "platform/sim/sim_system.h"

#include <algorithm>
#include <cctype>

#include "platform/text.h"

namespace q::sim {

namespace {

constexpr char kSep = '\\';

// Splits a path at "\" and "/", stepping over double-byte characters so that a
// trail byte 0x5C stays inside its name.
std::vector<std::string> split_path(const std::string& p) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < p.size();) {
        const std::size_t n = next_char(p, i);
        if (n == i + 1 && (p[i] == '\\' || p[i] == '/'))
            parts.emplace_back();
        else
            parts.back().append(p, i, n - i);
        i = n;
    }
    return parts;
}

bool is_drive(const std::string& s) {
    return s.size() == 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

// Characters Windows refuses in a name.
bool valid_name(const std::string& name) {
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = next_char(name, i);
        if (n == i + 1) {
            const unsigned char c = static_cast<unsigned char>(name[i]);
            if (c < 0x20 || std::string_view("<>:\"|?*").find(static_cast<char>(c)) != std::string_view::npos)
                return false;
        }
        i = n;
    }
    return true;
}

// A full path "X:\a\b" (or "X:" for a drive) with the case as written, or
// empty when the path cannot name anything. Relative paths are taken from
// base; "." and ".." are resolved and trailing dots and blanks of a name
// dropped, as Windows does.
std::string normalize(const std::string& path, const std::string& base) {
    if (path.empty()) return {};
    std::vector<std::string> parts = split_path(path);
    std::vector<std::string> all;
    std::string drive;
    if (is_drive(parts[0])) {
        drive = parts[0];
        parts.erase(parts.begin());
    } else if (parts[0].empty() && parts.size() > 1) {  // "\x": root of the base's drive
        std::vector<std::string> b = split_path(base);
        if (!is_drive(b[0])) return {};
        drive = b[0];
        parts.erase(parts.begin());
    } else {
        std::vector<std::string> b = split_path(base);
        if (!is_drive(b[0])) return {};
        drive = b[0];
        all.assign(b.begin() + 1, b.end());
    }
    all.insert(all.end(), parts.begin(), parts.end());
    std::vector<std::string> out;
    for (std::string& part : all) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        // Trailing '.' and ' ' can never be trail bytes, so plain trimming is safe.
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        if (part.empty()) continue;
        if (!valid_name(part)) return {};
        out.push_back(part);
    }
    drive[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0])));
    std::string r = drive;
    for (const std::string& part : out) r += kSep + part;
    return r;
}

// The folder part of a normalised path or key; empty for a drive.
std::string parent_of(const std::string& p) {
    const std::size_t i = find_last_char(p, kSep);
    return i == std::string::npos ? std::string() : p.substr(0, i);
}

std::string leaf_of(const std::string& p) {
    const std::size_t i = find_last_char(p, kSep);
    return i == std::string::npos ? p : p.substr(i + 1);
}

// One CP936 character per element, ASCII letters upper-cased.
std::vector<std::string> chars_upper(const std::string& s) {
    std::vector<std::string> r;
    const std::string u = ascii_upper(s);
    for (std::size_t i = 0; i < u.size();) {
        const std::size_t n = next_char(u, i);
        r.push_back(u.substr(i, n - i));
        i = n;
    }
    return r;
}

// Windows wildcard rules: '*' any run, '?' one character (or none at a '.'
// or at the end of the name), a '.' followed only by wildcards also matches
// the end of a name without extension ("*.*" matches "README").
bool wildcard_match(const std::string& pattern, const std::string& name) {
    const std::vector<std::string> p = chars_upper(pattern), n = chars_upper(name);
    const std::size_t P = p.size(), N = n.size();
    // memo: 0 unknown, 1 false, 2 true
    std::vector<char> memo((P + 1) * (N + 1), 0);
    std::function<bool(std::size_t, std::size_t)> m = [&](std::size_t pi, std::size_t ni) -> bool {
        char& cell = memo[pi * (N + 1) + ni];
        if (cell) return cell == 2;
        bool r;
        if (pi == P) {
            r = ni == N;
        } else if (p[pi] == "*") {
            r = m(pi + 1, ni) || (ni < N && m(pi, ni + 1));
        } else if (p[pi] == "?") {
            r = (ni < N && m(pi + 1, ni + 1)) || ((ni == N || n[ni] == ".") && m(pi + 1, ni));
        } else if (p[pi] == "." && ni == N) {
            r = std::all_of(p.begin() + static_cast<std::ptrdiff_t>(pi) + 1, p.end(),
                            [](const std::string& c) { return c == "*" || c == "?"; });
        } else {
            r = ni < N && p[pi] == n[ni] && m(pi + 1, ni + 1);
        }
        cell = r ? 2 : 1;
        return r;
    };
    return m(0, 0);
}

std::string registry_key(Hive hive, const std::string& key, const std::string& name) {
    std::string k = key;
    while (!k.empty() && k.back() == '\\' && find_last_char(k, '\\') == k.size() - 1) k.pop_back();
    return std::string(hive == Hive::LocalMachine ? "HKLM\\" : "HKCU\\") + k + "\\" + name;
}

}  // namespace

SimSystem::SimSystem()
    : system_{*this, *this, *this, *this, *this, *this, *this, *this, *this} {
    base_serial_ = DateTime{2026, 12, 8, 8, 0, 0}.serial();
    install_system(&system_);
    install_ui_backend(this);
    make_folder(dir);
}

SimSystem::~SimSystem() {
    install_ui_backend(nullptr);
    install_system(nullptr);
}

// ---- virtual time -------------------------------------------------------------

void SimSystem::set_now(const DateTime& t) { base_serial_ = t.serial() - now_ms_ / 1000; }

void SimSystem::advance(std::int64_t ms) {
    const std::int64_t end = now_ms_ + std::max<std::int64_t>(ms, 0);
    for (;;) {
        SimTimer* next = nullptr;
        for (SimTimer& t : timers_)
            if (t.due <= end && (!next || t.due < next->due || (t.due == next->due && t.id < next->id))) next = &t;
        if (!next) break;
        // A sleep inside an earlier tick may have run past this due time; the clock never goes back.
        now_ms_ = std::max(now_ms_, next->due);
        const std::int64_t fired = now_ms_;
        next->due += next->interval;
        if (next->due <= fired) next->due = fired + next->interval;
        // The callback may stop or restart its own timer: run a copy.
        std::function<void()> tick = next->tick;
        if (tick) tick();
        run_deferred();
    }
    now_ms_ = std::max(now_ms_, end);
    run_deferred();
}

void SimSystem::run_deferred() {
    while (!deferred_.empty()) {
        std::function<void()> f = std::move(deferred_.front());
        deferred_.pop_front();
        if (f) f();
    }
}

DateTime SimSystem::now() { return DateTime::from_serial(base_serial_ + now_ms_ / 1000); }
std::uint64_t SimSystem::ticks_ms() { return static_cast<std::uint64_t>(now_ms_); }

void SimSystem::sleep_ms(int ms) {
    sleeps.push_back(ms);
    if (ms > 0) now_ms_ += ms;
}

int SimSystem::start(int interval_ms, std::function<void()> tick) {
    // Windows raises anything shorter to USER_TIMER_MINIMUM.
    const int interval = std::max(interval_ms, 10);
    const int id = next_timer_++;
    timers_.push_back({id, interval, now_ms_ + interval, std::move(tick)});
    return id;
}

void SimSystem::stop(int id) {
    timers_.erase(std::remove_if(timers_.begin(), timers_.end(), [id](const SimTimer& t) { return t.id == id; }),
                  timers_.end());
}

// ---- files --------------------------------------------------------------------

std::string SimSystem::key_of(const std::string& path) { return ascii_upper(normalize(path, "C:")); }

bool SimSystem::ensure_parent(const std::string& path) {
    const std::string parent = parent_of(path);
    if (parent.empty()) return false;
    auto it = nodes_.find(ascii_upper(parent));
    return it != nodes_.end() && it->second.folder;
}

void SimSystem::make_folder(const std::string& path) {
    const std::string p = normalize(path, dir);
    if (p.empty()) return;
    std::vector<std::string> parts = split_path(p);
    std::string cur;
    for (const std::string& part : parts) {
        cur += cur.empty() ? part : kSep + part;
        auto [it, added] = nodes_.try_emplace(ascii_upper(cur));
        if (added) {
            it->second.name = cur;
            it->second.folder = true;
            it->second.order = next_order_++;
        } else if (!it->second.folder) {
            return;  // a file stands in the way
        }
    }
}

void SimSystem::put_file(const std::string& path, const std::string& data) {
    const std::string p = normalize(path, dir);
    if (p.empty() || parent_of(p).empty()) return;
    make_folder(parent_of(p));
    if (!ensure_parent(p)) return;
    auto [it, added] = nodes_.try_emplace(ascii_upper(p));
    if (added) {
        it->second.name = p;
        it->second.order = next_order_++;
    } else if (it->second.folder) {
        return;
    }
    it->second.data = data;
}

std::optional<std::string> SimSystem::file(const std::string& path) {
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    if (it == nodes_.end() || it->second.folder) return std::nullopt;
    return it->second.data;
}

bool SimSystem::exists(const std::string& path) {
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    return it != nodes_.end() && !it->second.folder;
}

bool SimSystem::folder_exists(const std::string& path) {
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    return it != nodes_.end() && it->second.folder;
}

bool SimSystem::read(const std::string& path, std::string& out) {
    const std::string k = ascii_upper(normalize(path, dir));
    auto it = nodes_.find(k);
    if (it == nodes_.end() || it->second.folder) return false;
    for (const std::string& u : unreadable)
        if (ascii_upper(normalize(u, dir)) == k) return false;
    out = it->second.data;
    return true;
}

bool SimSystem::replace(const std::string& path, const std::string& data) {
    if (fail_writes_ > 0) {
        --fail_writes_;
        return false;
    }
    const std::string p = normalize(path, dir);
    if (p.empty() || !ensure_parent(p)) return false;
    const std::string k = ascii_upper(p);
    auto target = nodes_.find(k);
    if (target != nodes_.end() && target->second.folder) return false;

    // The temporary file beside the target, then a rename over it.
    const std::string temp = p + ".~tmp";
    Node& t = nodes_[ascii_upper(temp)];
    if (t.name.empty()) {
        t.name = temp;
        t.order = next_order_++;
    }
    if (interrupt_at_) {
        t.data = data.substr(0, std::min(*interrupt_at_, data.size()));
        interrupt_at_.reset();
        return false;
    }
    nodes_.erase(ascii_upper(temp));
    Node& n = nodes_[k];
    if (n.name.empty()) {
        n.name = p;
        n.order = next_order_++;
    }
    n.data = data;
    ++write_count;
    return true;
}

bool SimSystem::rename(const std::string& from, const std::string& to) {
    const std::string f = normalize(from, dir), t = normalize(to, dir);
    if (f.empty() || t.empty()) return false;
    const std::string fk = ascii_upper(f), tk = ascii_upper(t);
    auto src = nodes_.find(fk);
    if (src == nodes_.end() || parent_of(f).empty()) return false;
    if (fk == tk) {  // only the case of the name changes
        src->second.name = t;
        return true;
    }
    if (!ensure_parent(t)) return false;
    auto dst = nodes_.find(tk);
    if (dst != nodes_.end() && (dst->second.folder || src->second.folder)) return false;
    if (src->second.folder && tk.compare(0, fk.size() + 1, fk + kSep) == 0) return false;  // into itself

    Node moved = src->second;
    nodes_.erase(src);
    if (dst != nodes_.end()) nodes_.erase(tk);
    moved.name = t;
    moved.order = next_order_++;
    if (moved.folder) {
        // Everything inside moves along.
        std::vector<std::pair<std::string, Node>> inside;
        const std::string prefix = fk + kSep;
        for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;)
        {
            Node n = it->second;
            n.name = t + n.name.substr(f.size());
            inside.emplace_back(tk + it->first.substr(fk.size()), std::move(n));
            it = nodes_.erase(it);
        }
        for (auto& [k, n] : inside) nodes_[k] = std::move(n);
    }
    nodes_[tk] = std::move(moved);
    return true;
}

bool SimSystem::remove(const std::string& path) {
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    if (it == nodes_.end() || it->second.folder) return false;
    nodes_.erase(it);
    return true;
}

bool SimSystem::create_folder(const std::string& path) {
    const std::string p = normalize(path, dir);
    if (p.empty() || !ensure_parent(p)) return false;
    auto [it, added] = nodes_.try_emplace(ascii_upper(p));
    if (!added) return false;
    it->second.name = p;
    it->second.folder = true;
    it->second.order = next_order_++;
    return true;
}

std::vector<FileSystem::Entry> SimSystem::enumerate(const std::string& pattern) {
    std::string raw = pattern;
    std::replace(raw.begin(), raw.end(), '/', '\\');  // '/' is never a trail byte
    const std::size_t cut = find_last_char(raw, kSep);
    std::string folder_part, leaf_pattern;
    if (cut == std::string::npos) {
        if (raw.size() >= 2 && is_drive(raw.substr(0, 2))) return {};  // "C:x": drive-relative, not used
        folder_part = dir;
        leaf_pattern = raw;
    } else {
        folder_part = cut == 0 ? std::string("\\") : raw.substr(0, cut);
        leaf_pattern = raw.substr(cut + 1);
    }
    if (leaf_pattern.empty()) return {};
    const std::string folder_key = ascii_upper(normalize(folder_part, dir));
    if (folder_key.empty()) return {};
    auto f = nodes_.find(folder_key);
    if (f == nodes_.end() || !f->second.folder) return {};

    std::vector<const Node*> found;
    const std::string prefix = folder_key + kSep;
    for (auto it = nodes_.lower_bound(prefix); it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
         ++it) {
        if (parent_of(it->first) != folder_key) continue;
        if (wildcard_match(leaf_pattern, leaf_of(it->second.name))) found.push_back(&it->second);
    }
    std::sort(found.begin(), found.end(), [](const Node* a, const Node* b) { return a->order < b->order; });
    std::vector<Entry> out;
    for (const Node* n : found) out.push_back({leaf_of(n->name), n->folder});
    return out;
}

std::string SimSystem::current_directory() { return dir; }

bool SimSystem::set_hidden(const std::string& path) {
    auto it = nodes_.find(ascii_upper(normalize(path, dir)));
    if (it == nodes_.end()) return false;
    it->second.hidden = true;
    return true;
}

// ---- dialogs ------------------------------------------------------------------

Answer SimSystem::message_box(const std::string& text, const std::string& title, Icon icon, Buttons buttons,
                              bool foreground) {
    messages.push_back({text, title, icon, buttons, foreground});
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (buttons) {
        case Buttons::OkCancel: return Answer::Cancel;
        case Buttons::YesNo: return Answer::No;
        case Buttons::Ok: break;
    }
    return Answer::Ok;
}

namespace {
template <class T>
T take_or(std::deque<T>& q, T fallback) {
    if (q.empty()) return fallback;
    T v = std::move(q.front());
    q.pop_front();
    return v;
}
}  // namespace

std::optional<std::string> SimSystem::open_file(const FileDialog& d) {
    ShownDialog s;
    s.kind = "open";
    s.file = d;
    dialogs.push_back(s);
    return take_or(file_answers, std::optional<std::string>());
}

std::optional<std::string> SimSystem::save_file(const FileDialog& d) {
    ShownDialog s;
    s.kind = "save";
    s.file = d;
    dialogs.push_back(s);
    return take_or(file_answers, std::optional<std::string>());
}

std::optional<std::string> SimSystem::browse_folder(const std::string& prompt) {
    ShownDialog s;
    s.kind = "folder";
    s.prompt = prompt;
    dialogs.push_back(s);
    return take_or(file_answers, std::optional<std::string>());
}

bool SimSystem::choose_font(Font& font, Color& color) {
    ShownDialog s;
    s.kind = "font";
    dialogs.push_back(s);
    auto a = take_or(font_answers, std::optional<std::pair<Font, Color>>());
    if (!a) return false;
    font = a->first;
    color = a->second;
    return true;
}

std::optional<std::string> SimSystem::input_box(const std::string& prompt, const std::string& title,
                                                const std::string& initial) {
    ShownDialog s;
    s.kind = "input";
    s.prompt = prompt;
    s.title = title;
    s.initial = initial;
    dialogs.push_back(s);
    return take_or(input_answers, std::optional<std::string>());
}

int SimSystem::popup_menu(const std::vector<std::string>& items, Point screen_pos) {
    ShownDialog s;
    s.kind = "menu";
    s.items = items;
    s.at = screen_pos;
    dialogs.push_back(s);
    const int chosen = take_or(menu_answers, -1);
    return chosen >= 0 && chosen < static_cast<int>(items.size()) ? chosen : -1;
}

void SimSystem::beep() { ++beeps; }

// ---- shell, process -----------------------------------------------------------

bool SimSystem::start_program(const std::string& path, const std::string& a) {
    launches.push_back({path, a});
    return true;
}
bool SimSystem::open_path(const std::string& path) {
    opened_paths.push_back(path);
    return true;
}
bool SimSystem::show_properties(const std::string& path) {
    properties_paths.push_back(path);
    return true;
}
bool SimSystem::end_session(EndSession how) {
    sessions_ended.push_back(how);
    return true;
}
std::string SimSystem::system_directory() { return "C:\\WINDOWS\\system32\\"; }

std::string SimSystem::program_dir() { return dir; }
std::string SimSystem::program_file_name() { return exe; }
std::vector<std::string> SimSystem::arguments() { return args; }
MutexState SimSystem::acquire_mutex(const std::string&) { return mutex_answer; }
void SimSystem::end_process(int code) { exit_code = code; }

void SimSystem::seed_random_from_clock() {
    random_state_ = static_cast<unsigned>(base_serial_ + now_ms_ / 1000) ^ static_cast<unsigned>(now_ms_);
}

int SimSystem::random_int(int lo, int hi) {
    if (lo >= hi) return lo;
    // A 32-bit LCG with a xorshift on its output: its low bits are poor otherwise.
    random_state_ = random_state_ * 1664525u + 1013904223u;
    std::uint32_t r = random_state_;
    r ^= r >> 16;
    r *= 0x45d9f3bu;
    r ^= r >> 16;
    const std::uint64_t range = static_cast<std::uint64_t>(static_cast<std::int64_t>(hi) - lo + 1);
    return static_cast<int>(lo + static_cast<std::int64_t>((static_cast<std::uint64_t>(r) * range) >> 32));
}

int SimSystem::os_class() { return os; }
bool SimSystem::has_layered_windows() { return layered; }

// ---- registry -----------------------------------------------------------------

namespace {
std::map<std::string, std::string>::iterator find_value(std::map<std::string, std::string>& reg,
                                                       const std::string& k) {
    for (auto it = reg.begin(); it != reg.end(); ++it)
        if (equal_no_case(it->first, k)) return it;
    return reg.end();
}
}  // namespace

bool SimSystem::value_exists(Hive hive, const std::string& key, const std::string& name) {
    return find_value(registry, registry_key(hive, key, name)) != registry.end();
}

std::optional<std::string> SimSystem::read_string(Hive hive, const std::string& key, const std::string& name) {
    auto it = find_value(registry, registry_key(hive, key, name));
    if (it == registry.end()) return std::nullopt;
    return it->second;
}

bool SimSystem::write_string(Hive hive, const std::string& key, const std::string& name, const std::string& data) {
    registry_log.push_back({"write", hive, key, name, data});
    if (hive == Hive::LocalMachine && hklm_read_only) return false;
    const std::string k = registry_key(hive, key, name);
    auto it = find_value(registry, k);
    if (it != registry.end())
        it->second = data;
    else
        registry[k] = data;
    return true;
}

bool SimSystem::delete_value(Hive hive, const std::string& key, const std::string& name) {
    registry_log.push_back({"delete", hive, key, name, {}});
    if (hive == Hive::LocalMachine && hklm_read_only) return false;
    auto it = find_value(registry, registry_key(hive, key, name));
    if (it == registry.end()) return false;
    registry.erase(it);
    return true;
}

// ---- desktop ------------------------------------------------------------------

Size SimSystem::screen_size() { return screen; }
Rect SimSystem::work_area() { return work; }
Rect SimSystem::taskbar_rect() { return taskbar; }
Point SimSystem::pointer() { return mouse; }

bool SimSystem::tray_add(Window& owner, Res icon, const std::string& tip, std::function<void(TrayEvent)> on_event) {
    if (tray.count(&owner)) return false;  // NIM_ADD of an icon already there fails
    tray[&owner] = {icon, tip, std::move(on_event)};
    return true;
}

bool SimSystem::tray_modify(Window& owner, Res icon, const std::string& tip) {
    auto it = tray.find(&owner);
    if (it == tray.end()) return false;
    it->second.icon = icon;
    it->second.tip = tip;
    return true;
}

void SimSystem::tray_remove(Window& owner) { tray.erase(&owner); }

void SimSystem::tray_click(Window& owner, TrayEvent e) {
    auto it = tray.find(&owner);
    if (it == tray.end()) return;
    std::function<void(TrayEvent)> f = it->second.on_event;  // the handler may remove the icon
    if (f) f(e);
}

bool SimSystem::register_hotkey(Window& owner, int id, int modifiers, int virtual_key) {
    register_calls.emplace_back(id, modifiers);
    if (hotkey_register_fails) return false;
    // A combination already held fails, even by the same window and id.
    for (const auto& [who, keys] : hotkeys)
        if (keys == std::make_pair(modifiers, virtual_key)) return false;
    hotkeys[{&owner, id}] = {modifiers, virtual_key};
    return true;
}

void SimSystem::unregister_hotkey(Window& owner, int id) { hotkeys.erase({&owner, id}); }

void SimSystem::post_hotkey(Window& owner, int id) { hotkey_queue_.emplace_back(&owner, id); }

void SimSystem::show_desktop() { ++show_desktop_count; }
void SimSystem::mci_command(const std::string& command) { mci.push_back(command); }

bool SimSystem::set_wallpaper(const std::string& bmp_path) {
    wallpapers.push_back(bmp_path);
    return exists(bmp_path);
}

void SimSystem::play_sound(Res wav) { sounds.push_back(wav); }

bool SimSystem::play_music(const std::string& path, bool looped) {
    music.push_back((looped ? "loop:" : "play:") + path);
    return exists(path);
}

void SimSystem::stop_music() { music.push_back("stop"); }
void SimSystem::stop_all_sound() { ++stop_all_count; }
void SimSystem::set_xp_look(bool on) { xp_look_calls.push_back(on); }

// ---- loop ---------------------------------------------------------------------

bool SimSystem::wait_message() { return !hotkey_queue_.empty() || !deferred_.empty(); }

bool SimSystem::take_hotkey(Window& owner, int& id) {
    for (auto it = hotkey_queue_.begin(); it != hotkey_queue_.end(); ++it) {
        if (it->first != &owner) continue;
        id = it->second;
        hotkey_queue_.erase(it);
        return true;
    }
    return false;
}

bool SimSystem::process_pending() {
    run_deferred();
    // Hotkeys not taken by the loop reach their window's procedure, when the
    // window still holds the registration (and therefore still exists).
    while (!hotkey_queue_.empty()) {
        auto [w, id] = hotkey_queue_.front();
        hotkey_queue_.pop_front();
        if (hotkeys.count({w, id}) && w->on_hotkey) w->on_hotkey(id);
    }
    run_deferred();
    return true;
}

void SimSystem::defer(std::function<void()> f) { deferred_.push_back(std::move(f)); }

// ---- UI -----------------------------------------------------------------------

std::unique_ptr<Peer> SimSystem::create_peer(Control&) { return nullptr; }

void SimSystem::drag(Window& w) {
    if (drag_answers.empty()) return;
    const Point p = drag_answers.front();
    drag_answers.pop_front();
    w.user_moved_to(p);
}

}  // namespace q::sim
