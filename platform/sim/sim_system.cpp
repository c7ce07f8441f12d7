#include "platform/sim/sim_system.h"

#include <algorithm>

#include "platform/text.h"

namespace q::sim {

namespace {

std::string registry_key(Hive hive, const std::string& key, const std::string& name) {
    std::string k = key;
    while (!k.empty() && k.back() == '\\' && find_last_char(k, '\\') == k.size() - 1) k.pop_back();
    return std::string(hive == Hive::LocalMachine ? "HKLM\\" : "HKCU\\") + k + "\\" + name;
}

std::string join(const std::vector<std::string>& items) {
    std::string s;
    for (const std::string& i : items) s += (s.empty() ? "" : "|") + i;
    return s;
}

std::string kind_of(const std::string& entry) { return entry.substr(0, entry.find(' ')); }

}  // namespace

void SimSystem::record(std::string call) { calls.push_back(std::move(call)); }

std::vector<std::string> SimSystem::calls_of(const std::string& kind, std::size_t from) const {
    std::vector<std::string> v;
    for (std::size_t i = from; i < calls.size(); ++i)
        if (kind_of(calls[i]) == kind) v.push_back(calls[i]);
    return v;
}

std::string SimSystem::calls_differ(const std::vector<std::string>& expected, std::size_t from) const {
    std::set<std::string> kinds;
    for (const std::string& e : expected) kinds.insert(kind_of(e[0] == '?' ? e.substr(1) : e));
    std::size_t next = 0;
    for (std::size_t i = from; i < calls.size(); ++i) {
        if (!kinds.count(kind_of(calls[i]))) continue;
        // Optional entries the log does not hold here are passed over.
        while (next < expected.size() && expected[next][0] == '?' && expected[next].substr(1) != calls[i]) ++next;
        if (next == expected.size()) return "unexpected \"" + calls[i] + "\"";
        const std::string& e = expected[next][0] == '?' ? expected[next].substr(1) : expected[next];
        if (e != calls[i]) return "\"" + calls[i] + "\" where \"" + e + "\" was expected";
        ++next;
    }
    while (next < expected.size() && expected[next][0] == '?') ++next;
    if (next < expected.size()) return "missing \"" + expected[next] + "\"";
    return {};
}

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
    // A modal step is up: what it would free waits for its end.
    if (modal_steps_ > 0) return;
    while (!deferred_.empty()) {
        std::function<void()> f = std::move(deferred_.front());
        deferred_.pop_front();
        if (f) f();
    }
}

DateTime SimSystem::now() { return DateTime::from_serial(base_serial_ + now_ms_ / 1000); }
std::uint64_t SimSystem::ticks_ms() { return static_cast<std::uint64_t>(now_ms_); }

void SimSystem::sleep_ms(int ms) {
    record("sleep " + std::to_string(ms));
    sleeps.push_back(ms);
    if (ms > 0) now_ms_ += ms;
}

