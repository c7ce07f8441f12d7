#include "settings/settings_file.h"

#include <algorithm>

#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/values.h"

namespace q {

std::string program_file(const std::string& name) { return sys().process.program_dir() + "\\" + name; }

std::string settings_path() { return program_file("set.ini"); }

std::string setting(const std::string& section, const std::string& key, const std::string& def) {
    return ini::read(settings_path(), section, key, def);
}

bool write_setting(const std::string& section, const std::string& key, const std::string& value) {
    return ini::write(settings_path(), section, key, value);
}

bool delete_setting(const std::string& section, const std::string& key) {
    return ini::delete_key(settings_path(), section, key);
}

namespace settings {

namespace {
bool unless_f(const char* section, const char* key) { return on_unless_f(setting(section, key)); }
bool only_if_t(const char* section, const char* key) { return on_only_if_t(setting(section, key)); }
int number(const char* section, const char* key) { return leading_int(setting(section, key)); }
}  // namespace

bool run() { return unless_f("set", "run"); }
bool style() { return only_if_t("set", "style"); }
int tray() { return number("set", "tray"); }
std::string transparance() { return setting("set", "transparance", "180"); }
bool change() { return only_if_t("set", "change"); }
bool play() { return only_if_t("set", "play"); }

bool greeting_show() { return unless_f("mesg", "show"); }
std::string greeting_title() { return setting("mesg", "title", "主人，您好！"); }
std::string greeting_message_popup() { return setting("mesg", "mesg", "Quillet在此等候您的指示！"); }
std::string greeting_message_page() { return setting("mesg", "mesg", "我是您忠实的Quillet，在此等候您的指示！"); }
bool greeting_date_popup() { return unless_f("mesg", "date"); }
bool greeting_date_page() { return only_if_t("mesg", "date"); }

bool chime() { return unless_f("plan", "time"); }
int chime_sound() { return number("plan", "sound"); }
bool minimise_first() { return unless_f("plan", "min"); }
std::string delay_popup() { return setting("plan", "delay", "10"); }
std::string delay_page() { return setting("plan", "delay"); }
bool auto_delete() { return unless_f("plan", "autodel"); }
int list_colors() { return number("plan", "color"); }

int wallpaper_model() { return number("change", "model"); }
std::string wallpaper_minutes_start() { return setting("change", "time", "10"); }
std::string wallpaper_minutes() { return setting("change", "time"); }

int music_model() { return number("play", "model"); }
std::string music_path() { return setting("play", "path"); }
bool music_replay() { return only_if_t("play", "replay"); }

int group_total() { return number("acprg", "total"); }
int group_total_bounded() {
    // The highest N of an APrg\grpN.ini written as group files are named.
    int highest = 0;
    for (const FileSystem::Entry& e : sys().files.enumerate(program_file("APrg\\grp*.ini"))) {
        const std::string& name = e.name;
        if (e.folder || name.size() < 8 || name[3] == '0') continue;
        const std::size_t digits = name.size() - 7;
        if (ascii_lower(name.substr(name.size() - 4)) != ".ini") continue;
        const std::string number_text = name.substr(3, digits);
        if (number_text.find_first_not_of("0123456789") != std::string::npos) continue;
        highest = std::max(highest, digits > 4 ? kMaxGroups : std::stoi(number_text));
    }
    return std::clamp(group_total(), 0, std::min(highest, kMaxGroups));
}
bool launcher_follow() { return only_if_t("acprg", "follow"); }
bool launcher_trans() { return only_if_t("acprg", "trans"); }
std::string launcher_alpha() { return setting("acprg", "transvalue", "255"); }

int note_left() { return number("desktext", "left"); }
int note_top() { return number("desktext", "top"); }
std::string note_alpha() { return setting("desktext", "transparance", "200"); }
std::string note_color() { return setting("desktext", "color", "16777215"); }

}  // namespace settings

}  // namespace q
