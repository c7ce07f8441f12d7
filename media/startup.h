// What the start-up sequence asks of the wallpaper changer and the music player.
#pragma once

namespace q::media {

// Changes the desktop picture once from the picture list.
void change_wallpaper_now();
// The music timer's tick: starts the next track and sets the music timer.
void music_tick();

}  // namespace q::media
