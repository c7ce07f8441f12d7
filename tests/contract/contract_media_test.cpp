// What the wallpaper and music page asks of both backends: a canvas picture
// box, a list view with tick boxes, and the folder walk of its search.
#include <algorithm>

#include "tests/contract/contract_env.h"

namespace q::contract {
namespace {

using ContractMedia = ContractTest;

struct MediaForm : Window {
    MediaForm() : Window(Rect{140, 120, 400, 240}, "壁纸", Window::Style{}) {}
    PictureBox canvas{this, Rect{10, 10, 128, 96}};
    ListView list{this, Rect{150, 10, 230, 120}, {{"文件名称", 100}, {"所在目录", 120}}, true};
};

TEST_F(ContractMedia, CanvasTickedRowsAndTheFolderWalk) {
    EventLog log;
    MediaForm f;
    log.watch(f.canvas, "Canvas");
    log.watch(f.list, "List");
    f.create();
    f.show();
    f.canvas.set_pixels(2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF});
    for (int i = 0; i < 3; ++i) f.list.set_cell(f.list.append_row(), 0, "图" + std::to_string(i) + ".bmp");
    f.list.set_row_checked(1, true);
    pump(50);
    EXPECT_EQ(f.canvas.pixels_width(), 2);
    f.canvas.set_pixels(3, 3, {1, 2});
    EXPECT_TRUE(f.canvas.pixels().empty()) << "pixels that do not fill the box are refused";
    user().press(f.canvas);
    user().tick(f.list, 2);
    pump(30);
    // A captioned window that opens gives its first control (the list) the focus.
    EXPECT_TRUE(log.matches({"?List:focus", "?*:blur", "Canvas:click", "?*:blur", "?List:focus", "?List:pick 2", "List:check 2 on"}));
    EXPECT_TRUE(f.list.row_checked(1));
    EXPECT_TRUE(f.list.row_checked(2));

    // The search's two patterns: files of one extension in any letter case,
    // then every entry, whose folders it enters unless their names begin with ".".
    FileSystem& fs = sys().files;
    const std::string d = folder() + "\\图片";
    ASSERT_TRUE(fs.create_folder(d));
    ASSERT_TRUE(fs.create_folder(d + "\\sub"));
    ASSERT_TRUE(fs.create_folder(d + "\\.hidden"));
    for (const char* n : {"a.bmp", "B.BMP", "c.jpg", "d.bmp.txt"}) ASSERT_TRUE(fs.replace(d + "\\" + n, "x"));
    std::vector<std::string> bmp;
    for (const auto& e : fs.enumerate(d + "\\*.bmp")) bmp.push_back(e.name + (e.folder ? "/" : ""));
    std::sort(bmp.begin(), bmp.end());
    EXPECT_EQ(bmp, (std::vector<std::string>{"B.BMP", "a.bmp"}));
    std::vector<std::string> all;
    for (const auto& e : fs.enumerate(d + "\\*.*")) all.push_back(e.name + (e.folder ? "/" : ""));
    std::sort(all.begin(), all.end());
    EXPECT_EQ(all, (std::vector<std::string>{".hidden/", "B.BMP", "a.bmp", "c.jpg", "d.bmp.txt", "sub/"}));
}

}  // namespace
}  // namespace q::contract
