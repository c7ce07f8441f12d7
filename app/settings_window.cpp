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
    // The program's face: the pages' sizes are measured in it.
    for (Control* c : controls()) c->set_font(Font{"宋体", 9});
    选择夹.on_change = [this] { 选择夹_change(); };
    on_close = [this] { window_close(); };
}

void SettingsWindow::window_created() {
    // Steps 1 to 6 are the program page's, 7 to 10 the reminders page's.
    for (Page* p : pages()) p->created();
}

void SettingsWindow::选择夹_change() {
    const int tab = 选择夹.selection();
    if (tab >= 0 && tab < static_cast<int>(pages().size())) pages()[static_cast<std::size_t>(tab)]->shown();
}

void SettingsWindow::window_close() { program_.close_settings_window(); }

}  // namespace q
