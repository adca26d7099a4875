// The library-wide random generator behind Math.random: the 48-bit linear
// congruential generator of POSIX drand48.
#pragma once
#include <cstdint>

namespace quillon {

void Math_SeedRandom(uint32_t seed);  // X = seed * 65536 + 0x330E
double Math_NextRandom();             // in [0, 1)

}  // namespace quillon
