// The real system services: every interface of platform/system.h on the W
// functions of Windows. One instance per process (the entry point or the
// Windows test runner makes it and installs system()).
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/win32/win_internal.h"

namespace q::win32 {

// Starts the common controls on this thread and installs the real system
// services and UI backend.
void start_backends();

class Win32System : public FileSystem,
                    public Clock,
                    public Timers,
                    public Dialogs,
                    public Shell,
                    public Process,
                    public Registry,
                    public Desktop,
                    public Loop {
public:
    Win32System();
    ~Win32System() override;
    Win32System(const Win32System&) = delete;
    Win32System& operator=(const Win32System&) = delete;

    // The bundle to pass to install_system.
    System& system() { return system_; }
    // The instance alive now (nullptr before construction / after destruction).
    static Win32System* current();

    // FileSystem
    bool exists(const std::string& path) override;
    bool folder_exists(const std::string& path) override;
    bool read(const std::string& path, std::string& out) override;
    std::optional<std::uint64_t> size(const std::string& path) override;
    bool read_part(const std::string& path, std::uint64_t offset, std::size_t length, std::string& out) override;
    bool replace(const std::string& path, const std::string& data, Flush flush = Flush::Yes) override;
    bool replace_pieces(const std::string& path, const std::function<void(const Put&)>& write,
                        Flush flush = Flush::Yes) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool volume_ready(const std::string& path) override;
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

    // Lives while a message box, input box, pop-up menu or common dialog is
    // up. Its modal loop dispatches the program's other messages, and a
    // window closed meanwhile must not be deleted under the handler that
    // waits for the step: deferred calls wait until the last step ends.
    class ModalStep {
    public:
        ModalStep();
        ~ModalStep();
        ModalStep(const ModalStep&) = delete;
        ModalStep& operator=(const ModalStep&) = delete;
    };

    // Window messages for the services (see service_message).
    bool handle_service_message(Window& w, HWND h, UINT msg, LPARAM lp);

private:
    static void CALLBACK timer_proc(HWND, UINT, UINT_PTR id, DWORD);
    static LRESULT CALLBACK helper_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
    HWND defer_window();
    HWND menu_window();
    void run_deferred();
    void post_deferred();
    bool tray_call(DWORD op, Window& owner);
    void version(DWORD& major, DWORD& minor);

    struct TimerEntry {
        UINT_PTR win_id;
        std::shared_ptr<std::function<void()>> tick;
    };
    std::map<int, TimerEntry> timers_;
    int next_timer_ = 1;

    struct TrayIcon {
        Res icon;
        std::wstring tip;
        std::shared_ptr<std::function<void(TrayEvent)>> on_event;
    };
    std::map<Window*, TrayIcon> tray_;
    UINT taskbar_created_ = 0;

    std::deque<std::function<void()>> deferred_;
    bool defer_posted_ = false;
    int modal_steps_ = 0;
    HWND defer_hwnd_ = nullptr;
    HWND menu_hwnd_ = nullptr;

    bool quit_seen_ = false;
    std::mt19937 random_;
    System system_;
};

}  // namespace q::win32
