// The library lock: one recursive lock that every entry of the library
// holds while it runs. Calls from several threads are serialised; a hook
// that calls back into the library on its own thread re-enters freely. The
// pending-signal word (signals.h) is the one thing reached without it.
#pragma once

namespace quillon {

void Plat_Lock();
void Plat_Unlock();

// Holds the library lock for as long as it lives.
struct LibLock {
    LibLock() { Plat_Lock(); }
    ~LibLock() { Plat_Unlock(); }
    LibLock(const LibLock &) = delete;
    LibLock &operator=(const LibLock &) = delete;
};

}  // namespace quillon
