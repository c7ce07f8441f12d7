// The settings window: the tab control 选择夹 with its four pages. The frame
// makes the pages and hands its created and tab-changed events to each
// page's own steps, in the design's order.
#pragma once

#include "app/program_page.h"
#include "launcher/launcher_page.h"
#include "media/media_page.h"
#include "platform/ui.h"
#include "reminders/page.h"

namespace q {

class Program;

class SettingsWindow : public Window {
public:
    static constexpr int kWidth = 606;
    static constexpr int kHeight = 421;
    enum Tab { kProgramTab = 0, kMediaTab = 1, kRemindersTab = 2, kLauncherTab = 3 };

    explicit SettingsWindow(Program& program);

    TabControl 选择夹;
    ProgramPage 程序页;
    media::MediaPage 媒体页;
    // The list kind the changer or the player asks for when its list is
    // missing (1 pictures, 2 music); the next visit of tab 1 takes it.
    int list_kind_preset = 0;
    reminders::RemindersPage 提醒页;
    launcher::LauncherPage 快捷页;

    void window_created();
    void 选择夹_change();
    void window_close();

private:
    // The steps of the pages whose own work fills them.
    void media_page_tab_shown();          // tab 1: the list kind and its first load
    void reminders_page_tab_shown() { 提醒页.tab_shown(); }  // tab 2: expired reminders, the minimise option, the count
    void launcher_page_tab_shown() { 快捷页.tab_shown(); }  // tab 3: the launcher options and the group names

    Program& program_;
};

}  // namespace q
