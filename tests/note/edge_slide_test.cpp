// The edge slide step on each side: reveal, keep, park, untouched, bounds.
#include <gtest/gtest.h>

#include "note/edge_slide.h"
#include "platform/sim/sim_system.h"

namespace q::note {
namespace {

// Screen 1024 x 768, window 151 x 270.
class NoteEdgeSlide : public ::testing::Test {
protected:
    sim::SimSystem sim;
    Window w{{0, 0, 151, 270}, "note", {}};

    // Places the window, runs one step with the pointer at p; the window's top-left after it.
    Point step(int side, Point at, Point p, bool* topmost = nullptr) {
        w.move(at.x, at.y);
        w.set_topmost(false);
        sim.mouse = p;
        edge_slide_step(w, side);
        if (topmost) *topmost = w.topmost();
        return {w.rect().left, w.rect().top};
    }
};

TEST_F(NoteEdgeSlide, Left) {
    const Point parked{5 - 151, 100};
    bool top = false;
    // Reveal: x <= 5 within the window's height, bounds included.
    EXPECT_EQ(step(1, parked, {5, 100}, &top), (Point{0, 100}));
    EXPECT_TRUE(top);
    EXPECT_EQ(step(1, parked, {0, 370}), (Point{0, 100}));
    // Not at the edge or outside the height: untouched.
    EXPECT_EQ(step(1, parked, {6, 200}), parked);
    EXPECT_EQ(step(1, parked, {3, 99}), parked);
    EXPECT_EQ(step(1, parked, {3, 371}), parked);
    // Revealed: kept while x <= width within the height, parked otherwise.
    EXPECT_EQ(step(1, {0, 100}, {151, 370}), (Point{0, 100}));
    EXPECT_EQ(step(1, {0, 100}, {152, 200}), parked);
    EXPECT_EQ(step(1, {0, 100}, {100, 371}), parked);
    // A window elsewhere is not touched.
    EXPECT_EQ(step(1, {300, 100}, {600, 600}), (Point{300, 100}));
}

TEST_F(NoteEdgeSlide, SideRevealsCorrectTheTop) {
    bool top = true;
    // Below the screen's bottom: brought up, without the topmost request.
    EXPECT_EQ(step(1, {-146, 600}, {0, 700}, &top), (Point{0, 768 - 270}));
    EXPECT_FALSE(top);
    // Exactly at SH - Ht: kept, topmost.
    EXPECT_EQ(step(2, {1019, 498}, {1023, 600}, &top), (Point{1024 - 151, 498}));
    EXPECT_TRUE(top);
    // Above the screen: to top 0.
    EXPECT_EQ(step(1, {-146, -20}, {0, 100}, &top), (Point{0, 0}));
    EXPECT_TRUE(top);
}

TEST_F(NoteEdgeSlide, RightKeepIsStrict) {
    const Point parked{1024 - 5, 100};
    const Point shown{1024 - 151, 100};
    EXPECT_EQ(step(2, parked, {1019, 100}), shown);
    EXPECT_EQ(step(2, parked, {1018, 100}), parked);
    EXPECT_EQ(step(2, shown, {874, 370}), shown);
    EXPECT_EQ(step(2, shown, {873, 200}), parked) << "x must be strictly greater than SW - Wd";
    EXPECT_EQ(step(2, shown, {900, 371}), parked);
}

TEST_F(NoteEdgeSlide, Top) {
    const Point parked{200, 5 - 270};
    bool top = false;
    EXPECT_EQ(step(3, parked, {200, 5}, &top), (Point{200, 0}));
    EXPECT_TRUE(top);
    EXPECT_EQ(step(3, parked, {351, 0}), (Point{200, 0}));
    EXPECT_EQ(step(3, parked, {199, 0}), parked);
    EXPECT_EQ(step(3, parked, {250, 6}), parked);
    EXPECT_EQ(step(3, {200, 0}, {351, 270}), (Point{200, 0}));
    EXPECT_EQ(step(3, {200, 0}, {250, 271}), parked);
    EXPECT_EQ(step(3, {200, 0}, {352, 100}), parked);
}

TEST_F(NoteEdgeSlide, Bottom) {
    const Point parked{200, 768 - 5};
    const Point shown{200, 768 - 270};
    EXPECT_EQ(step(4, parked, {200, 763}), shown);
    EXPECT_EQ(step(4, parked, {200, 762}), parked);
    EXPECT_EQ(step(4, shown, {351, 498}), shown);
    EXPECT_EQ(step(4, shown, {250, 497}), parked);
    EXPECT_EQ(step(4, shown, {199, 600}), parked);
    // Other sides do nothing.
    EXPECT_EQ(step(0, parked, {0, 0}), parked);
    EXPECT_EQ(step(5, parked, {200, 767}), parked);
}

}  // namespace
}  // namespace q::note
