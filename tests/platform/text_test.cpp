// CP936 scanning, numbers, switches, the path splitter and date-time texts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/datetime.h"
#include "platform/text.h"
#include "settings/values.h"

namespace q {
namespace {

TEST(TextNumbers, LeadingNumber) {
    EXPECT_DOUBLE_EQ(leading_number("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(leading_number("abc"), 0);
    EXPECT_DOUBLE_EQ(leading_number(""), 0);
    EXPECT_DOUBLE_EQ(leading_number("  -3x"), -3);
    EXPECT_DOUBLE_EQ(leading_number("\t+7.25 8"), 7.25);
    EXPECT_DOUBLE_EQ(leading_number(".5"), 0.5);
    EXPECT_DOUBLE_EQ(leading_number("-.5"), -0.5);
    EXPECT_DOUBLE_EQ(leading_number("2."), 2);
    EXPECT_DOUBLE_EQ(leading_number("1e3"), 1) << "exponents are not numbers here";
    EXPECT_DOUBLE_EQ(leading_number("- 3"), 0);
    EXPECT_DOUBLE_EQ(leading_number("."), 0);
    EXPECT_DOUBLE_EQ(leading_number("16777215"), 16777215);
    EXPECT_TRUE(std::isinf(leading_number(std::string(400, '9'))));
    EXPECT_DOUBLE_EQ(leading_number("0." + std::string(400, '0') + "1"), 0);
}

TEST(TextNumbers, TruncationAndTolerance) {
    EXPECT_EQ(truncate_int(1.9), 1);
    EXPECT_EQ(truncate_int(-1.9), -1);
    EXPECT_EQ(truncate_int(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(truncate_int(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(truncate_int(std::nan("")), 0);
    EXPECT_EQ(leading_int(std::string(400, '9')), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(leading_int("1.5") * 60000, 60000);
    EXPECT_TRUE(nearly_equal(0.1 + 0.2, 0.3));
    EXPECT_FALSE(nearly_equal(1.0, 1.000001));
}

TEST(TextSwitches, TwoTests) {
    EXPECT_TRUE(on_unless_f(""));
    EXPECT_TRUE(on_unless_f("f"));
    EXPECT_FALSE(on_unless_f("F"));
    EXPECT_FALSE(on_only_if_t(""));
    EXPECT_FALSE(on_only_if_t("t"));
    EXPECT_TRUE(on_only_if_t("T"));
    EXPECT_STREQ(switch_text(true), "T");
}

TEST(TextPaths, Splitter) {
    EXPECT_EQ(path_file_name("C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(path_directory("C:\\a\\b.txt"), "C:\\a\\");
    EXPECT_EQ(path_extension("C:\\a\\b.txt"), "txt");
    EXPECT_EQ(path_base_name("C:\\a\\b.txt"), "b");
    EXPECT_EQ(path_file_name("b"), "b");
    EXPECT_EQ(path_directory("b"), "");
    EXPECT_EQ(path_extension("b"), "");
    EXPECT_EQ(path_base_name("b"), "b");
    EXPECT_EQ(path_extension("C:\\a\\.profile"), "profile");
    EXPECT_EQ(path_base_name("C:\\a\\.profile"), "");
    EXPECT_EQ(path_extension("x.tar.gz"), "gz");
    EXPECT_EQ(path_base_name("x.tar.gz"), "x.tar");
    EXPECT_EQ(path_extension("C:\\a.d\\b"), "") << "a dot in the folder is not an extension";
    EXPECT_EQ(path_file_name("C:\\a\\"), "");
}

TEST(TextPaths, TrailByteFiveCIsNoBackslash) {
    // 乗 is 81 5C, 媆 is 8B 5C.
    EXPECT_EQ(path_file_name("C:\\乗\\x.txt"), "x.txt");
    EXPECT_EQ(path_directory("C:\\乗\\x.txt"), "C:\\乗\\");
    EXPECT_EQ(path_file_name("C:\\歌\\媆乗"), "媆乗");
    EXPECT_EQ(path_directory("C:\\歌\\媆乗"), "C:\\歌\\");
    EXPECT_EQ(path_file_name("乗.mp3"), "乗.mp3");
    EXPECT_EQ(path_base_name("乗.mp3"), "乗");
    EXPECT_EQ(find_char("乗\\", '\\'), 2u);
    EXPECT_EQ(find_last_char("a\\乗", '\\'), 1u);
    EXPECT_FALSE(contains_char("乗", '\\'));
    EXPECT_EQ(find_text("乗\\乗", "\\"), 2u);
    EXPECT_EQ(find_text("\x81\\\\", "\\"), 2u) << "a match must start on a character";
}

TEST(TextBytes, CutsNeverSplitACharacter) {
    EXPECT_EQ(cut_bytes("ab你好", 3), "ab");
    EXPECT_EQ(cut_bytes("ab你好", 4), "ab你");
    EXPECT_EQ(cut_bytes("ab你好", 99), "ab你好");
    EXPECT_EQ(cut_bytes("你", 0), "");
    EXPECT_EQ(cut_bytes("a\x81", 2), "a\x81") << "a lone lead byte at the end is one character";
    EXPECT_EQ(next_char("你", 0), 2u);
    EXPECT_EQ(next_char("\x81", 0), 1u);
    EXPECT_EQ(ascii_lower("AB\x81" "A乗Z"), "ab\x81" "A乗z");
    EXPECT_EQ(ascii_upper("ab\x81" "a"), "AB\x81" "a");
    EXPECT_TRUE(equal_no_case("Set", "sET"));
    EXPECT_FALSE(equal_no_case("\x81" "A", "\x81" "a"));
    EXPECT_EQ(trim_blanks(" \t\va b\v\t "), "a b");
    EXPECT_EQ(decimal(-42), "-42");
}

TEST(TextDates, CalendarAndSerials) {
    DateTime d{2003, 10, 20, 8, 30, 5};
    EXPECT_TRUE(d.valid());
    EXPECT_EQ(d.weekday(), 2);  // a Monday
    EXPECT_EQ((DateTime{2024, 6, 2}).weekday(), 1);
    EXPECT_EQ((DateTime{1, 1, 1}).serial(), 0);
    EXPECT_EQ(DateTime::from_serial(d.serial()), d);
    EXPECT_EQ(DateTime::from_serial(d.serial()).second, 5);
    EXPECT_EQ(d.plus_seconds(16 * 3600).day, 21);
    EXPECT_EQ((DateTime{2000, 3, 1}).plus_seconds(-1).day, 29);
    EXPECT_EQ(d.date(), (DateTime{2003, 10, 20}));
    EXPECT_FALSE((DateTime{1900, 2, 29}).valid());
    EXPECT_TRUE((DateTime{2000, 2, 29}).valid());
    EXPECT_FALSE((DateTime{2003, 13, 1}).valid());
    EXPECT_FALSE((DateTime{2003, 1, 1, 24}).valid());
    EXPECT_EQ((DateTime{2003, 2, 30}).weekday(), 0);
    EXPECT_EQ(days_in_month(2004, 2), 29);
    EXPECT_EQ(days_in_month(2004, 0), 0);
}

TEST(TextDates, Texts) {
    DateTime d{2003, 1, 5, 8, 3, 0};
    EXPECT_EQ(time_of_day_text(d), "08时03分");
    EXPECT_EQ(time_of_day_text(23, 59), "23时59分");
    EXPECT_EQ(date_text(d), "2003年1月5日");
    EXPECT_EQ(fixed_date_text(d), "2003年1月5日08时03分");
}

TEST(TextDates, ParsingBothForms) {
    DateTime t;
    ASSERT_TRUE(parse_date_time("2003年10月20日08时30分", t));
    EXPECT_EQ(t, (DateTime{2003, 10, 20, 8, 30, 0}));
    ASSERT_TRUE(parse_date_time(" 2003年1月5日 8时3分 ", t));
    EXPECT_EQ(t, (DateTime{2003, 1, 5, 8, 3, 0}));
    ASSERT_TRUE(parse_date_time("2003年01月05日", t));
    EXPECT_EQ(t, (DateTime{2003, 1, 5}));
    ASSERT_TRUE(parse_date_time("08时30分", t));
    EXPECT_EQ(t.year, 0);
    EXPECT_EQ(t.hour, 8);
    EXPECT_EQ(t.minute, 30);
    ASSERT_TRUE(parse_date_time("8时5分7秒", t));
    EXPECT_EQ(t.second, 7);
    ASSERT_TRUE(parse_date_time(fixed_date_text(DateTime{2024, 2, 29, 23, 59}), t));
    EXPECT_EQ(t, (DateTime{2024, 2, 29, 23, 59}));

    const DateTime before{1, 2, 3, 4, 5, 6};
    t = before;
    for (const char* bad : {"", "  ", "abc", "24时00分", "08时60分", "08时", "2003年2月30日", "2003年10月",
                            "08时30分x", "2003年10月20日08时30分59", "12345年1月1日", "08时30分60秒", "-1时0分",
                            "\x81", "年月日", "2003年10月20日日"})
        EXPECT_FALSE(parse_date_time(bad, t)) << bad;
    EXPECT_EQ(t, before);
    EXPECT_EQ(t.second, 6) << "a failed parse leaves the value untouched";
}

}  // namespace
}  // namespace q
