#include "tests/reminders/rem_fixture.h"

namespace q::reminders::testing {
namespace {

using table::Decode;

TEST(RemindersTableCodec, RoundTripKeepsOrderAndCutsAtCharacterBoundary) {
    table::Table t;
    t.fields = {{"a", "text", 4}, {"b", "text", 3}};
    const std::string full4 = "时间";    // exactly 4 bytes
    const std::string over3 = "a时间";   // 5 bytes: byte 3 would split 间
    for (int i = 0; i < 3; ++i) table::append_record(t);
    table::set_field(t, 0, 0, full4);
    table::set_field(t, 0, 1, over3);
    table::set_field(t, 1, 0, std::string("x\0y", 3));
    table::set_field(t, 2, 1, "z");
    table::Table back;
    ASSERT_EQ(table::decode(table::encode(t), back), Decode::Ok);
    ASSERT_EQ(back.records.size(), 3u);
    EXPECT_EQ(back.records[0][0], full4);
    EXPECT_EQ(back.records[0][1], "a时");
    EXPECT_EQ(back.records[1][0], std::string("x\0y", 3));
    EXPECT_EQ(back.records[1][1], "");
    EXPECT_EQ(back.records[2][1], "z");
    EXPECT_EQ(back.fields[1].name, "b");
    EXPECT_EQ(back.fields[1].width, 3);
    EXPECT_FALSE(back.is_protected);
}

TEST(RemindersTableCodec, KnownDigests) {
    auto hex = [](const std::array<std::uint8_t, 32>& h) {
        static const char* d = "0123456789abcdef";
        std::string s;
        for (auto b : h) s += std::string{d[b >> 4], d[b & 15]};
        return s;
    };
    EXPECT_EQ(hex(table::sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(hex(table::sha256(std::string(64, 'a'))),
              "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
    EXPECT_EQ(table::crc32("123456789"), 0xCBF43926u);
}

TEST(RemindersTableCodec, DamagedBytesAreRefused) {
    table::Table t;
    t.fields = plan_fields();
    table::append_record(t);
    table::set_field(t, 0, 3, "hello");
    const std::string good = table::encode(t);
    table::Table out;
    EXPECT_EQ(table::decode("", out), Decode::Short);
    EXPECT_EQ(table::decode(good.substr(0, good.size() - 10), out), Decode::Checksum);
    EXPECT_EQ(table::decode(good.substr(0, 40), out), Decode::Short);
    EXPECT_EQ(table::decode("[plan]\r\nsound=2\r\n" + std::string(100, ' '), out), Decode::Magic);
    std::string other = good;
    other[8] = 9;
    EXPECT_EQ(table::decode(other, out), Decode::Version);
    for (std::size_t i = 8; i < good.size(); i += 37) {
        std::string flipped = good;
        flipped[i] ^= 0x10;
        EXPECT_NE(table::decode(flipped, out), Decode::Ok) << i;
    }
}

TEST_F(RemindersTest, TablePasswordIsCheckedAndNeverStored) {
    table::OpenTable t;
    ASSERT_TRUE(table::create(kPlan, plan_fields()));
    EXPECT_FALSE(table::is_protected(kPlan));
    ASSERT_TRUE(t.open(kPlan, ""));
    t.set_password(kPassword);
    t.close();
    EXPECT_TRUE(table::is_protected(kPlan));
    EXPECT_EQ(sim.file(kPlan)->find("harbour5817"), std::string::npos);
    EXPECT_FALSE(t.open(kPlan, ""));
    EXPECT_FALSE(t.open(kPlan, "harbour5817"));
    EXPECT_FALSE(t.is_open());
    EXPECT_TRUE(t.open(kPlan, kPassword));
    EXPECT_TRUE(t.make_current("c:\\quillet\\PLAN.EDB"));
    EXPECT_FALSE(t.make_current("C:\\Quillet\\other.edb"));
}

TEST_F(RemindersTest, TableRecordOperations) {
    table::OpenTable t;
    ASSERT_TRUE(table::create(kPlan, plan_fields()));
    ASSERT_TRUE(t.open(kPlan, ""));
    EXPECT_EQ(t.record_count(), 0);
    EXPECT_TRUE(t.end_of_table());
    EXPECT_EQ(t.read_field(kTimeField), "");
    const std::string long_text(300, 'x');
    for (int i = 0; i < 3; ++i) {
        t.append_record();
        t.write_field(kContentField, "第" + decimal(i));
        t.write_field(kRunField, long_text);
        t.write_field("nosuch", "ignored");
    }
    EXPECT_TRUE(t.save());
    t.close();
    ASSERT_TRUE(t.open(kPlan, ""));
    ASSERT_EQ(t.record_count(), 3);
    EXPECT_FALSE(t.end_of_table());
    t.go_to(2);
    EXPECT_EQ(t.read_field(kContentField), "第1");
    EXPECT_EQ(t.read_field(kRunField), long_text);
    t.go_to(4);
    EXPECT_TRUE(t.end_of_table());
    EXPECT_EQ(t.read_field(kContentField), "");
    t.remove_all_records();
    t.close();
    ASSERT_TRUE(t.open(kPlan, ""));
    EXPECT_EQ(t.record_count(), 0);
    t.close();
    EXPECT_FALSE(t.is_open());
}

TEST_F(RemindersTest, TableBadFilesAreNotOpenedAndKeptAsideOnSave) {
    const std::string good = plan_bytes({{"08时00分", kDaily, kNone, "a", kNone}});
    std::string flipped = good;
    flipped[good.size() / 2] ^= 0x01;
    const std::vector<std::string> bad = {good.substr(0, good.size() / 2), "MZ\x90\x00 not a table", "", flipped};
    sim.put_file(kPlan + ".bad", "older");
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const std::string& bytes = bad[i];
        new_program();
        sim.put_file(kPlan, bytes);
        EXPECT_FALSE(open_table());
        EXPECT_FALSE(table::is_protected(kPlan));
        ListView list(nullptr, {}, list_columns());
        insert_in_time_order(list, {"09时00分", kDaily, kNone, "new", kNone});
        ASSERT_TRUE(save_reminder_list(list));
        // Each under a name of its own; none kept earlier is replaced.
        EXPECT_EQ(sim.file(kPlan + ".bad" + decimal(static_cast<long long>(i) + 2)), bytes);
        EXPECT_EQ(sim.file(kPlan + ".bad"), "older");
        new_program();
        ASSERT_TRUE(open_table());
        EXPECT_EQ(record_count(), 1);
    }
}

TEST_F(RemindersTest, TableInterruptedSaveLeavesOldTableReadable) {
    put_plan({{"08时00分", kDaily, kNone, "old", kNone}});
    ASSERT_TRUE(open_table());
    ListView list(nullptr, {}, list_columns());
    for (int i = 0; i < 5; ++i) insert_in_time_order(list, {"09时00分", kDaily, kNone, "new", kNone});
    sim.interrupt_next_write(100);
    EXPECT_FALSE(save_reminder_list(list));
    new_program();
    ASSERT_TRUE(open_table());
    ASSERT_EQ(record_count(), 1);
    rem().table().go_to(1);
    EXPECT_EQ(rem().table().read_field(kContentField), "old");
    // A later save goes through and replaces it whole.
    EXPECT_TRUE(save_reminder_list(list));
    close_table();
    ASSERT_TRUE(open_table());
    EXPECT_EQ(record_count(), 5);
}

}  // namespace
}  // namespace q::reminders::testing
