// One page of a tabbed window as its frame drives it: the frame loops over
// its pages and runs the same two steps on each, knowing none of them.
#pragma once

namespace q {

class Page {
public:
    // Once, when the window has been made, in tab order.
    virtual void created() {}
    // Each time the user (or the program) brings the page's tab up.
    virtual void shown() {}

protected:
    Page() = default;
    Page(const Page&) = default;
    Page& operator=(const Page&) = default;
    ~Page() = default;
};

}  // namespace q