int SimSystem::start(int interval_ms, std::function<void()> tick) {
    record("timer start " + std::to_string(interval_ms));
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

// ---- dialogs ------------------------------------------------------------------

namespace {
// The peer of a created window: it does nothing but tell the log when the
// window shows, hides and goes.
class WindowMark : public Peer {
public:
    WindowMark(SimSystem& sim, Control& w) : sim_(sim), sim_alive_(sim.liveness()), w_(w) {
        sim_.record("window create " + w_.text());
    }
    // A window may outlive the sim of its test.
    ~WindowMark() override {
        if (sim_alive_) sim_.record("window destroy " + w_.text());
    }
    void update(Prop p) override {
        if (p == Prop::Visible && sim_alive_)
            sim_.record(std::string(w_.visible() ? "window show " : "window hide ") + w_.text());
    }

private:
    SimSystem& sim_;
    AliveToken sim_alive_;
    Control& w_;
};
}  // namespace

// A modal box, dialog or menu is up: its owner is disabled, deferred calls
// wait, and the test's while_shown runs once.
class SimSystem::Modal {
public:
    Modal(SimSystem& sim, Window* owner) : sim_(sim), owner_(owner) {
        ++sim_.modal_steps_;
        if (owner_ && owner_->enabled()) {
            owner_->set_enabled(false);
            disabled_ = true;
            alive_ = owner_->liveness();
        }
        std::function<void()> f = std::move(sim_.while_shown);
        sim_.while_shown = nullptr;
        if (f) f();
    }
    ~Modal() {
        --sim_.modal_steps_;
        // An owner destroyed meanwhile (and maybe deleted) is left alone.
        if (disabled_ && alive_) owner_->set_enabled(true);
    }
    Modal(const Modal&) = delete;
    Modal& operator=(const Modal&) = delete;

private:
    SimSystem& sim_;
    Window* owner_;
    bool disabled_ = false;
    AliveToken alive_;
};

Answer SimSystem::message_box(Window* owner, const std::string& text, const std::string& title, Icon icon,
                              Buttons buttons, bool foreground) {
    record("message " + title + ": " + text);
    messages.push_back({owner, text, title, icon, buttons, foreground});
    Modal modal(*this, owner);
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

std::optional<std::string> SimSystem::open_file(Window* owner, const FileDialog& d) {
    record("dialog open " + d.title);
    ShownDialog s;
    s.owner = owner;
    s.kind = "open";
    s.file = d;
    dialogs.push_back(s);
    Modal modal(*this, owner);
    return take_or(file_answers, std::optional<std::string>());
}

std::optional<std::string> SimSystem::save_file(Window* owner, const FileDialog& d) {
    record("dialog save " + d.title);
    ShownDialog s;
    s.owner = owner;
    s.kind = "save";
    s.file = d;
    dialogs.push_back(s);
    Modal modal(*this, owner);
    return take_or(file_answers, std::optional<std::string>());
}

std::optional<std::string> SimSystem::browse_folder(Window* owner, const std::string& prompt) {
    record("dialog folder " + prompt);
    ShownDialog s;
    s.owner = owner;
    s.kind = "folder";
    s.prompt = prompt;
    dialogs.push_back(s);
    Modal modal(*this, owner);
    return take_or(file_answers, std::optional<std::string>());
}

bool SimSystem::choose_font(Window* owner, Font& font, Color& color) {
    record("dialog font");
    ShownDialog s;
    s.owner = owner;
    s.kind = "font";
    dialogs.push_back(s);
    Modal modal(*this, owner);
    auto a = take_or(font_answers, std::optional<std::pair<Font, Color>>());
    if (!a) return false;
    font = a->first;
    color = a->second;
    return true;
}

std::optional<std::string> SimSystem::input_box(Window* owner, const std::string& prompt, const std::string& title,
                                                const std::string& initial) {
    record("dialog input " + title);
    ShownDialog s;
    s.owner = owner;
    s.kind = "input";
    s.prompt = prompt;
    s.title = title;
    s.initial = initial;
    dialogs.push_back(s);
    Modal modal(*this, owner);
    return take_or(input_answers, std::optional<std::string>());
}

int SimSystem::popup_menu(const std::vector<std::string>& items, Point screen_pos, const std::vector<bool>& disabled) {
    record("menu " + join(items));
    ShownDialog s;
    s.kind = "menu";
    s.items = items;
    s.disabled = disabled;
    s.disabled.resize(items.size(), false);
    s.at = screen_pos;
    dialogs.push_back(s);
    Modal modal(*this, nullptr);
    const int chosen = take_or(menu_answers, -1);
    // A greyed item or a separator cannot be chosen.
    if (chosen < 0 || chosen >= static_cast<int>(items.size())) return -1;
    if (s.disabled[static_cast<std::size_t>(chosen)] || items[static_cast<std::size_t>(chosen)].empty()) return -1;
    return chosen;
}

void SimSystem::beep() {
    record("beep");
    ++beeps;
}

// ---- shell, process -----------------------------------------------------------

bool SimSystem::start_program(const std::string& path, const std::string& a) {
    record("launch " + path + (a.empty() ? "" : " " + a));
    launches.push_back({path, a});
    return true;
}
bool SimSystem::open_path(const std::string& path, const std::string& working_folder) {
    record("open " + path);
    opened_paths.push_back(path);
    opened_folders.push_back(working_folder);
    return true;
}

bool SimSystem::volume_ready(const std::string& path) {
    const std::string p = ascii_upper(path);
    for (const std::string& v : absent_volumes)
        if (p.compare(0, v.size(), ascii_upper(v)) == 0) return false;
    return true;
}
bool SimSystem::show_properties(const std::string& path) {
    record("properties " + path);
    properties_paths.push_back(path);
    return true;
}
bool SimSystem::end_session(EndSession how) {
    record("end_session " + std::to_string(static_cast<int>(how)));
    sessions_ended.push_back(how);
    return true;
}
std::string SimSystem::system_directory() { return "C:\\WINDOWS\\system32\\"; }

std::string SimSystem::program_dir() { return dir; }
std::string SimSystem::program_file_name() { return exe; }
std::vector<std::string> SimSystem::arguments() { return args; }
MutexState SimSystem::acquire_mutex(const std::string&) {
    record("mutex");
    return mutex_answer;
}
void SimSystem::end_process(int code) {
    record("end " + std::to_string(code));
    exit_code = code;
}

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
Process::OsVersion SimSystem::os_version() { return version; }

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
    record("registry write " + registry_key(hive, key, name) + "=" + data);
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
    record("registry delete " + registry_key(hive, key, name));
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
    record("tray add " + tip);
    if (tray.count(&owner)) return false;  // NIM_ADD of an icon already there fails
    tray[&owner] = {icon, tip, std::move(on_event)};
    return true;
}

bool SimSystem::tray_modify(Window& owner, Res icon, const std::string& tip) {
    record("tray modify " + tip);
    auto it = tray.find(&owner);
    if (it == tray.end()) return false;
    it->second.icon = icon;
    it->second.tip = tip;
    return true;
}

void SimSystem::tray_remove(Window& owner) {
    record("tray remove");
    tray.erase(&owner);
}

void SimSystem::tray_click(Window& owner, TrayEvent e) {
    auto it = tray.find(&owner);
    if (it == tray.end()) return;
    std::function<void(TrayEvent)> f = it->second.on_event;  // the handler may remove the icon
    if (f) f(e);
}

bool SimSystem::register_hotkey(Window& owner, int id, int modifiers, int virtual_key) {
    record("hotkey register " + std::to_string(id));
    register_calls.emplace_back(id, modifiers);
    if (hotkey_register_fails) return false;
    // A combination already held fails, even by the same window and id.
    for (const auto& [who, keys] : hotkeys)
        if (keys == std::make_pair(modifiers, virtual_key)) return false;
    hotkeys[{&owner, id}] = {modifiers, virtual_key};
    return true;
}

void SimSystem::unregister_hotkey(Window& owner, int id) {
    record("hotkey unregister " + std::to_string(id));
    hotkeys.erase({&owner, id});
}

void SimSystem::post_hotkey(Window& owner, int id) { hotkey_queue_.emplace_back(&owner, id); }

void SimSystem::show_desktop() {
    record("show_desktop");
    ++show_desktop_count;
}
void SimSystem::mci_command(const std::string& command) {
    record("mci " + command);
    mci.push_back(command);
}

bool SimSystem::set_wallpaper(const std::string& bmp_path) {
    record("wallpaper " + bmp_path);
    wallpapers.push_back(bmp_path);
    return exists(bmp_path);
}

void SimSystem::play_sound(Res wav) {
    record("sound " + std::to_string(static_cast<int>(wav)));
    sounds.push_back(wav);
}

bool SimSystem::play_music(const std::string& path, bool looped) {
    record(std::string(looped ? "music loop:" : "music play:") + path);
    music.push_back((looped ? "loop:" : "play:") + path);
    return exists(path) && unplayable.count(path) == 0;
}

void SimSystem::stop_music() {
    record("music stop");
    music.push_back("stop");
}
void SimSystem::stop_all_sound() {
    record("stop_all_sound");
    ++stop_all_count;
}
void SimSystem::set_xp_look(bool on) {
    record(std::string("xp_look ") + (on ? "on" : "off"));
    xp_look_calls.push_back(on);
}

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

std::unique_ptr<Peer> SimSystem::create_peer(Control& c) {
    if (c.kind() == Kind::Window) return std::make_unique<WindowMark>(*this, c);
    return nullptr;
}

void SimSystem::drag(Window& w) {
    if (drag_answers.empty()) return;
    const Point p = drag_answers.front();
    drag_answers.pop_front();
    w.user_moved_to(p);
}

}  // namespace q::sim
