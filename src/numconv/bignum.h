// Unsigned big integers for exact conversions: 32-bit words, least
// significant first, in a counted array block. Every operation that may
// need more room returns false when memory runs out and then leaves the
// number as it was. The block is freed when the number goes out of scope.
#pragma once
#include <cstdint>

namespace quillon {

struct BigNum {
    uint32_t *w = nullptr;  // array block (Arr_*), or null for zero
    uint32_t n = 0;         // words in use; no leading zero words

    BigNum() = default;
    BigNum(const BigNum &) = delete;
    BigNum &operator=(const BigNum &) = delete;
    ~BigNum();
};

bool Big_Reserve(BigNum *b, uint32_t words);
bool Big_SetU64(BigNum *b, uint64_t v);
bool Big_ShiftLeft(BigNum *b, uint32_t bits);
bool Big_MulAdd(BigNum *b, uint32_t m, uint32_t a);   // b = b * m + a
bool Big_Add(BigNum *r, const BigNum &a, const BigNum &b);  // r = a + b (r may be a or b)
uint32_t Big_DivSmall(BigNum *b, uint32_t d);         // b /= d; returns the remainder
// Returns b >> bits (which must fit in 32 bits) and keeps only the low bits in b.
uint32_t Big_SplitAt(BigNum *b, uint32_t bits);
int Big_Compare(const BigNum &a, const BigNum &b);    // -1, 0 or 1
int Big_ComparePow2(const BigNum &a, uint32_t bits);  // a against 2^bits
inline bool Big_IsZero(const BigNum &b) { return b.n == 0; }

}  // namespace quillon
