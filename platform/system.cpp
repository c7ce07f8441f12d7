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

}  // namespace q
