// The simulated backend: deterministic and fast, for tests.
//
// - A virtual clock; timers fire in due order as a test calls advance().
// - An in-memory file system with Windows rules (drive letters, "\", names
//   compared without case, case of stored names kept), with injectable
//   failed and interrupted writes.
// - Scripted answers for message boxes, dialogs, menus and input boxes, and
//   logs of what was shown, played, launched and written.
// - UI peers that do nothing (the portable objects hold all state; a
//   window's tells the dialogs when it goes); drag() moves the window to a
//   scripted point.
//
// A test makes one SimSystem; its constructor installs it (and its UI backend)
// and its destructor uninstalls it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/ui.h"

namespace q::sim {

struct ShownMessage {
    Window* owner = nullptr;
    std::string text, title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    bool foreground = false;
};

struct ShownDialog {
    Window* owner = nullptr;
    std::string kind;  // "open", "save", "folder", "font", "input", "menu"
    FileDialog file;   // open / save
    std::string prompt;  // folder / input prompt
    std::vector<std::string> items;  // menu
    std::vector<bool> disabled;      // menu: greyed items
    Point at;                        // menu position
    std::string title, initial;      // input
};

struct Launch {
    std::string path, args;
};

struct RegistryWrite {
    std::string op;  // "write" or "delete"
    Hive hive;
    std::string key, name, data;
};

class SimSystem : public FileSystem,
                  public Clock,
                  public Timers,
                  public Dialogs,
                  public Shell,
                  public Process,
                  public Registry,
                  public Desktop,
                  public Loop,
                  public UiBackend {
public:
    SimSystem();
    ~SimSystem() override;
    SimSystem(const SimSystem&) = delete;
    SimSystem& operator=(const SimSystem&) = delete;

    // ---- set-up ----
    // Program directory (created with its drive), file name and arguments.
    std::string dir = "C:\\Quillet";
    std::string exe = "quillet.exe";
    std::vector<std::string> args;
    int os = 3;  // os_class()
    OsVersion version{5, 1, 2600, 2};  // os_version()
    bool layered = true;
    Size screen{1024, 768};
    Rect work{0, 0, 1024, 738};
    Rect taskbar{0, 738, 1024, 30};
    Point mouse{0, 0};
    MutexState mutex_answer = MutexState::Acquired;
    // Registry writes under LocalMachine fail, as for an ordinary user since Vista.
    bool hklm_read_only = false;
    bool hotkey_register_fails = false;

    // Sets the virtual clock (timers keep their remaining time).
    void set_now(const DateTime& t);
    // Advances virtual time by ms, firing due timers in order; the clock
    // reads each timer's due time while it runs. Deferred calls run after each tick.
    void advance(std::int64_t ms);
    // Runs deferred calls (Loop::defer) now; while a modal step is up (as in
    // while_shown) they wait for its end, as on Windows.
    void run_deferred();
    int running_timers() const { return static_cast<int>(timers_.size()); }

    // ---- files ----
    // Creates a file (and its folders) directly, bypassing failure injection.
    void put_file(const std::string& path, const std::string& data);
    std::optional<std::string> file(const std::string& path);  // content or nothing
    bool is_hidden(const std::string& path);                    // marked by set_hidden
    void make_folder(const std::string& path);                 // and its parents
    // Gives an existing entry the system attribute, or makes it a junction
    // or link (a reparse point) whose contents are whatever the test puts in.
    void set_special(const std::string& path, bool system, bool link);
    // The next n writes (replace) fail before touching anything.
    void fail_writes(int n) { fail_writes_ = n; }
    // The next write stops after `bytes` bytes of its temporary file, as a crash would.
    void interrupt_next_write(std::size_t bytes) { interrupt_at_ = bytes; }
    // Paths whose reads fail (unreadable files).
    std::set<std::string> unreadable;
    // What each read or size question costs on the virtual clock (a share that does not answer).
    std::int64_t file_wait_ms = 0;
    // Volumes that do not answer now ("E:", "\\\\server\\share"): the paths below them.
    std::set<std::string> absent_volumes;
    int write_count = 0;  // successful replaces
    int flush_count = 0;  // of them, those flushed to the disk

    // ---- scripted answers (consumed in order; defaults when empty) ----
    std::deque<Answer> answers;  // default: Ok / Cancel / No for Ok / OkCancel / YesNo
    std::deque<std::optional<std::string>> file_answers;  // open/save/folder; default: cancelled
    std::deque<std::optional<std::pair<Font, Color>>> font_answers;  // default: cancelled
    std::deque<std::optional<std::string>> input_answers;           // default: cancelled
    std::deque<int> menu_answers;                                   // default: -1
    std::deque<Point> drag_answers;                                 // default: window stays

    // ---- logs ----
    // One ordered record of the platform calls, "kind detail" each: "message
    // title: text", "dialog open title", "menu a|b", "file replace path",
    // "window show caption", "tray remove", "hotkey unregister 2", "end 0", ...
    // (reads are not recorded). The lists below keep the details of some kinds.
    std::vector<std::string> calls;
    void record(std::string call);
    // The calls of one kind (the first word), from index `from` on.
    std::vector<std::string> calls_of(const std::string& kind, std::size_t from = 0) const;
    // Compares the calls from index `from` on with expected, in order, over
    // the kinds expected names (the other kinds are passed over). An entry
    // written "?call" may be missing. Empty when they agree; otherwise what
    // differs first.
    std::string calls_differ(const std::vector<std::string>& expected, std::size_t from = 0) const;
    std::vector<ShownMessage> messages;
    std::vector<ShownDialog> dialogs;
    // Runs while the next box, dialog or menu is up (then is cleared): what the user
    // tries behind it. Its owner takes no input meanwhile, as on Windows.
    std::function<void()> while_shown;
    std::vector<Res> sounds;
    std::vector<std::string> music;  // "play:path", "loop:path", "stop"
    std::set<std::string> unplayable;  // paths play_music fails on (logged all the same)
    int stop_all_count = 0;
    std::vector<Launch> launches;
    std::vector<std::string> opened_paths, properties_paths;
    std::vector<std::string> opened_folders;  // the working folder of each opened path
    std::vector<EndSession> sessions_ended;
    std::vector<RegistryWrite> registry_log;
    std::map<std::string, std::string> registry;  // "HKLM\\key\\name" or "HKCU\\..." -> data
    std::vector<std::string> mci;
    int show_desktop_count = 0;
    std::vector<std::string> wallpapers;
    int beeps = 0;
    std::optional<int> exit_code;  // set by end_process
    std::vector<int> sleeps;
    std::vector<bool> xp_look_calls;

    // Tray icon state (one icon per owner window).
    struct Tray {
        Res icon;
        std::string tip;
        std::function<void(TrayEvent)> on_event;
    };
    std::map<Window*, Tray> tray;
    void tray_click(Window& owner, TrayEvent e);

    // Hotkeys registered now: (owner, id) -> (modifiers, key).
    std::map<std::pair<Window*, int>, std::pair<int, int>> hotkeys;
    std::vector<std::pair<int, int>> register_calls;  // (id, modifiers) in call order
    // Queues a WM_HOTKEY for the loop (wait_message / take_hotkey).
    void post_hotkey(Window& owner, int id);

    // ---- the interfaces ----
    // FileSystem
    bool exists(const std::string& path) override;
    bool folder_exists(const std::string& path) override;
    bool read(const std::string& path, std::string& out) override;
    std::optional<std::uint64_t> size(const std::string& path) override;
    bool read_part(const std::string& path, std::uint64_t offset, std::size_t length, std::string& out) override;
    bool replace(const std::string& path, const std::string& data, Flush flush = Flush::Yes) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool remove(const std::string& path) override;
    bool create_folder(const std::string& path) override;
    std::vector<Entry> enumerate(const std::string& pattern) override;
    std::string current_directory() override;
    bool set_current_directory(const std::string& path) override;
    bool set_hidden(const std::string& path) override;
    // Clock
    DateTime now() override;
    std::uint64_t ticks_ms() override;
    void sleep_ms(int ms) override;
    // Timers
    int start(int interval_ms, std::function<void()> tick) override;
    void stop(int id) override;
    // Dialogs
    Answer message_box(Window* owner, const std::string& text, const std::string& title, Icon icon, Buttons buttons,
                       bool foreground) override;
    std::optional<std::string> open_file(Window* owner, const FileDialog& d) override;
    std::optional<std::string> save_file(Window* owner, const FileDialog& d) override;
    std::optional<std::string> browse_folder(Window* owner, const std::string& prompt) override;
    bool choose_font(Window* owner, Font& font, Color& color) override;
    std::optional<std::string> input_box(Window* owner, const std::string& prompt, const std::string& title,
                                         const std::string& initial) override;
    int popup_menu(const std::vector<std::string>& items, Point screen_pos,
                   const std::vector<bool>& disabled = {}) override;
    void beep() override;
    // Shell
    bool start_program(const std::string& path, const std::string& args) override;
    bool open_path(const std::string& path, const std::string& working_folder = {}) override;
    bool volume_ready(const std::string& path) override;
    bool show_properties(const std::string& path) override;
    bool end_session(EndSession how) override;
    std::string system_directory() override;
    // Process
    std::string program_dir() override;
    std::string program_file_name() override;
    std::vector<std::string> arguments() override;
    MutexState acquire_mutex(const std::string& name) override;
    void end_process(int code) override;
    void seed_random_from_clock() override;
    int random_int(int lo, int hi) override;
    int os_class() override;
    bool has_layered_windows() override;
    OsVersion os_version() override;
    // Registry
    bool value_exists(Hive hive, const std::string& key, const std::string& name) override;
    std::optional<std::string> read_string(Hive hive, const std::string& key, const std::string& name) override;
    bool write_string(Hive hive, const std::string& key, const std::string& name, const std::string& data) override;
    bool delete_value(Hive hive, const std::string& key, const std::string& name) override;
    // Desktop
    Size screen_size() override;
    Rect work_area() override;
    Rect taskbar_rect() override;
    Point pointer() override;
    bool tray_add(Window& owner, Res icon, const std::string& tip, std::function<void(TrayEvent)> on_event) override;
    bool tray_modify(Window& owner, Res icon, const std::string& tip) override;
    void tray_remove(Window& owner) override;
    bool register_hotkey(Window& owner, int id, int modifiers, int virtual_key) override;
    void unregister_hotkey(Window& owner, int id) override;
    void show_desktop() override;
    void mci_command(const std::string& command) override;
    bool set_wallpaper(const std::string& bmp_path) override;
    void play_sound(Res wav) override;
    bool play_music(const std::string& path, bool looped) override;
    void stop_music() override;
    void stop_all_sound() override;
    void set_xp_look(bool on) override;
    // Loop
    bool wait_message() override;
    bool take_hotkey(Window& owner, int& id) override;
    bool process_pending() override;
    void defer(std::function<void()> f) override;
    // UiBackend
    std::unique_ptr<Peer> create_peer(Control& c) override;
    void drag(Window& w) override;

    // Ends when the sim goes (for peers that may outlive it).
    AliveToken liveness() const { return life_.token(); }

    // The key the sim uses for a path: upper-cased, "/" as "\", no trailing "\".
    static std::string key_of(const std::string& path);

private:
    struct Node {
        std::string name;  // full path as first written (case kept)
        std::string data;
        bool folder = false;
        bool hidden = false;
        bool system = false;
        bool link = false;
        std::uint64_t order = 0;  // creation order: the file-system order of enumerate
    };
    std::map<std::string, Node> nodes_;
    // The content of a file a read may see: nothing for a missing, folder or unreadable path.
    const std::string* readable(const std::string& path);
    std::uint64_t next_order_ = 0;
    int fail_writes_ = 0;
    std::optional<std::size_t> interrupt_at_;

    struct SimTimer {
        int id;
        int interval;
        std::int64_t due;
        std::function<void()> tick;
    };
    std::vector<SimTimer> timers_;
    int next_timer_ = 1;
    std::int64_t now_ms_ = 0;  // virtual ms since base_
    std::int64_t base_serial_ = 0;

    class Modal;
    std::deque<std::function<void()>> deferred_;
    int modal_steps_ = 0;
    std::deque<std::pair<Window*, int>> hotkey_queue_;
    unsigned random_state_ = 12345;

    System system_;
    Liveness life_;
    bool ensure_parent(const std::string& path);
};

}  // namespace q::sim
