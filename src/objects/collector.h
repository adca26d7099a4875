// Reclamation of objects (reference counts and the cycle collector). The
// operations every part uses (Obj_AddRef, Obj_Release, Obj_SafePoint,
// Obj_CollectCycles) are in object.h; these are for the library's frame and
// for tests.
#pragma once
#include <cstdint>

#include "objects/object.h"

namespace quillon {

void Collector_SetRegExpHooks(const RegExpHooks *hooks);

// Test switch: with it on, every safe point collects (whatever the size of
// the root list), so that anything held uncounted across one shows at once.
// A run that keeps a long structure under a root it touches at every step
// would take quadratic time that way: once the collections have examined
// `budget` objects (0: no limit) the threshold decides again.
void Collector_SetEverySafePoint(bool on, uint64_t budget = 0);

struct CollectorStats {
    uint64_t collections;  // collections run (at safe points and at space destruction)
    uint64_t examined;     // objects their trial deletion looked at
    uint64_t freed;        // objects they found to be garbage
};
CollectorStats Collector_Stats();

// Forgets everything (the library's first open: the pool is new).
void Collector_Reset();

}  // namespace quillon
