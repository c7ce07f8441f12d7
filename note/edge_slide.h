// The screen-edge slide of a parked note.
#pragma once

#include "platform/ui.h"

namespace q::note {

// One tick of the slide of a window docked at side 1 left, 2 right, 3 top,
// 4 bottom: the pointer at that edge within the window's extent brings it
// into view, leaving it pushes it back to its strip. Other sides do nothing.
void edge_slide_step(Window& w, int side);

}  // namespace q::note
