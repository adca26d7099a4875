// Math.random's generator: drand48's 48-bit linear congruential step, one
// state for the whole library (reached under the library lock), seeded from
// the date stamp at the library's first open.
#include "builtins/mathrandom.h"

namespace quillon {

namespace {

constexpr uint64_t kMask48 = (uint64_t{1} << 48) - 1;
constexpr uint64_t kMultiplier = 0x5DEECE66Dull;
constexpr uint64_t kAddend = 0xB;

uint64_t gState = 0x1234ABCD330Eull;
uint64_t gA = kMultiplier;
uint64_t gC = kAddend;

}  // namespace

void Math_SeedRandom(uint32_t seed) {
    gState = ((static_cast<uint64_t>(seed) << 16) | 0x330E) & kMask48;
    gA = kMultiplier;
    gC = kAddend;
}

double Math_NextRandom() {
    gState = (gA * gState + gC) & kMask48;
    uint32_t bits = static_cast<uint32_t>(gState >> 16);
    return bits / 4294967295.000001;
}

}  // namespace quillon
