// Checks of the win32 services that only real Windows (Wine) can make; the
// registry, hotkeys, tray icon and message boxes are contracts (tests/contract).
#include "platform/win32/win_system.h"

#include <algorithm>
#include <thread>

#include "tests/contract/contract_env.h"

namespace q {
namespace {

class WinServicesTest : public contract::ContractTest {};

TEST_F(WinServicesTest, TextConversionIsCp936WhateverTheAnsiCodePage) {
    EXPECT_EQ(win32::widen("随手记录 a\\b"), std::wstring(L"随手记录 a\\b"));
    EXPECT_EQ(win32::narrow(L"随手记录 a\\b"), "随手记录 a\\b");
    const std::string with_nul("a\0b", 3);
    EXPECT_EQ(win32::narrow(win32::widen(with_nul)), with_nul);
}

// The thread ends at once, still owning what it acquired.
MutexState acquire_on_other_thread(const std::string& name) {
    MutexState s = MutexState::Busy;
    std::thread t([&] { s = sys().process.acquire_mutex(name); });
    t.join();
    return s;
}

TEST_F(WinServicesTest, MutexIsAcquiredOnceAndAbandonedCountsAsFree) {
    const std::string name = "QuilletTest" + std::to_string(GetCurrentProcessId());
    EXPECT_EQ(sys().process.acquire_mutex(name), MutexState::Acquired);
    EXPECT_EQ(acquire_on_other_thread(name), MutexState::Busy);

    // A thread that takes the mutex and ends leaves it abandoned: the next one gets it.
    const std::string other = name + "b";
    EXPECT_EQ(acquire_on_other_thread(other), MutexState::Acquired);
    EXPECT_EQ(sys().process.acquire_mutex(other), MutexState::Abandoned);
    EXPECT_EQ(acquire_on_other_thread(other), MutexState::Busy);

    // A name in a namespace that does not exist cannot be made: no other copy is proven.
    EXPECT_EQ(sys().process.acquire_mutex("QuilletNoSuchSpace\\" + name), MutexState::Failed);
}

TEST_F(WinServicesTest, TimerCallbackMayStopItselfAndOthers) {
    Timers& t = sys().timers;
    int a_ticks = 0, b_ticks = 0;
    int a = 0, b = 0;
    b = t.start(10, [&] { ++b_ticks; });
    a = t.start(10, [&] {
        ++a_ticks;
        t.stop(a);
        t.stop(b);
    });
    pump(300);
    EXPECT_EQ(a_ticks, 1);
    EXPECT_LE(b_ticks, 1);
}

TEST_F(WinServicesTest, ProgramInFolderWithSpacesStartsInItsFolder) {
    const std::wstring dir = win32::widen(folder()) + L"\\Program Files x";
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    const std::wstring exe = dir + L"\\cmd.exe";
    ASSERT_TRUE(CopyFileW(win32::widen(sys().shell.system_directory() + "cmd.exe").c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(sys().shell.start_program(win32::narrow(exe), "/c echo ran> out.txt"));
    const std::string out = win32::narrow(dir) + "\\out.txt";
    std::string data;
    for (int i = 0; i < 100 && !sys().files.read(out, data); ++i) pump(50);
    pump(200);  // let cmd finish writing
    ASSERT_TRUE(sys().files.read(out, data));
    EXPECT_EQ(data.substr(0, 3), "ran");
    EXPECT_FALSE(sys().shell.start_program(win32::narrow(dir) + "\\missing.exe", ""));
}

TEST_F(WinServicesTest, InputBoxShowsItsTextsAndReturnsTheEdit) {
    answer_next_box(Answer::Ok);
    EXPECT_EQ(sys().dialogs.input_box(nullptr, "此组的名称更改为：", "组更名", "常用 程序"), "常用 程序");
    EXPECT_EQ(last_box_text(), "此组的名称更改为：");
    EXPECT_EQ(last_box_title(), "组更名");
    answer_next_box(Answer::Cancel);
    EXPECT_EQ(sys().dialogs.input_box(nullptr, "提示", "标题", "x"), std::nullopt);
}

BOOL CALLBACK collect_id(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int>*>(out)->push_back(static_cast<int>(
        reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

TEST_F(WinServicesTest, EmbeddedWavIsReadFromRcdata) {
    std::vector<int> ids;
    EnumResourceNamesW(nullptr, MAKEINTRESOURCEW(10), &collect_id, reinterpret_cast<LONG_PTR>(&ids));
    if (std::find(ids.begin(), ids.end(), static_cast<int>(Res::HoverWav)) == ids.end())
        GTEST_SKIP() << "the hover sound is not embedded yet";
    const std::string_view wav = resource_bytes(Res::HoverWav);
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 4), "WAVE");
    EXPECT_TRUE(resource_bytes(static_cast<Res>(9999)).empty());
}

}  // namespace
}  // namespace q
