#include "app/settings_window.h"

#include "app/program.h"
#include "platform/system.h"

namespace q {

namespace {

Rect centred(int width, int height) {
    const Rect work = sys().desktop.work_area();
    return {work.left + (work.width - width) / 2, work.top + (work.height - height) / 2, width, height};
}

}  // namespace

SettingsWindow::SettingsWindow(Program& program)
    : Window(centred(kWidth, kHeight), "设置Quillet", Style{}),
      选择夹(this, {8, 6, 584, 376}, {"程序设置", "壁纸\\音乐", "定时提醒", "快捷程序"}),
      程序页(选择夹.page(kProgramTab), program),
      媒体页(选择夹.page(kMediaTab), program.media()),
      提醒页(选择夹.page(kRemindersTab), program.reminders(), program.bar().提醒时钟),
      快捷页(选择夹.page(kLauncherTab), program.launcher()),
      program_(program) {
    // The program's face: the design's sizes are measured in it.
    for (Control* c : controls()) c->set_font(Font{"宋体", 9});
    选择夹.on_change = [this] { 选择夹_change(); };
    on_close = [this] { window_close(); };
}

void SettingsWindow::window_created() {
    // Steps 1 to 6: the program page.
    程序页.created();
    // 7 to 10: the reminders page.
    提醒页.created();
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

void SettingsWindow::window_close() { program_.close_settings_window(); }

}  // namespace q
