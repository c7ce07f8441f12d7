// The wallpaper and music page as a user drives it: loading, adding, the
// folder search, reordering, confirming, and the preview and tag of a row.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "settings/ini.h"
#include "tests/app/app_fixture.h"

namespace q {
namespace {

using media::MediaPage;
using testing_app::AppFixture;

// A 2 x 1 24-bit BMP: a red pixel, then a blue one.
std::string tiny_bmp() {
    std::string b = "BM";
    auto u32 = [&b](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&b](std::uint16_t v) {
        b += static_cast<char>(v & 0xFF);
        b += static_cast<char>(v >> 8);
    };
    u32(62), u32(0), u32(54), u32(40), u32(2), u32(1), u16(1), u16(24), u32(0), u32(8), u32(0), u32(0), u32(0), u32(0);
    b += std::string("\x00\x00\xFF\xFF\x00\x00\x00\x00", 8);  // BGR red, BGR blue, row padding
    return b;
}

std::string tagged(const std::string& title, unsigned char genre) {
    std::string block = "TAG" + title;
    block.resize(127, '\0');
    block += static_cast<char>(genre);
    return std::string(300, 'x') + block;
}

template <std::size_t N>
std::string bytes(const char (&s)[N]) {
    return std::string(s, N - 1);
}

// Big-endian sizes of an ID3v2 tag: sync-safe (7 bits a byte) or plain.
std::string be32(std::uint32_t v, bool sync_safe) {
    std::string b;
    for (int i = 3; i >= 0; --i) b += static_cast<char>(sync_safe ? (v >> (7 * i)) & 0x7F : (v >> (8 * i)) & 0xFF);
    return b;
}
std::string frame(const std::string& id, const std::string& body, int version, char flags = 0) {
    return id + be32(static_cast<std::uint32_t>(body.size()), version == 4) + '\0' + flags + body;
}
std::string id3v2(int version, char flags, const std::string& frames, std::uint32_t claimed = 0) {
    return "ID3" + std::string(1, static_cast<char>(version)) + '\0' + flags +
           be32(claimed ? claimed : static_cast<std::uint32_t>(frames.size()), true) + frames;
}

class MediaPageTest : public AppFixture {
protected:
    void SetUp() override {
        start();
        run_main_bar_function(8);
        window().选择夹.user_select(SettingsWindow::kMediaTab);
    }
    SettingsWindow& window() { return *program().settings_window(); }
    MediaPage& page() { return window().媒体页; }
    std::vector<std::string> rows() {
        std::vector<std::string> r;
        for (int i = 0; i < page().列表框.row_count(); ++i)
            r.push_back(page().列表框.cell(i, 1) + page().列表框.cell(i, 0) + (page().列表框.row_checked(i) ? "+" : ""));
        return r;
    }
    void tick_only(std::initializer_list<int> ticked) {
        for (int i = 0; i < page().列表框.row_count(); ++i) page().列表框.user_check(i, false);
        for (int i : ticked) page().列表框.user_check(i, true);
    }
    std::string list(const char* name, const char* section, const char* key) {
        return ini::read(path(name), section, key, "<none>");
    }
};

TEST_F(MediaPageTest, LoadReorderDeleteAndConfirm) {
    put("wallpaper.ini", "[total]\r\ncount=3\r\n[path]\r\n1=D:\\p\\a.bmp\r\n3=D:\\p\\c.jpg\r\n");
    page().组合框.user_select(1);
    EXPECT_TRUE(rows().empty()) << "no music list";
    page().组合框.user_select(0);
    EXPECT_EQ(rows(), (std::vector<std::string>{"D:\\p\\a.bmp+", "+", "D:\\p\\c.jpg+"}));
    EXPECT_EQ(page().列表框.cell(0, 0), "a.bmp");
    EXPECT_EQ(page().列表框.cell(0, 1), "D:\\p\\");

    // The first row ticked: the message, and nothing moves.
    page().上移按钮.user_click();
    ASSERT_EQ(sim.messages.size(), 1u);
    EXPECT_EQ(sim.messages[0].text, "选定的首条已到列表顶层！");
    EXPECT_EQ(sim.messages[0].icon, Icon::Information);
    EXPECT_EQ(rows()[0], "D:\\p\\a.bmp+");
    // Rows 2 and 3 move up as a block; then the block moves down again, and stops at the bottom.
    tick_only({1, 2});
    page().上移按钮.user_click();
    EXPECT_EQ(rows(), (std::vector<std::string>{"+", "D:\\p\\c.jpg+", "D:\\p\\a.bmp"}));
    page().下移按钮.user_click();
    EXPECT_EQ(rows(), (std::vector<std::string>{"D:\\p\\a.bmp", "+", "D:\\p\\c.jpg+"}));
    page().下移按钮.user_click();
    EXPECT_EQ(sim.messages.back().text, "选定的末条已到列表底层！");
    EXPECT_EQ(rows(), (std::vector<std::string>{"D:\\p\\a.bmp", "+", "D:\\p\\c.jpg+"}));

    // Nothing ticked: [path] is gone, the count stays.
    tick_only({});
    page().添加按钮.user_click();
    EXPECT_EQ(sim.messages.back().text, "您还未选择欲添加的文件呢！");
    EXPECT_EQ(sim.messages.back().title, "无对象");
    EXPECT_EQ(sim.messages.back().icon, Icon::Error);
    EXPECT_EQ(list("wallpaper.ini", "path", "1"), "<none>");
    EXPECT_EQ(list("wallpaper.ini", "total", "count"), "3");
    EXPECT_EQ(main_bar().壁纸时钟.interval(), 0);

    // Delete the empty row; confirm the rest in one write; the stopped changer starts.
    put("set.ini", "[change]\r\ntime=2\r\n");
    tick_only({1});
    page().删除按钮.user_click();
    page().全选按钮.user_click();
    sim.fail_writes(1);
    page().添加按钮.user_click();
    EXPECT_EQ(sim.messages.back().title, "添加失败") << "a list that could not be written is not reported as added";
    EXPECT_EQ(list("wallpaper.ini", "total", "count"), "3");
    EXPECT_EQ(main_bar().壁纸时钟.interval(), 0);
    const int writes = sim.write_count;
    page().添加按钮.user_click();
    EXPECT_EQ(sim.write_count, writes + 1);
    EXPECT_EQ(sim.messages.back().text, "添加完毕。共添加2个文件。");
    EXPECT_EQ(sim.messages.back().icon, Icon::None);
    EXPECT_EQ(*sim.file(path("wallpaper.ini")), "[total]\r\ncount=2\r\n[path]\r\n1=D:\\p\\a.bmp\r\n2=D:\\p\\c.jpg\r\n");
    EXPECT_EQ(main_bar().壁纸时钟.interval(), 120000);
    // A running changer is left alone.
    main_bar().壁纸时钟.set_interval(5000);
    page().添加按钮.user_click();
    EXPECT_EQ(main_bar().壁纸时钟.interval(), 5000);
    // Closing without confirming keeps the file; the next visit loads it again.
    page().删除按钮.user_click();
    window().user_close();
    sim.run_deferred();
    program().open_media_page();
    EXPECT_EQ(rows().size(), 2u);
}

TEST_F(MediaPageTest, FolderSearchAndSingleFiles) {
    for (const char* f : {"D:\\pics\\a.bmp", "D:\\pics\\b.jpg", "D:\\pics\\sub\\c.BMP", "D:\\pics\\sub\\d.jpg",
                          "D:\\pics\\.hidden\\e.bmp", "D:\\pics\\notes.txt", "D:\\music\\s.mp3"})
        sim.put_file(f, "x");
    sim.file_answers = {std::nullopt, std::string("D:\\pics"), std::string("D:\\pics\\")};
    page().目录按钮.user_click();
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(page().标签.text(), "");
    page().目录按钮.user_click();
    EXPECT_EQ(sim.dialogs.back().prompt, "请选择壁纸所在的文件夹：");
    const std::vector<std::string> once{"D:\\pics\\a.bmp", "D:\\pics\\sub\\c.BMP", "D:\\pics\\b.jpg",
                                        "D:\\pics\\sub\\d.jpg"};
    EXPECT_EQ(rows(), once);
    EXPECT_EQ(sim.beeps, 1);
    EXPECT_EQ(page().标签.text(), "搜索完毕。列表中共有符合条件的文件4个。");
    page().目录按钮.user_click();
    EXPECT_EQ(page().标签.text(), "搜索完毕。列表中共有符合条件的文件8个。");
    page().全选按钮.user_click();
    page().添加按钮.user_click();
    EXPECT_EQ(list("wallpaper.ini", "total", "count"), "8");
    EXPECT_EQ(list("wallpaper.ini", "path", "5"), "D:\\pics\\a.bmp");

    // One file, for each kind, with its own title and filter; rows added are not ticked.
    sim.file_answers = {std::string("D:\\pics\\a.bmp"), std::string("D:\\music\\s.mp3"), std::string("D:\\music")};
    page().文件按钮.user_click();
    EXPECT_EQ(sim.dialogs.back().file.title, "请选择您喜爱的壁纸");
    EXPECT_EQ(sim.dialogs.back().file.filter, "图片文件(*.bmp;*.jpg)|*.BMP;*.JPG");
    EXPECT_EQ(rows().back(), "D:\\pics\\a.bmp");
    page().组合框.user_select(1);
    page().文件按钮.user_click();
    EXPECT_EQ(sim.dialogs.back().file.title, "请选择一首MP3");
    EXPECT_EQ(sim.dialogs.back().file.filter, "MP3(*.mp3)|*.MP3");
    page().目录按钮.user_click();
    EXPECT_EQ(sim.dialogs.back().prompt, "请选择MP3所在的文件夹：");
    EXPECT_EQ(rows(), (std::vector<std::string>{"D:\\music\\s.mp3", "D:\\music\\s.mp3"}));
}

TEST_F(MediaPageTest, FolderSearchSkipsLinksAndSystemFoldersAndReadsDoubleByteNames) {
    // 淺 ends in the byte 0x5C, which is no backslash.
    for (const char* f : {"D:\\深淺\\a.bmp", "D:\\深淺\\淺\\b.bmp", "D:\\深淺\\loop\\c.bmp",
                          "D:\\深淺\\$RECYCLE.BIN\\d.bmp", "D:\\深淺\\hid\\e.bmp"})
        sim.put_file(f, "x");
    sim.set_special("D:\\深淺\\loop", false, true);  // a junction: in truth it leads back up
    sim.set_hidden("D:\\深淺\\$RECYCLE.BIN");
    sim.set_special("D:\\深淺\\$RECYCLE.BIN", true, false);
    sim.set_hidden("D:\\深淺\\hid");  // hidden alone is the user's own
    sim.file_answers = {std::string("D:\\深淺")};
    page().目录按钮.user_click();
    EXPECT_EQ(rows(), (std::vector<std::string>{"D:\\深淺\\a.bmp", "D:\\深淺\\淺\\b.bmp", "D:\\深淺\\hid\\e.bmp"}));
    EXPECT_EQ(page().标签.text(), "搜索完毕。列表中共有符合条件的文件3个。");
}

TEST_F(MediaPageTest, ClosingTheWindowDuringASearchStopsIt) {
    for (int i = 0; i < 5; ++i) sim.put_file("D:\\pics\\" + std::to_string(i) + ".bmp", "x");
    sim.file_answers = {std::string("D:\\pics")};
    // The user closes the window while the search lets messages run.
    sim.defer([this] { window().user_close(); });
    page().目录按钮.user_click();
    EXPECT_EQ(program().settings_window(), nullptr);
    EXPECT_EQ(sim.beeps, 0);
}

TEST_F(MediaPageTest, SelectingARowShowsItsPictureOrItsTag) {
    sim.put_file("D:\\p\\two.bmp", tiny_bmp());
    sim.put_file("D:\\p\\cut.jpg", "\xFF\xD8\xFF\xE0\x00\x10JFIF");
    sim.put_file("D:\\p\\text.jpg", "not a picture at all");
    sim.put_file("D:\\m\\song.mp3", tagged("Song", 17));
    put("wallpaper.ini", "[total]\r\ncount=4\r\n[path]\r\n1=D:\\p\\two.bmp\r\n2=D:\\p\\cut.jpg\r\n3=D:\\p\\text.jpg\r\n"
                         "4=D:\\p\\gone.bmp\r\n");
    put("mp3.ini", "[total]\r\ncount=2\r\n[path]\r\n1=D:\\m\\song.mp3\r\n2=D:\\m\\gone.mp3\r\n");
    page().组合框.user_select(0);
    EXPECT_FALSE(page().预览画板.visible());
    page().列表框.user_pick(0);
    PictureBox& box = page().预览画板;
    EXPECT_TRUE(box.shown());
    ASSERT_EQ(box.pixels().size(), 128u * 96u);
    EXPECT_EQ(box.pixels()[0], 0xFF0000u) << "left half red";
    EXPECT_EQ(box.pixels()[127], 0x0000FFu) << "right half blue";
    for (int row : {1, 2}) {
        page().列表框.user_pick(row);
        EXPECT_TRUE(box.shown());
        EXPECT_TRUE(box.pixels().empty()) << row;
    }
    page().列表框.user_pick(0);
    page().列表框.user_pick(3);
    EXPECT_EQ(box.pixels().size(), 128u * 96u) << "a missing file changes nothing";

    page().组合框.user_select(1);
    page().列表框.user_pick(0);
    EXPECT_FALSE(box.visible());
    EXPECT_EQ(page().信息标签.text(),
              "    MP3标签信息\r\n\r\n标题：Song\r\n歌手：\r\n专辑：\r\n年代：\r\n备注：\r\n流派：Rock");
    page().列表框.user_pick(1);
    EXPECT_NE(page().信息标签.text(), "");
}

TEST_F(MediaPageTest, Id3v2TagsShowTheirTextsBesideVersion1) {
    const std::string mp3 = "\xFF\xFB\x90" + std::string(400, 'a');
    // 2.4: an extended header, UTF-8 text with a character CP936 lacks (U+0150),
    // an unsynchronised frame, a large picture first, a genre by number.
    const std::string v24 = id3v2(4, 0x40,
        be32(6, true) + bytes("\x01\x00") + frame("APIC", std::string(300000, '\xFF'), 4) +
        frame("TIT2", bytes("\x03\xE6\xAD\x8C \xC5\x90"), 4) +
        frame("TPE1", bytes("\x01\xFF\x00\xFE" "A\x00r\x00t\x00"), 4, 0x02) + frame("TCON", bytes("\x03" "17"), 4) +
        frame("TDRC", bytes("\x03" "2004-05-06"), 4));
    // 2.3, unsynchronised as a whole: UTF-16 with a byte-order mark, a
    // comment without a description after one with, a genre "(17)"; its
    // version 1 tag at the end holds the longer album.
    std::string v23 = frame("TIT2", bytes("\x01\xFF\xFE") + utf16le_from_cp936("Long Title above 30 bytes!"), 3) +
                      frame("COMM", bytes("\x00" "eng" "iTunNORM\x00" " 0000"), 3) +
                      frame("COMM", bytes("\x00" "eng\x00" "Nice\nday"), 3) + frame("TCON", bytes("\x00(17)"), 3) +
                      frame("TALB", bytes("\x00" "Al"), 3) + std::string(20, '\0');
    v23 = id3v2(3, static_cast<char>(0x80), v23.replace(v23.find("\xFF\xFE"), 2, bytes("\xFF\x00\xFE")));
    std::string v1 = "TAG" + std::string("Long Title above 30 bytes");
    v1.resize(63, '\0');
    v1 += "Album of v1";
    v1.resize(127, '\0');
    v1 += '\xFF';
    // 2.2 with ISO-8859-1 (bytes that are no CP936 text) and UTF-16 without a
    // byte-order mark; its header claims a megabyte more than the file holds.
    const std::string v22 = id3v2(2, 0, bytes("TT2\x00\x00\x06\x00" "Caf\xE9!" "TP1\x00\x00\x07\x01S\x00i\x00n\x00"), 1 << 20);
    sim.put_file("D:\\m\\v24.mp3", v24 + mp3);
    sim.put_file("D:\\m\\v23.mp3", v23 + mp3 + v1);
    sim.put_file("D:\\m\\v22.mp3", v22);
    put("mp3.ini", "[total]\r\ncount=3\r\n[path]\r\n1=D:\\m\\v24.mp3\r\n2=D:\\m\\v23.mp3\r\n3=D:\\m\\v22.mp3\r\n");
    page().组合框.user_select(1);
    page().列表框.user_pick(0);
    EXPECT_EQ(page().信息标签.text(), "    MP3标签信息\r\n\r\n标题：歌 \xFF\xA0\xA1\xA5\xA0\r\n歌手：Art\r\n专辑：\r\n年代："
                                       "2004-05-06\r\n备注：\r\n流派：Rock");
    page().列表框.user_pick(1);
    EXPECT_EQ(page().信息标签.text(), "    MP3标签信息\r\n\r\n标题：Long Title above 30 bytes!\r\n歌手：\r\n专辑：Album of v1\r\n"
                                       "年代：\r\n备注：Nice day\r\n流派：Rock");
    page().列表框.user_pick(2);
    EXPECT_EQ(page().信息标签.text(), "    MP3标签信息\r\n\r\n标题：Caf\xA8\xA6!\r\n歌手：Sin\r\n专辑：\r\n年代：\r\n备注：\r\n流派：");
}

}  // namespace
}  // namespace q
