#include "platform/signals.h"

#include <atomic>

namespace quillon {

namespace {

std::atomic<uint32_t> gPending{0};
static_assert(std::atomic<uint32_t>::is_always_lock_free,
              "the signal word must be safe to touch from a signal handler");

}  // namespace

uint32_t Plat_SetSignal(uint32_t newSignals, uint32_t mask) {
    if (mask == 0) return gPending.load(std::memory_order_relaxed);
    uint32_t old = gPending.load(std::memory_order_relaxed);
    uint32_t want;
    do {
        want = (old & ~mask) | (newSignals & mask);
    } while (!gPending.compare_exchange_weak(old, want, std::memory_order_relaxed));
    return old;
}

}  // namespace quillon
