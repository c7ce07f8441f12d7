#include "hotkeys/hotkeys.h"

#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::hotkeys {

namespace {

constexpr int kFunctions = 11;

std::string section(int n) { return decimal(n); }

}  // namespace

std::string file_path() { return program_file("hotkey.ini"); }

Hotkeys::Hotkeys(Window& owner, std::function<void(int)> run_function)
    : owner_(owner), run_function_(std::move(run_function)) {}

void Hotkeys::register_all() {
    const std::string file = file_path();
    failed_.clear();
    if (!sys().files.exists(file)) return;
    stop_ = 0;
    for (int id = 0; id < kFunctions; ++id) {
        if (ini::read(file, section(id), "yes").empty()) continue;
        const int modifiers = leading_int(ini::read(file, section(id), "function"));
        const int key = leading_int(ini::read(file, section(id), "keyvalue"));
        // A combination held by another program fails; the id is kept all the
        // same, and apply tells the user.
        if (!sys().desktop.register_hotkey(owner_, id, modifiers, key)) failed_.push_back(id);
        registered_.push_back(static_cast<std::uint8_t>(id));
    }
}

void Hotkeys::unregister_all() {
    for (std::uint8_t id : registered_) sys().desktop.unregister_hotkey(owner_, id);
    registered_.clear();
}

void Hotkeys::dispatch_loop() {
    Loop& loop = sys().loop;
    while (stop_ == 0) {
        if (!loop.wait_message()) return;
        int id = -1;
        if (loop.take_hotkey(owner_, id) && run_function_) run_function_(id);
        if (!loop.process_pending()) return;
    }
}

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

int Hotkeys::find_conflict(int n, int modifier, int key_index) {
    const std::string file = file_path();
    for (int m = 0; m < kFunctions; ++m) {
        if (m == n) continue;
        if (ini::read(file, section(m), "yes").empty()) continue;
        if (leading_int(ini::read(file, section(m), "key")) == key_index &&
            leading_int(ini::read(file, section(m), "function")) == modifier) {
            owner_name_ = function_items()[m];
            return m;
        }
    }
    return -1;
}

void store(int n, int modifier, int key_index) {
    ini::Batch b(file_path(), kFileFlush);
    b.write(section(n), "yes", "**********");
    b.write(section(n), "function", decimal(modifier));
    b.write(section(n), "key", decimal(key_index));
    b.write(section(n), "keyvalue", decimal(key_code(key_index)));
    b.commit();
}

}  // namespace q::hotkeys
