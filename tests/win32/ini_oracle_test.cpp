// Our INI layer (over the win32 file service) against the system's own
// private-profile functions, byte for byte, one fresh file per case. Where
// the system is known to differ from Windows (Wine: header brackets, keys
// before the first header, new-key placement, tidy rewrites, section deletes,
// invalid bytes, byte-order marks, trailing spaces of new key names) the case
// is checked against the rules instead and the system's answer is only shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/win_internal.h"
#include "settings/ini.h"

namespace q {
namespace {

const char* const kMissing = "<missing>";

class IniOracleTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 936)
            GTEST_SKIP() << "the ANSI code page is " << GetACP()
                         << ", not 936: run under Wine with LANG=zh_CN.UTF-8 (and LOCPATH if the locale was built)";
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"quillet_ini_oracle_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(dir_.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::wstring& f : made_) DeleteFileW(f.c_str());
        if (!dir_.empty()) RemoveDirectoryW(dir_.c_str());
    }

    // A fresh path (CP936) for one side of one case.
    std::string fresh(const char* side) {
        std::wstring p = dir_ + L"\\" + win32::widen(side) + std::to_wstring(++count_) + L".ini";
        made_.push_back(p);
        return win32::narrow(p);
    }
    static void put(const std::string& path, const std::string& bytes) {
        HANDLE h = CreateFileW(win32::widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD n = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
        CloseHandle(h);
    }
    // The file's bytes; missing reads as empty (the system may leave an empty file where we create none).
    static std::string get(const std::string& path) {
        HANDLE h = CreateFileW(win32::widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return "";
        std::string out;
        char buf[4096];
        DWORD n = 0;
        while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n) out.append(buf, n);
        CloseHandle(h);
        return out;
    }
    static std::string system_read(const std::string& path, const std::string& s, const std::string& k) {
        std::vector<char> buf(1 << 16);
        DWORD n = GetPrivateProfileStringA(s.c_str(), k.c_str(), kMissing, buf.data(), static_cast<DWORD>(buf.size()),
                                           path.c_str());
        return std::string(buf.data(), n);
    }
    static void system_write(const std::string& path, const char* s, const char* k, const char* v) {
        WritePrivateProfileStringA(s, k, v, path.c_str());
    }

    std::wstring dir_;
    std::vector<std::wstring> made_;
    int count_ = 0;
};

std::string shown(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        char b[8];
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c < 0x20 || c >= 0x7F) std::snprintf(b, sizeof b, "\\x%02X", c), out += b;
        else out += static_cast<char>(c);
    }
    return out;
}

std::string utf16(const std::u16string& s) {
    std::string out = "\xFF\xFE";
    for (char16_t c : s) {
        out += static_cast<char>(c & 0xFF);
        out += static_cast<char>(c >> 8);
    }
    return out;
}

struct ReadCase {
    ReadCase(std::string c, std::string s, std::string k, int r = 0, std::string e = "")
        : content(std::move(c)), section(std::move(s)), key(std::move(k)), rule(r), expected(std::move(e)) {}
    std::string content, section, key;
    int rule;              // a rule where the system differs from Windows; 0 when it is a faithful oracle
    std::string expected;  // for marked cases: the value the rules give
};

