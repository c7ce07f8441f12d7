#include "media/startup.h"

namespace q::media {

// The wallpaper changer and the music player are not built yet; until then
// these change and play nothing.
void change_wallpaper_now() {}
void music_tick() {}

}  // namespace q::media
