// The library lock: one process-wide recursive mutex.
#include "platform/lock.h"

#include <mutex>

namespace quillon {

namespace {

// No library entry runs during static initialisation, so a plain global
// serves (a function-local static would cost a guard check on every entry).
std::recursive_mutex gLock;

}  // namespace

void Plat_Lock() { gLock.lock(); }
void Plat_Unlock() { gLock.unlock(); }

}  // namespace quillon
