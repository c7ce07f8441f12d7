#include "hotkeys/hotkeys.h"

#include "app/main_bar.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::hotkeys {

namespace {

std::vector<std::uint8_t> g_registered;  // ids registered on the main bar, in order
int g_stop = 0;                          // 1 ends the dispatch loop
std::string g_owner;                     // owner of the combination last found taken

constexpr int kFunctions = 11;

std::string section(int n) { return decimal(n); }

}  // namespace

std::string file_path() { return program_file("hotkey.ini"); }

void register_all() {
    const std::string file = file_path();
    if (!sys().files.exists(file)) return;
    g_stop = 0;
    for (int id = 0; id < kFunctions; ++id) {
        if (ini::read(file, section(id), "yes").empty()) continue;
        const int modifiers = leading_int(ini::read(file, section(id), "function"));
        const int key = leading_int(ini::read(file, section(id), "keyvalue"));
        // A combination held by another program simply fails; the id is kept all the same.
        sys().desktop.register_hotkey(main_bar(), id, modifiers, key);
        g_registered.push_back(static_cast<std::uint8_t>(id));
    }
}

void unregister_all() {
    for (std::uint8_t id : g_registered) sys().desktop.unregister_hotkey(main_bar(), id);
    g_registered.clear();
}

void dispatch_loop() {
    Loop& loop = sys().loop;
    while (g_stop == 0) {
        if (!loop.wait_message()) return;
        int id = -1;
        if (loop.take_hotkey(main_bar(), id)) run_main_bar_function(id);
        if (!loop.process_pending()) return;
    }
}

const std::vector<std::uint8_t>& registered() { return g_registered; }
int stop_flag() { return g_stop; }
void set_stop_flag(int v) { g_stop = v; }
const std::string& owner_name() { return g_owner; }

const std::vector<std::string>& function_items() {
    static const std::vector<std::string> items = {
        "播放 MP3", "停止播放", "更换壁纸", "暂停更换", "开关光驱", "随手记录",
        "定时提醒", "快捷程序", "设置Quillet", "介绍Quillet", "遣退Quillet",
    };
    return items;
}

const std::vector<std::string>& modifier_items() {
    static const std::vector<std::string> items = {
        "在此选择功能键", "ALT", "CTRL", "ALT+CTRL", "SHIFT", "ALT+SHIFT", "CTRL+SHIFT", "ALT+CTRL+SHIFT",
    };
    return items;
}

const std::vector<std::string>& key_items() {
    static const std::vector<std::string> items = [] {
        std::vector<std::string> v;
        for (char c = 'A'; c <= 'Z'; ++c) v.emplace_back(1, c);
        for (char c = '0'; c <= '9'; ++c) v.emplace_back(1, c);
        v.emplace_back("TAB");
        v.emplace_back("ESC");
        return v;
    }();
    return items;
}

int key_code(int key_index) {
    if (key_index >= 0 && key_index <= 25) return 0x41 + key_index;
    if (key_index >= 26 && key_index <= 35) return 0x30 + (key_index - 26);
    if (key_index == 36) return 0x09;
    if (key_index == 37) return 0x1B;
    return 0;
}

int find_conflict(int n, int modifier, int key_index) {
    const std::string file = file_path();
    for (int m = 0; m < kFunctions; ++m) {
        if (m == n) continue;
        if (ini::read(file, section(m), "yes").empty()) continue;
        if (leading_int(ini::read(file, section(m), "key")) == key_index &&
            leading_int(ini::read(file, section(m), "function")) == modifier) {
            g_owner = function_items()[m];
            return m;
        }
    }
    return -1;
}

void store(int n, int modifier, int key_index) {
    ini::Batch b(file_path());
    b.write(section(n), "yes", "**********");
    b.write(section(n), "function", decimal(modifier));
    b.write(section(n), "key", decimal(key_index));
    b.write(section(n), "keyvalue", decimal(key_code(key_index)));
    b.commit();
}

void reset() {
    g_registered.clear();
    g_stop = 0;
    g_owner.clear();
}

}  // namespace q::hotkeys
