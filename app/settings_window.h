// The settings window: the tab control 选择夹 with its four pages. The frame
// makes the pages and runs their created and shown steps, in tab order.
#pragma once

#include <array>

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
    reminders::RemindersPage 提醒页;
    launcher::LauncherPage 快捷页;

    void window_created();
    void 选择夹_change();
    void window_close();

private:
    // In tab order.
    std::array<Page*, 4> pages() { return {&程序页, &媒体页, &提醒页, &快捷页}; }

    Program& program_;
};

}  // namespace q
