// Locale services for 8-bit Latin-1 text: character case conversion and the
// collation behind localeCompare.
#pragma once
#include <cstddef>
#include <cstdint>

namespace quillon {

uint8_t Plat_ToLower(uint8_t c);
uint8_t Plat_ToUpper(uint8_t c);

// Compares two texts the way a reader sorts words: first ignoring case and
// accents, then, for texts equal in that sense, byte by byte. Returns a
// negative, zero or positive number.
int32_t Plat_Collate(const char *a, size_t alen, const char *b, size_t blen);

}  // namespace quillon
