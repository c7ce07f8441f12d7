// The wallpaper changer and the music player as the program drives them:
// start-up, the bar's functions 0 to 3, the timers, the program page's
// options and the tray tip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "media/picture.h"
#include "settings/ini.h"
#include "settings/settings_file.h"
#include "tests/app/app_fixture.h"

namespace q {
namespace {

using testing_app::AppFixture;

std::uint32_t le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// A grey progressive JPEG of w x h whose one DC scan, holding no bytes, is
// repeated scans times: each repeat costs the decoder a pass over the picture.
std::string repeated_scans_jpeg(int w, int h, int scans) {
    std::string b("\xFF\xD8\xFF\xDB\x00\x43\x00", 7);
    b += std::string(64, '\1');
    b += std::string("\xFF\xC2\x00\x0B\x08", 5);
    for (int v : {h, w}) b += {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
    b += std::string("\x01\x01\x11\x00", 4);
    b += std::string("\xFF\xC4\x00\x14\x00\x01", 6) + std::string(16, '\0');  // one DC code: 0
    for (int i = 0; i < scans; ++i) b += std::string("\xFF\xDA\x00\x08\x01\x01\x00\x00\x00\x00", 10);
    return b + "\xFF\xD9";
}

TEST(Picture, AFileRepeatingItsScansIsRefusedUnread) {
    EXPECT_EQ(media::stretched_picture(repeated_scans_jpeg(64, 48, 10), 16, 12).size(), 16u * 12u);
    EXPECT_TRUE(media::stretched_picture(repeated_scans_jpeg(64, 48, 101), 16, 12).empty());
    EXPECT_FALSE(media::wallpaper_bmp(repeated_scans_jpeg(64, 48, 101), 16, 12));
    // Fewer scans over many pixels: the same passes over the picture.
    EXPECT_TRUE(media::stretched_picture(repeated_scans_jpeg(10000, 10000, 20), 16, 12).empty());
}

class PlayerTest : public AppFixture {
protected:
    media::Media& media() { return program().media(); }
    std::string tip() { return sim.tray[&main_bar()].tip; }
    std::string temp_bmp() { return sim.file(path("temp.bmp")).value_or("<none>"); }
    std::string stored(const char* section, const char* key) { return ini::read(path("set.ini"), section, key, "<none>"); }
    SettingsWindow& settings() {
        run_main_bar_function(8);
        return *program().settings_window();
    }
    media::MediaOptions& options() { return settings().程序页.媒体选项; }
};

TEST_F(PlayerTest, WallpaperInOrderConvertsOnlyJpgAndSurvivesBadPictures) {
    const std::string jpeg(resource_bytes(Res::PopupJpeg));
    sim.put_file("D:\\p\\a.JPG", jpeg);
    sim.put_file("D:\\p\\b.jpeg", jpeg);
    sim.put_file("D:\\p\\c.bmp", "BM-not-decoded-but-copied");
    put("set.ini", "[set]\r\nchange=T\r\n[change]\r\nmodel=1\r\n");
    put("wallpaper.ini", "[total]\r\ncount=4\r\n[path]\r\n1=D:\\p\\a.JPG\r\n2=D:\\p\\gone.bmp\r\n3=D:\\p\\b.jpeg\r\n"
                         "4=D:\\p\\c.bmp\r\n");
    start();
    // The first change after start-up shows entry 1, converted; the timer
    // runs at the default ten minutes.
    EXPECT_EQ(media().wallpaper_index(), 1);
    const std::string bmp = temp_bmp();
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(le32(bmp, 18), 1024u) << "the screen's size";
    EXPECT_EQ(le32(bmp, 22), 768u);
    EXPECT_EQ(sim.wallpapers, std::vector<std::string>{path("temp.bmp")});
    EXPECT_EQ(main_bar().壁纸时钟.interval(), 600000);
    EXPECT_EQ(tip(), "Quillet1.0\r\n顺序更换：a");

    // A missing entry is skipped; a .jpeg the decoder reads is converted
    // too, a .bmp it cannot read is copied byte for byte.
    run_main_bar_function(2);
    EXPECT_EQ(media().wallpaper_index(), 3);
    EXPECT_EQ(temp_bmp(), bmp);
    sim.advance(600000);  // the timer's tick
    EXPECT_EQ(temp_bmp(), "BM-not-decoded-but-copied");
    // Past the last entry: entry 1 again. A JPEG that cannot be decoded is
    // passed over like a missing file, for the next picture that can be shown.
    sim.put_file("D:\\p\\a.JPG", jpeg.substr(0, 40));
    run_main_bar_function(2);
    EXPECT_EQ(media().wallpaper_index(), 3);
    EXPECT_EQ(temp_bmp(), bmp);
    EXPECT_EQ(sim.wallpapers.size(), 4u);
    EXPECT_EQ(tip(), "Quillet1.0\r\n顺序更换：b");
    // When none can be shown, the desktop, the name and the tip stay as they were.
    put("wallpaper.ini", "[total]\r\ncount=2\r\n[path]\r\n1=D:\\p\\a.JPG\r\n2=D:\\p\\gone.bmp\r\n");
    run_main_bar_function(2);
    EXPECT_EQ(sim.wallpapers.size(), 4u);
    EXPECT_EQ(temp_bmp(), bmp);
    EXPECT_EQ(tip(), "Quillet1.0\r\n顺序更换：b");

    // With [set] change off the change action stops the timer.
    write_setting("set", "change", "F");
    run_main_bar_function(2);
    EXPECT_FALSE(main_bar().壁纸时钟.running());

    // A list naming no existing file, however long it claims to be, is given
    // up after a bounded number of picks; so is an empty or negative count.
    for (const char* list : {"[total]\r\ncount=2000000000\r\n[path]\r\n1=D:\\p\\gone.bmp\r\n", "[total]\r\ncount=0\r\n",
                             "[total]\r\ncount=-3\r\n", ""}) {
        put("wallpaper.ini", list);
        for (const char* model : {"0", "1"}) {
            write_setting("change", "model", model);
            run_main_bar_function(2);
        }
    }
    EXPECT_EQ(sim.wallpapers.size(), 4u);
}

// The colour of pixel (x, y) of a 24-bit BMP file, 0xRRGGBB.
std::uint32_t bmp_pixel(const std::string& b, int x, int y) {
    const std::size_t w = le32(b, 18), h = le32(b, 22), stride = (w * 3 + 3) / 4 * 4;
    const std::size_t at = le32(b, 10) + (h - 1 - static_cast<std::size_t>(y)) * stride + static_cast<std::size_t>(x) * 3;
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 | static_cast<unsigned char>(b[at]);
}

// Near enough a colour for a JPEG's losses.
bool near(std::uint32_t a, std::uint32_t b) {
    for (int s = 0; s < 24; s += 8)
        if (std::abs(static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF)) > 24) return false;
    return true;
}

TEST_F(PlayerTest, PhotosBecomeUprightScreenSizedWallpapers) {
    // A 6000 x 4000 camera photo held sideways (orientation 6: turn it a
    // quarter clockwise): stored, its top half red, its bottom half blue,
    // its left quarter green. Upright it is 4000 x 6000, green on top.
    const int w = 6000, h = 4000;
    std::vector<std::uint8_t> px(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = x < w / 4 ? 0x00FF00u : y < h / 2 ? 0xFF0000u : 0x0000FFu;
            std::uint8_t* p = &px[(static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)) * 3];
            p[0] = static_cast<std::uint8_t>(c >> 16), p[1] = static_cast<std::uint8_t>(c >> 8), p[2] = static_cast<std::uint8_t>(c);
        }
    std::string jpeg;
    stbi_write_jpg_to_func([](void* out, void* data, int n) { static_cast<std::string*>(out)->append(static_cast<char*>(data), static_cast<std::size_t>(n)); },
                           &jpeg, w, h, 3, px.data(), 85);
    // An APP1 Exif block after the start marker: big-endian TIFF, IFD0 with
    // one entry, 0x0112 = 6.
    const std::string exif("Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 32);
    jpeg.insert(2, std::string("\xFF\xE1\0", 3) + static_cast<char>(exif.size() + 2) + exif);
    sim.put_file("D:\\p\\phone.jpg", jpeg);
    // A small landscape BMP, 160 x 100 with a white band at its left: filling
    // the 4:3 screen cuts a sixth of it, the band included, and scales it up.
    std::string bmp = "BM";
    auto u32 = [&bmp](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    u32(54 + 160 * 100 * 3), u32(0), u32(54), u32(40), u32(160), u32(100), u32(1 | 24 << 16), u32(0), u32(0), u32(0),
        u32(0), u32(0), u32(0);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 160; ++x) bmp += x < 10 ? std::string("\xFF\xFF\xFF") : std::string("\x40\x80\xC0");
    sim.put_file("D:\\p\\small.bmp", bmp);
    put("set.ini", "[set]\r\nchange=T\r\n[change]\r\nmodel=1\r\n");
    put("wallpaper.ini", "[total]\r\ncount=2\r\n[path]\r\n1=D:\\p\\phone.jpg\r\n2=D:\\p\\small.bmp\r\n");
    start();

    // Upright 2:3 on a 4:3 screen: filling would lose half, so it fits, 512
    // x 768 in the middle, black at both sides.
    std::string shown = temp_bmp();
    ASSERT_EQ(shown.size(), 54u + 1024u * 768u * 3u);
    EXPECT_EQ(le32(shown, 18), 1024u);
    EXPECT_EQ(le32(shown, 22), 768u);
    EXPECT_EQ(bmp_pixel(shown, 100, 400), 0u);
    EXPECT_EQ(bmp_pixel(shown, 950, 400), 0u);
    EXPECT_PRED2(near, bmp_pixel(shown, 400, 60), 0x00FF00u) << "green on top";
    EXPECT_PRED2(near, bmp_pixel(shown, 300, 500), 0x0000FFu) << "blue at the left";
    EXPECT_PRED2(near, bmp_pixel(shown, 700, 500), 0xFF0000u) << "red at the right";
    EXPECT_PRED2(near, bmp_pixel(shown, 270, 60), 0x00FF00u);
    EXPECT_PRED2(near, bmp_pixel(shown, 755, 700), 0xFF0000u);

    // The BMP fills the whole screen, its white band cut away.
    run_main_bar_function(2);
    shown = temp_bmp();
    ASSERT_EQ(shown.size(), 54u + 1024u * 768u * 3u);
    for (int x : {0, 512, 1023})
        for (int y : {0, 767}) EXPECT_EQ(bmp_pixel(shown, x, y), 0xC08040u) << x << "," << y;
}

TEST_F(PlayerTest, PauseResumeAndTheIntervalBox) {
    sim.put_file("D:\\p\\a.bmp", "BM1");
    put("wallpaper.ini", "[total]\r\ncount=1\r\n[path]\r\n1=D:\\p\\a.bmp\r\n");
    put("set.ini", "[set]\r\nchange=F\r\n");
    start();
    EXPECT_TRUE(sim.wallpapers.empty());
    // Changing is off: pause only hides the bar.
    run_main_bar_function(3);
    EXPECT_FALSE(media().wallpaper_paused());
    EXPECT_EQ(main_bar().暂停按钮.text(), "暂停更换");

    write_setting("set", "change", "T");
    main_bar().壁纸时钟.set_interval(600000);
    run_main_bar_function(3);
    EXPECT_TRUE(media().wallpaper_paused());
    EXPECT_FALSE(main_bar().壁纸时钟.running());
    EXPECT_EQ(main_bar().暂停按钮.text(), "恢复更换");
    // Resume changes at once; without [change] time the timer stays stopped.
    run_main_bar_function(3);
    EXPECT_FALSE(media().wallpaper_paused());
    EXPECT_EQ(main_bar().暂停按钮.text(), "暂停更换");
    EXPECT_EQ(sim.wallpapers.size(), 1u);
    EXPECT_FALSE(main_bar().壁纸时钟.running());

    // The page mirrors the settings; typing the interval restarts the timer.
    media::MediaOptions& o = options();
    EXPECT_TRUE(o.壁纸选择框.checked());
    EXPECT_TRUE(o.时间编辑框.shown());
    o.时间编辑框.user_type("5");
    EXPECT_EQ(main_bar().壁纸时钟.interval(), 300000);
    o.时间编辑框.user_type("");
    EXPECT_FALSE(main_bar().壁纸时钟.running());
    EXPECT_EQ(stored("change", "time"), "");
    o.壁纸顺序组合框.user_select(1);
    EXPECT_EQ(stored("change", "model"), "1");
    // Unticking hides the options and leaves a running timer alone.
    o.时间编辑框.user_type("7");
    o.壁纸选择框.user_click();
    EXPECT_EQ(stored("set", "change"), "F");
    EXPECT_FALSE(o.时间编辑框.shown());
    EXPECT_EQ(main_bar().壁纸时钟.interval(), 420000);
    // Without a list the box only stores what is typed.
    sim.remove(path("wallpaper.ini"));
    o.壁纸选择框.user_click();
    EXPECT_EQ(o.时间编辑框.text(), "7");
    o.时间编辑框.user_type("9");
    EXPECT_EQ(main_bar().壁纸时钟.interval(), 420000);
    EXPECT_EQ(stored("change", "time"), "9");
}

TEST_F(PlayerTest, TrayTipNamesAndTheirCut) {
    // 24 bytes: a cut at 20 would split the tenth double-byte character.
    const std::string long_name = "a一二三四五六七八九十bcd";
    sim.put_file("D:\\p\\" + long_name + ".bmp", "BM");
    sim.put_file("D:\\m\\song.mp3", std::string(20000, 'x'));
    put("wallpaper.ini", "[total]\r\ncount=1\r\n[path]\r\n1=D:\\p\\" + long_name + ".bmp\r\n");
    put("mp3.ini", "[total]\r\ncount=1\r\n[path]\r\n1=D:\\m\\song.mp3\r\n");
    put("set.ini", "[play]\r\nmodel=2\r\nreplay=T\r\npath=D:\\m\\fav.mp3\r\n");
    start();
    run_main_bar_function(0);
    EXPECT_EQ(tip(), "Quillet1.0\r\n曲目循环：fav");
    run_main_bar_function(2);
    EXPECT_EQ(tip(), "曲目循环：fav\r\n随机更换：a一二三四五六七八九...");
    write_setting("play", "replay", "F");
    write_setting("play", "model", "1");
    write_setting("change", "model", "1");
    run_main_bar_function(0);
    EXPECT_EQ(tip(), "顺序播放：song\r\n顺序更换：a一二三四五六七八九...");
    write_setting("play", "model", "7");
    run_main_bar_function(1);  // the chosen-track order always stops
    EXPECT_EQ(tip(), "Quillet1.0\r\n顺序更换：a一二三四五六七八九...");
}

TEST_F(PlayerTest, MusicListOrderAndStop) {
    sim.put_file("D:\\m\\one.mp3", std::string(4000000, 'x'));
    sim.put_file("D:\\m\\two.mp3", std::string(962725, '\0'));
    sim.put_file("D:\\m\\short.mp3", std::string(1000, 'x'));
    put("mp3.ini", "[total]\r\ncount=2\r\n[path]\r\n1=D:\\m\\one.mp3\r\n2=D:\\m\\two.mp3\r\n");
    put("set.ini", "[set]\r\nplay=T\r\n[play]\r\nmodel=1\r\n");
    start();
    // No frame header: the lengths are estimated from the sizes.
    EXPECT_EQ(sim.music, std::vector<std::string>{"play:D:\\m\\one.mp3"});
    EXPECT_EQ(main_bar().音乐时钟.interval(), 249000);
    sim.advance(249000);
    EXPECT_EQ(main_bar().音乐时钟.interval(), 59000);
    run_main_bar_function(0);
    run_main_bar_function(0);
    EXPECT_EQ(sim.music, (std::vector<std::string>{"play:D:\\m\\one.mp3", "stop", "play:D:\\m\\two.mp3", "stop",
                                                    "play:D:\\m\\one.mp3", "stop", "play:D:\\m\\two.mp3"}));
    EXPECT_EQ(media().track_name(), "two");
    run_main_bar_function(1);
    EXPECT_EQ(sim.music.back(), "stop");
    EXPECT_EQ(media().track_name(), "");
    EXPECT_FALSE(main_bar().音乐时钟.running());
    EXPECT_EQ(tip(), "Quillet1.0");

    // The same track drawn again plays its whole length: the timer starts anew.
    put("mp3.ini", "[total]\r\ncount=1\r\n[path]\r\n1=D:\\m\\one.mp3\r\n");
    run_main_bar_function(0);
    sim.advance(200000);
    run_main_bar_function(0);
    const std::size_t restarted = sim.music.size();
    sim.advance(248000);
    EXPECT_EQ(sim.music.size(), restarted);
    sim.advance(1000);
    EXPECT_EQ(sim.music.size(), restarted + 2);
    run_main_bar_function(1);

    // A track too short for a timer leaves it stopped; stop in random order
    // then does nothing, not even clear the tip.
    put("mp3.ini", "[total]\r\ncount=1\r\n[path]\r\n1=D:\\m\\short.mp3\r\n");
    write_setting("play", "model", "0");
    run_main_bar_function(0);
    EXPECT_FALSE(main_bar().音乐时钟.running());
    const std::size_t played = sim.music.size();
    run_main_bar_function(1);
    EXPECT_EQ(sim.music.size(), played);
    EXPECT_EQ(tip(), "Quillet1.0\r\n随机播放：short");

    // The chosen track, looped, restarts from its beginning; the timer stays stopped.
    write_setting("play", "model", "2");
    write_setting("play", "replay", "T");
    write_setting("play", "path", "D:\\m\\fav.mp3");
    run_main_bar_function(0);
    EXPECT_EQ(std::vector<std::string>(sim.music.end() - 2, sim.music.end()),
              (std::vector<std::string>{"stop", "loop:D:\\m\\fav.mp3"}));
    EXPECT_FALSE(main_bar().音乐时钟.running());

    // A list of missing files is given up after a bounded number of picks.
    put("mp3.ini", "[total]\r\ncount=2000000000\r\n");
    write_setting("play", "model", "0");
    const std::size_t before = sim.music.size();
    run_main_bar_function(0);
    EXPECT_EQ(sim.music.size(), before);
    // A file that cannot be opened is passed over like a missing one.
    sim.put_file("D:\\m\\locked.mp3", std::string(4000000, 'x'));
    sim.unreadable.insert("D:\\m\\locked.mp3");
    put("mp3.ini", "[total]\r\ncount=2\r\n[path]\r\n1=D:\\m\\locked.mp3\r\n2=D:\\m\\one.mp3\r\n");
    write_setting("play", "model", "1");
    run_main_bar_function(0);
    EXPECT_EQ(sim.music.back(), "play:D:\\m\\one.mp3");
    EXPECT_EQ(main_bar().音乐时钟.interval(), 249000);
    // So is a track the system cannot play; when none can be played the
    // music timer stops and the tip names no track.
    sim.put_file("D:\\m\\bad.mp3", std::string(4000000, 'x'));
    sim.unplayable = {"D:\\m\\bad.mp3"};
    put("mp3.ini", "[total]\r\ncount=2\r\n[path]\r\n1=D:\\m\\bad.mp3\r\n2=D:\\m\\two.mp3\r\n");
    run_main_bar_function(0);
    EXPECT_EQ(sim.music.back(), "play:D:\\m\\two.mp3");
    EXPECT_EQ(main_bar().音乐时钟.interval(), 59000);
    EXPECT_EQ(media().track_name(), "two");
    sim.unplayable.insert("D:\\m\\two.mp3");
    run_main_bar_function(0);
    EXPECT_FALSE(main_bar().音乐时钟.running());
    EXPECT_EQ(media().track_name(), "");
    EXPECT_EQ(tip(), "Quillet1.0");
    // On a share where each question waits a second the picks give up
    // within seconds, not after hundreds of them.
    sim.file_wait_ms = 1000;
    const std::uint64_t asked = sim.ticks_ms();
    run_main_bar_function(0);
    EXPECT_LT(sim.ticks_ms() - asked, 10000u);
}

TEST_F(PlayerTest, MissingListsAskAndThePageOptions) {
    start();
    // No lists: each action asks to set them up; Yes opens tab 1 with the kind preset.
    sim.answers = {Answer::No, Answer::Yes};
    run_main_bar_function(2);
    run_main_bar_function(0);
    ASSERT_EQ(sim.messages.size(), 2u);
    EXPECT_EQ(sim.messages[0].title, "壁纸列表未建立");
    EXPECT_EQ(sim.messages[1].title, "播放列表未建立");
    EXPECT_EQ(sim.messages[1].icon, Icon::Question);
    SettingsWindow* w = program().settings_window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->选择夹.selection(), SettingsWindow::kMediaTab);
    EXPECT_EQ(w->媒体页.组合框.selection(), media::kMusic);
    // With the settings window open nothing is asked.
    run_main_bar_function(2);
    EXPECT_EQ(sim.messages.size(), 2u);

