// Small system helpers of the main bar that other windows share.
#pragma once

#include "platform/ui.h"

namespace q {

// Windows key + M: minimise all windows.
void show_desktop();
// Makes w layered with a constant alpha (unchecked, callers give 0..255).
void set_window_opacity(Window& w, int alpha);
// One tick of the screen-edge slide of a docked window; side 1 left,
// 2 right, 3 top, 4 bottom. Other sides do nothing.
void edge_slide_step(Window& w, int side);

}  // namespace q
