#include "app/program.h"

#include "app/program_page.h"
#include "media/lists.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q {

namespace {

// Returns true when this process is the first instance; otherwise says so and ends it.
bool single_instance_check(const std::string& mutex_name, const std::string& message) {
    // Abandoned: an earlier instance died holding it; ours now.
    if (sys().process.acquire_mutex(mutex_name) != MutexState::Busy) return true;
    if (!message.empty()) sys().dialogs.message_box(nullptr, message, "程序已运行", Icon::None, Buttons::Ok);
    sys().process.end_process(0);
    return false;
}

void apply_visual_style() {
    if (!settings::style() || !sys().files.exists(style_manifest_path())) sys().desktop.set_xp_look(true);
}

void apply_bar_look(MainBar& bar) {
    bar.set_background(Res::BarBitmap);
    bar.set_shape(Res::BarBitmap, kPureRed);
}

void add_tray_icon(MainBar& bar) {
    sys().desktop.tray_add(bar, Res::AppIcon, "Quillet1.0", [&bar](TrayEvent e) { bar.tray_event(e); });
}

void show_greeting(reminders::Reminders& r) {
    if (settings::greeting_show()) r.open_popup();
}

void start_with_windows() {
    if (!settings::run()) return;
    // A missing entry, or one naming another copy of the program, is written anew.
    if (autostart::holds(autostart::kName, autostart::program_command())) return;
    if (autostart::write(autostart::kName, autostart::program_command())) settings::run.write(true);
}

void start_wallpaper(media::Media& m) {
    if (!settings::change() || !sys().files.exists(media::list_path(media::kPictures))) return;
    sys().process.seed_random_from_clock();
    m.change_wallpaper_now();
    m.start_wallpaper_timer();
}

void start_music(media::Media& m) {
    if (!settings::play() || !sys().files.exists(media::list_path(media::kMusic))) return;
    sys().process.seed_random_from_clock();
    m.start_next_track();
}

void start_reminders(MainBar& bar, reminders::Reminders& r) {
    if (!r.open_table()) return;
    const int n = r.record_count();
    if (n != 0 || settings::chime()) bar.提醒时钟.set_interval(1000);
}

// A tab of the settings window, with the tab-changed handler run even when
// the tab was shown already.
void show_tab(SettingsWindow& w, int tab) {
    w.选择夹.select(tab);
    w.选择夹_change();
}

}  // namespace

void program_main() {
    Program program;
    program.main();
}

Program::Program()
    : bar_(*this),
      media_(bar_, bar_.壁纸时钟, bar_.音乐时钟),
      hotkeys_(bar_, [this](int n) { run_main_bar_function(n); }),
      reminders_({[this] { hide_main_bar(); }, [this](EndSession how) { end_windows(how); }}) {
    media::Hooks h;
    h.set_tray_tip = [this](const std::string& tip) { sys().desktop.tray_modify(bar_, Res::AppIcon, tip); };
    h.set_pause_caption = [this](const std::string& caption) { bar_.暂停按钮.set_text(caption); };
    h.settings_open = [this] { return settings_.get() != nullptr; };
    h.open_media_page = [this](media::ListKind preset) { open_media_page(preset); };
    media_.set_hooks(std::move(h));
    // A change set.ini refused is said after the handler that made it, over
    // the settings window when it is open.
    settings::on_not_saved([this, alive = liveness_.token()] {
        sys().loop.defer([this, alive] {
            if (!alive) return;
            sys().dialogs.message_box(settings_.get(), "设置无法写入文件set.ini，此次更改未能保存！", "保存失败",
                                      Icon::Warning, Buttons::Ok);
        });
    });
}

Program::~Program() { settings::on_not_saved(nullptr); }

void Program::main() {
    bar_.create();
    startup_sequence();
}

