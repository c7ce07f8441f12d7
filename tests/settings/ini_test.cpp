// The INI layer against the private-profile rules, on CP936 text.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/sim/sim_system.h"
#include "settings/ini.h"

namespace q {
namespace {

namespace t = ini::text;
constexpr FileSystem::Flush kFlush = FileSystem::Flush::Yes;

std::string rd(const std::string& content, const std::string& s, const std::string& k) {
    bool found = false;
    std::string v = t::read(content, s, k, found);
    return found ? v : "<missing>";
}

// Characters whose trail byte is "[", "\" and "]".
const std::string kTrail5B = "乕";  // 81 5B
const std::string kTrail5C = "乗";  // 81 5C
const std::string kTrail5D = "乚";  // 81 5D

std::string utf16(const std::u16string& s) {
    std::string out = "\xFF\xFE";
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

// ---- reading ----------------------------------------------------------------
TEST(IniReading, LineBreaksBlanksAndEntrySplit) {
    const std::string f = "[s]\ra=1\nb=2\r\n \t c \v=\t x y \t\r\nd=e=f\r\nno equals\r\n\r\n";
    EXPECT_EQ(rd(f, "s", "a"), "1");
    EXPECT_EQ(rd(f, "s", "b"), "2");
    EXPECT_EQ(rd(f, "s", "c"), "x y");
    EXPECT_EQ(rd(f, "s", "d"), "e=f");
    EXPECT_EQ(rd(f, "s", "no equals"), "<missing>");
}

TEST(IniReading, HeadersCommentsAndOrphanKeys) {
    const std::string f =
        "x=orphan\r\n[s]k=v\r\n[s]\r\n;c=1\r\n#h=2\r\nk=v ;not a comment\r\n  [ open \r\ng=3\r\n[]\r\ne=4\r\n";
    EXPECT_EQ(rd(f, "s", "k"), "<missing>") << "text after ] defines no key, and only the first [s] is read";
    EXPECT_EQ(rd(f, "s", "c"), "<missing>");
    EXPECT_EQ(rd("[s]\r\n;c=1\r\n#h=2\r\nk=v ;x\r\n", "s", "#h"), "2");
    EXPECT_EQ(rd("[s]\r\nk=v ;x\r\n", "s", "k"), "v ;x");
    EXPECT_EQ(rd(f, "open", "g"), "3") << "a header without ] runs to the end of the line";
    EXPECT_EQ(rd(f, "x", "x"), "<missing>");
    bool found = true;
    EXPECT_EQ(t::read(f, "", "e", found), "");
    EXPECT_FALSE(found) << "empty names are refused";
}

TEST(IniReading, DuplicatesUseFirstSectionAndFirstKey) {
    const std::string f = "[a]\r\nk=1\r\nk=2\r\n[b]\r\nm=0\r\n[A]\r\nk=3\r\nj=4\r\n";
    EXPECT_EQ(rd(f, "a", "k"), "1");
    EXPECT_EQ(rd(f, "a", "j"), "<missing>");
}

TEST(IniReading, UtfEightMarkIsPartOfTheFirstLine) {
    EXPECT_EQ(rd("\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k"), "<missing>");
    EXPECT_EQ(rd("\xEF\xBB\xBFk=v\r\n[s]\r\nk=w\r\n", "s", "k"), "w");
}

// ---- lookup -------------------------------------------------------------------
TEST(IniLookup, AsciiFoldsTrailBytesDoNot) {
    const std::string f = "[Set]\r\nRun=T\r\n[\x81" "A]\r\nk=upper\r\n[\x81" "a]\r\nk=lower\r\n";
    EXPECT_EQ(rd(f, "sET", "rUN"), "T");
    EXPECT_EQ(rd(f, "\x81" "A", "k"), "upper");
    EXPECT_EQ(rd(f, "\x81" "a", "k"), "lower");
    EXPECT_EQ(rd("[设置]\r\n名称=值\r\n", "设置", "名称"), "值");
}

TEST(IniLookup, CallerNamesLoseSpacesOnly) {
    const std::string f = "[s]\r\nk=v\r\n";
    EXPECT_EQ(rd(f, "  s ", " k  "), "v");
    EXPECT_EQ(rd(f, "\ts", "k"), "<missing>");
}

TEST(IniLookup, TrailBytesFiveBToFiveDInNames) {
    const std::string sec = "节" + kTrail5D + "x" + kTrail5B;
    const std::string key = kTrail5C + "键";
    const std::string f = "[" + sec + "]\r\n" + key + "=" + kTrail5C + "\r\n[" + kTrail5D + "]\r\nk=2\r\n";
    EXPECT_EQ(rd(f, sec, key), kTrail5C);
    EXPECT_EQ(rd(f, kTrail5D, "k"), "2") << "the trail byte 0x5D is not the closing bracket";
}

// ---- quotes and defaults --------------------------------------------------------
TEST(IniQuotes, OnePairOfMatchingQuotesGoes) {
    const std::string f =
        "[s]\r\na=\"y\"\r\nb=\"\"y\"\"\r\nc=\"\"\r\nd=\"c'\r\ne=' in '\r\nf=\"\r\ng= \" x \" \r\n";
    EXPECT_EQ(rd(f, "s", "a"), "y");
    EXPECT_EQ(rd(f, "s", "b"), "\"y\"");
    EXPECT_EQ(rd(f, "s", "c"), "");
    EXPECT_EQ(rd(f, "s", "d"), "\"c'");
    EXPECT_EQ(rd(f, "s", "e"), " in ");
    EXPECT_EQ(rd(f, "s", "f"), "\"");
    EXPECT_EQ(rd(f, "s", "g"), " x ");
}

TEST(IniQuotes, DefaultsLoseTrailingSpacesOnly) {
    sim::SimSystem sim;
    sim.put_file("C:\\d\\a.ini", "[s]\r\nk=v\r\n");
    EXPECT_EQ(ini::read("C:\\d\\missing.ini", "s", "k", "  d \"q\"  "), "  d \"q\"");
    EXPECT_EQ(ini::read("C:\\d\\a.ini", "t", "k", "x\t "), "x\t");
    EXPECT_EQ(ini::read("C:\\d\\a.ini", "s", "j"), "");
    EXPECT_EQ(ini::read("C:\\d\\a.ini", "s", "k", "def"), "v");
    sim.unreadable.insert("C:\\d\\a.ini");
    EXPECT_EQ(ini::read("C:\\d\\a.ini", "s", "k", "def"), "def");
}

// ---- writing layout -----------------------------------------------------------------
TEST(IniWriting, ExistingKeyKeepsItsSpellingAndOtherLinesStay) {
    const std::string f = "[s]\n  Key = old \nkey=second\n;c\n";
    EXPECT_EQ(t::write(f, "s", "KEY", "new"), "[s]\nKey=new\r\nkey=second\n;c\n");
}

TEST(IniWriting, NewKeyGoesAfterTheLastKeyLineBeforeTrailingComments) {
    const std::string f = "[a]\r\nx=1\r\n;tail\r\n\r\n[b]\r\ny=2\r\n";
    std::string g = t::write(f, "a", "n1", "v1");
    g = t::write(g, "a", "n2", "v2");
    EXPECT_EQ(g, "[a]\r\nx=1\r\nn1=v1\r\nn2=v2\r\n;tail\r\n\r\n[b]\r\ny=2\r\n");
    EXPECT_EQ(t::write("[a]\n;only comments\n[b]\n", "a", "k", "v"), "[a]\nk=v\r\n;only comments\n[b]\n");
    EXPECT_EQ(t::write("[a]\r\nx=1", "a", "k", "v"), "[a]\r\nx=1\r\nk=v\r\n");
    EXPECT_EQ(t::write("[a]\r\nk=1\r\n[A]\r\n", "a", "j", "2"), "[a]\r\nk=1\r\nj=2\r\n[A]\r\n") << "first section";
}

TEST(IniWriting, NewSectionAndNewFile) {
    EXPECT_EQ(t::write("", "s", "k", "v"), "[s]\r\nk=v\r\n");
    EXPECT_EQ(t::write("[a]\r\nx=1\r\n", " s ", " k ", " v "), "[a]\r\nx=1\r\n[s]\r\nk= v \r\n");
    EXPECT_EQ(t::write("[a]\r\nx=1", "s", "k", "v"), "[a]\r\nx=1\r\n[s]\r\nk=v\r\n");
    EXPECT_EQ(t::write(";c\r\n\r\n", "s", "k", "v"), ";c\r\n\r\n[s]\r\nk=v\r\n");
    EXPECT_EQ(t::write("[a]", "", "k", "v"), "[a]") << "empty names are refused";

    sim::SimSystem sim;
    EXPECT_FALSE(ini::write("C:\\nofolder\\n.ini", "s", "k", "v", kFlush));
    EXPECT_FALSE(sim.file("C:\\nofolder\\n.ini"));
    sim.make_folder("C:\\d");
    EXPECT_TRUE(ini::write("C:\\d\\n.ini", "s", "k", "v", kFlush));
    EXPECT_EQ(sim.file("C:\\d\\n.ini").value_or(""), "[s]\r\nk=v\r\n");
    EXPECT_FALSE(ini::write("C:\\d\\n.ini", " ", "k", "v", kFlush));
}

TEST(IniWriting, UntouchedBytesSurvive) {
    const std::string f = "junk line\n\n[a]\n ; spaced comment \n\tx = 1 \n\x80\xFF\x81\n\r\n[b]\nz=9";
    const std::string g = t::write(f, "a", "x", "2");
    EXPECT_EQ(g, "junk line\n\n[a]\n ; spaced comment \nx=2\r\n\x80\xFF\x81\n\r\n[b]\nz=9");
    EXPECT_EQ(rd(g, "b", "z"), "9");
}

TEST(IniWriting, ValuesAreRawAndReadBackTrimmed) {
    std::string g = t::write("", "s", "k", "  \"quoted\"  ");
    EXPECT_EQ(g, "[s]\r\nk=  \"quoted\"  \r\n");
    EXPECT_EQ(rd(g, "s", "k"), "quoted");
}

// ---- deletes ------------------------------------------------------------------------------
TEST(IniDeletes, KeyFirstMatchOnly) {
    const std::string f = "[s]\r\nk=1\r\nK=2\r\n[t]\r\nk=3\r\n";
    std::string g = t::delete_key(f, "s", "k");
    EXPECT_EQ(g, "[s]\r\nK=2\r\n[t]\r\nk=3\r\n");
    g = t::delete_key(g, "s", "k");
    EXPECT_EQ(g, "[s]\r\n[t]\r\nk=3\r\n") << "an emptied section keeps its header";
    EXPECT_EQ(t::delete_key(g, "s", "k"), g);
    EXPECT_EQ(t::delete_key(g, "nope", "k"), g);
}

TEST(IniDeletes, SectionKeepsItsComments) {
    const std::string f = "[a]\r\nx=1\r\n[s]\r\n;keep\r\nk=1\r\njunk\r\n\r\nj=2\r\n[s]\r\nk=again\r\n";
    const std::string g = t::delete_section(f, "S");
    EXPECT_EQ(g, "[a]\r\nx=1\r\n;keep\r\njunk\r\n\r\n[s]\r\nk=again\r\n");
    EXPECT_EQ(rd(g, "s", "k"), "again");
    // The comments now end section a: a new key of a goes before them.
    EXPECT_EQ(t::write(g, "a", "y", "2"), "[a]\r\nx=1\r\ny=2\r\n;keep\r\njunk\r\n\r\n[s]\r\nk=again\r\n");
}

TEST(IniDeletes, FilesUnchangedAreNotWritten) {
    sim::SimSystem sim;
    sim.put_file("C:\\d\\a.ini", "[s]\r\nk=1\r\n");
    EXPECT_TRUE(ini::delete_key("C:\\d\\a.ini", "s", "missing", kFlush));
    EXPECT_TRUE(ini::delete_section("C:\\d\\a.ini", "missing", kFlush));
    EXPECT_TRUE(ini::delete_key("C:\\d\\none.ini", "s", "k", kFlush));
    EXPECT_EQ(sim.write_count, 0);
    EXPECT_FALSE(sim.file("C:\\d\\none.ini"));
    EXPECT_TRUE(ini::delete_section("C:\\d\\a.ini", "s", kFlush));
    EXPECT_EQ(sim.file("C:\\d\\a.ini").value_or("?"), "");
}

// ---- encoding -------------------------------------------------------------------------------
TEST(IniEncoding, TrailBytesSurviveWriteAndRead) {
    sim::SimSystem sim;
    sim.make_folder("C:\\d");
    const std::string path = "C:\\d\\" + kTrail5C + ".ini";
    const std::string sec = kTrail5B + kTrail5D;
    const std::string key = "路径" + kTrail5C;
    const std::string value = "C:\\" + kTrail5C + "\\" + kTrail5D + kTrail5B + ".mp3";
    ASSERT_TRUE(ini::write(path, sec, key, value, kFlush));
    ASSERT_TRUE(ini::write(path, sec, key + "2", value, kFlush));
    EXPECT_EQ(sim.file(path).value_or(""),
              "[" + sec + "]\r\n" + key + "=" + value + "\r\n" + key + "2=" + value + "\r\n");
    EXPECT_EQ(ini::read(path, sec, key), value);
}

TEST(IniEncoding, Utf16FileStaysUtf16AndUntouchedLinesStayExact) {
    // An emoji (no CP936 character) and CP936 text, LF endings, a comment.
    const std::u16string before = u";注释 \U0001F600\n[设置]\nname=旧\nother=€ok\n";
    const std::string f = utf16(before);
    EXPECT_EQ(rd(f, "设置", "name"), "旧");
    EXPECT_EQ(rd(f, "设置", "other"), "\x80ok");
    EXPECT_EQ(rd(f, "", "x"), "<missing>");
    EXPECT_EQ(rd(utf16(u"[s]\nk=a\U0001F600b\n"), "s", "k"), "a??b") << "characters CP936 lacks read as ?";
    EXPECT_EQ(t::write(f, "设置", "name", "新"), utf16(u";注释 \U0001F600\n[设置]\nname=新\r\nother=€ok\n"));
    EXPECT_EQ(t::write(f, "节", "键", "值"), utf16(before + u"[节]\r\n键=值\r\n"));
    EXPECT_EQ(t::delete_key(f, "设置", "other"), utf16(u";注释 \U0001F600\n[设置]\nname=旧\n"));
    EXPECT_EQ(t::write(utf16(u""), "s", "k", "v"), utf16(u"[s]\r\nk=v\r\n"));
    // An odd last byte stays last.
    EXPECT_EQ(t::write(utf16(u"[s]\r\n") + "\x01", "s", "k", "v"), utf16(u"[s]\r\nk=v\r\n") + "\x01");
}

TEST(IniEncoding, InvalidBytesAreKept) {
    const std::string f = "[s\xFF]\r\nk\x80=\x81\r\n";
    EXPECT_EQ(rd(f, "s\xFF", "k\x80"), "\x81");
    EXPECT_EQ(t::write(f, "s\xFF", "j", "\xFE"), "[s\xFF]\r\nk\x80=\x81\r\nj=\xFE\r\n");
}

// ---- atomicity ------------------------------------------------------------------------------
TEST(IniAtomicity, FailedWritesReportAndKeepTheOldFile) {
    sim::SimSystem sim;
    const std::string path = "C:\\d\\a.ini", old = "[s]\r\nk=1\r\n";
    sim.put_file(path, old);
    sim.fail_writes(1);
    EXPECT_FALSE(ini::write(path, "s", "k", "2", kFlush));
    EXPECT_EQ(sim.file(path).value_or(""), old);
    sim.interrupt_next_write(5);
    EXPECT_FALSE(ini::write(path, "s", "k", "2", kFlush));
    EXPECT_EQ(sim.file(path).value_or(""), old);
    ini::Batch b(path, kFlush);
    b.write("s", "k", "3");
    b.delete_section("s");
    sim.fail_writes(1);
    EXPECT_FALSE(b.commit());
    EXPECT_EQ(sim.file(path).value_or(""), old);
    EXPECT_TRUE(b.commit()) << "a failed batch can be committed again";
    EXPECT_EQ(sim.file(path).value_or(""), "");
}

TEST(IniAtomicity, UnreadableFileIsNeverOverwritten) {
    sim::SimSystem sim;
    const std::string path = "C:\\d\\a.ini";
    sim.put_file(path, "[s]\r\nk=1\r\n");
    sim.unreadable.insert(path);
    EXPECT_FALSE(ini::write(path, "s", "j", "2", kFlush));
    ini::Batch b(path, kFlush);
    b.write("s", "j", "2");
    EXPECT_FALSE(b.commit());
    sim.unreadable.clear();
    EXPECT_EQ(sim.file(path).value_or(""), "[s]\r\nk=1\r\n");
}

// ---- batch equals single writes ----------------------------------------------------------------
struct Op {
    int kind;  // 0 write, 1 delete key, 2 delete section, 3 a list of k and v, 4 an empty list
    std::string s, k, v;
};

std::string singles(std::string content, const std::vector<Op>& ops) {
    for (const Op& op : ops) {
        if (op.kind == 0) content = t::write(content, op.s, op.k, op.v);
        else if (op.kind == 1) content = t::delete_key(content, op.s, op.k);
        else content = t::delete_section(content, op.s);
        // A list of two entries, k and v, or none.
        if (op.kind == 3) content = t::write(t::write(content, op.s, "1", op.k), op.s, "2", op.v);
    }
    return content;
}

std::string batched(sim::SimSystem& sim, const std::string& content, const std::vector<Op>& ops) {
    const std::string path = "C:\\d\\batch.ini";
    sim.put_file(path, content);
    int writes = sim.write_count;
    ini::Batch b(path, kFlush);
    for (const Op& op : ops) {
        if (op.kind == 0) b.write(op.s, op.k, op.v);
        else if (op.kind == 1) b.delete_key(op.s, op.k);
        else if (op.kind == 2) b.delete_section(op.s);
        else b.write_list(op.s, op.kind == 3 ? 2 : 0, [&op](std::size_t i, std::string& out) { out += i ? op.v : op.k; });
    }
    EXPECT_TRUE(b.commit());
    const std::string result = sim.file(path).value_or("<none>");
    EXPECT_EQ(sim.write_count - writes, result == content ? 0 : 1);  // an unchanged file is not rewritten
    return result;
}

TEST(IniBatch, SameResultAsSingleCallsOnAwkwardInput) {
    sim::SimSystem sim;
    const std::vector<Op> ops = {
        {0, "a", "k", "1"},     {0, "A", "K", "2"},        {0, "new", "x", "y"},     {1, "a", "k", ""},
        {0, "a", "k", "3"},     {2, "b", "", ""},          {0, "b", "z", "again"},   {0, "a=b", "k=v", "w"},
        {0, "x]y", "[k", "v"},  {0, "x", ";k", "v"},       {0, "x", "k", "two\r\nq=lines"},
        {0, "x", "q", "r"},     {0, "\tt", "\vk", "v"},    {0, "x", "k", "\r[a]\rk=stolen"},
        {0, "a", "k", "4"},     {1, "x", "q", ""},         {0, "\x81", "k", "lone lead"},
        {0, "\x81", "j", "v"},  {2, "a", "", ""},          {0, "a", "k", "5"},       {0, "", "k", "refused"},
        // Deleting a section's last key moves its insertion point back.
        {0, "m", "k1", "1"},    {0, "m", "k2", "2"},       {0, "n", "z", "0"},       {1, "m", "k2", ""},
        {0, "m", "k3", "3"},    {1, "m", "k3", ""},        {1, "m", "k1", ""},       {0, "m", "k4", "4"},
        // ... also back over a comment between the keys.
        {1, "s", "k2", ""},     {0, "s", "k3", "3"},
        // Duplicate keys go one by one; once all are gone a write adds the key again.
        {1, "d", "z", ""},      {1, "d", "Z", ""},         {0, "d", "z", "back"},    {1, "d", "z", ""},
        {1, "d", "z", ""},      {0, "d", "z", "again"},
        // A refused change starts a run of its section; a deleted section is looked up again.
        {0, "p", "k", "1"},     {0, "q", "", "refused"},   {0, "q", "k", "2"},       {2, "q", "", ""},
        {0, "q", "k", "3"},     {0, "p", "j", "4"},
        // Sizes past one byte's worth in the batch's records.
        {0, "p", std::string(300, 'k'), std::string(20000, 'v')}, {0, std::string(130, 's'), "k", "v"},
        {0, std::string(130, 's'), std::string(300, 'k'), "w"},
        // Numbered lists: whole, looked into by later changes, deleted, taken
        // by a later section of that name, holding a line break, empty.
        {3, "L", "p1", " p2 "}, {0, "L", "2", "over"},     {1, "L", "1", ""},        {0, "L", "3", "added"},
        {3, "M", "x", "y"},     {2, "M", "", ""},          {3, "a", "a1", "a2"},     {3, "N", "v", "l\r\nk=v"},
        {4, "b", "", ""},       {3, "=]", "1", "2"},       {3, " ", "1", "2"},       {3, "Z", "last", "one"},
    };
    const std::vector<std::string> starts = {
        "", "[a]\r\nk=0\n;c\n\n[b]\r\nz=1\r\n[a]\r\nk=dup\r\n", "x=orphan\r[b]\rz=0", utf16(u"[a]\nk=旧\n"), "[d]\nz=1\nZ=2\nz=3\n",
        "[s]\r\nk1=1\r\n;c\r\nk2=2\r\n"};
    for (const std::string& start : starts) {
        EXPECT_EQ(batched(sim, start, ops), singles(start, ops)) << start;
        EXPECT_EQ(batched(sim, start, {{1, "a", "none", ""}, {2, "none", "", ""}, {4, "none", "", ""}}), start);
    }
}

TEST(IniBatch, RandomSequencesMatchSingleCalls) {
    sim::SimSystem sim;
    std::mt19937 rng(20240601);
    const std::vector<std::string> names = {"a", "A", "b", kTrail5C, kTrail5D + "x", "c d", "e]", "=f"};
    const std::vector<std::string> values = {"", "1", " sp ", "\"q\"", kTrail5B, "l\r\nm=1", "[a]"};
    for (int round = 0; round < 60; ++round) {
        std::vector<Op> ops;
        for (int i = 0; i < 30; ++i) {
            Op op{static_cast<int>(rng() % 5 == 0 ? 1 + rng() % 4 : 0), names[rng() % names.size()],
                  names[rng() % names.size()], values[rng() % values.size()]};
            ops.push_back(op);
        }
        const std::string starts[] = {"", "[b]\n;c\nA=0\n\n[a]\r\nb=2\r\n", "[a]\nb=1\n[A]\nb=dup\nB=dup2\n[b]\nA=x\nA=y"};
        const std::string& start = starts[round % 3];
        ASSERT_EQ(batched(sim, start, ops), singles(start, ops)) << "round " << round;
    }
}

TEST(IniBatch, TenThousandEntriesInOneWrite) {
    sim::SimSystem sim;
    sim.make_folder("C:\\d");
    ini::Batch b("C:\\d\\list.ini", kFlush);
    b.write("total", "count", "10000");
    for (int i = 1; i <= 10000; ++i) b.write("path", std::to_string(i), "C:\\音乐\\" + std::to_string(i) + ".mp3");
    ASSERT_TRUE(b.commit());
    EXPECT_EQ(sim.write_count, 1);
    EXPECT_EQ(ini::read("C:\\d\\list.ini", "path", "9999"), "C:\\音乐\\9999.mp3");
    const std::string content = sim.file("C:\\d\\list.ini").value_or("");
    const std::string head = "[total]\r\ncount=10000\r\n[path]\r\n1=C:\\音乐\\1.mp3\r\n2=";
    EXPECT_EQ(content.substr(0, head.size()), head);
}

}  // namespace
}  // namespace q
