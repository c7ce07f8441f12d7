#include "app/actions.h"

namespace q {

// Not built yet: each of these is only the bar's hide for now, which
// run_main_bar_function has already done.

void action_play_music() {}        // the music player starts the list's next track
void action_stop_music() {}        // the music player stops
void action_change_wallpaper() {}  // the wallpaper changer shows the next picture
void action_pause_wallpaper() {}   // the wallpaper changer pauses or resumes

}  // namespace q
