// The note's two Windows-only faults: a keystroke in a note of several
// megabytes, and a box that must keep its owner out of reach while it is up.
#include <gtest/gtest.h>

#include "platform/text.h"
#include "platform/win32/win_system.h"
#include "platform/win32/win_ui.h"
#include "tests/win32/shown_window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace q::win32 {
namespace {

void pump() { sys().loop.process_pending(); }

Edit::Mode note_mode() {
    Edit::Mode m;
    m.multi_line = true;
    m.vertical_scroll = true;
    m.accept_files = true;
    return m;
}

struct NoteLike : Window {
    NoteLike() : Window(Rect{50, 50, 150, 270}, "随手记录", Style{false, true}) {}
    Edit box{this, Rect{5, 24, 140, 200}, note_mode()};
};

std::wstring text_of(HWND h) {
    std::wstring t(static_cast<std::size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
    t.resize(static_cast<std::size_t>(GetWindowTextW(h, &t[0], static_cast<int>(t.size()))));
    return t;
}

DWORD caret_of(HWND h) {
    DWORD start = 0, end = 0;
    SendMessageW(h, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end;
}

double ms_since(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Counts what reads the box's whole text (GetWindowText sends WM_GETTEXT).
LRESULT CALLBACK count_reads(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    if (msg == WM_GETTEXT) ++*reinterpret_cast<int*>(ref);
    return DefSubclassProc(h, msg, wp, lp);
}

// A key typed at the caret, as the keyboard types it.
void type_char(HWND h, wchar_t c) { SendMessageW(h, WM_CHAR, c, 1); }

TEST(NoteWinTest, AKeystrokeInAFiveMegabyteNoteCostsNoFullTextPass) {
    NoteLike w;
    int changes = 0;
    // As the note does: a change only restarts the recovery delay.
    w.box.on_change = [&] { ++changes; };
    w.create();
    w.show();
    HWND h = hwnd_of(w.box);
    ASSERT_NE(h, nullptr);
    SetFocus(h);

    // A character that CP936 lacks stays where it was typed; the object reads its escape.
    w.box.set_text("ab");
    SendMessageW(h, EM_SETSEL, 1, 1);
    type_char(h, L'\x0E01');
    EXPECT_EQ(text_of(h), L"a\x0E01" L"b");
    EXPECT_EQ(caret_of(h), 2u);
    EXPECT_EQ(w.box.text(), "a" + cp936_from_utf16(u"\x0E01") + "b");
    EXPECT_EQ(changes, 1);
    changes = 0;

    std::string big;
    for (int i = 0; big.size() < 5u * 1024 * 1024; ++i) big += "第" + std::to_string(i) + "行 jottings\r\n";
    w.box.set_text(big);
    pump();
    SendMessageW(h, EM_SETSEL, 0, 0);
    int box_reads = 0;
    ASSERT_TRUE(SetWindowSubclass(h, count_reads, 77, reinterpret_cast<DWORD_PTR>(&box_reads)));
    std::vector<double> keys, reads;
    for (int i = 0; i < 5; ++i) {
        auto t0 = std::chrono::steady_clock::now();
        type_char(h, L'a');
        keys.push_back(ms_since(t0));
        // The change is told, and the text stays in the box.
        EXPECT_EQ(changes, i + 1);
        EXPECT_EQ(box_reads, i);
        t0 = std::chrono::steady_clock::now();
        const std::size_t n = w.box.text().size();
        reads.push_back(ms_since(t0));
        EXPECT_EQ(box_reads, i + 1);
        EXPECT_EQ(n, big.size() + static_cast<std::size_t>(i) + 1);
    }
    // Typing on: the keys are read once, when the program asks.
    for (int i = 0; i < 3; ++i) type_char(h, L'b');
    EXPECT_EQ(box_reads, 5);
    EXPECT_EQ(w.box.text().substr(0, 8), "aaaaabbb");
    EXPECT_EQ(box_reads, 6);
    RemoveWindowSubclass(h, count_reads, 77);
    std::sort(keys.begin(), keys.end());
    std::sort(reads.begin(), reads.end());
    std::printf("5 MB note: keystroke %.2f ms, first read after it %.2f ms (medians)\n", keys[2], reads[2]);
    w.destroy();
    pump();
}

// What the box's modal loop lets a timer see: the owner's state, then the box is answered.
struct BoxSeen {
    HWND owner = nullptr;
    int owner_enabled = -1;
} g_seen;

void CALLBACK look_behind_box(HWND, UINT, UINT_PTR id, DWORD) {
    const HWND box = shown_window_of_class(L"#32770");
    if (!box) return;
    KillTimer(nullptr, id);
    g_seen.owner_enabled = IsWindowEnabled(g_seen.owner) ? 1 : 0;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(NoteWinTest, ABoxKeepsItsOwnerOutOfReachWhileItIsUp) {
    NoteLike w;
    w.create();
    w.show();
    pump();
    g_seen = BoxSeen{};
    g_seen.owner = hwnd_of(w);
    ASSERT_TRUE(IsWindowEnabled(g_seen.owner));
    ASSERT_NE(SetTimer(nullptr, 0, 50, &look_behind_box), 0u);
    EXPECT_EQ(sys().dialogs.message_box(&w, "在您关闭小贴前是否需要保存本贴内容？", "请您确认", Icon::Question,
                                        Buttons::Ok),
              Answer::Ok);
    EXPECT_EQ(g_seen.owner_enabled, 0);
    EXPECT_TRUE(IsWindowEnabled(g_seen.owner));
    w.destroy();
    pump();
}

}  // namespace
}  // namespace q::win32
