#include "media/media_options.h"

#include "media/lists.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::media {

namespace {

constexpr int kChosenTrack = 2;

}  // namespace

MediaOptions::MediaOptions(TabPage& page, Media& media)
    : 壁纸选择框(&page, {16, 57, 127, 15}, "启动时自动更换壁纸"),
      壁纸顺序组合框(&page, {146, 54, 75, 20}, {"随机更换", "顺序更换"}),
      时间标签(&page, {225, 57, 289, 15}, "时间间隔：       分（如不设定，默认为10分钟）", Label::Look::Transparent),
      时间编辑框(&page, {281, 55, 44, 16}, Edit::Mode::numbers()),
      音乐选择框(&page, {16, 84, 98, 16}, "启动时播放MP3"),
      音乐顺序组合框(&page, {146, 79, 75, 20}, {"随机播放", "顺序播放", "选定曲目"}),
      路径编辑框(&page, {225, 80, 249, 18}),
      浏览按钮(&page, {481, 80, 30, 16}, "..."),
      循环选择框(&page, {517, 80, 43, 15}, "循环"),
      media_(media) {
    壁纸选择框.on_click = [this] { 壁纸选择框_click(); };
    壁纸顺序组合框.on_change = [this] { 壁纸顺序组合框_change(); };
    时间编辑框.on_change = [this] { 时间编辑框_change(); };
    音乐选择框.on_click = [this] { 音乐选择框_click(); };
    音乐顺序组合框.on_change = [this] { 音乐顺序组合框_change(); };
    浏览按钮.on_click = [this] { 浏览按钮_click(); };
    循环选择框.on_click = [this] { 循环选择框_click(); };
}

void MediaOptions::show_wallpaper_options(bool shown) {
    for (Control* c : {static_cast<Control*>(&壁纸顺序组合框), static_cast<Control*>(&时间标签),
                       static_cast<Control*>(&时间编辑框)})
        shown ? c->show() : c->hide();
}

void MediaOptions::show_track_options(bool shown) {
    for (Control* c : {static_cast<Control*>(&路径编辑框), static_cast<Control*>(&浏览按钮),
                       static_cast<Control*>(&循环选择框)})
        shown ? c->show() : c->hide();
}

void MediaOptions::created() {
    if (settings::change()) {
        壁纸选择框.set_checked(true);
        show_wallpaper_options(true);
        壁纸顺序组合框.select(settings::wallpaper_model());
        时间编辑框.set_text(settings::wallpaper_minutes());
    } else {
        show_wallpaper_options(false);
    }
    const int model = settings::music_model();
    if (settings::play()) {
        音乐选择框.set_checked(true);
        音乐顺序组合框.show();
        音乐顺序组合框.select(model);
    } else {
        音乐顺序组合框.hide();
    }
    const bool track = settings::play() && model == kChosenTrack;
    show_track_options(track);
    if (track) {
        路径编辑框.set_text(settings::music_path());
        循环选择框.set_checked(settings::music_replay());
    }
}

void MediaOptions::壁纸选择框_click() {
    if (!壁纸选择框.checked()) {
        show_wallpaper_options(false);
        settings::change.write(false);
        return;
    }
    show_wallpaper_options(true);
    settings::change.write(true);
    // The index goes back as a whole number, as the order box shows it.
    const int model = settings::wallpaper_model();
    壁纸顺序组合框.select(model);
    settings::wallpaper_model.write(model);
    时间编辑框.set_text(settings::wallpaper_minutes());
}

void MediaOptions::壁纸顺序组合框_change() {
    settings::wallpaper_model.write(壁纸顺序组合框.selection());
}

void MediaOptions::时间编辑框_change() {
    const std::string minutes = 时间编辑框.text();
    if (sys().files.exists(list_path(kPictures))) media_.wallpaper_timer().set_interval(wallpaper_interval_ms(minutes));
    settings::wallpaper_minutes.write(minutes);
}

void MediaOptions::音乐选择框_click() {
    if (!音乐选择框.checked()) {
        音乐顺序组合框.hide();
        show_track_options(false);
        settings::play.write(false);
        return;
    }
    音乐顺序组合框.show();
    settings::play.write(true);
    音乐顺序组合框.select(settings::music_model());
    音乐顺序组合框_change();
}

void MediaOptions::音乐顺序组合框_change() {
    const int i = 音乐顺序组合框.selection();
    settings::music_model.write(i);
    if (i != kChosenTrack) {
        show_track_options(false);
        return;
    }
    show_track_options(true);
    路径编辑框.set_text(settings::music_path());
    if (路径编辑框.text().empty()) 浏览按钮_click();
    // Never unticked here.
    if (settings::music_replay()) 循环选择框.set_checked(true);
}

void MediaOptions::浏览按钮_click() {
    FileDialog d;
    d.title = "请选择您喜爱的一首MP3";
    d.filter = "MP3文件(*.mp3)|*.MP3";
    const AliveToken alive = 浏览按钮.window()->liveness();
    const std::optional<std::string> path = sys().dialogs.open_file(浏览按钮.window(), d);
    if (!alive) return;
    if (path && !path->empty()) {
        路径编辑框.set_text(*path);
        settings::music_path.write(*path);
        return;
    }
    // Cancelled: back to random play, the path controls hidden.
    音乐顺序组合框.select(0);
    音乐顺序组合框_change();
}

void MediaOptions::循环选择框_click() { settings::music_replay.write(循环选择框.checked()); }

}  // namespace q::media
