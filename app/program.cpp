#include "app/program.h"

#include "app/main_bar.h"
#include "hotkeys/hotkeys.h"
#include "media/startup.h"
#include "note/note.h"
#include "platform/system.h"
#include "platform/text.h"
#include "reminders/reminders.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q {

namespace {

bool g_exited = false;  // the exit procedure has run

// Returns true when this process is the first instance; otherwise says so and ends it.
bool single_instance_check(const std::string& mutex_name, const std::string& message) {
    // Abandoned: an earlier instance died holding it; ours now.
    if (sys().process.acquire_mutex(mutex_name) != MutexState::Busy) return true;
    if (!message.empty()) sys().dialogs.message_box(message, "程序已运行", Icon::None, Buttons::Ok);
    sys().process.end_process(0);
    return false;
}

std::string style_manifest_path() {
    return sys().process.program_dir() + "\\" + sys().process.program_file_name() + ".manifest";
}

void apply_visual_style() {
    if (!settings::style() || !sys().files.exists(style_manifest_path())) sys().desktop.set_xp_look(true);
}

void apply_bar_look(MainBar& bar) {
    bar.set_background(Res::BarBitmap);
    bar.set_shape(Res::BarBitmap, kPureRed);
}

void add_tray_icon(MainBar& bar) {
    sys().desktop.tray_add(bar, Res::AppIcon, "Quillet1.0", [](TrayEvent e) { main_bar().tray_event(e); });
}

void show_greeting() {
    if (settings::greeting_show()) reminders::open_popup();
}

void start_with_windows() {
    if (!settings::run()) return;
    // A missing entry, or one naming another copy of the program, is written anew.
    if (autostart::holds(autostart::kName, autostart::program_command())) return;
    autostart::write(autostart::kName, autostart::program_command());
    write_setting("set", "run", "T");
}

void start_wallpaper(MainBar& bar) {
    if (!settings::change() || !sys().files.exists(program_file("wallpaper.ini"))) return;
    sys().process.seed_random_from_clock();
    media::change_wallpaper_now();
    bar.壁纸时钟.set_interval(truncate_int(leading_number(settings::wallpaper_minutes_start()) * 60000));
}

void start_music() {
    if (!settings::play() || !sys().files.exists(program_file("mp3.ini"))) return;
    sys().process.seed_random_from_clock();
    media::music_tick();
}

void start_reminders(MainBar& bar) {
    if (!reminders::open_table()) return;
    const int n = reminders::record_count();
    if (n != 0 || settings::chime()) bar.提醒时钟.set_interval(1000);
}

}  // namespace

void program_main() {
    main_bar().create();
    startup_sequence();
}

void startup_sequence() {
    // 1. Restart delay: the old instance is still ending.
    const std::vector<std::string> args = sys().process.arguments();
    if (!args.empty() && args[0] == "restart") sys().clock.sleep_ms(1000);
    // 2. Single instance.
    if (!single_instance_check("Quillet", "Quillet正在工作！")) return;
    // 3. Visual style.
    apply_visual_style();
    MainBar& bar = main_bar();
    // 4. The bar's look.
    apply_bar_look(bar);
    // 5. Tray icon.
    add_tray_icon(bar);
    // 6. Greeting.
    show_greeting();
    // 7. Start with Windows.
    start_with_windows();
    // 8, 9. Wallpaper and music: both switches are off without a settings file.
    if (sys().files.exists(settings_path())) {
        start_wallpaper(bar);
        start_music();
    }
    // 10. Reminders.
    start_reminders(bar);
    // 11. Hotkeys, then the program's message loop.
    hotkeys::register_all();
    hotkeys::dispatch_loop();
}

void exit_procedure() {
    if (g_exited) return;
    g_exited = true;
    hide_main_bar();
    sys().desktop.stop_all_sound();
    sys().desktop.tray_remove(main_bar());
    if (reminders::table_open()) reminders::close_table();
    if (note::loaded()) note::close_for_exit();
    // The launcher window closes here once it exists.
    if (!settings::style()) sys().desktop.set_xp_look(false);
    hotkeys::set_stop_flag(1);
    hotkeys::unregister_all();
    sys().process.end_process(0);
}

void reset_program_state() {
    reset_main_bar();
    hotkeys::reset();
    g_exited = false;
}

namespace autostart {

std::string program_command() {
    std::string path = sys().process.program_dir() + "\\" + sys().process.program_file_name();
    if (contains_char(path, ' ')) path = "\"" + path + "\"";
    return path;
}

bool exists(const std::string& name) {
    return sys().registry.value_exists(Hive::LocalMachine, kRunKey, name) ||
           sys().registry.value_exists(Hive::CurrentUser, kRunKey, name);
}

std::string data(const std::string& name) {
    if (auto v = sys().registry.read_string(Hive::LocalMachine, kRunKey, name)) return *v;
    if (auto v = sys().registry.read_string(Hive::CurrentUser, kRunKey, name)) return *v;
    return {};
}

bool holds(const std::string& name, const std::string& data) {
    for (Hive h : {Hive::LocalMachine, Hive::CurrentUser}) {
        const auto v = sys().registry.read_string(h, kRunKey, name);
        if (v && equal_no_case(*v, data)) return true;
    }
    return false;
}

bool write(const std::string& name, const std::string& data) {
    Registry& r = sys().registry;
    if (r.write_string(Hive::LocalMachine, kRunKey, name, data)) {
        // An older per-user entry would start a second copy at logon.
        if (r.value_exists(Hive::CurrentUser, kRunKey, name)) r.delete_value(Hive::CurrentUser, kRunKey, name);
        return true;
    }
    // An ordinary user may not write the machine's key.
    return r.write_string(Hive::CurrentUser, kRunKey, name, data);
}

void remove(const std::string& name) {
    sys().registry.delete_value(Hive::LocalMachine, kRunKey, name);
    sys().registry.delete_value(Hive::CurrentUser, kRunKey, name);
}

}  // namespace autostart

}  // namespace q
