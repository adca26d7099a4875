// Reclamation of objects (reference counts and the cycle collector).
#pragma once
#include "objects/object.h"

namespace quillon {

void Collector_SetRegExpHooks(const RegExpHooks *hooks);

}  // namespace quillon
