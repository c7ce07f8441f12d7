// The wallpaper changer.
#include "media/media.h"

#include <new>

#include "media/lists.h"
#include "media/picture.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::media {

int wallpaper_interval_ms(const std::string& minutes) { return truncate_int(leading_number(minutes) * 60000); }

void Media::change_wallpaper_now() {
    // 1. Order.
    const bool random = nearly_equal(settings::wallpaper_model.number(), 0);
    // 2 to 5. Draw, or the next index, until a listed picture is on
    // temp.bmp: one that is missing or cannot be read, converted or written
    // is a failed pick like a missing one.
    const std::optional<std::string> path =
        pick_from_list(kPictures, wallpaper_index_, random, [this](const std::string& p) { return write_temp_bmp(p); });
    // None would do: the desktop, the name and the tip stay as they were.
    if (!path) return;
    // 6. The result is not examined.
    sys().desktop.set_wallpaper(program_file("temp.bmp"));
    // 7.
    wallpaper_name_ = path_base_name(*path);
    update_tray_tip();
}

bool Media::write_temp_bmp(const std::string& path) {
    // A picture the decoder reads becomes a BMP of the screen's size, upright;
    // another JPEG fails, any other file is copied as it is. The replace is
    // atomic: a failed one leaves the last picture whole. temp.bmp is made
    // anew from the list each time, so it goes without a disk flush. A
    // picture too large for the memory left (a 32-bit process) fails.
    try {
        std::string bytes;
        if (!sys().files.read(path, bytes)) return false;
        const std::string target = program_file("temp.bmp");
        const Size screen = sys().desktop.screen_size();
        if (std::optional<std::string> bmp = wallpaper_bmp(bytes, screen.width, screen.height))
            return sys().files.replace(target, *bmp, FileSystem::Flush::No);
        if (ascii_lower(path_extension(path)) == "jpg") return false;
        return sys().files.replace(target, bytes, FileSystem::Flush::No);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void Media::change_action() {
    if (sys().files.exists(list_path(kPictures))) {
        change_wallpaper_now();
        // The paused flag and the caption stay as they are.
        if (!settings::change()) wallpaper_timer_.set_interval(0);
        return;
    }
    offer_list_setup("您还未对壁纸更换进行设置，请单击“设置Quillet”按钮以设定。\r\n您是否现在立即设置？", "壁纸列表未建立", kPictures);
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

}  // namespace q::media
