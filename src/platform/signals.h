// Task signals: the pending-signal word that the user-break check reads.
// Hosts raise bits with SetJSSignal, also from a POSIX signal handler.
#pragma once
#include <cstdint>

namespace quillon {

// Bits under mask take the values of newSignals; returns the old word.
uint32_t Plat_SetSignal(uint32_t newSignals, uint32_t mask);

}  // namespace quillon