    // Choosing the chosen-track order with no path opens the browse at
    // once; cancelling it returns to random play.
    w->选择夹.user_select(SettingsWindow::kProgramTab);
    media::MediaOptions& o = options();
    EXPECT_FALSE(o.音乐顺序组合框.shown());
    o.音乐选择框.user_click();
    EXPECT_EQ(stored("set", "play"), "T");
    o.音乐顺序组合框.user_select(2);
    EXPECT_EQ(sim.dialogs.back().file.title, "请选择您喜爱的一首MP3");
    EXPECT_EQ(o.音乐顺序组合框.selection(), 0);
    EXPECT_EQ(stored("play", "model"), "0");
    EXPECT_FALSE(o.路径编辑框.shown());
    // A chosen file is kept, and the loop box stores its tick.
    sim.file_answers = {std::string("D:\\m\\fav.mp3")};
    o.音乐顺序组合框.user_select(2);
    EXPECT_EQ(stored("play", "path"), "D:\\m\\fav.mp3");
    EXPECT_TRUE(o.循环选择框.shown());
    o.循环选择框.user_click();
    EXPECT_EQ(stored("play", "replay"), "T");
    o.音乐选择框.user_click();
    EXPECT_FALSE(o.浏览按钮.shown());
    EXPECT_EQ(stored("set", "play"), "F");
    EXPECT_TRUE(sim.music.empty());  // none of them plays anything
}

}  // namespace
}  // namespace q
