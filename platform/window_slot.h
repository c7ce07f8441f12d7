// Ownership of a window that opens and closes while the program runs: open
// makes and creates it, get finds it, close takes it down, also from one of
// its own handlers.
#pragma once

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "platform/system.h"
#include "platform/ui.h"

namespace q {

template <class W>
class WindowSlot {
public:
    WindowSlot() = default;
    WindowSlot(const WindowSlot&) = delete;
    WindowSlot& operator=(const WindowSlot&) = delete;
    // The owner is going: every window it held goes now.
    ~WindowSlot() {
        if (window_) window_->destroy();
    }

    // Makes the window from args and creates it (hidden); a window the slot
    // held is closed first.
    template <class... Args>
    W& open(Args&&... args) {
        close();
        window_ = std::make_unique<W>(std::forward<Args>(args)...);
        window_->create();
        return *window_;
    }

    // Loads a window of one instance: the open one is brought forward;
    // otherwise one is made from args, its created handler runs and it shows.
    template <class... Args>
    W& load(Args&&... args) {
        if (window_) {
            window_->show();
            window_->set_focus();
            return *window_;
        }
        W& w = open(std::forward<Args>(args)...);
        w.window_created();
        w.show();
        return w;
    }

    // The open window, or nullptr.
    W* get() const { return window_.get(); }
    explicit operator bool() const { return window_ != nullptr; }

    // Destroys the window now; the object is deleted once the current handler
    // has returned, as it may be one of the window's own.
    void close() {
        if (!window_) return;
        W* w = window_.get();
        closing_->push_back(std::move(window_));
        w->destroy();
        std::weak_ptr<Closing> list = closing_;
        sys().loop.defer([list, w] {
            if (auto l = list.lock())
                l->erase(std::remove_if(l->begin(), l->end(), [w](const std::unique_ptr<W>& p) { return p.get() == w; }),
                         l->end());
        });
    }

private:
    using Closing = std::vector<std::unique_ptr<W>>;
    std::unique_ptr<W> window_;
    // Closed windows waiting for their deferred deletion; they go with the
    // slot when it goes first.
    std::shared_ptr<Closing> closing_ = std::make_shared<Closing>();
};

}  // namespace q
