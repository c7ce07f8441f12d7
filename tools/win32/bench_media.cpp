// The wallpaper and music page's two long jobs on the real backend: the
// folder search of a generated tree of 50,000 pictures in 2,000 folders
// against a bare walk of the same tree through the same file service and a
// bare FindFirstFileW walk with no conversion (with how often the status label
// moved and how long the window's messages waited meanwhile), and the confirm
// of 50,000 rows against one write of the same bytes.
//   bench_media.exe [folder for the tree]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "media/lists.h"
#include "media/media_page.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/ui.h"
#include "platform/win32/win_internal.h"
#include "platform/win32/win_system.h"

namespace {

using namespace q;

// The real dialogs, less the two the benchmark answers itself.
class Answers : public Dialogs {
public:
    explicit Answers(Dialogs& real) : real_(real) {}
    std::string folder;
    Answer message_box(Window*, const std::string&, const std::string&, Icon, Buttons, bool) override {
        return Answer::Ok;
    }
    std::optional<std::string> open_file(Window* o, const FileDialog& d) override { return real_.open_file(o, d); }
    std::optional<std::string> save_file(Window* o, const FileDialog& d) override { return real_.save_file(o, d); }
    std::optional<std::string> browse_folder(Window*, const std::string&) override { return folder; }
    bool choose_font(Window* o, Font& f, Color& c) override { return real_.choose_font(o, f, c); }
    std::optional<std::string> input_box(Window* o, const std::string& p, const std::string& t,
                                         const std::string& i) override {
        return real_.input_box(o, p, t, i);
    }
    int popup_menu(const std::vector<std::string>& items, Point at, const std::vector<bool>& disabled) override {
        return real_.popup_menu(items, at, disabled);
    }
    void beep() override {}

private:
    Dialogs& real_;
};

int walk(const std::string& folder, const std::string& ext) {
    int n = 0;
    for (const auto& e : sys().files.enumerate(folder + "\\*." + ext))
        if (!e.folder) ++n;
    for (const auto& e : sys().files.enumerate(folder + "\\*.*"))
        if (e.folder && e.name[0] != '.') n += walk(folder + "\\" + e.name, ext);
    return n;
}

// The floor under both: the system's own walk, names left as UTF-16.
int raw_walk(const std::wstring& folder, const wchar_t* ext) {
    int n = 0;
    WIN32_FIND_DATAW d;
    HANDLE h = FindFirstFileW((folder + L"\\*." + ext).c_str(), &d);
    if (h != INVALID_HANDLE_VALUE) {
        do
            if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
        while (FindNextFileW(h, &d));
        FindClose(h);
    }
    h = FindFirstFileW((folder + L"\\*.*").c_str(), &d);
    if (h != INVALID_HANDLE_VALUE) {
        do
            if ((d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && d.cFileName[0] != L'.')
                n += raw_walk(folder + L"\\" + d.cFileName, ext);
        while (FindNextFileW(h, &d));
        FindClose(h);
    }
    return n;
}

struct PageWindow : Window {
    PageWindow() : Window(Rect{100, 100, 606, 421}, "bench", Window::Style{}), tab(this, {8, 6, 584, 376}, {"a", "b"}) {}
    TabControl tab;
};

// What the user sees while the search runs: a timer's calls come only when
// the window's messages run, and each looks whether the status label moved.
struct Watch {
    const Label* label = nullptr;
    std::string shown;
    int moves = 0;
    ULONGLONG last = 0, longest_wait = 0;
};
Watch watch;

void CALLBACK watch_tick(HWND, UINT, UINT_PTR, DWORD) {
    const ULONGLONG now = GetTickCount64();
    if (watch.last) watch.longest_wait = std::max(watch.longest_wait, now - watch.last);
    watch.last = now;
    if (watch.label->text() != watch.shown) {
        watch.shown = watch.label->text();
        ++watch.moves;
    }
}

double seconds_since(std::uint64_t t0) { return static_cast<double>(sys().clock.ticks_ms() - t0) / 1000.0; }

}  // namespace

int main(int argc, char** argv) {
    win32::start_backends();
    System& real = sys();
    Answers answers(real.dialogs);
    System bench{real.files, real.clock, real.timers, answers, real.shell, real.process, real.registry, real.desktop,
                 real.loop};
    install_system(&bench);
    FileSystem& fs = sys().files;

    const std::string root = argc > 1 ? argv[1] : sys().process.program_dir() + "\\bench_tree";
    constexpr int kTop = 40, kSub = 50, kFiles = 25;  // 2,000 folders of 25 files
    if (!fs.folder_exists(root + "\\d0\\s0")) {
        std::printf("making the tree in %s ...\n", root.c_str());
        fs.create_folder(root);
        for (int t = 0; t < kTop; ++t) {
            const std::string top = root + "\\d" + decimal(t);
            fs.create_folder(top);
            for (int s = 0; s < kSub; ++s) {
                const std::string sub = top + "\\s" + decimal(s);
                fs.create_folder(sub);
                for (int f = 0; f < kFiles; ++f) fs.replace(sub + "\\p" + decimal(f) + ".bmp", "");
            }
        }
    }

    std::uint64_t t0 = sys().clock.ticks_ms();
    const int bare = walk(root, "bmp") + walk(root, "jpg");
    const double walk_s = seconds_since(t0);
    const std::wstring wroot = win32::widen(root);
    t0 = sys().clock.ticks_ms();
    const int raw = raw_walk(wroot, L"bmp") + raw_walk(wroot, L"jpg");
    const double raw_s = seconds_since(t0);

    PageWindow w;
    Timer wallpaper, music;
    wallpaper.set_interval(60000);  // running: the confirm changes no wallpaper
    media::Media player(w, wallpaper, music);
    media::MediaPage page(w.tab.page(1), player);
    w.create();
    w.show();
    w.tab.select(1);
    answers.folder = root;
    watch.label = &page.标签;
    const UINT_PTR watch_timer = SetTimer(nullptr, 0, 10, watch_tick);
    t0 = sys().clock.ticks_ms();
    page.目录按钮_click();
    const double search_s = seconds_since(t0);
    KillTimer(nullptr, watch_timer);
    std::printf("search: %d rows in %.2f s; bare walk: %d files in %.2f s; ratio %.1f\n", page.列表框.row_count(),
                search_s, bare, walk_s, walk_s > 0 ? search_s / walk_s : 0.0);
    std::printf("status label moved %.1f times a second; the window's messages waited at most %d ms\n",
                search_s > 0 ? watch.moves / search_s : 0.0, static_cast<int>(watch.longest_wait));
    std::printf("bare FindFirstFileW walk: %d files in %.2f s; search ratio %.1f\n", raw, raw_s,
                raw_s > 0 ? search_s / raw_s : 0.0);

    page.全选按钮_click();
    const std::string list = media::list_path(media::kPictures);
    fs.remove(list);
    t0 = sys().clock.ticks_ms();
    page.添加按钮_click();
    const double confirm_s = seconds_since(t0);
    std::string bytes;
    fs.read(list, bytes);
    t0 = sys().clock.ticks_ms();
    fs.replace(list + ".copy", bytes);
    const double write_s = seconds_since(t0);
    fs.remove(list + ".copy");
    std::printf("confirm: %d rows, %zu bytes in %.3f s; one write of the same bytes: %.3f s; ratio %.1f\n",
                media::list_count(media::kPictures), bytes.size(), confirm_s, write_s,
                write_s > 0 ? confirm_s / write_s : 0.0);
    // Again over the list just written, as a user confirming a changed list does.
    t0 = sys().clock.ticks_ms();
    page.添加按钮_click();
    const double again_s = seconds_since(t0);
    std::printf("confirm over the existing list: %.3f s; ratio %.1f\n", again_s,
                write_s > 0 ? again_s / write_s : 0.0);
    w.destroy();
    install_system(&real);
    return 0;
}
