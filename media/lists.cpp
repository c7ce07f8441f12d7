#include "media/lists.h"

#include "settings/ini.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::media {

std::string list_path(int kind) { return program_file(kind == kMusic ? "mp3.ini" : "wallpaper.ini"); }

int list_count(int kind) { return leading_int(ini::read(list_path(kind), "total", "count")); }

}  // namespace q::media
