// The pending-signal word: one atomic, set and read without the library
// lock, so a POSIX signal handler may raise a bit at any moment.
#include "platform/signals.h"

#include <atomic>

namespace quillon {

std::atomic<uint32_t> gPendingSignals{0};
static_assert(std::atomic<uint32_t>::is_always_lock_free,
              "the signal word must be safe to touch from a signal handler");

uint32_t Plat_SetSignal(uint32_t newSignals, uint32_t mask) {
    if (mask == 0) return gPendingSignals.load(std::memory_order_relaxed);
    uint32_t old = gPendingSignals.load(std::memory_order_relaxed);
    uint32_t want;
    do {
        want = (old & ~mask) | (newSignals & mask);
    } while (!gPendingSignals.compare_exchange_weak(old, want, std::memory_order_relaxed));
    return old;
}

}  // namespace quillon
