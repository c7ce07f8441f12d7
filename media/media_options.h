// The wallpaper and music options on the settings window's program page:
// what the changer and the player do at start-up, their order, the interval
// and the chosen track. None of them starts or stops anything but the
// wallpaper timer through the interval box.
#pragma once

#include "media/media.h"
#include "platform/ui.h"

namespace q::media {

class MediaOptions {
public:
    MediaOptions(TabPage& page, Media& media);
    MediaOptions(const MediaOptions&) = delete;
    MediaOptions& operator=(const MediaOptions&) = delete;

    CheckBox 壁纸选择框;
    DropDown 壁纸顺序组合框;
    Label 时间标签;
    Edit 时间编辑框;
    CheckBox 音乐选择框;
    DropDown 音乐顺序组合框;
    Edit 路径编辑框;
    Button 浏览按钮;
    CheckBox 循环选择框;

    // The window's created step: the controls mirror the settings.
    void created();

    void 壁纸选择框_click();
    void 壁纸顺序组合框_change();
    void 时间编辑框_change();
    void 音乐选择框_click();
    void 音乐顺序组合框_change();
    void 浏览按钮_click();
    void 循环选择框_click();

private:
    void show_wallpaper_options(bool shown);
    void show_track_options(bool shown);

    Media& media_;
};

}  // namespace q::media
