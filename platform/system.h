// The system-service half of the seam: everything the program asks of Windows
// apart from its windows and controls. Two implementations: platform/win32
// (the real one) and platform/sim (deterministic, for tests).
//
// Texts are CP936 std::strings on both sides; only the win32 backend converts.
// Paths use Windows rules in both backends: drive letters, "\", names compared
// without case. Failures are reported as false/empty and never thrown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/datetime.h"
#include "platform/resources.h"
#include "platform/types.h"

namespace q {

class Window;

// ---- files ---------------------------------------------------------------
class FileSystem {
public:
    virtual ~FileSystem() = default;
    struct Entry {
        std::string name;  // name only, as stored (case kept)
        bool folder = false;
        // A junction or symbolic link (a reparse point): it may lead back up its own tree.
        bool link = false;
        // Both hidden and system: the system's own folders ($RECYCLE.BIN, System Volume Information).
        bool system_hidden = false;
    };
    // A file (not a folder) exists at path.
    virtual bool exists(const std::string& path) = 0;
    virtual bool folder_exists(const std::string& path) = 0;
    // Whole content of a file; false when it is missing or cannot be read.
    virtual bool read(const std::string& path, std::string& out) = 0;
    // A file's size in bytes; nothing when it is missing, a folder, or cannot
    // be opened (as for read).
    virtual std::optional<std::uint64_t> size(const std::string& path) = 0;
    // Up to length bytes from offset into out: fewer at the end of the file,
    // none from past it (both still true). False when the file is missing or
    // cannot be read; out is then left as it was.
    virtual bool read_part(const std::string& path, std::uint64_t offset, std::size_t length, std::string& out) = 0;
    // Whether a replace waits for its bytes to reach the disk before the rename.
    enum class Flush { Yes, No };
    // Replaces (or creates) the file atomically: a temporary file in the same
    // folder, then a rename over the old one. On failure the old file is whole.
    // Fails when the folder does not exist. Flush::No skips the disk flush
    // (for small files rewritten often); the rename stays atomic.
    virtual bool replace(const std::string& path, const std::string& data, Flush flush = Flush::Yes) = 0;
    // As replace() with the bytes write hands to put, piece after piece: a
    // file of many pieces need not be made whole in memory first.
    using Put = std::function<void(std::string_view)>;
    virtual bool replace_pieces(const std::string& path, const std::function<void(const Put&)>& write,
                                Flush flush = Flush::Yes) {
        std::string data;
        write([&](std::string_view piece) { data.append(piece); });
        return replace(path, data, flush);
    }
    // Renames (moves) a file or folder; fails when the target exists, so that
    // nothing is ever replaced by a rename.
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    virtual bool remove(const std::string& path) = 0;
    // Creates one folder (its parent must exist).
    virtual bool create_folder(const std::string& path) = 0;
    // Entries matching a pattern "dir\*.ext" with Windows wildcard rules
    // (* and ?, without case), in file-system order; "." and ".." excluded.
    virtual std::vector<Entry> enumerate(const std::string& pattern) = 0;
    virtual std::string current_directory() = 0;
    // Makes a folder the process's current directory; false when it is none.
    virtual bool set_current_directory(const std::string& path) = 0;
    // Marks a file hidden (the style manifest).
    virtual bool set_hidden(const std::string& path) = 0;
    // Whether the drive or network share that holds an absolute path answers
    // now: false for a drive letter that is not there, a removable drive
    // without its medium, a network drive or server that does not answer
    // within a moment. Asking never shows a "no disk" box.
    virtual bool volume_ready(const std::string& /*path*/) { return true; }
};

// ---- time ----------------------------------------------------------------
class Clock {
public:
    virtual ~Clock() = default;
    // Local date-time to the second.
    virtual DateTime now() = 0;
    // Milliseconds on a monotonic counter.
    virtual std::uint64_t ticks_ms() = 0;
    // Blocks for ms (the restart delay).
    virtual void sleep_ms(int ms) = 0;
};

// Interval timers on the UI thread; the callback runs from the message loop
// (win32) or from SimSystem::advance (sim). Interval 0 is never passed here.
class Timers {
public:
    virtual ~Timers() = default;
    virtual int start(int interval_ms, std::function<void()> tick) = 0;  // returns an id > 0
    virtual void stop(int id) = 0;
};

// ---- messages and dialogs ------------------------------------------------
enum class Icon { None, Information, Warning, Error, Question };  // Error is the stop icon
enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

struct FileDialog {
    std::string title;
    std::string filter;       // "文本文件(*.txt)|*.TXT": description|pattern pairs joined by "|"
    std::string default_ext;  // without the dot; empty for none
    std::string initial_name;
};

// The boxes and dialogs are modal to their owner: the owner window takes no
// input while one is up (nullptr: no owner, for boxes of no window).
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // foreground: bring the box to the foreground (MB_SETFOREGROUND).
    virtual Answer message_box(Window* owner, const std::string& text, const std::string& title, Icon icon,
                               Buttons buttons, bool foreground = false) = 0;
    // The chosen path, or nothing when cancelled.
    virtual std::optional<std::string> open_file(Window* owner, const FileDialog& d) = 0;
    virtual std::optional<std::string> save_file(Window* owner, const FileDialog& d) = 0;
    // Folder browser; the chosen folder or nothing.
    virtual std::optional<std::string> browse_folder(Window* owner, const std::string& prompt) = 0;
    // Font dialog starting from font/color; true and both updated when confirmed.
    virtual bool choose_font(Window* owner, Font& font, Color& color) = 0;
    // Small modal prompt with OK and Cancel; nothing when cancelled.
    virtual std::optional<std::string> input_box(Window* owner, const std::string& prompt, const std::string& title,
                                                 const std::string& initial) = 0;
    // Pops a menu at a screen point and waits; the 0-based index of the chosen
    // item (separators count as items, written as empty texts), or -1.
    // disabled[i] greys item i out (missing entries: enabled).
    virtual int popup_menu(const std::vector<std::string>& items, Point screen_pos,
                           const std::vector<bool>& disabled = {}) = 0;
    // The system's default beep.
    virtual void beep() = 0;
};

