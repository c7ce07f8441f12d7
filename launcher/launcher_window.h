// The launcher window: eight group tabs with paging over a grid of 24
// shortcut buttons; drops, the shortcut menu and the tab rename.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/ui.h"

namespace q::launcher {

class Launcher;
struct State;

// A shortcut button carries its slot as its tag.
class ShortcutButton : public Button {
public:
    ShortcutButton(Container* parent, Rect r, std::string tag) : Button(parent, r, "", true), tag(std::move(tag)) {}
    std::string tag;
};

class LauncherWindow : public Window {
public:
    static constexpr int kClientWidth = 480;
    static constexpr int kClientHeight = 205;

    explicit LauncherWindow(Launcher& owner);

    Button 前翻按钮;
    Button 组1, 组2, 组3, 组4, 组5, 组6, 组7, 组8;
    Button 下翻按钮;
    ShortcutButton 按钮1;

    // The menu 按钮菜单, in order; an empty text is a separator.
    static const std::vector<std::string>& menu_items();
    enum MenuItem { kRename = 0, kCut = 2, kPaste = 3, kDelete = 4, kProperties = 6 };

    // The button of slot s (0: the template).
    ShortcutButton& slot_button(int s);
    Button& tab(int n);  // 组n, n = 1..8

    void window_created();
    void window_moved();
    void window_destroyed();
    void tab_click(int n);
    void tab_mouse_down(int n, MouseButton b);
    void 前翻按钮_click();
    void 下翻按钮_click();
    void shortcut_click(ShortcutButton& b);
    void shortcut_mouse_down(ShortcutButton& b, MouseButton mb);
    // Arrows move between the slots, the menu key opens the slot's menu,
    // Ctrl+PageUp and Ctrl+PageDown (here and on the group tabs) change the
    // group; on the tabs, left and right move between them.
    void shortcut_key_down(ShortcutButton& b, int key, bool ctrl);
    void tab_key_down(int n, int key, bool ctrl);
    void window_files_dropped(const std::vector<std::string>& paths);
    void window_close();

    void show_group(int n);
    // The current group becomes g; the tabs show its page.
    void go_to_group(int g);
    // The small icon of slot s for its path (none when empty); ready holds
    // the volumes already asked while a whole group is shown.
    void show_icon(int s, const std::string& path, std::map<std::string, bool>* ready = nullptr);
    void show_tabs(int page);
    // Transparency as the options stand now (after a move, or when the page changes them).
    void reapply_transparency();

private:
    void size_client();
    void wire(ShortcutButton& b);
    // The group beside the current one (step -1 or 1), across the tab pages.
    void step_group(int step);
    int slot_of(const ShortcutButton& b) const;
    void invalid_path_flow();
    // A target whose drive or share does not answer now.
    void volume_not_ready();
    // Says so when a write of the current group's file failed; returns ok.
    bool stored(bool ok);
    void menu_command(int item);
    // The box wrapped in the topmost pair, so that it can come to the front.
    // Cancel (nothing) when the window went meanwhile: every caller then
    // returns without touching it.
    Answer ask(const std::string& text, const std::string& title, Icon icon, Buttons buttons);
    std::optional<std::string> input(const std::string& prompt, const std::string& title, const std::string& initial);
    State& state();

    Launcher& owner_;
    bool ready_ = false;  // the creation steps have run
    std::array<std::unique_ptr<ShortcutButton>, 24> copies_;  // element k: slot k (0 unused)
};

}  // namespace q::launcher