TEST_F(IniOracleTest, ReadsMatch) {
    const std::string t5b = "乕", t5c = "乗", t5d = "乚";
    const std::vector<ReadCase> cases = {
        {"[s]\r\nk=v\r\n", "s", "k"},
        {"[s]\nk=lf\n", "s", "k"},
        {"[s]\rk=cr\r", "s", "k"},
        {"  [ s ] \r\n \t k \t= \t v w \t\r\n", "s", "k"},
        {"[s]\r\n;k=comment\r\nk=real\r\n", "s", "k"},
        {"[s]\r\n#k=hash\r\n", "s", "#k"},
        {"[s]\r\nk=v ;not a comment\r\n", "s", "k"},
        {"[s]\r\nk=a=b\r\n", "s", "k"},
        {"[s]\r\nno equals\r\n", "s", "no equals"},
        {"[s]\r\nk=1\r\nk=2\r\n", "s", "k"},
        {"[Set]\r\nRun=T\r\n", "sET", "rUN"},
        {"[s]\r\nk=v\r\n", " s ", "  k "},
        {"[s]\r\nk=v\r\n", "t", "k"},
        {"[s]\r\nk=v\r\n", "s", "j"},
        {"[\x81" "A]\r\nk=upper\r\n[\x81" "a]\r\nk=lower\r\n", "\x81" "a", "k"},
        {"[\x81" "A]\r\nk=upper\r\n", "\x81" "a", "k"},
        {"[s]\r\nk=\"quoted\"\r\n", "s", "k"},
        {"[s]\r\nk=\"\"y\"\"\r\n", "s", "k"},
        {"[s]\r\nk=\"\"\r\n", "s", "k"},
        {"[s]\r\nk=\"c'\r\n", "s", "k"},
        {"[s]\r\nk=' in '\r\n", "s", "k"},
        {"[" + t5d + t5c + "]\r\n" + t5b + "=" + t5c + "\\" + t5d + "\r\n", t5d + t5c, t5b},
        {"[路径]\r\n名称=C:\\" + t5c + "\\歌.mp3\r\n", "路径", "名称"},
        // Marked: rule 3 (the name runs to the first "]"; Wine takes the last).
        {"[a]b]\r\nk=v\r\n", "a", "k", 3, "v"},
        // Marked: rule 6 (keys before the first header and "[]" are not the same section).
        {"k=orphan\r\n[]\r\nk=empty\r\n", "", "k", 6, kMissing},
        // Marked: rule 23 (invalid bytes kept).
        {"[s]\r\nk=\x80\xFF\x81\r\n", "s", "k", 23, "\x80\xFF\x81"},
        // Marked: rule 24 (a UTF-8 mark is part of the first line; Wine recognises it).
        {"\xEF\xBB\xBF[s]\r\nk=v\r\n", "s", "k", 24, kMissing},
        // Marked: rule 24 (UTF-16LE files).
        {utf16(u"[节]\r\n键=值\U0001F600\r\n"), "节", "键", 24, "值??"},
    };
    for (const ReadCase& c : cases) {
        const std::string path = fresh("read");
        put(path, c.content);
        const std::string ours = ini::read(path, c.section, c.key, kMissing);
        const std::string theirs = system_read(path, c.section, c.key);
        if (c.rule == 0) {
            EXPECT_EQ(shown(ours), shown(theirs)) << "file " << shown(c.content) << " [" << c.section << "] " << c.key;
        } else {
            EXPECT_EQ(shown(ours), shown(c.expected)) << "rule " << c.rule << " file " << shown(c.content);
            std::printf("  rule %d, system differs as expected: ours \"%s\", system \"%s\"\n", c.rule,
                        shown(ours).c_str(), shown(theirs).c_str());
        }
    }
    // A missing file gives the default, trailing spaces removed.
    const std::string none = fresh("none");
    std::vector<char> buf(256);
    DWORD n = GetPrivateProfileStringA("s", "k", "  def  ", buf.data(), 256, none.c_str());
    EXPECT_EQ(ini::read(none, "s", "k", "  def  "), std::string(buf.data(), n));
}

struct Step {
    int kind;  // 0 write, 1 delete key, 2 delete section
    std::string s, k, v;
};

void ours_do(const std::string& path, const Step& st) {
    if (st.kind == 0) ini::write(path, st.s, st.k, st.v, FileSystem::Flush::Yes);
    else if (st.kind == 1) ini::delete_key(path, st.s, st.k, FileSystem::Flush::Yes);
    else ini::delete_section(path, st.s, FileSystem::Flush::Yes);
}

void system_do(const std::string& path, const Step& st) {
    if (st.kind == 0) WritePrivateProfileStringA(st.s.c_str(), st.k.c_str(), st.v.c_str(), path.c_str());
    else if (st.kind == 1) WritePrivateProfileStringA(st.s.c_str(), st.k.c_str(), nullptr, path.c_str());
    else WritePrivateProfileStringA(st.s.c_str(), nullptr, nullptr, path.c_str());
}

struct WriteCase {
    WriteCase(std::string c, std::vector<Step> st, int r = 0, std::string e = "", bool missing = false)
        : content(std::move(c)), steps(std::move(st)), rule(r), expected(std::move(e)), start_missing(missing) {}
    std::string content;  // "" with start_missing: no file at first
    std::vector<Step> steps;
    int rule;
    std::string expected;
    bool start_missing;
};

