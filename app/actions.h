// The actions of the main bar functions, each run after the bar is hidden
// (the CD door, the settings and about windows and the exit are the
// program's own, the note the note's).
#pragma once

namespace q {

void action_play_music();        // 0
void action_stop_music();        // 1
void action_change_wallpaper();  // 2
void action_pause_wallpaper();   // 3

}  // namespace q
