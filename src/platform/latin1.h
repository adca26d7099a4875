// Locale services for 8-bit Latin-1 text: character case conversion and the
// collation behind localeCompare.
#pragma once
#include <cstddef>
#include <cstdint>

namespace quillon {

// The case pairs: A-Z and a-z, and the Latin-1 capitals 192..222 (without
// the multiplication sign 215) and 224..254 (without the division sign).
constexpr uint8_t Plat_ToLower(uint8_t c) {
    return ((c >= 'A' && c <= 'Z') || (c >= 192 && c <= 222 && c != 215)) ? static_cast<uint8_t>(c + 32) : c;
}
constexpr uint8_t Plat_ToUpper(uint8_t c) {
    return ((c >= 'a' && c <= 'z') || (c >= 224 && c <= 254 && c != 247)) ? static_cast<uint8_t>(c - 32) : c;
}

// Compares two texts the way a reader sorts words: first ignoring case and
// accents, then, for texts equal in that sense, byte by byte. Returns a
// negative, zero or positive number.
int32_t Plat_Collate(const char *a, size_t alen, const char *b, size_t blen);

}  // namespace quillon
