// The music player.
#include "media/media.h"
#include "media/media_page.h"
#include "media/mp3_length.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::media {

namespace {

// As for pictures: a list of missing files is given up after this many picks.
constexpr int kMaxTrackPicks = 256;

}  // namespace

void Media::start_next_track() {
    // 1.
    if (music_timer_.running()) sys().desktop.stop_music();
    // 2.
    const double m = leading_number(setting("play", "model"));
    const bool random = nearly_equal(m, 0);
    if (random || nearly_equal(m, 1)) {
        // 3. List order; one read of the list serves every pick.
        std::string list;
        if (!sys().files.read(list_path(kMusic), list)) return;
        bool found = false;
        const int count = leading_int(ini::text::read(list, "total", "count", found));
        if (count <= 0) return;
        for (int pick = 0; pick < kMaxTrackPicks; ++pick) {
            next_pick(track_index_, count, random);
            const std::string path = ini::text::read(list, "path", decimal(track_index_), found);
            if (path.empty() || !sys().files.exists(path)) continue;
            // The length read from the file's frames, so that the next track
            // follows this one without a cut or a silence. A file that cannot
            // be opened is skipped like a missing one: its 0 would stop the
            // timer and with it the list.
            const int length = track_length_ms(path);
            if (length == 0 && !sys().files.size(path)) continue;
            music_timer_.set_interval(length);
            sys().desktop.play_music(path, false);
            track_name_ = path_base_name(path);
            update_tray_tip();
            return;
        }
        return;
    }
    // 4. The chosen track, whether or not it exists; the timer keeps its interval.
    const std::string path = settings::music_path();
    sys().desktop.stop_music();
    sys().desktop.play_music(path, settings::music_replay());
    track_name_ = path_base_name(path);
    update_tray_tip();
}

void Media::play_action() {
    if (sys().files.exists(list_path(kMusic))) {
        start_next_track();
        return;
    }
    if (hooks_.settings_open && hooks_.settings_open()) return;
    const Answer a = sys().dialogs.message_box(
        &owner_, "您还未对MP3播放进行设置，请单击“设置Quillet”按钮以设定。\r\n您是否现在立即设置？", "播放列表未建立",
        Icon::Question, Buttons::YesNo);
    if (a == Answer::Yes && hooks_.open_media_page) hooks_.open_media_page(2);
}

void Media::stop_action() {
    if (!music_timer_.running() && setting("play", "model") != "2") return;
    sys().desktop.stop_music();
    track_name_.clear();
    update_tray_tip();
    music_timer_.set_interval(0);
}

}  // namespace q::media
