// set.ini: its place, and every key once, with the test and default its
// reader uses and the text its writer stores. Nothing is held in memory; each
// read sees the file as it is now and each write changes it at once.
#pragma once

#include <functional>
#include <string>

#include "settings/ini.h"

namespace q {

// Program directory + "\" + name.
std::string program_file(const std::string& name);
// Program directory + "\set.ini".
std::string settings_path();

// Raw access to set.ini, under the keys below (and for tests that store odd texts).
std::string setting(const std::string& section, const std::string& key, const std::string& def = "");
bool write_setting(const std::string& section, const std::string& key, const std::string& value);
bool delete_setting(const std::string& section, const std::string& key);

namespace settings {

// Called when a write to set.ini fails, once until a write succeeds again.
void on_not_saved(std::function<void()> tell);

// How a switch reads a value other than "T" or "F", and an absent one.
enum class Kind { OnUnlessF, OnOnlyIfT };

// Written "T" or "F".
struct Switch {
    const char* section;
    const char* key;
    Kind kind;
    bool operator()() const;
    bool write(bool on) const;
};

// Read as the leading integer of the stored text (empty is 0), written as decimal text.
struct Integer {
    const char* section;
    const char* key;
    int operator()() const;
    // The leading number with its fraction, and the text as stored, for the
    // readers that test the key those ways.
    double number() const;
    std::string text() const;
    bool write(long long value) const;
};

// Stored and read as it is, or with its line breaks escaped, since a
// profile value is one line; def when absent.
struct Text {
    enum class Form { AsIs, LineBreaksEscaped };
    const char* section;
    const char* key;
    const char* def;
    Form form = Form::AsIs;
    std::string operator()() const;
    bool write(const std::string& value) const;
    // The bytes a write stores for value.
    std::string stored(const std::string& value) const;
};

// Where one key has two readers, each place keeps its own default or test;
// both write the same text.

// [set]
inline constexpr Switch run{"set", "run", Kind::OnUnlessF};
inline constexpr Switch style{"set", "style", Kind::OnOnlyIfT};
inline constexpr Integer tray{"set", "tray"};
inline constexpr Text transparance{"set", "transparance", "180"};
inline constexpr Switch change{"set", "change", Kind::OnOnlyIfT};
inline constexpr Switch play{"set", "play", Kind::OnOnlyIfT};
// [mesg]
inline constexpr Switch greeting_show{"mesg", "show", Kind::OnUnlessF};
inline constexpr Text greeting_title{"mesg", "title", "主人，您好！"};
inline constexpr Text greeting_message_popup{"mesg", "mesg", "Quillet在此等候您的指示！", Text::Form::LineBreaksEscaped};
inline constexpr Text greeting_message_page{"mesg", "mesg", "我是您忠实的Quillet，在此等候您的指示！",
                                            Text::Form::LineBreaksEscaped};
inline constexpr Switch greeting_date_popup{"mesg", "date", Kind::OnUnlessF};
inline constexpr Switch greeting_date_page{"mesg", "date", Kind::OnOnlyIfT};
// [plan]
inline constexpr Switch chime{"plan", "time", Kind::OnUnlessF};
inline constexpr Integer chime_sound{"plan", "sound"};
inline constexpr Switch minimise_first{"plan", "min", Kind::OnUnlessF};
inline constexpr Text delay_popup{"plan", "delay", "10"};
inline constexpr Text delay_page{"plan", "delay", ""};
inline constexpr Switch auto_delete{"plan", "autodel", Kind::OnUnlessF};
inline constexpr Integer list_colors{"plan", "color"};
// [change]
inline constexpr Integer wallpaper_model{"change", "model"};
inline constexpr Text wallpaper_minutes_start{"change", "time", "10"};  // start-up, list building
inline constexpr Text wallpaper_minutes{"change", "time", ""};
// [play]
inline constexpr Integer music_model{"play", "model"};
inline constexpr Text music_path{"play", "path", ""};
inline constexpr Switch music_replay{"play", "replay", Kind::OnOnlyIfT};
// [acprg]
inline constexpr Integer group_total{"acprg", "total"};
inline constexpr Switch launcher_follow{"acprg", "follow", Kind::OnOnlyIfT};
inline constexpr Switch launcher_trans{"acprg", "trans", Kind::OnOnlyIfT};
inline constexpr Text launcher_alpha{"acprg", "transvalue", "255"};
// [desktext]
inline constexpr Integer note_left{"desktext", "left"};
inline constexpr Integer note_top{"desktext", "top"};
inline constexpr Text note_alpha{"desktext", "transparance", "200"};
inline constexpr Text note_color{"desktext", "color", "16777215"};

// Earlier versions wrote the greeting's line breaks raw: every keystroke then
// left the lines after the first behind in [mesg]. This removes them.
void drop_stray_greeting_lines();

// Several changes to set.ini in one write, in the order they were made.
class Batch {
public:
    Batch();
    void write(const Integer& k, long long value);
    void write(const Text& k, const std::string& value);
    void remove(const Text& k);
    // False when the file could not be written (it is then unchanged).
    bool commit();

private:
    ini::Batch batch_;
};

}  // namespace settings

}  // namespace q