// ---- shell, process, registry ---------------------------------------------
enum class Hive { LocalMachine, CurrentUser };
// Busy: another process holds the mutex. Failed: it could not be made or
// waited on, which proves nothing about another copy.
enum class MutexState { Acquired, Abandoned, Busy, Failed };
enum class EndSession { ShutDown, LogOff, Restart };

class Shell {
public:
    virtual ~Shell() = default;
    // Starts a program without waiting. The path is the program's name, never
    // split at spaces; args is its command line tail (may be empty).
    virtual bool start_program(const std::string& path, const std::string& args = "") = 0;
    // Opens a path with its associated program, in working_folder when it is
    // not empty / shows its properties.
    virtual bool open_path(const std::string& path, const std::string& working_folder = {}) = 0;
    virtual bool show_properties(const std::string& path) = 0;
    // Enables the shut-down privilege, then asks Windows to end the session, forced.
    virtual bool end_session(EndSession how) = 0;
    // The Windows system directory, ending with "\".
    virtual std::string system_directory() = 0;
};

class Process {
public:
    virtual ~Process() = default;
    // Folder of the executable without a trailing "\".
    virtual std::string program_dir() = 0;
    // File name of the executable with its extension.
    virtual std::string program_file_name() = 0;
    // Command-line arguments after the program name.
    virtual std::vector<std::string> arguments() = 0;
    // Creates or opens the named mutex and waits on it with time-out 0; the
    // mutex stays owned for the life of the process when acquired.
    virtual MutexState acquire_mutex(const std::string& name) = 0;
    // Ends the process. In the sim this records the code and returns, so
    // callers return at once after calling it.
    virtual void end_process(int code) = 0;
    // Random integers: seed from the clock, then uniform in [lo, hi].
    virtual void seed_random_from_clock() = 0;
    virtual int random_int(int lo, int hi) = 0;
    // 0 Win95/98/NT4, 1 Me, 2 2000, 3 XP, 5 other (the settings page's OS class).
    virtual int os_class() = 0;
    // True where layered windows exist (NT family, Windows 2000 and later).
    virtual bool has_layered_windows() = 0;
    // The version the system reports: major, minor, build number, platform id.
    struct OsVersion {
        int major = 0, minor = 0, build = 0, platform = 0;
    };
    virtual OsVersion os_version() = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    virtual bool value_exists(Hive hive, const std::string& key, const std::string& name) = 0;
    virtual std::optional<std::string> read_string(Hive hive, const std::string& key, const std::string& name) = 0;
    virtual bool write_string(Hive hive, const std::string& key, const std::string& name,
                              const std::string& data) = 0;
    virtual bool delete_value(Hive hive, const std::string& key, const std::string& name) = 0;
};

