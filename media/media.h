// The wallpaper changer and the music player: their state for the run, the
// main bar's functions 0 to 3, and the tray tip that reports both.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "media/lists.h"
#include "platform/ui.h"

namespace q::media {

// What the changer and the player ask of the program around them; app/ sets
// these at start-up. Unset hooks do nothing.
struct Hooks {
    std::function<void(const std::string& tip)> set_tray_tip;        // the main bar's tray icon
    std::function<void(const std::string& caption)> set_pause_caption;  // 暂停按钮
    std::function<bool()> settings_open;                             // the settings window is loaded
    std::function<void(ListKind)> open_media_page;                   // tab 1, with this list
};

class Media {
public:
    // owner: the window the questions belong to (the main bar).
    Media(Window& owner, Timer& wallpaper_timer, Timer& music_timer);
    Media(const Media&) = delete;
    Media& operator=(const Media&) = delete;

    void set_hooks(Hooks hooks) { hooks_ = std::move(hooks); }

    // ---- wallpaper changer ----
    // The wallpaper timer's tick: the next picture of the list onto the desktop.
    void change_wallpaper_now();
    // Main bar function 2 and 3, run after the bar is hidden.
    void change_action();
    void pause_action();
    // Start-up, and a confirmed picture list while the timer is stopped: the
    // timer at [change] time (default 10) minutes.
    void start_wallpaper_timer();

    // ---- music player ----
    // The music timer's tick: stops the track, starts the next one.
    void start_next_track();
    // Main bar function 0 and 1, run after the bar is hidden.
    void play_action();
    void stop_action();

    // Rebuilds the tray tip from the current picture and track.
    void update_tray_tip();

    Timer& wallpaper_timer() { return wallpaper_timer_; }
    Timer& music_timer() { return music_timer_; }
    int wallpaper_index() const { return wallpaper_index_; }
    bool wallpaper_paused() const { return paused_; }
    const std::string& track_name() const { return track_name_; }

private:
    // A list whose entries name no file that will do is given up after this
    // many picks per change or track start, or once its picks have taken this
    // long (each may wait seconds on an unreachable share).
    static constexpr int kMaxPicks = 256;
    static constexpr std::uint64_t kMaxPickMs = 3000;
    // Picks entries of the picture or music list, read once, at random or in
    // order from index (which moves with each pick), until accept takes one's
    // path. Nothing when the list is missing or empty, or past either bound.
    std::optional<std::string> pick_from_list(int kind, int& index, bool random,
                                              const std::function<bool(const std::string&)>& accept);
    // A list is missing: unless the settings window is open, asks whether
    // to open it on the lists page with this list kind preset.
    void offer_list_setup(const std::string& text, const std::string& title, ListKind preset);
    // Writes temp.bmp from the picture: false when it cannot be read,
    // converted or written (temp.bmp is then as it was).
    bool write_temp_bmp(const std::string& path);

    Window& owner_;
    Timer& wallpaper_timer_;
    Timer& music_timer_;
    Hooks hooks_;
    int wallpaper_index_ = 0;
    bool paused_ = false;
    std::string wallpaper_name_;
    int track_index_ = 0;
    std::string track_name_;
};

// The wallpaper timer's interval for a [change] time text: its leading number
// of minutes in milliseconds (0, a stopped timer, for none).
int wallpaper_interval_ms(const std::string& minutes);

// A name cut to 20 bytes on a character boundary, followed by "...", when it
// is longer than 20 bytes; otherwise the name.
std::string tip_name(const std::string& name);

}  // namespace q::media