TEST_F(IniOracleTest, WritesMatchOnTidyFiles) {
    const std::string t5b = "乕", t5c = "乗", t5d = "乚";
    const std::string tidy = "[a]\r\nx=1\r\ny=2\r\n[b]\r\nz=3\r\n";
    const std::vector<WriteCase> cases = {
        {"", {{0, "s", "k", "v"}}, 0, "", true},
        {tidy, {{0, "A", "X", "new"}}},
        {tidy, {{0, "a", "n1", "v1"}, {0, "a", "n2", "v2"}}},
        {tidy, {{0, "c", "k", "v"}}},
        {"[a]\r\nx=1", {{0, "c", "k", "v"}}},
        {"[a]\r\nx=1", {{0, "a", "k", "v"}}},
        {tidy, {{1, "a", "x", ""}}},
        {tidy, {{1, "a", "x", ""}, {1, "a", "y", ""}}},
        {tidy, {{1, "a", "nope", ""}}},
        {tidy, {{2, "a", "", ""}}},
        // Marked: rule 13 (names are written trimmed; Wine 8 keeps a new key's trailing spaces).
        {tidy, {{0, " b ", " k ", "v w"}}, 13, "[a]\r\nx=1\r\ny=2\r\n[b]\r\nz=3\r\nk=v w\r\n"},
        {tidy, {{0, "b", "z", ""}}},
        {"[a]\r\nk=1\r\n[b]\r\nj=2\r\n[A]\r\nk=3\r\n", {{0, "a", "k", "9"}, {0, "a", "new", "n"}}},
        {"", {{0, t5d + t5c, t5b + "键", "C:\\" + t5c + "\\" + t5d + ".mp3"}, {0, t5d + t5c, "k", t5b}}, 0, "", true},
        {"[" + t5c + "]\r\nk=1\r\n", {{0, t5c, "k", t5d}, {0, t5c + "x", "k", "2"}}},
        // Marked: rule 15 (a new key goes before the comments that end its section).
        {"[a]\r\nx=1\r\n;tail\r\n[b]\r\nz=3\r\n", {{0, "a", "k", "v"}}, 15,
         "[a]\r\nx=1\r\nk=v\r\n;tail\r\n[b]\r\nz=3\r\n"},
        // Marked: rule 18 (untouched lines stay byte for byte).
        {"[a]\nx = 1\n\n[b]\n  z=3  \n", {{0, "a", "x", "2"}}, 18, "[a]\nx=2\r\n\n[b]\n  z=3  \n"},
        // Marked: rule 20 (a deleted section's comments stay).
        {"[a]\r\n;note\r\nx=1\r\n[b]\r\nz=3\r\n", {{2, "a", "", ""}}, 20, ";note\r\n[b]\r\nz=3\r\n"},
        // Marked: rule 23 (invalid bytes kept).
        {"[a]\r\nx=\x80\xFF\r\n", {{0, "a", "y", "2"}}, 23, "[a]\r\nx=\x80\xFF\r\ny=2\r\n"},
        // Marked: rule 24 (a UTF-16LE file stays UTF-16LE).
        {utf16(u"[节]\r\n键=旧\r\n"), {{0, "节", "键", "新"}}, 24, utf16(u"[节]\r\n键=新\r\n")},
    };
    for (const WriteCase& c : cases) {
        const std::string ours = fresh("ours"), theirs = fresh("system");
        if (!c.start_missing) {
            put(ours, c.content);
            put(theirs, c.content);
        }
        for (const Step& st : c.steps) {
            ours_do(ours, st);
            system_do(theirs, st);
        }
        if (c.rule == 0) {
            EXPECT_EQ(shown(get(ours)), shown(get(theirs))) << "from " << shown(c.content);
        } else {
            EXPECT_EQ(shown(get(ours)), shown(c.expected)) << "rule " << c.rule;
            std::printf("  rule %d: ours \"%s\", system \"%s\"\n", c.rule, shown(get(ours)).c_str(),
                        shown(get(theirs)).c_str());
        }
    }
}

TEST_F(IniOracleTest, SeededRandomSequenceMatchesAfterEveryStep) {
    const std::vector<std::string> sections = {"set", "SET", "乗", "乚节", "乕", "play"};
    const std::vector<std::string> keys = {"k", "K", "路径乗", "a乚", "乕b", "total"};
    const std::vector<std::string> values = {"1", "v", "C:\\乗\\乚.mp3", "乕]", "x y", "T"};
    std::mt19937 rng(936);
    const std::string ours = fresh("rnd_ours"), theirs = fresh("rnd_system");
    for (int step = 0; step < 300; ++step) {
        const std::string& s = sections[rng() % sections.size()];
        const std::string& k = keys[rng() % keys.size()];
        const std::string& v = values[rng() % values.size()];
        const unsigned pick = rng() % 20;
        if (pick < 6) {
            ASSERT_EQ(shown(ini::read(ours, s, k, kMissing)), shown(system_read(theirs, s, k)))
                << "step " << step << " read [" << s << "] " << k;
            continue;
        }
        const Step st{pick < 15 ? 0 : pick < 18 ? 1 : 2, s, k, v};
        ours_do(ours, st);
        system_do(theirs, st);
        ASSERT_EQ(shown(get(ours)), shown(get(theirs))) << "step " << step << " op " << st.kind << " [" << s << "] "
                                                        << k << "=" << v;
    }
}

}  // namespace
}  // namespace q
