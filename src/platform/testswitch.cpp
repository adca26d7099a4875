// The environment switches of checking builds (see testswitch.h).
#include "platform/testswitch.h"

#ifdef QUILLON_CHECKS
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quillon {

bool Plat_TestSwitchOff(const char *name) {
    const char *v = std::getenv(name);
    return v && std::strcmp(v, "0") == 0;
}

void Plat_CheckFailed(const char *text) {
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
    std::abort();
}

}  // namespace quillon
#endif
