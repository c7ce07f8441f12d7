// The about window: the emblem, the program's name, our credit and links,
// and the help text read from the file beside the program.
#pragma once

#include <string>

#include "platform/ui.h"

namespace q {

class Program;

class AboutWindow : public Window {
public:
    static constexpr int kWidth = 602;
    static constexpr int kHeight = 454;

    explicit AboutWindow(Program& program);

    PictureBox 图片框;
    // Made before 标签1, whose area it lies in: labels made later lie beneath.
    Label 透明标签;
    Label 标签1;
    Line 外形框1;
    Line 外形框2;
    Label 超级链接框;
    Label 超级链接框1;
    Edit 编辑框;
    Button 关闭按钮;

    void window_created();
    void 编辑框_focus();
    void 超级链接框_click();
    void 超级链接框1_click();
    void 关闭按钮_click();

private:
    Program& program_;
};

// Program directory + "\Quillet使用说明.txt".
std::string help_file_path();

}  // namespace q
