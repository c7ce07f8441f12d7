#include "app/program_page.h"

#include "app/program.h"
#include "platform/system.h"
#include "platform/text.h"
#include "settings/ini.h"
#include "settings/settings_file.h"
#include "settings/values.h"

namespace q {

namespace {

// The stored copy of a greeting shown with the date: 100 double-byte characters.
constexpr std::size_t kDatedMessageBytes = 200;

Edit::Mode content_box() {
    Edit::Mode m;
    m.multi_line = true;
    m.vertical_scroll = true;
    m.max_bytes = 168 * 2;
    return m;
}

std::string program_path() { return sys().process.program_dir() + "\\" + sys().process.program_file_name(); }

}  // namespace

int os_class(int request) {
    const Process::OsVersion v = sys().process.os_version();
    switch (request) {
        case 0: return sys().process.os_class();
        case 1: return v.major;
        case 2: return v.minor;
        case 3: return v.build;
        case 4: return v.platform;
        default: return 10000;
    }
}

std::string style_manifest_path() { return program_path() + ".manifest"; }

const std::string& style_manifest() {
    static const std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
        "<assemblyIdentity\r\n"
        "    processorArchitecture=\"*\"\r\n"
        "    version=\"5.1.0.0\"\r\n"
        "    type=\"win32\"\r\n"
        "    name=\"Microsoft.Windows.Shell.shell32\"\r\n"
        "/>\r\n"
        "<description>Windows Shell</description>\r\n"
        "<dependency>\r\n"
        "        <dependentAssembly>\r\n"
        "                <assemblyIdentity\r\n"
        "                        type=\"win32\"\r\n"
        "                        name=\"Microsoft.Windows.Common-Controls\"\r\n"
        "                        version=\"6.0.0.0\"\r\n"
        "                        publicKeyToken=\"6595b64144ccf1df\"\r\n"
        "                        language=\"*\"\r\n"
        "                        processorArchitecture=\"*\"\r\n"
        " />\r\n"
        "        </dependentAssembly>\r\n"
        "</dependency>\r\n"
        "</assembly>\r\n";
    return text;
}

ProgramPage::ProgramPage(TabPage& page, Program& program)
    : 启动选择框(&page, {16, 31, 118, 15}, "Quillet随系统启动"),
      媒体选项(page, program.media()),
      提示选择框(&page, {17, 111, 170, 16}, "启动时弹出MSN式提示信息框"),
      // Clear of the tray drop-down, which ends at 199 to show its longest item.
      分组框(&page, {200, 112, 360, 221}, "自定义提示信息"),
      透明标签1(&分组框, {16, 20, 36, 14}, "标题：", Label::Look::Transparent),
      标题编辑框(&分组框, {49, 18, 149, 16}, Edit::Mode::line(11 * 2)),
      透明标签4(&分组框, {200, 21, 157, 12}, "（最大允许长度为11个字）", Label::Look::Transparent),
      透明标签2(&分组框, {16, 38, 203, 14}, "内容：（最大允许长度为168个字）", Label::Look::Transparent),
      内容编辑框(&分组框, {16, 55, 328, 120}, content_box()),
      透明标签5(&分组框, {17, 182, 330, 25},
                "               （此项选定时，如果内容超过100个字，则仅显示内容中的前100个字）", Label::Look::Transparent),
      时间选择框(&分组框, {16, 177, 92, 17}, "显示当前时间"),
      风格选择框(&page, {17, 135, 153, 19}, "在XP中使用系统自带风格"),
      透明标签6(&page, {17, 162, 84, 15}, "主窗口透明度：", Label::Look::Transparent),
      透明度编辑框(&page, {99, 160, 38, 16}, 100, 255),
      透明标签14(&page, {17, 179, 168, 50},
                 "（此项仅用于Windows 2000及更高版本的操作系统，可选数值为100～255，数值越大，透明度越低）",
                 Label::Look::Transparent),
      透明标签3(&page, {17, 238, 96, 15}, "双击托盘图标时：", Label::Look::Transparent),
      托盘事件组合框(&page, {110, 234, 89, 20},
                     {"开关光驱", "更换壁纸", "播放音乐", "随手记录", "定时提醒", "快捷程序", "设置Quillet", "遣退Quillet"}),
      hotkey_group(&page, program.hotkeys()),
      program_(program) {
    启动选择框.on_click = [this] { 启动选择框_click(); };
    风格选择框.on_click = [this] { 风格选择框_click(); };
    透明度编辑框.on_change = [this] { 透明度编辑框_change(); };
    托盘事件组合框.on_change = [this] { 托盘事件组合框_change(); };
    提示选择框.on_click = [this] { 提示选择框_click(); };
    标题编辑框.on_change = [this] { 标题编辑框_change(); };
    内容编辑框.on_change = [this] { 内容编辑框_change(); };
    时间选择框.on_click = [this] { 时间选择框_click(); };
}

void ProgramPage::created() {
    // 1. The box mirrors the registry, not [set] run.
    启动选择框.set_checked(autostart::exists(autostart::kName));
    // 2. Wallpaper and music.
    媒体选项.created();
    // 3. Greeting.
    settings::drop_stray_greeting_lines();
    if (settings::greeting_show()) {
        提示选择框.set_checked(true);
        标题编辑框.set_text(settings::greeting_title());
        内容编辑框.set_text(settings::greeting_message_page());
        if (settings::greeting_date_page()) 时间选择框.set_checked(true);
    } else {
        分组框.hide();
    }
    // 4. Style: only Windows XP has both looks.
    if (os_class(0) == 3) {
        if (settings::style() && sys().files.exists(style_manifest_path())) 风格选择框.set_checked(true);
    } else {
        风格选择框.set_enabled(false);
    }
    // 5. Opacity.
    if (sys().process.has_layered_windows())
        透明度编辑框.set_text(settings::transparance());
    else
        透明度编辑框.set_enabled(false);
    // 6. Tray action.
    托盘事件组合框.select(settings::tray());
    hotkey_group.created();
}

void ProgramPage::启动选择框_click() {
    // The box shows what Windows will do at logon, so a registry change that
    // did not take is said and the box goes back.
    if (启动选择框.checked()) {
        if (!autostart::write(autostart::kName, autostart::program_command())) {
            sys().dialogs.message_box(owner(), "无法写入系统启动项，Quillet不会随系统启动！", "设置失败", Icon::Warning,
                                      Buttons::Ok);
            启动选择框.set_checked(false);
            return;
        }
        settings::run.write(true);
    } else {
        if (!autostart::remove(autostart::kName)) {
            sys().dialogs.message_box(owner(), "系统启动项由管理员写入，无法删除，Quillet仍将随系统启动！",
                                      "设置失败", Icon::Warning, Buttons::Ok);
            启动选择框.set_checked(true);
            return;
        }
        settings::run.write(false);
    }
}

void ProgramPage::风格选择框_click() {
    if (!风格选择框.checked()) {
        sys().desktop.set_xp_look(true);
        settings::style.write(false);
        // The manifest stays: it is read only when the program starts.
        return;
    }
    sys().desktop.set_xp_look(false);
    settings::style.write(true);
    const std::string manifest = style_manifest_path();
    if (sys().files.exists(manifest)) return;
    sys().files.replace(manifest, style_manifest());
    sys().files.set_hidden(manifest);
    const AliveToken alive = owner()->liveness();
    const Answer a = sys().dialogs.message_box(owner(),
                                               "您是首次设置此项，请重启本程序以使设置生效！是否立即重启Quillet？",
                                               "重启确认", Icon::Question, Buttons::YesNo);
    if (!alive || a != Answer::Yes) return;
    sys().shell.start_program(program_path(), "restart");
    program_.exit_procedure();
}

void ProgramPage::透明度编辑框_change() { settings::transparance.write(透明度编辑框.text()); }

void ProgramPage::托盘事件组合框_change() { settings::tray.write(托盘事件组合框.selection()); }

void ProgramPage::提示选择框_click() {
    if (!提示选择框.checked()) {
        settings::greeting_show.write(false);
        分组框.hide();
        return;
    }
    分组框.show();
    settings::greeting_show.write(true);
    标题编辑框.set_text(settings::greeting_title());
    内容编辑框.set_text(settings::greeting_message_page());
    // An unticked box is left as it is.
    if (settings::greeting_date_page()) 时间选择框.set_checked(true);
}

void ProgramPage::标题编辑框_change() { settings::greeting_title.write(标题编辑框.text()); }

void ProgramPage::store_message(bool cut) {
    const std::string& text = 内容编辑框.text();
    settings::Batch b;
    b.remove(settings::greeting_message_page);
    // The table stores the line breaks escaped: a profile value is one line.
    b.write(settings::greeting_message_page,
            cut && text.size() > kDatedMessageBytes ? cut_bytes(text, kDatedMessageBytes) : text);
    b.commit();
}

void ProgramPage::内容编辑框_change() { store_message(时间选择框.checked()); }

void ProgramPage::时间选择框_click() {
    if (时间选择框.checked()) {
        settings::greeting_date_page.write(true);
        if (内容编辑框.text().size() > kDatedMessageBytes) store_message(true);
    } else {
        settings::greeting_date_page.write(false);
        store_message(false);
    }
}

}  // namespace q
