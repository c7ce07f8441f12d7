// The settings window's page "快捷程序": the launcher's options and the
// group console that inserts, renames, moves and deletes groups.
#pragma once

#include <string>
#include <vector>
#include "platform/page.h"
#include "platform/ui.h"

namespace q::launcher {

class Launcher;

class LauncherPage : public Page {
public:
    LauncherPage(TabPage& page, Launcher& launcher);
    LauncherPage(const LauncherPage&) = delete;
    LauncherPage& operator=(const LauncherPage&) = delete;

    CheckBox 位置选择框;
    CheckBox 透明选择框;
    Label 透明度标签;
    Edit 透明值编辑框;
    Line 外形框2;
    Label 透明标签19;
    ListBox 组名列表框;
    Edit 信息浏览编辑框;
    Label 透明标签18;
    Edit 名称编辑框;
    Button 按钮1, 按钮2, 按钮3, 按钮4;

    // Each time the tab becomes the current one.
    void shown() override;
    void 位置选择框_click();
    void 透明选择框_click();
    void 透明值编辑框_change();
    void 组名列表框_change();
    void 名称编辑框_key(int ch);
    void 按钮1_click();
    void 按钮2_click();
    void 按钮3_click();
    void 按钮4_click();

    // The members text of group n with its shown name.
    static std::string members_text(int n, const std::string& name);

private:
    void close_launcher();
    // The list again from the files, after a renumbering stopped part way.
    void reload();
    // Tells where files moved out of a renumbering's way now are.
    void tell_set_aside(const std::vector<std::string>& aside);
    TabPage& page_;
    Launcher& launcher_;
};

}  // namespace q::launcher
