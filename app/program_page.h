// The program page (tab 0) of the settings window: start with Windows, the
// greeting, the visual style, the bar's opacity, the tray action, and the
// hotkey group; the wallpaper and music options lie here too.
#pragma once

#include <string>

#include "hotkeys/hotkey_group.h"
#include "media/media_options.h"
#include "platform/page.h"
#include "platform/ui.h"

namespace q {

class Program;

// The OS class operation. Request 0: the class (0 Windows 95/98/NT 4, 1 Me,
// 2 2000, 3 XP, 5 other); 1 major version, 2 minor, 3 build, 4 platform id;
// 10000 for any other request.
int os_class(int request);

// Program directory + "\" + program file name + ".manifest".
std::string style_manifest_path();
// The application manifest that asks for the system's own control style (749 bytes).
const std::string& style_manifest();

class ProgramPage : public Page {
public:
    ProgramPage(TabPage& page, Program& program);
    ProgramPage(const ProgramPage&) = delete;
    ProgramPage& operator=(const ProgramPage&) = delete;

    CheckBox 启动选择框;
    // The wallpaper and music options, the changer's and the player's own.
    media::MediaOptions 媒体选项;
    // The greeting.
    CheckBox 提示选择框;
    GroupBox 分组框;
    Label 透明标签1;
    Edit 标题编辑框;
    Label 透明标签4;
    Label 透明标签2;
    Edit 内容编辑框;
    Label 透明标签5;
    CheckBox 时间选择框;
    // Style, opacity, tray action.
    CheckBox 风格选择框;
    Label 透明标签6;
    SpinEdit 透明度编辑框;
    Label 透明标签14;
    Label 透明标签3;
    DropDown 托盘事件组合框;
    hotkeys::HotkeyGroup hotkey_group;

    // Steps 1 to 6 of the window's created handler, in order.
    void created() override;

    void 启动选择框_click();
    void 风格选择框_click();
    void 透明度编辑框_change();
    void 托盘事件组合框_change();
    void 提示选择框_click();
    void 标题编辑框_change();
    void 内容编辑框_change();
    void 时间选择框_click();

private:
    // Writes [mesg] mesg anew: deleted first, then the content, cut to 200
    // bytes on a character boundary when cut is true and it is longer.
    void store_message(bool cut);
    Window* owner() const { return 启动选择框.window(); }

    Program& program_;
};

}  // namespace q
