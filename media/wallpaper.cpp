// The wallpaper changer and the tray tip.
#include "media/media.h"
#include "media/media_page.h"
#include "media/picture.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::media {

namespace {

// A list whose entries name no existing file is given up after this many
// picks per change or track start, leaving the desktop or the music as it is.
constexpr int kMaxPicks = 256;
constexpr std::size_t kTipNameBytes = 20;

std::string list_value(const std::string& content, const char* section, const std::string& key) {
    bool found = false;
    return ini::text::read(content, section, key, found);
}

}  // namespace

int wallpaper_interval_ms(const std::string& minutes) { return truncate_int(leading_number(minutes) * 60000); }

std::string tip_name(const std::string& name) {
    if (name.size() <= kTipNameBytes) return name;
    return cut_bytes(name, kTipNameBytes) + "...";
}

Media::Media(Window& owner, Timer& wallpaper_timer, Timer& music_timer)
    : owner_(owner), wallpaper_timer_(wallpaper_timer), music_timer_(music_timer) {}

void Media::next_pick(int& index, int count, bool random) {
    if (random) {
        index = sys().process.random_int(1, count);
    } else {
        index = index >= count ? 1 : index + 1;
    }
}

// Finds the next listed picture that exists and shows it. One read of the
// list serves every pick.
void Media::change_wallpaper_now() {
    // 1. Order.
    const bool random = nearly_equal(leading_number(setting("change", "model")), 0);
    std::string list;
    if (!sys().files.read(list_path(kPictures), list)) return;
    const int count = leading_int(list_value(list, "total", "count"));
    if (count <= 0) return;
    for (int pick = 0; pick < kMaxPicks; ++pick) {
        // 2, 3. Draw, or the next index.
        next_pick(wallpaper_index_, count, random);
        // 4. A missing file: pick again.
        const std::string path = list_value(list, "path", decimal(wallpaper_index_));
        if (!path.empty() && sys().files.exists(path)) {
            show_picture(path);
            return;
        }
    }
}

void Media::show_picture(const std::string& path) {
    // 5. JPEG files are converted, any other picture is copied as it is. The
    // replace is atomic: a failed read or conversion leaves the last picture
    // whole. temp.bmp is made anew from the list each time, so it goes
    // without a disk flush.
    const std::string target = program_file("temp.bmp");
    std::string bytes;
    if (sys().files.read(path, bytes)) {
        if (ascii_lower(path_extension(path)) == "jpg") {
            if (std::optional<std::string> bmp = bmp_file_of_picture(bytes))
                sys().files.replace(target, *bmp, FileSystem::Flush::No);
        } else {
            sys().files.replace(target, bytes, FileSystem::Flush::No);
        }
    }
    // 6. The result is not examined.
    sys().desktop.set_wallpaper(target);
    // 7.
    wallpaper_name_ = path_base_name(path);
    update_tray_tip();
}

void Media::change_action() {
    if (sys().files.exists(list_path(kPictures))) {
        change_wallpaper_now();
        // The paused flag and the caption stay as they are.
        if (!settings::change()) wallpaper_timer_.set_interval(0);
        return;
    }
    if (hooks_.settings_open && hooks_.settings_open()) return;
    const Answer a = sys().dialogs.message_box(
        &owner_, "您还未对壁纸更换进行设置，请单击“设置Quillet”按钮以设定。\r\n您是否现在立即设置？", "壁纸列表未建立",
        Icon::Question, Buttons::YesNo);
    if (a == Answer::Yes && hooks_.open_media_page) hooks_.open_media_page(1);
}

void Media::pause_action() {
    if (!sys().files.exists(list_path(kPictures)) || !settings::change()) return;
    if (paused_) {
        paused_ = false;
        if (hooks_.set_pause_caption) hooks_.set_pause_caption("暂停更换");
        change_wallpaper_now();
        // No default here: without [change] time the timer stays stopped.
        wallpaper_timer_.set_interval(wallpaper_interval_ms(settings::wallpaper_minutes()));
    } else {
        wallpaper_timer_.set_interval(0);
        paused_ = true;
        if (hooks_.set_pause_caption) hooks_.set_pause_caption("恢复更换");
    }
}

void Media::start_wallpaper_timer() {
    wallpaper_timer_.set_interval(wallpaper_interval_ms(settings::wallpaper_minutes_start()));
}

void Media::update_tray_tip() {
    // 1, 2. Labels.
    const std::string wallpaper_label = setting("change", "model") == "1" ? "顺序更换：" : "随机更换：";
    const double m = leading_number(setting("play", "model"));
    std::string music_label;
    if (nearly_equal(m, 0))
        music_label = "随机播放：";
    else if (nearly_equal(m, 1))
        music_label = "顺序播放：";
    else
        music_label = settings::music_replay() ? "曲目循环：" : "固定曲目：";
    // 3. The names are kept whole and cut for the tip only: a cut on a
    // character boundary, cut again, would eat into its own dots.
    const std::string picture = tip_name(wallpaper_name_);
    const std::string track = tip_name(track_name_);
    // 4.
    std::string tip;
    if (!track.empty() && !picture.empty())
        tip = music_label + track + "\r\n" + wallpaper_label + picture;
    else if (!picture.empty())
        tip = "Quillet1.0\r\n" + wallpaper_label + picture;
    else if (!track.empty())
        tip = "Quillet1.0\r\n" + music_label + track;
    else
        tip = "Quillet1.0";
    // 5.
    if (hooks_.set_tray_tip) hooks_.set_tray_tip(tip);
}

}  // namespace q::media
