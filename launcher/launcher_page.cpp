#include "launcher/launcher_page.h"

#include "launcher/group_store.h"
#include "launcher/launcher.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q::launcher {

LauncherPage::LauncherPage(TabPage& page, Launcher& launcher)
    : 位置选择框(&page, {16, 31, 552, 15},
                 "快捷窗口跟随鼠标（选定此项，唤出的快捷窗口以当前光标位置为中心，否则在屏幕中居中显示）"),
      透明选择框(&page, {16, 55, 400, 15}, "允许快捷窗口透明显示（此项适用于Windows 2000及更高版本操作系统）"),
      透明度标签(&page, {428, 56, 56, 13}, "透明度：", Label::Look::Transparent),
      透明值编辑框(&page, {484, 53, 40, 18}),
      外形框2(&page, {12, 80, 560, 2}),
      透明标签19(&page, {16, 92, 500, 13}, "快捷程序组控制台：（改变组序列前，需关闭已经打开的快捷程序窗口）",
                 Label::Look::Transparent),
      组名列表框(&page, {16, 112, 150, 250}),
      信息浏览编辑框(&page, {176, 112, 340, 224}, Edit::Mode::text_view()),
      透明标签18(&page, {176, 346, 64, 13}, "修改名称：", Label::Look::Transparent),
      名称编辑框(&page, {240, 343, 276, 19}),
      按钮1(&page, {528, 112, 40, 40}, "向下插入"),
      按钮2(&page, {528, 160, 40, 40}, "上移选定"),
      按钮3(&page, {528, 208, 40, 40}, "下移选定"),
      按钮4(&page, {528, 256, 40, 40}, "删除选定"),
      page_(page),
      launcher_(launcher) {
    位置选择框.on_click = [this] { 位置选择框_click(); };
    透明选择框.on_click = [this] { 透明选择框_click(); };
    透明值编辑框.on_change = [this] { 透明值编辑框_change(); };
    组名列表框.on_change = [this] { 组名列表框_change(); };
    名称编辑框.on_key = [this](int ch) { 名称编辑框_key(ch); };
    按钮1.on_click = [this] { 按钮1_click(); };
    按钮2.on_click = [this] { 按钮2_click(); };
    按钮3.on_click = [this] { 按钮3_click(); };
    按钮4.on_click = [this] { 按钮4_click(); };
}

void LauncherPage::shown() {
    位置选择框.set_checked(settings::launcher_follow());
    if (!sys().process.has_layered_windows()) {
        透明选择框.set_enabled(false);
        透明度标签.hide();
        透明值编辑框.hide();
    } else {
        透明选择框.set_enabled(true);
        透明选择框.set_checked(settings::launcher_trans());
        透明选择框_click();
    }
    State& st = launcher_.state();
    st.group_count = bounded_group_total();
    if (组名列表框.count() == 0)
        for (int n = 1; n <= st.group_count; ++n) 组名列表框.add_item(group_name(n, ""));
}

void LauncherPage::位置选择框_click() { settings::launcher_follow.write(位置选择框.checked()); }

void LauncherPage::透明选择框_click() {
    const bool on = 透明选择框.checked();
    settings::launcher_trans.write(on);
    透明度标签.set_visible(on);
    透明值编辑框.set_visible(on);
    // Filled from code: no change event, so the value is not written back.
    if (on) 透明值编辑框.set_text(settings::launcher_alpha());
    launcher_.reapply_transparency();
}

void LauncherPage::透明值编辑框_change() {
    settings::launcher_alpha.write(透明值编辑框.text());
    launcher_.reapply_transparency();
}

std::string LauncherPage::members_text(int n, const std::string& name) {
    std::string text = "“" + name + "”组的快捷项成员如下：\r\n\r\n";
    for (int k = 1; k <= kSlots; ++k) {
        const std::string caption = slot_caption(n, k - 1);
        text += decimal(k) + "." + caption + "\r\n";
        if (!caption.empty())
            text += "指向路径：" + slot_path(n, k - 1) + "\r\n\r\n";
        else
            text += "\r\n";
    }
    return text;
}