// ---- desktop: screen, tray, hotkeys, keys, sound, CD, wallpaper -------------
enum class TrayEvent { Click = 1, DoubleClick = 2, RightClick = 3 };

class Desktop {
public:
    virtual ~Desktop() = default;
    virtual Size screen_size() = 0;
    // The work area (screen less the taskbar) in screen coordinates.
    virtual Rect work_area() = 0;
    // The taskbar rectangle (SHAppBarMessage ABM_GETTASKBARPOS); empty when there is none.
    virtual Rect taskbar_rect() = 0;
    virtual Point pointer() = 0;

    // The notification-area icon, owned by a window; events go to on_event.
    virtual bool tray_add(Window& owner, Res icon, const std::string& tip,
                          std::function<void(TrayEvent)> on_event) = 0;
    virtual bool tray_modify(Window& owner, Res icon, const std::string& tip) = 0;
    virtual void tray_remove(Window& owner) = 0;

    // System-wide hotkeys on a window; modifiers: MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4.
    virtual bool register_hotkey(Window& owner, int id, int modifiers, int virtual_key) = 0;
    virtual void unregister_hotkey(Window& owner, int id) = 0;

    // The Windows-key + M keystroke that minimises all windows.
    virtual void show_desktop() = 0;
    // An MCI command string, no return buffer, no callback.
    virtual void mci_command(const std::string& command) = 0;
    // Sets the desktop wallpaper to a BMP file.
    virtual bool set_wallpaper(const std::string& bmp_path) = 0;

    // WAV data embedded in the program, played asynchronously; a new sound cuts the one playing.
    virtual void play_sound(Res wav) = 0;
    // MP3 playback on one channel.
    virtual bool play_music(const std::string& path, bool looped) = 0;
    virtual void stop_music() = 0;
    // Stops any sound and music.
    virtual void stop_all_sound() = 0;

    // The XP-look drawing layer of the program's own controls: on (start-up,
    // style unticked) or off (exit, style ticked).
    virtual void set_xp_look(bool on) = 0;
};

// ---- the message loop ---------------------------------------------------------
class Loop {
public:
    virtual ~Loop() = default;
    // Waits until a message arrives (WaitMessage). False when the program's
    // messages have ended (WM_QUIT in win32; nothing queued in the sim).
    virtual bool wait_message() = 0;
    // Removes a pending WM_HOTKEY of the window; its id in id.
    virtual bool take_hotkey(Window& owner, int& id) = 0;
    // Lets every pending message be processed. False after WM_QUIT.
    virtual bool process_pending() = 0;
    // Runs f after the current event handler has returned (deferred destruction
    // of a window from its own handler, for example).
    virtual void defer(std::function<void()> f) = 0;
};

// The whole system, installed once: by the win32 entry point, or by a test.
struct System {
    FileSystem& files;
    Clock& clock;
    Timers& timers;
    Dialogs& dialogs;
    Shell& shell;
    Process& process;
    Registry& registry;
    Desktop& desktop;
    Loop& loop;
};

System& sys();

// The first of name(1), name(2), ... that neither a file nor a folder holds:
// where a file goes aside without replacing one put aside earlier.
std::string free_name(FileSystem& fs, const std::function<std::string(long long n)>& name);
void install_system(System* s);

}  // namespace q
