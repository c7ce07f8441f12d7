// File-system contract: the same checks on the sim and on Windows.
#include <cstdint>
#include <optional>
#include <set>

#include "platform/text.h"
#include "settings/ini.h"
#include "tests/contract/contract_env.h"

namespace q::contract {
namespace {

using ContractFiles = ContractTest;

std::set<std::string> names(const std::vector<FileSystem::Entry>& entries) {
    std::set<std::string> r;
    for (const auto& e : entries) r.insert(e.name);
    return r;
}

TEST_F(ContractFiles, ReadReplaceRenameRemove) {
    FileSystem& fs = sys().files;
    const std::string a = folder() + "\\a.txt", b = folder() + "\\b.txt";
    std::string out = "untouched";
    EXPECT_FALSE(fs.read(a, out));
    EXPECT_FALSE(fs.exists(a));

    ASSERT_TRUE(fs.replace(a, "first content, rather long"));
    ASSERT_TRUE(fs.read(a, out));
    EXPECT_EQ(out, "first content, rather long");
    ASSERT_TRUE(fs.replace(a, std::string("x\0y\r\n", 5)));  // whole replacement, binary-safe
    ASSERT_TRUE(fs.read(a, out));
    EXPECT_EQ(out, std::string("x\0y\r\n", 5));
    ASSERT_TRUE(fs.replace(a, "unflushed", FileSystem::Flush::No));  // the same replace, minus the flush
    ASSERT_TRUE(fs.read(a, out));
    EXPECT_EQ(out, "unflushed");
    EXPECT_FALSE(fs.replace(folder() + "\\missing\\c.txt", "x", FileSystem::Flush::No));
    ASSERT_TRUE(fs.replace(a, ""));
    ASSERT_TRUE(fs.read(a, out));
    EXPECT_EQ(out, "");

    EXPECT_FALSE(fs.replace(folder() + "\\missing\\c.txt", "x"));
    EXPECT_FALSE(fs.exists(folder() + "\\missing\\c.txt"));

    ASSERT_TRUE(fs.replace(a, "new"));
    ASSERT_TRUE(fs.replace(b, "old"));
    EXPECT_FALSE(fs.rename(a, b));  // never over an existing file
    ASSERT_TRUE(fs.read(b, out));
    EXPECT_EQ(out, "old");
    ASSERT_TRUE(fs.remove(b));
    EXPECT_TRUE(fs.rename(a, b));
    EXPECT_FALSE(fs.exists(a));
    ASSERT_TRUE(fs.read(b, out));
    EXPECT_EQ(out, "new");
    EXPECT_FALSE(fs.rename(a, b));  // the source is gone

    EXPECT_TRUE(fs.remove(b));
    EXPECT_FALSE(fs.exists(b));
    EXPECT_FALSE(fs.remove(b));
    // Only the temporary files' absence is common to both sides: nothing is left behind.
    EXPECT_TRUE(fs.enumerate(folder() + "\\*").empty());
}

TEST_F(ContractFiles, SizeAndPartialReads) {
    FileSystem& fs = sys().files;
    const std::string empty = folder() + "\\empty.mp3", small = folder() + "\\small.mp3";
    ASSERT_TRUE(fs.replace(empty, ""));
    ASSERT_TRUE(fs.replace(small, std::string("0123\0\xFF" "6789", 10)));
    EXPECT_EQ(fs.size(empty), std::optional<std::uint64_t>(0));
    EXPECT_EQ(fs.size(small), std::optional<std::uint64_t>(10));
    EXPECT_EQ(fs.size(folder() + "\\missing.mp3"), std::nullopt);
    EXPECT_EQ(fs.size(folder()), std::nullopt) << "a folder has no size";

    std::string out = "untouched";
    EXPECT_FALSE(fs.read_part(folder() + "\\missing.mp3", 0, 4, out));
    EXPECT_FALSE(fs.read_part(folder(), 0, 4, out));
    EXPECT_EQ(out, "untouched");
    ASSERT_TRUE(fs.read_part(small, 3, 4, out));
    EXPECT_EQ(out, std::string("3\0\xFF" "6", 4));
    ASSERT_TRUE(fs.read_part(small, 7, 100, out));  // across the end: what there is
    EXPECT_EQ(out, "789");
    ASSERT_TRUE(fs.read_part(small, 0, 0, out));
    EXPECT_EQ(out, "");
    for (std::uint64_t past : {std::uint64_t{10}, std::uint64_t{11}, std::uint64_t{1} << 40, ~std::uint64_t{0}}) {
        out = "stale";
        ASSERT_TRUE(fs.read_part(small, past, 4, out)) << past;
        EXPECT_EQ(out, "") << past;
    }
    out = "stale";
    ASSERT_TRUE(fs.read_part(empty, 0, 4, out));
    EXPECT_EQ(out, "");
}

TEST_F(ContractFiles, FoldersAndCase) {
    FileSystem& fs = sys().files;
    const std::string sub = folder() + "\\Sub";
    EXPECT_FALSE(fs.create_folder(folder() + "\\no\\deeper"));  // parent missing
    ASSERT_TRUE(fs.create_folder(sub));
    EXPECT_FALSE(fs.create_folder(sub));
    EXPECT_TRUE(fs.folder_exists(sub));
    EXPECT_TRUE(fs.folder_exists(folder() + "\\SUB"));
    EXPECT_FALSE(fs.exists(sub));  // a folder is not a file
    EXPECT_FALSE(fs.remove(sub));

    ASSERT_TRUE(fs.replace(sub + "\\MixedCase.Txt", "m"));
    EXPECT_FALSE(fs.folder_exists(sub + "\\MixedCase.Txt"));
    std::string out;
    EXPECT_TRUE(fs.read(folder() + "\\sub\\mixedcase.TXT", out));
    EXPECT_EQ(out, "m");
    EXPECT_TRUE(fs.exists(folder() + "/Sub/MIXEDCASE.txt"));  // "/" works too
    auto entries = fs.enumerate(sub + "\\*");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "MixedCase.Txt");
    ASSERT_TRUE(fs.replace(sub + "\\MIXEDCASE.TXT", "n"));  // the same file
    entries = fs.enumerate(sub + "\\*");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(equal_no_case(entries[0].name, "mixedcase.txt"));
    EXPECT_TRUE(fs.read(sub + "\\MixedCase.Txt", out));
    EXPECT_EQ(out, "n");
}

TEST_F(ContractFiles, EnumerateWildcards) {
    FileSystem& fs = sys().files;
    for (const char* n : {"a1.ini", "AB.INI", "abc.ini", "b1.ini", "a1.txt", "Read Me.TXT", "noext"})
        ASSERT_TRUE(fs.replace(folder() + "\\" + n, n));
    ASSERT_TRUE(fs.create_folder(folder() + "\\Sub"));

    EXPECT_EQ(names(fs.enumerate(folder() + "\\*.txt")), (std::set<std::string>{"a1.txt", "Read Me.TXT"}));
    EXPECT_EQ(names(fs.enumerate(folder() + "\\a?.ini")), (std::set<std::string>{"a1.ini", "AB.INI"}));
    const std::set<std::string> all{"a1.ini", "AB.INI", "abc.ini", "b1.ini", "a1.txt", "Read Me.TXT", "noext", "Sub"};
    EXPECT_EQ(names(fs.enumerate(folder() + "\\*.*")), all);
    const auto entries = fs.enumerate(folder() + "\\*");
    EXPECT_EQ(names(entries), all);
    for (const auto& e : entries) EXPECT_EQ(e.folder, e.name == "Sub") << e.name;
    EXPECT_TRUE(fs.enumerate(folder() + "\\*.bak").empty());
    EXPECT_TRUE(fs.enumerate(folder() + "\\nowhere\\*").empty());
}

TEST_F(ContractFiles, DoubleByteNames) {
    FileSystem& fs = sys().files;
    // "乗" is 0x81 0x5C: its trail byte is a backslash to a naive scan.
    const std::string dbcs_folder = folder() + "\\乗";
    ASSERT_EQ(std::string("乗"), "\x81\x5c");
    ASSERT_TRUE(fs.create_folder(dbcs_folder));
    EXPECT_TRUE(fs.folder_exists(dbcs_folder));
    ASSERT_TRUE(fs.replace(dbcs_folder + "\\乗.txt", "内容"));
    std::string out;
    ASSERT_TRUE(fs.read(dbcs_folder + "\\乗.txt", out));
    EXPECT_EQ(out, "内容");
    EXPECT_EQ(names(fs.enumerate(dbcs_folder + "\\*.txt")), std::set<std::string>{"乗.txt"});
    ASSERT_TRUE(fs.rename(dbcs_folder + "\\乗.txt", dbcs_folder + "\\乗乗"));
    EXPECT_EQ(names(fs.enumerate(dbcs_folder + "\\*")), std::set<std::string>{"乗乗"});

    // "丄" (0x81 0x41) and "乤" (0x81 0x61) differ only in a trail byte that
    // looks like 'A' / 'a': they are two different names, not one.
    ASSERT_TRUE(fs.replace(folder() + "\\丄", "upper"));
    ASSERT_TRUE(fs.replace(folder() + "\\乤", "lower"));
    ASSERT_TRUE(fs.read(folder() + "\\丄", out));
    EXPECT_EQ(out, "upper");
    EXPECT_EQ(names(fs.enumerate(folder() + "\\?")), (std::set<std::string>{"丄", "乤", "乗"}));
    EXPECT_EQ(names(fs.enumerate(folder() + "\\乤")), std::set<std::string>{"乤"});
}

// A name with characters CP936 lacks (Hangul, an emoji's surrogate pair)
// crosses the program with escapes and reaches Windows exact.
TEST_F(ContractFiles, NamesCp936LacksKeptWhole) {
    FileSystem& fs = sys().files;
    const std::string dir = folder() + "\\" + cp936_from_utf16(u"음악"), song = cp936_from_utf16(u"노래😀.mp3");
    ASSERT_NE(song.find('\xFF'), std::string::npos);
    ASSERT_TRUE(fs.create_folder(dir));
    ASSERT_TRUE(fs.replace(dir + "\\" + song, "ID3"));

    // Found as the folder search finds it, kept in a list, read back and opened.
    const auto found = fs.enumerate(dir + "\\*.mp3");
    ASSERT_EQ(names(found), std::set<std::string>{song});
    const std::string list = folder() + "\\mp3.ini";
    ASSERT_TRUE(ini::write(list, "list", "1", dir + "\\" + found[0].name, FileSystem::Flush::Yes));
    const std::string path = ini::read(list, "list", "1");
    EXPECT_EQ(path, dir + "\\" + song);
    EXPECT_TRUE(fs.exists(path));
    EXPECT_EQ(fs.size(path), std::optional<std::uint64_t>(3));
    std::string out;
    ASSERT_TRUE(fs.read(path, out));
    EXPECT_EQ(out, "ID3");
    // Dropped from the shell, the path arrives whole.
    Window w(Rect{100, 100, 200, 120}, "drop", Window::Style{});
    std::vector<std::string> dropped;
    w.on_files_dropped = [&](const std::vector<std::string>& p) { dropped = p; };
    w.create();
    w.show();
    w.set_accept_files(true);
    pump(20);
    user().drop(w, {path});
    pump(20);
    EXPECT_EQ(dropped, std::vector<std::string>{path});

    // Renamed; the escape of a character CP936 has ("歌", U+6B4C) names that character's file.
    const std::string renamed = dir + "\\" + cp936_from_utf16(u"歌😀.mp3");
    ASSERT_TRUE(fs.rename(path, renamed));
    EXPECT_FALSE(fs.exists(path));
    EXPECT_EQ(names(fs.enumerate(dir + "\\*")), std::set<std::string>{path_file_name(renamed)});
    const std::string spelled = dir + "\\\xFF\xA6\xAB\xA4\xAC" + cp936_from_utf16(u"😀.mp3");
    EXPECT_TRUE(fs.exists(spelled));
    EXPECT_TRUE(fs.remove(renamed));
    EXPECT_TRUE(fs.enumerate(dir + "\\*").empty());
}

}  // namespace
}  // namespace q::contract
