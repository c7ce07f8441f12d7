// The main bar: its look, the tray events and actions, the hide timer, the
// hover sound, opacity and the CD door.
#include <gtest/gtest.h>

#include "tests/app/app_fixture.h"

namespace q {
namespace {

using testing_app::AppFixture;

class AppMainBar : public AppFixture {
protected:
    MainBar& bar() { return main_bar(); }
    void SetUp() override {
        start();
        sim.sounds.clear();
    }
    // Right click on the tray icon with the pointer at p.
    void show_at(Point p) {
        sim.mouse = p;
        sim.tray_click(bar(), TrayEvent::RightClick);
    }
};

TEST_F(AppMainBar, LooksAsDesigned) {
    Program fresh;
    MainBar& b = fresh.bar();
    EXPECT_EQ(b.rect().width, 121);
    EXPECT_EQ(b.rect().height, 300);
    EXPECT_FALSE(b.style().caption);
    EXPECT_TRUE(b.style().tool);
    EXPECT_FALSE(b.visible());
    const char* captions[11] = {"播放 MP3", "停止播放", "更换壁纸", "暂停更换", "开关光驱", "随手记录",
                                "定时提醒", "快捷程序", "设置Quillet", "介绍Quillet", "遣退Quillet"};
    const int tops[11] = {25, 49, 75, 99, 125, 149, 173, 197, 223, 247, 271};
    for (int n = 0; n <= 10; ++n) {
        const ImageButton& btn = b.button(n);
        EXPECT_EQ(btn.text(), captions[n]);
        EXPECT_EQ(btn.rect(), (Rect{34, tops[n], 82, 23})) << n;
        EXPECT_EQ(btn.icon(), button_icon(n));
        EXPECT_EQ(btn.font(), (Font{"宋体", 9}));
        EXPECT_EQ(btn.text_color(), rgb(70, 99, 145));
    }
    EXPECT_EQ(&b.button(0), &b.播放按钮);
    EXPECT_EQ(&b.button(10), &b.退出按钮);
}

TEST_F(AppMainBar, RightClickShowsAtPointerOnceThenOnlyRaises) {
    show_at({500, 700});
    EXPECT_TRUE(bar().visible());
    EXPECT_TRUE(bar().topmost());
    EXPECT_EQ(bar().rect(), (Rect{440, 400, 121, 300}));
    EXPECT_EQ(sim.sounds, std::vector<Res>{Res::TrayShowWav});
    EXPECT_EQ(bar().隐藏时钟.interval(), 100);

    show_at({100, 100});
    EXPECT_EQ(bar().rect().left, 440) << "already shown: not moved";
    EXPECT_EQ(count_sound(Res::TrayShowWav), 1);
    EXPECT_TRUE(bar().topmost());

    sim.tray_click(bar(), TrayEvent::Click);
    EXPECT_FALSE(bar().visible());
    EXPECT_FALSE(bar().topmost()) << "hidden handler";
}

TEST_F(AppMainBar, HideTimerEdges) {
    struct Case {
        Point p;
        bool stays;
    };
    // Bar at 440..561 x, from y 400; the bottom is not tested.
    const Case cases[] = {
        {{440, 400}, true}, {{561, 400}, true}, {{500, 767}, true}, {{561, 9000}, true},
        {{439, 500}, false}, {{562, 500}, false}, {{500, 399}, false},
    };
    for (const Case& c : cases) {
        show_at({500, 700});
        ASSERT_TRUE(bar().visible());
        sim.mouse = c.p;
        sim.advance(100);
        EXPECT_EQ(bar().visible(), c.stays) << c.p.x << "," << c.p.y;
        if (!c.stays) {
            EXPECT_EQ(bar().隐藏时钟.interval(), 100) << "stops on the next tick";
            sim.advance(100);
            EXPECT_EQ(bar().隐藏时钟.interval(), 0);
        }
        bar().hide();
        sim.advance(100);
    }
}

TEST_F(AppMainBar, HoverSoundOncePerButtonEntry) {
    show_at({500, 700});
    sim.mouse = {480, 430};
    bar().播放按钮.user_pointer_move();
    bar().播放按钮.user_pointer_move();
    bar().播放按钮.user_pointer_move();
    EXPECT_EQ(count_sound(Res::HoverWav), 1);
    EXPECT_EQ(bar().hover_flag(), 1);
    // On to the next button before the first reported the leave: still one.
    bar().停止按钮.user_pointer_move();
    EXPECT_EQ(count_sound(Res::HoverWav), 1);
    bar().播放按钮.user_pointer_leave();
    EXPECT_EQ(bar().hover_flag(), 0);
    bar().停止按钮.user_pointer_move();
    EXPECT_EQ(count_sound(Res::HoverWav), 2);
}

TEST_F(AppMainBar, OpacityFromSettings) {
    struct Case {
        const char* value;
        int alpha;
    };
    for (Case c : {Case{nullptr, 180}, Case{"255", 255}, Case{"abc", 100}, Case{"", 100}, Case{"5", 100},
                   Case{"999", 255}}) {
        if (c.value)
            put("set.ini", std::string("[set]\r\ntransparance=") + c.value + "\r\n");
        else
            sim.remove(path("set.ini"));
        show_at({500, 700});
        EXPECT_EQ(bar().opacity(), c.alpha) << (c.value ? c.value : "absent");
        bar().hide();
    }
}

TEST_F(AppMainBar, NoOpacityWithoutLayeredWindows) {
    sim.layered = false;
    show_at({500, 700});
    EXPECT_EQ(bar().opacity(), -1);
}

TEST_F(AppMainBar, CdDoorToggleHidesTheBar) {
    show_at({500, 700});
    bar().开关按钮.user_click();
    EXPECT_FALSE(bar().visible());
    EXPECT_EQ(program().door_open_flag(), 1);
    run_main_bar_function(4);
    EXPECT_EQ(program().door_open_flag(), 0);
    run_main_bar_function(4);
    EXPECT_EQ(sim.mci, (std::vector<std::string>{"set CDAudio door open", "set CDAudio door closed",
                                                 "set CDAudio door open"}));
}

TEST_F(AppMainBar, EveryFunctionHidesTheBarFirst) {
    for (int n = 0; n <= 9; ++n) {
        show_at({500, 700});
        run_main_bar_function(n);
        EXPECT_FALSE(bar().visible()) << n;
        note().close_window();
    }
    show_at({500, 700});
    run_main_bar_function(11);
    run_main_bar_function(-1);
    EXPECT_TRUE(bar().visible()) << "numbers outside 0..10 do nothing";
    EXPECT_FALSE(sim.exit_code.has_value());
}

TEST_F(AppMainBar, HiddenBarRaisesTheLauncherAndTheNote) {
    run_main_bar_function(5);
    run_main_bar_function(7);
    ASSERT_TRUE(note().loaded());
    ASSERT_NE(note().window(), nullptr);
    ASSERT_NE(program().launcher().window(), nullptr);
    note().window()->set_topmost(false);
    program().launcher().window()->set_topmost(false);
    show_at({500, 700});
    bar().hide();
    EXPECT_TRUE(note().window()->topmost());
    EXPECT_TRUE(program().launcher().window()->topmost()) << "the launcher is raised too";
}

TEST_F(AppMainBar, TrayDoubleClickRunsTheTrayAction) {
    auto double_click_with = [&](const char* value) {
        if (value)
            put("set.ini", std::string("[set]\r\nrun=F\r\ntray=") + value + "\r\n");
        else
            put("set.ini", "[set]\r\nrun=F\r\n");
        sim.mci.clear();
        show_at({500, 700});
        sim.tray_click(bar(), TrayEvent::DoubleClick);
    };
    // Absent, 0 and a text without a number: the CD door.
    for (const char* v : {static_cast<const char*>(nullptr), "0", "abc"}) {
        double_click_with(v);
        EXPECT_EQ(sim.mci.size(), 1u) << (v ? v : "absent");
        EXPECT_FALSE(bar().visible());
    }
    // 1..6 run functions 2, 0, 5, 6, 7, 8, each hiding the bar.
    for (const char* v : {"1", "2", "3", "4", "5", "6"}) {
        double_click_with(v);
        EXPECT_TRUE(sim.mci.empty()) << v;
        EXPECT_FALSE(bar().visible()) << v;
        EXPECT_EQ(note().loaded(), std::string(v) == "3") << v;
        note().close_window();
    }
    // Outside 0..7: nothing at all.
    for (const char* v : {"8", "-1"}) {
        double_click_with(v);
        EXPECT_TRUE(bar().visible()) << v;
        EXPECT_TRUE(sim.mci.empty());
        bar().hide();
    }
    EXPECT_FALSE(sim.exit_code.has_value());
    double_click_with("7");
    EXPECT_EQ(sim.exit_code, std::optional<int>(0));
    EXPECT_TRUE(sim.tray.empty());
}

}  // namespace
}  // namespace q
