#include "hotkeys/hotkey_group.h"

#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/values.h"

namespace q::hotkeys {

namespace {
constexpr const char* kDuplicateTitle = "热键重复";
}

HotkeyGroup::HotkeyGroup(Container* page, Hotkeys& hotkeys)
    : 透明标签7(page, {17, 262, 70, 14}, "快捷键DIY：", Label::Look::Transparent),
      功能组合框(page, {87, 259, 100, 20}, function_items()),
      功能键组合框(page, {17, 284, 112, 20}, modifier_items()),
      字母组合框(page, {133, 284, 54, 20}),
      清除按钮(page, {17, 308, 170, 22}, "清除此项热键"),
      生效按钮(page, {17, 332, 170, 23}, "点此使设定或更改的热键生效"),
      hotkeys_(hotkeys) {
    const std::vector<std::string>& keys = key_items();
    for (int i = 0; i < static_cast<int>(keys.size()); ++i) 字母组合框.add_item(keys[static_cast<std::size_t>(i)], key_code(i));
    功能组合框.on_change = [this] { 功能组合框_change(); };
    功能键组合框.on_change = [this] { 功能键组合框_change(); };
    字母组合框.on_change = [this] { 字母组合框_change(); };
    清除按钮.on_click = [this] { 清除按钮_click(); };
    生效按钮.on_click = [this] { 生效按钮_click(); };
}

void HotkeyGroup::created() {
    功能组合框.select(-1);
    功能键组合框.select(0);
    字母组合框.select(0);
}

void HotkeyGroup::功能组合框_change() {
    const int n = 功能组合框.selection();
    if (n < 0) return;
    const std::string file = file_path();
    const std::string section = decimal(n);
    字母组合框.select(leading_int(ini::read(file, section, "key")));
    功能键组合框.select(leading_int(ini::read(file, section, "function")));
}

void HotkeyGroup::功能键组合框_change() { combination_chosen(功能键组合框); }
void HotkeyGroup::字母组合框_change() { combination_chosen(字母组合框); }

void HotkeyGroup::combination_chosen(DropDown& changed) {
    const int n = 功能组合框.selection();
    if (n < 0) {
        sys().dialogs.beep();
        changed.select(0);
        return;
    }
    const int modifier = 功能键组合框.selection();
    const int key = 字母组合框.selection();
    if (hotkeys_.find_conflict(n, modifier, key) >= 0) {
        sys().dialogs.message_box(owner(),
                                  "此热键已被" + hotkeys_.owner_name() + "拥有！\r\n请重新设定" +
                                      function_items()[static_cast<std::size_t>(n)] + "的热键。",
                                  kDuplicateTitle, Icon::Error, Buttons::Ok);
        return;
    }
    store(n, modifier, key);
}

void HotkeyGroup::清除按钮_click() {
    const int n = 功能组合框.selection();
    if (n < 0) return;
    ini::delete_section(file_path(), decimal(n), kFileFlush);
    功能键组合框.select(0);
    字母组合框.select(0);
    const AliveToken alive = owner()->liveness();
    sys().dialogs.message_box(owner(), function_items()[static_cast<std::size_t>(n)] + "的热键已清除。", "",
                              Icon::None, Buttons::Ok);
    if (!alive) return;
    生效按钮_click();
}

void HotkeyGroup::生效按钮_click() {
    hotkeys_.unregister_all();
    hotkeys_.register_all();
    // Registration failures are silent at start-up; here the user asked, so
    // a combination another program holds is named.
    const std::vector<int>& failed = hotkeys_.failed();
    if (failed.empty()) return;
    std::string names;
    for (int id : failed) {
        if (!names.empty()) names += "、";
        names += function_items()[static_cast<std::size_t>(id)];
    }
    sys().dialogs.message_box(owner(),
                              names + "的热键已被其他程序占用，暂时无法使用！\r\n请为其重新设定热键，或关闭占用它的程序后再点此生效。",
                              kDuplicateTitle, Icon::Warning, Buttons::Ok);
}

}  // namespace q::hotkeys
