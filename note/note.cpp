#include "note/note.h"

#include "settings/settings_file.h"

namespace q::note {

void Note::note_action() {
    NoteWindow* w = window_.get();
    if (!w) {
        NoteWindow& opened = window_.open(*this);
        opened.window_created();
        opened.show();
        return;
    }
    if (w->移动时钟.running()) {
        w->移动时钟.set_interval(0);
        w->keep_on_screen();
        w->固定按钮.set_text("自动隐藏");
    }
}

void Note::close_for_exit() {
    NoteWindow* w = window_.get();
    if (!w) return;
    w->write_recovery();
    close_window();
}

std::string recovery_path() { return program_file("note.recover"); }

}  // namespace q::note