void LauncherPage::组名列表框_change() {
    信息浏览编辑框.set_text("");
    名称编辑框.set_text("");
    const int i = 组名列表框.selection();
    if (i < 0) return;
    名称编辑框.set_text(组名列表框.item(i));
    信息浏览编辑框.set_text(members_text(i + 1, 组名列表框.item(i)));
}

void LauncherPage::名称编辑框_key(int ch) {
    const int i = 组名列表框.selection();
    if (ch != 13 || 名称编辑框.text().empty() || i < 0) return;
    close_launcher();
    组名列表框.set_item(i, 名称编辑框.text());
    set_group_name(i + 1, 名称编辑框.text());
}

void LauncherPage::close_launcher() {
    if (launcher_.loaded()) launcher_.close_window();
}

void LauncherPage::reload() {
    组名列表框.clear_items();
    信息浏览编辑框.set_text("");
    名称编辑框.set_text("");
    State& st = launcher_.state();
    st.group_count = bounded_group_total();
    for (int n = 1; n <= st.group_count; ++n) 组名列表框.add_item(group_name(n, ""));
    sys().dialogs.message_box(page_.window(), "组文件无法改名，组序列未能全部调整。", "快捷程序组", Icon::Warning, Buttons::Ok);
}

void LauncherPage::tell_set_aside(const std::vector<std::string>& aside) {
    if (aside.empty()) return;
    std::string text = "以下组文件已改名保存，其中的快捷项没有丢失：";
    for (const std::string& path : aside) text += "\r\n" + path;
    sys().dialogs.message_box(page_.window(), text, "快捷程序组", Icon::Information, Buttons::Ok);
}

void LauncherPage::按钮1_click() {
    close_launcher();
    State& st = launcher_.state();
    const int pos = 组名列表框.selection() + 1;
    const int m = pos + 1;
    组名列表框.insert_item(pos, "组");
    const int n = st.group_count;
    ++st.group_count;
    组名列表框.select(pos);
    std::vector<std::string> aside;
    const bool done = insert_group(st, n, m, "组", &aside);
    tell_set_aside(aside);
    if (!done) {
        reload();
        return;
    }
    组名列表框_change();
    名称编辑框.set_focus();
    名称编辑框.select_all();
    set_group_name(m, 名称编辑框.text());
}

void LauncherPage::按钮2_click() {
    const int i = 组名列表框.selection();
    if (i <= 0) {
        sys().dialogs.beep();
        return;
    }
    close_launcher();
    std::vector<std::string> aside;
    const bool done = move_group_up(launcher_.state(), i + 1, &aside);
    tell_set_aside(aside);
    if (!done) {
        reload();
        return;
    }
    const std::string above = 组名列表框.item(i - 1);
    组名列表框.set_item(i - 1, 组名列表框.item(i));
    组名列表框.set_item(i, above);
    组名列表框.select(i - 1);
}

void LauncherPage::按钮3_click() {
    const int i = 组名列表框.selection();
    if (i < 0 || i >= 组名列表框.count() - 1) {
        sys().dialogs.beep();
        return;
    }
    close_launcher();
    std::vector<std::string> aside;
    const bool done = move_group_down(launcher_.state(), i + 1, &aside);
    tell_set_aside(aside);
    if (!done) {
        reload();
        return;
    }
    const std::string below = 组名列表框.item(i + 1);
    组名列表框.set_item(i + 1, 组名列表框.item(i));
    组名列表框.set_item(i, below);
    组名列表框.select(i + 1);
}

void LauncherPage::按钮4_click() {
    const int i = 组名列表框.selection();
    if (i < 0) return;
    close_launcher();
    const AliveToken alive = page_.window()->liveness();
    if (sys().dialogs.message_box(page_.window(), "您是否确定删除选定的组，此操作执行后将无法恢复？", "删除组确认", Icon::Warning,
                                  Buttons::YesNo) != Answer::Yes ||
        !alive)
        return;
    // The launcher could be opened again while the question was up.
    close_launcher();
    State& st = launcher_.state();
    const int n = st.group_count;
    --st.group_count;
    if (!delete_group(st, n, i + 1)) {
        reload();
        return;
    }
    组名列表框.remove_item(i);
    名称编辑框.set_text("");
    信息浏览编辑框.set_text("");
    组名列表框.select(-1);
}

}  // namespace q::launcher
