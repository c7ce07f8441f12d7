// set.ini: its place and how each reader treats absent and odd values.
#include <gtest/gtest.h>

#include "platform/sim/sim_system.h"
#include "settings/ini.h"
#include "settings/settings_file.h"

#include <string>

namespace q {
namespace {

TEST(SettingsFile, PlaceIsTheProgramFolder) {
    sim::SimSystem sim;
    sim.dir = "D:\\工具\\Quillet";
    EXPECT_EQ(program_file("mp3.ini"), "D:\\工具\\Quillet\\mp3.ini");
    EXPECT_EQ(settings_path(), "D:\\工具\\Quillet\\set.ini");
}

TEST(SettingsFile, WithoutTheFileEveryReaderGivesItsDefault) {
    sim::SimSystem sim;
    using namespace settings;
    EXPECT_TRUE(run());
    EXPECT_TRUE(greeting_show());
    EXPECT_TRUE(chime());
    EXPECT_TRUE(minimise_first());
    EXPECT_TRUE(auto_delete());
    EXPECT_FALSE(style());
    EXPECT_FALSE(change());
    EXPECT_FALSE(play());
    EXPECT_FALSE(music_replay());
    EXPECT_FALSE(launcher_follow());
    EXPECT_FALSE(launcher_trans());
    EXPECT_TRUE(greeting_date_popup());
    EXPECT_FALSE(greeting_date_page());
    EXPECT_EQ(tray(), 0);
    EXPECT_EQ(chime_sound(), 0);
    EXPECT_EQ(list_colors(), 0);
    EXPECT_EQ(wallpaper_model(), 0);
    EXPECT_EQ(music_model(), 0);
    EXPECT_EQ(group_total(), 0);
    EXPECT_EQ(note_left(), 0);
    EXPECT_EQ(note_top(), 0);
    EXPECT_EQ(transparance(), "180");
    EXPECT_EQ(greeting_title(), "主人，您好！");
    EXPECT_EQ(greeting_message_popup(), "Quillet在此等候您的指示！");
    EXPECT_EQ(greeting_message_page(), "我是您忠实的Quillet，在此等候您的指示！");
    EXPECT_EQ(delay_popup(), "10");
    EXPECT_EQ(delay_page(), "");
    EXPECT_EQ(wallpaper_minutes_start(), "10");
    EXPECT_EQ(wallpaper_minutes(), "");
    EXPECT_EQ(music_path(), "");
    EXPECT_EQ(launcher_alpha(), "255");
    EXPECT_EQ(note_alpha(), "200");
    EXPECT_EQ(note_color(), "16777215");
    EXPECT_FALSE(sim.file(settings_path())) << "reading creates nothing";
}

TEST(SettingsFile, OnlyExactSwitchTextsCount) {
    sim::SimSystem sim;
    sim.put_file(settings_path(),
                 "[set]\r\nrun=f\r\nstyle=t\r\nchange=T\r\n[mesg]\r\ndate=F\r\n[plan]\r\nmin=F\r\n");
    EXPECT_TRUE(settings::run()) << "a lower-case f leaves autostart on";
    EXPECT_FALSE(settings::style());
    EXPECT_TRUE(settings::change());
    EXPECT_FALSE(settings::greeting_date_popup());
    EXPECT_FALSE(settings::greeting_date_page());
    EXPECT_FALSE(settings::minimise_first());
}

TEST(SettingsFile, NumbersAreLeadingNumbersTruncated) {
    sim::SimSystem sim;
    sim.put_file(settings_path(), "[set]\r\ntray=3.9\r\n[plan]\r\nsound=abc\r\n[desktext]\r\nleft=-12px\r\ntop= 40\r\n"
                                  "[change]\r\ntime=1.5\r\n");
    EXPECT_EQ(settings::tray(), 3);
    EXPECT_EQ(settings::chime_sound(), 0);
    EXPECT_EQ(settings::note_left(), -12);
    EXPECT_EQ(settings::note_top(), 40);
    EXPECT_EQ(settings::wallpaper_minutes(), "1.5") << "text boxes keep what was typed";
}

TEST(SettingsFile, FirstWriteCreatesTheFile) {
    sim::SimSystem sim;
    ASSERT_TRUE(write_setting("plan", "delay", "30"));
    EXPECT_EQ(sim.file(settings_path()).value_or(""), "[plan]\r\ndelay=30\r\n");
    EXPECT_EQ(settings::delay_popup(), "30");
    EXPECT_EQ(settings::delay_page(), "30");
    ASSERT_TRUE(write_setting("mesg", "mesg", "你好"));
    ASSERT_TRUE(delete_setting("mesg", "mesg"));
    EXPECT_EQ(settings::greeting_message_popup(), "Quillet在此等候您的指示！");
    EXPECT_EQ(setting("mesg", "mesg", "none"), "none");
}

// A note drag writes its place on every step: set.ini goes to the disk
// without a flush. The typed writers store the texts the readers expect.
TEST(SettingsFile, SettingsWritesSkipTheFlush) {
    sim::SimSystem sim;
    for (int step = 0; step < 200; ++step) {
        settings::Batch batch;
        batch.write(settings::note_left, 300 + step);
        batch.write(settings::note_top, 200 - step);
        ASSERT_TRUE(batch.commit());
    }
    ASSERT_TRUE(settings::tray.write(-1));
    ASSERT_TRUE(settings::run.write(false));
    ASSERT_TRUE(settings::greeting_date_page.write(true));
    ASSERT_TRUE(settings::delay_page.write(" 5 "));
    settings::Batch message;
    message.remove(settings::greeting_message_page);
    message.write(settings::greeting_message_page, "你好");
    ASSERT_TRUE(message.commit());
    EXPECT_EQ(sim.write_count, 205);
    EXPECT_EQ(sim.flush_count, 0);
    EXPECT_EQ(sim.file(settings_path()).value_or(""),
              "[desktext]\r\nleft=499\r\ntop=1\r\n[set]\r\ntray=-1\r\nrun=F\r\n[mesg]\r\ndate=T\r\nmesg=你好\r\n"
              "[plan]\r\ndelay= 5 \r\n");
    EXPECT_EQ(settings::note_left(), 499);
    EXPECT_EQ(settings::tray(), -1);
    EXPECT_FALSE(settings::run());
    EXPECT_TRUE(settings::greeting_date_popup());
    EXPECT_EQ(settings::delay_popup(), "5") << "reads trim the stored blanks";
}

}  // namespace
}  // namespace q
