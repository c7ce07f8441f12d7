#include "launcher/launcher.h"

namespace q::launcher {

void Launcher::toggle() {
    if (window_.get()) {
        window_.close();
        return;
    }
    LauncherWindow& w = window_.open(*this);
    w.window_created();
    w.show();
}

}  // namespace q::launcher
