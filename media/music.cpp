// The music player.
#include "media/lists.h"
#include "media/media.h"
#include "media/mp3_length.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::media {

void Media::start_next_track() {
    // 1.
    if (music_timer_.running()) sys().desktop.stop_music();
    // 2.
    const double m = settings::music_model.number();
    const bool random = nearly_equal(m, 0);
    if (random || nearly_equal(m, 1)) {
        // 3. List order. The length is read from the file's frames, so that
        // the next track follows this one without a cut or a silence. A file
        // that cannot be opened has none, and one the system cannot play (no
        // decoder, no sound device) does not start: either is passed over
        // like a missing one.
        std::optional<int> length;
        auto playable = [&length](const std::string& p) {
            return (length = track_length_ms(p)).has_value() && sys().desktop.play_music(p, false);
        };
        const std::optional<std::string> path = pick_from_list(kMusic, track_index_, random, playable);
        if (!path) {
            // Nothing plays, and the tip no longer names a track.
            music_timer_.set_interval(0);
            track_name_.clear();
            update_tray_tip();
            return;
        }
        music_timer_.set_interval(*length);
        track_name_ = path_base_name(*path);
        update_tray_tip();
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
    offer_list_setup("您还未对MP3播放进行设置，请单击“设置Quillet”按钮以设定。\r\n您是否现在立即设置？", "播放列表未建立", kMusic);
}

void Media::stop_action() {
    // The chosen track plays without the timer: only the exact text "2" marks
    // it here, while the order in start_next_track is read as a number.
    if (!music_timer_.running() && settings::music_model.text() != "2") return;
    sys().desktop.stop_music();
    track_name_.clear();
    update_tray_tip();
    music_timer_.set_interval(0);
}

}  // namespace q::media
