// The sticky note: its opening from the main bar, the program's exit, and
// the state the program keeps about it.
#pragma once

#include <string>

#include "platform/ui.h"

namespace q::note {

// Main bar function 5, run after the bar is hidden: opens the note, or, when
// it is sliding at an edge, stops that and brings it fully on screen.
void note_action();
// The note window is open.
bool loaded();
// The open note window, or nullptr.
Window* window();
// The program is ending: the note closes without a question; text it holds is
// kept in the recovery file for the next open.
void close_for_exit();

// Program dir + "\note.recover": the text of a note that was open when the
// program ended or died.
std::string recovery_path();
// The docking side of the last park: 0 none, 1 left, 2 right, 3 top, 4 bottom.
int docking_side();
void set_docking_side(int side);

// Closes any note without a question and clears the state above (tests:
// before their SimSystem goes).
void reset();

}  // namespace q::note
