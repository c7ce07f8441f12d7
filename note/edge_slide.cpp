#include "note/edge_slide.h"

#include "platform/system.h"

namespace q::note {

namespace {

constexpr int kZone = 5;  // edge zone, and the strip a parked window keeps on screen

bool within(int v, int lo, int hi) { return v >= lo && v <= hi; }

// Left and right reveals also bring the window's top into the screen.
void reveal_sideways(Window& w, int left, int screen_height) {
    const Rect r = w.rect();
    if (r.top > screen_height - r.height) {
        w.move(left, screen_height - r.height);
        return;
    }
    w.set_topmost(true);
    w.move(left, r.top <= 0 ? 0 : r.top);
}

}  // namespace

void edge_slide_step(Window& w, int side) {
    const Rect r = w.rect();
    const int L = r.left, T = r.top, Wd = r.width, Ht = r.height;
    const Size screen = sys().desktop.screen_size();
    const int SW = screen.width, SH = screen.height;
    const Point p = sys().desktop.pointer();
    const int x = p.x, y = p.y;

    switch (side) {
        case 1:  // left
            if (x <= kZone && within(y, T, T + Ht)) {
                reveal_sideways(w, 0, SH);
            } else if (L == 0) {
                if (!(x <= Wd && within(y, T, T + Ht))) w.move(kZone - Wd, T);
            }
            break;
        case 2:  // right
            if (x >= SW - kZone && within(y, T, T + Ht)) {
                reveal_sideways(w, SW - Wd, SH);
            } else if (L == SW - Wd) {
                if (!(x > SW - Wd && within(y, T, T + Ht))) w.move(SW - kZone, T);
            }
            break;
        case 3:  // top
            if (y <= kZone && within(x, L, L + Wd)) {
                w.set_topmost(true);
                w.move(L, 0);
            } else if (T == 0) {
                if (!(y <= Ht && within(x, L, L + Wd))) w.move(L, kZone - Ht);
            }
            break;
        case 4:  // bottom
            if (y >= SH - kZone && within(x, L, L + Wd)) {
                w.set_topmost(true);
                w.move(L, SH - Ht);
            } else if (T == SH - Ht) {
                if (!(y >= SH - Ht && within(x, L, L + Wd))) w.move(L, SH - kZone);
            }
            break;
        default:
            break;
    }
}

}  // namespace q::note
