#include "app/about_window.h"

#include "app/program.h"
#include "platform/system.h"
#include "settings/settings_file.h"

namespace q {

namespace {

Rect centred(int width, int height) {
    const Rect work = sys().desktop.work_area();
    return {work.left + (work.width - width) / 2, work.top + (work.height - height) / 2, width, height};
}

}  // namespace

std::string help_file_path() { return program_file("Quillet使用说明.txt"); }

AboutWindow::AboutWindow(Program& program)
    : Window(centred(kWidth, kHeight), "Quillet简介", Style{}),
      图片框(this, {17, 5, 45, 47}, Res::AboutEmblem),
      透明标签(this, {242, 23, 112, 25}, "Quillet开发组制作", Label::Look::Transparent),
      标签1(this, {62, 9, 300, 40}, "    Quillet1.0", Label::Look::Transparent),
      外形框1(this, {62, 49, 300, 1}),
      外形框2(this, {362, 9, 3, 41}),
      超级链接框(this, {372, 16, 204, 13}, "发现BUG或有建议请点此处以联系作者", Label::Look::Hyperlink),
      超级链接框1(this, {372, 33, 115, 16}, "Quillet使用说明", Label::Look::Hyperlink),
      编辑框(this, {19, 55, 558, 338}, Edit::Mode::text_view()),
      关闭按钮(this, {457, 396, 120, 23}, "关  闭"),
      program_(program) {
    for (Control* c : controls()) c->set_font(Font{"宋体", 9});
    Font title;
    title.face = "宋体";
    title.points = 18;
    title.bold = true;
    标签1.set_font(title);
    编辑框.on_focus = [this] { 编辑框_focus(); };
    超级链接框.on_click = [this] { 超级链接框_click(); };
    超级链接框1.on_click = [this] { 超级链接框1_click(); };
    关闭按钮.on_click = [this] { 关闭按钮_click(); };
    on_close = [this] { 关闭按钮_click(); };
}

void AboutWindow::window_created() {
    // Without the file the box stays empty and nothing is said.
    std::string text;
    if (sys().files.read(help_file_path(), text)) 编辑框.set_text(text);
}

// The text is read, never edited: no caret stays in it.
void AboutWindow::编辑框_focus() { 关闭按钮.set_focus(); }

// The project keeps no mail address or web page: both links open the help
// text beside the program, whose last part says how to report a fault.
void AboutWindow::超级链接框_click() { sys().shell.open_path(help_file_path()); }

void AboutWindow::超级链接框1_click() { sys().shell.open_path(help_file_path()); }

void AboutWindow::关闭按钮_click() { program_.close_about_window(); }

}  // namespace q
