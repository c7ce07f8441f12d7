#include "app/settings_window.h"

#include "app/program.h"
#include "platform/system.h"
#include "platform/text.h"
#include "reminders/store.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q {

namespace {

Rect centred(int width, int height) {
    const Rect work = sys().desktop.work_area();
    return {work.left + (work.width - width) / 2, work.top + (work.height - height) / 2, width, height};
}

}  // namespace

const SettingsWindow::Scheme SettingsWindow::kSchemes[6] = {
    {rgb(255, 255, 255), rgb(255, 255, 255)}, {rgb(171, 198, 248), rgb(146, 188, 252)},
    {rgb(193, 216, 175), rgb(177, 205, 152)}, {rgb(251, 217, 166), rgb(250, 208, 146)},
    {rgb(202, 188, 228), rgb(189, 173, 222)}, {rgb(212, 212, 212), rgb(202, 202, 202)},
};

SettingsWindow::SettingsWindow(Program& program)
    : Window(centred(kWidth, kHeight), "设置Quillet", Style{}),
      选择夹(this, {8, 6, 584, 376}, {"程序设置", "壁纸\\音乐", "定时提醒", "快捷程序"}),
      程序页(选择夹.page(kProgramTab), program),
      媒体页(选择夹.page(kMediaTab), program.media()),
      提醒列表框(&选择夹.page(kRemindersTab), {12, 45, 560, 143}, reminders::list_columns()),
      删除过期选择框(&选择夹.page(kRemindersTab), {392, 192, 180, 17}, "自动从列表中删除已过期提醒"),
      透明标签8(&选择夹.page(kRemindersTab), {404, 28, 62, 13}, "列表配色：", Label::Look::Transparent),
      配色组合框(&选择夹.page(kRemindersTab), {466, 23, 106, 20},
                 {"素洁无痕", "淡爽天空", "草原春色", "夕阳无限", "浪漫罗兰", "朦胧夜暮"}),
      提醒页(选择夹.page(kRemindersTab), program.reminders(), program.bar().提醒时钟, 提醒列表框, 删除过期选择框),
      快捷页(选择夹.page(kLauncherTab), program.launcher()),
      program_(program) {
    // The program's face: the design's sizes are measured in it.
    for (Control* c : controls()) c->set_font(Font{"宋体", 9});
    选择夹.on_change = [this] { 选择夹_change(); };
    配色组合框.on_change = [this] { 配色组合框_change(); };
    on_close = [this] { window_close(); };
}

void SettingsWindow::window_created() {
    // Steps 1 to 6: the program page.
    程序页.created();
    // 7. Colour scheme of the reminder list.
    配色组合框.select(settings::list_colors());
    apply_color_scheme();
    // 8. Expired reminders.
    删除过期选择框.set_checked(settings::auto_delete());
    // 9, 10.
    reminders_page_created();
}

void SettingsWindow::选择夹_change() {
    switch (选择夹.selection()) {
        case kMediaTab: media_page_tab_shown(); break;
        case kRemindersTab: reminders_page_tab_shown(); break;
        case kLauncherTab: launcher_page_tab_shown(); break;
        default: break;  // the program page needs nothing
    }
}

void SettingsWindow::media_page_tab_shown() {
    const int preset = list_kind_preset;
    list_kind_preset = 0;
    媒体页.tab_shown(preset);
}

void SettingsWindow::配色组合框_change() { apply_color_scheme(); }

void SettingsWindow::apply_color_scheme() {
    const int i = 配色组合框.selection();
    if (i >= 0 && i < 6) 提醒列表框.set_colors(kSchemes[i].first, kSchemes[i].second);
    settings::list_colors.write(i);
}

void SettingsWindow::window_close() { program_.close_settings_window(); }

}  // namespace q
