// Task signals: the pending-signal word that the user-break check reads.
// Hosts raise bits with SetJSSignal, also from a POSIX signal handler.
#pragma once
#include <atomic>
#include <cstdint>

namespace quillon {

// Bits under mask take the values of newSignals; returns the old word.
uint32_t Plat_SetSignal(uint32_t newSignals, uint32_t mask);

// The pending-signal word itself, for checks that only read it.
extern std::atomic<uint32_t> gPendingSignals;
inline uint32_t Plat_PendingSignals() { return gPendingSignals.load(std::memory_order_relaxed); }

}  // namespace quillon
