#include "note/note.h"

#include <memory>

#include "note/note_window.h"
#include "platform/system.h"
#include "settings/settings_file.h"

namespace q::note {

namespace {

struct State {
    std::unique_ptr<NoteWindow> window;
    int side = 0;
};

State& state() {
    static State s;
    return s;
}

void open() {
    State& s = state();
    s.window = std::make_unique<NoteWindow>();
    NoteWindow& w = *s.window;
    w.create();
    w.window_created();
    w.show();
}

}  // namespace

void note_action() {
    NoteWindow* w = state().window.get();
    if (!w) {
        open();
        return;
    }
    if (w->移动时钟.running()) {
        w->移动时钟.set_interval(0);
        w->keep_on_screen();
        w->固定按钮.set_text("自动隐藏");
    }
}

bool loaded() { return state().window != nullptr; }

Window* window() { return state().window.get(); }

void close_window() {
    State& s = state();
    if (!s.window) return;
    // The window may be closing from its own handler: delete it only once that has returned.
    std::shared_ptr<NoteWindow> w(s.window.release());
    w->destroy();
    sys().loop.defer([w]() mutable { w.reset(); });
}

void close_for_exit() {
    NoteWindow* w = state().window.get();
    if (!w) return;
    w->write_recovery();
    close_window();
}

std::string recovery_path() { return program_file("note.recover"); }

int docking_side() { return state().side; }
void set_docking_side(int side) { state().side = side; }

void reset() {
    State& s = state();
    if (s.window) {
        s.window->destroy();
        s.window.reset();
    }
    s.side = 0;
}

}  // namespace q::note
