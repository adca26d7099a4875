// The system alert, off MorphOS: one framed line on the debug log.
#include "platform/alert.h"

#include "platform/debuglog.h"

namespace quillon {

void Plat_Alert(const char *message) { Plat_DebugPrintf("*** Alert: %s\n", message); }

}  // namespace quillon
