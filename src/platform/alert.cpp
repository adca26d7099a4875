#include "platform/alert.h"

#include "platform/debuglog.h"

namespace quillon {

void Plat_Alert(const char *message) { Plat_DebugPrintf("*** Alert: %s\n", message); }

}  // namespace quillon