void Program::startup_sequence() {
    // 1. Restart delay: the old instance is still ending.
    const std::vector<std::string> args = sys().process.arguments();
    if (!args.empty() && args[0] == "restart") sys().clock.sleep_ms(1000);
    // 2. Single instance.
    if (!single_instance_check("Quillet", "Quillet正在工作！")) return;
    // 3. Visual style.
    apply_visual_style();
    // 4. The bar's look.
    apply_bar_look(bar_);
    // 5. Tray icon.
    add_tray_icon(bar_);
    // 6. Greeting.
    show_greeting(reminders_);
    // 7. Start with Windows.
    start_with_windows();
    // 8, 9. Wallpaper and music: both switches are off without a settings file.
    if (sys().files.exists(settings_path())) {
        start_wallpaper(media_);
        start_music(media_);
    }
    // 10. Reminders.
    start_reminders(bar_, reminders_);
    // 11. Hotkeys, then the program's message loop.
    hotkeys_.register_all();
    hotkeys_.dispatch_loop();
}

bool Program::exit_work() {
    if (exited_) return false;
    exited_ = true;
    hide_main_bar();
    sys().desktop.stop_all_sound();
    sys().desktop.tray_remove(bar_);
    if (reminders_.table_open()) reminders_.close_table();
    if (note_.loaded()) note_.close_for_exit();
    if (launcher_.loaded()) launcher_.close_window();
    if (!settings::style()) sys().desktop.set_xp_look(false);
    hotkeys_.set_stop_flag(1);
    hotkeys_.unregister_all();
    return true;
}

void Program::exit_procedure() {
    if (exit_work()) sys().process.end_process(0);
}

void Program::end_windows(EndSession how) {
    // The note's text and the tray icon are dealt with before the session
    // ends around them.
    if (!exit_work()) return;
    sys().shell.end_session(how);
    sys().process.end_process(0);
}

void Program::run_main_bar_function(int n) {
    if (n < 0 || n > 10) return;
    hide_main_bar();
    switch (n) {
        case 0: media_.play_action(); break;
        case 1: media_.stop_action(); break;
        case 2: media_.change_action(); break;
        case 3: media_.pause_action(); break;
        case 4: action_cd_door(); break;
        case 5: note_.note_action(); break;
        case 6: open_reminders_page(); break;
        case 7: launcher_.toggle(); break;
        case 8: open_settings(); break;
        case 9: open_about(); break;
        case 10: exit_procedure(); break;
    }
}

void Program::run_tray_action(int value) {
    // Tray action value -> main bar function.
    static constexpr int kFunction[8] = {4, 2, 0, 5, 6, 7, 8, 10};
    if (value < 0 || value > 7) return;
    run_main_bar_function(kFunction[value]);
}

SettingsWindow& Program::open_settings() { return settings_.load(*this); }

void Program::open_reminders_page() { show_tab(open_settings(), SettingsWindow::kRemindersTab); }

void Program::open_media_page(std::optional<media::ListKind> preset) {
    SettingsWindow& w = open_settings();
    w.媒体页.list_kind_preset = preset;
    show_tab(w, SettingsWindow::kMediaTab);
}

AboutWindow& Program::open_about() { return about_.load(*this); }

void Program::action_cd_door() {
    if (door_open_ == 1) {
        sys().desktop.mci_command("set CDAudio door closed");
        door_open_ = 0;
    } else {
        sys().desktop.mci_command("set CDAudio door open");
        door_open_ = 1;
    }
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
    // Windows starts what either hive names at logon.
    bool found = false;
    for (Hive h : {Hive::LocalMachine, Hive::CurrentUser}) {
        const auto v = sys().registry.read_string(h, kRunKey, name);
        if (!v) continue;
        if (!equal_no_case(*v, data)) return false;
        found = true;
    }
    return found;
}

bool write(const std::string& name, const std::string& data) {
    Registry& r = sys().registry;
    if (r.write_string(Hive::LocalMachine, kRunKey, name, data)) {
        // An older per-user entry would start a second copy at logon.
        if (r.value_exists(Hive::CurrentUser, kRunKey, name)) r.delete_value(Hive::CurrentUser, kRunKey, name);
        return true;
    }
    // An ordinary user may not write the machine's key, nor remove an entry
    // there that names another copy; that one stays until it can be rewritten.
    return r.write_string(Hive::CurrentUser, kRunKey, name, data);
}

bool remove(const std::string& name) {
    sys().registry.delete_value(Hive::LocalMachine, kRunKey, name);
    sys().registry.delete_value(Hive::CurrentUser, kRunKey, name);
    // A machine-wide entry written by an elevated run may not go for an ordinary user.
    return !exists(name);
}

}  // namespace autostart

}  // namespace q
