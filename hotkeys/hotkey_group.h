// The hotkey controls of the settings window's program page ("快捷键DIY："):
// choose a function, its modifier and key, clear it, and put the stored
// entries into effect.
#pragma once

#include "hotkeys/hotkeys.h"
#include "platform/ui.h"

namespace q::hotkeys {

class HotkeyGroup {
public:
    // Made on page inside the rectangle 17,259 to 187,355.
    HotkeyGroup(Container* page, Hotkeys& hotkeys);
    HotkeyGroup(const HotkeyGroup&) = delete;
    HotkeyGroup& operator=(const HotkeyGroup&) = delete;

    Label 透明标签7;
    DropDown 功能组合框;
    DropDown 功能键组合框;
    DropDown 字母组合框;
    Button 清除按钮;
    Button 生效按钮;

    // The page is being filled: no function chosen, modifier and key at their first items.
    void created();

    void 功能组合框_change();
    void 功能键组合框_change();
    void 字母组合框_change();
    void 清除按钮_click();
    void 生效按钮_click();

private:
    // Modifier or key chosen: the list the user changed.
    void combination_chosen(DropDown& changed);
    Window* owner() const { return 功能组合框.window(); }

    Hotkeys& hotkeys_;
};

}  // namespace q::hotkeys
