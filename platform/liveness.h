// Did the owner survive a modal step?
//
// A message box, input box, pop-up menu or common dialog runs a modal loop
// that dispatches the program's other messages: a hotkey, the tray or a
// timer may close the window that opened it, or delete the object. So the
// owner (a window, a backend peer) holds a Liveness; a handler takes a token
// before the modal step and, when the token says the owner went, returns at
// once without touching it. The token lives on the handler's stack and stays
// valid after its owner is deleted.
#pragma once

#include <memory>

namespace q {

class AliveToken {
public:
    AliveToken() = default;
    // True while the owner is neither ended nor deleted.
    bool alive() const {
        const std::shared_ptr<const bool> f = flag_.lock();
        return f && *f;
    }
    explicit operator bool() const { return alive(); }

private:
    friend class Liveness;
    explicit AliveToken(std::weak_ptr<const bool> f) : flag_(std::move(f)) {}
    std::weak_ptr<const bool> flag_;
};

class Liveness {
public:
    Liveness() = default;
    Liveness(const Liveness&) = delete;
    Liveness& operator=(const Liveness&) = delete;
    ~Liveness() { end(); }

    AliveToken token() const { return AliveToken(flag_); }
    // The owner went (destroyed, before its memory is freed): every token
    // taken so far says so.
    void end() { *flag_ = false; }
    // The owner lives again (a window created anew): tokens taken from now on
    // are alive; older ones stay ended.
    void restart() {
        if (!*flag_) flag_ = std::make_shared<bool>(true);
    }

private:
    std::shared_ptr<bool> flag_ = std::make_shared<bool>(true);
};

}  // namespace q
