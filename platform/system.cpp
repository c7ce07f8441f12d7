#include "platform/system.h"

#include <cassert>

namespace q {

namespace {
System* g_system = nullptr;
}

System& sys() {
    assert(g_system && "no system installed");
    return *g_system;
}

void install_system(System* s) { g_system = s; }

std::string free_name(FileSystem& fs, const std::function<std::string(long long n)>& name) {
    for (long long n = 1;; ++n) {
        std::string candidate = name(n);
        if (!fs.exists(candidate) && !fs.folder_exists(candidate)) return candidate;
    }
}

}  // namespace q
