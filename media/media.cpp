// What the changer and the player share: picking from a list, the question when a
// list is missing, and the tray tip.
#include "media/media.h"

#include <new>

#include "media/lists.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::media {

namespace {

constexpr std::size_t kTipNameBytes = 20;

}  // namespace

std::string tip_name(const std::string& name) {
    if (name.size() <= kTipNameBytes) return name;
    return cut_bytes(name, kTipNameBytes) + "...";
}

Media::Media(Window& owner, Timer& wallpaper_timer, Timer& music_timer)
    : owner_(owner), wallpaper_timer_(wallpaper_timer), music_timer_(music_timer) {}

std::optional<std::string> Media::pick_from_list(int kind, int& index, bool random,
                                                 const std::function<bool(const std::string&)>& accept) {
    // One read of the list serves every pick. A list too large for the
    // memory left (a 32-bit process) is no list.
    std::string list;
    try {
        if (!sys().files.read(list_path(kind), list)) return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    bool found = false;
    const int count = leading_int(ini::text::read(list, "total", "count", found));
    if (count <= 0) return std::nullopt;
    const std::uint64_t started = sys().clock.ticks_ms();
    for (int pick = 0; pick < kMaxPicks; ++pick) {
        index = random ? sys().process.random_int(1, count) : index >= count ? 1 : index + 1;
        std::string path = ini::text::read(list, "path", decimal(index), found);
        if (!path.empty() && accept(path)) return path;
        if (sys().clock.ticks_ms() - started >= kMaxPickMs) break;
    }
    return std::nullopt;
}

void Media::offer_list_setup(const std::string& text, const std::string& title, ListKind preset) {
    if (hooks_.settings_open && hooks_.settings_open()) return;
    const AliveToken alive = owner_.liveness();
    const Answer a = sys().dialogs.message_box(&owner_, text, title, Icon::Question, Buttons::YesNo);
    if (alive && a == Answer::Yes && hooks_.open_media_page) hooks_.open_media_page(preset);
}

void Media::update_tray_tip() {
    // 1, 2. Labels.
    // The label tests the stored text, not the number the changer reads: a
    // hand-written "1.0" changes in order under the random label.
    const std::string wallpaper_label = settings::wallpaper_model.text() == "1" ? "顺序更换：" : "随机更换：";
    const double m = settings::music_model.number();
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
