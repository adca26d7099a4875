// Zero-terminated 8-bit text routines. Characters compare as unsigned bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quillon {

// -1, 0 or 1 by the first differing unsigned byte; a prefix is smaller.
inline int Str_Compare(const char *a, const char *b) {
    int r = std::strcmp(a, b);  // strcmp compares as unsigned char
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

// Compares two byte ranges as unsigned bytes; a prefix is smaller.
inline int Str_CompareBytes(const char *a, size_t an, const char *b, size_t bn) {
    size_t n = an < bn ? an : bn;
    int r = n ? std::memcmp(a, b, n) : 0;
    if (r != 0) return r < 0 ? -1 : 1;
    return an < bn ? -1 : (an > bn ? 1 : 0);
}

// The identifier table's hash (djb2 over the bytes, 32-bit).
constexpr uint32_t Str_Hash(const char *s, size_t n) {
    uint32_t h = 5381;
    for (size_t i = 0; i < n; ++i) h = h * 33 + static_cast<uint8_t>(s[i]);
    return h;
}

}  // namespace quillon
