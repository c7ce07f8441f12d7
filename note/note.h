// The sticky note: its opening from the main bar, the program's exit, and
// the state the program keeps about it.
#pragma once

#include <string>

#include "note/note_window.h"
#include "platform/window_slot.h"

namespace q::note {

class Note {
public:
    Note() = default;
    Note(const Note&) = delete;
    Note& operator=(const Note&) = delete;

    // Main bar function 5, run after the bar is hidden: opens the note, or,
    // when it is sliding at an edge, stops that and brings it fully on screen.
    void note_action();
    // The note window is open.
    bool loaded() const { return window_.get() != nullptr; }
    // The open note window, or nullptr.
    NoteWindow* window() const { return window_.get(); }
    // Destroys the open note window; the object goes once the current handler has returned.
    void close_window() { window_.close(); }
    // The program is ending: the note closes without a question; text it holds
    // is kept in the recovery file for the next open.
    void close_for_exit();

    // The docking side of the last park: 0 none, 1 left, 2 right, 3 top, 4 bottom.
    int docking_side() const { return side_; }
    void set_docking_side(int side) { side_ = side; }

private:
    WindowSlot<NoteWindow> window_;
    int side_ = 0;
};

// Program dir + "\note.recover": the text of a note that was open when the
// program ended or died.
std::string recovery_path();

}  // namespace q::note
