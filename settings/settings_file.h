// set.ini: its place, and every key with the test and default its reader uses.
// Nothing is held in memory; each call reads the file as it is now.
#pragma once

#include <string>

namespace q {

// Program directory + "\" + name.
std::string program_file(const std::string& name);
// Program directory + "\set.ini".
std::string settings_path();

// Raw access to set.ini.
std::string setting(const std::string& section, const std::string& key, const std::string& def = "");
bool write_setting(const std::string& section, const std::string& key, const std::string& value);
bool delete_setting(const std::string& section, const std::string& key);

namespace settings {
// [set]
bool run();                    // run, on unless F
bool style();                  // style, on only if T
int tray();                    // tray, leading number, default 0
std::string transparance();    // transparance as stored, default "180"
bool change();                 // change, on only if T
bool play();                   // play, on only if T
// [mesg]
bool greeting_show();                   // show, on unless F
std::string greeting_title();           // title, default "主人，您好！"
std::string greeting_message_popup();   // mesg, default "Quillet在此等候您的指示！"
std::string greeting_message_page();    // mesg, default "我是您忠实的Quillet，在此等候您的指示！"
bool greeting_date_popup();             // date, on unless F
bool greeting_date_page();              // date, on only if T
// [plan]
bool chime();                  // time, on unless F
int chime_sound();             // sound, leading number, default 0
bool minimise_first();         // min, on unless F
std::string delay_popup();     // delay, default "10"
std::string delay_page();      // delay, default empty
bool auto_delete();            // autodel, on unless F
int list_colors();             // color, leading number, default 0
// [change]
int wallpaper_model();                  // model, leading number, default 0
std::string wallpaper_minutes_start();  // time, default "10" (start-up, list building)
std::string wallpaper_minutes();        // time, default empty
// [play]
int music_model();             // model, leading number, default 0
std::string music_path();      // path, default empty
bool music_replay();           // replay, on only if T
// [acprg]
int group_total();             // total, leading number, default 0
// total as far as group files reach: 0 up to the highest APrg\grpN.ini
// present and at most kMaxGroups, so that no count makes a page loop for long.
constexpr int kMaxGroups = 9999;
int group_total_bounded();
bool launcher_follow();        // follow, on only if T
bool launcher_trans();         // trans, on only if T
std::string launcher_alpha();  // transvalue, default "255"
// [desktext]
int note_left();               // left, leading number, default 0
int note_top();                // top, leading number, default 0
std::string note_alpha();      // transparance, default "200"
std::string note_color();      // color, default "16777215"
}  // namespace settings

}  // namespace q
