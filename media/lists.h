// The picture list wallpaper.ini and the music list mp3.ini: where they lie
// and what the changer and the player read of them.
#pragma once

#include <string>

namespace q::media {

enum ListKind { kPictures = 0, kMusic = 1 };

// Program directory + "\wallpaper.ini" or "\mp3.ini".
std::string list_path(int kind);
// What the changer and the player read: [total] count.
int list_count(int kind);

}  // namespace q::media
