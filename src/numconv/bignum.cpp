// Unsigned big integers in counted array blocks.
#include "numconv/bignum.h"

#include "runtime/memory.h"

namespace quillon {

namespace {

void Trim(BigNum *b) {
    while (b->n > 0 && b->w[b->n - 1] == 0) --b->n;
}

}  // namespace

BigNum::~BigNum() { Arr_Free(w); }

bool Big_Reserve(BigNum *b, uint32_t words) {
    return Arr_EnsureT(b->w, words);
}

bool Big_SetU64(BigNum *b, uint64_t v) {
    if (!Big_Reserve(b, 2)) return false;
    b->w[0] = static_cast<uint32_t>(v);
    b->w[1] = static_cast<uint32_t>(v >> 32);
    b->n = 2;
    Trim(b);
    return true;
}

bool Big_ShiftLeft(BigNum *b, uint32_t bits) {
    if (b->n == 0 || bits == 0) return true;
    uint32_t words = bits / 32;
    uint32_t rest = bits % 32;
    if (!Big_Reserve(b, b->n + words + 1)) return false;
    uint32_t top = b->n + words;
    b->w[top] = 0;
    if (rest == 0) {
        for (uint32_t i = b->n; i-- > 0;) b->w[i + words] = b->w[i];
    } else {
        for (uint32_t i = b->n; i-- > 0;) {
            b->w[i + words + 1] |= b->w[i] >> (32 - rest);
            b->w[i + words] = b->w[i] << rest;
        }
    }
    for (uint32_t i = 0; i < words; ++i) b->w[i] = 0;
    b->n = top + 1;
    Trim(b);
    return true;
}

bool Big_MulAdd(BigNum *b, uint32_t m, uint32_t a) {
    if (!Big_Reserve(b, b->n + 1)) return false;
    uint64_t carry = a;
    for (uint32_t i = 0; i < b->n; ++i) {
        uint64_t x = static_cast<uint64_t>(b->w[i]) * m + carry;
        b->w[i] = static_cast<uint32_t>(x);
        carry = x >> 32;
    }
    if (carry != 0) b->w[b->n++] = static_cast<uint32_t>(carry);
    return true;
}

bool Big_Add(BigNum *r, const BigNum &a, const BigNum &b) {
    const BigNum &longer = a.n >= b.n ? a : b;
    const BigNum &shorter = a.n >= b.n ? b : a;
    uint32_t len = longer.n;
    if (!Big_Reserve(r, len + 1)) return false;
    uint64_t carry = 0;
    for (uint32_t i = 0; i < len; ++i) {
        uint64_t x = static_cast<uint64_t>(longer.w[i]) + (i < shorter.n ? shorter.w[i] : 0) + carry;
        r->w[i] = static_cast<uint32_t>(x);
        carry = x >> 32;
    }
    r->w[len] = static_cast<uint32_t>(carry);
    r->n = len + 1;
    Trim(r);
    return true;
}

uint32_t Big_DivSmall(BigNum *b, uint32_t d) {
    uint64_t rem = 0;
    for (uint32_t i = b->n; i-- > 0;) {
        uint64_t x = (rem << 32) | b->w[i];
        b->w[i] = static_cast<uint32_t>(x / d);
        rem = x % d;
    }
    Trim(b);
    return static_cast<uint32_t>(rem);
}

uint32_t Big_SplitAt(BigNum *b, uint32_t bits) {
    uint32_t word = bits / 32;
    uint32_t rest = bits % 32;
    uint64_t high = 0;
    if (word < b->n) {
        high = b->w[word] >> rest;
        if (word + 1 < b->n && rest != 0) high |= static_cast<uint64_t>(b->w[word + 1]) << (32 - rest);
        b->n = word + 1;
        b->w[word] &= rest == 0 ? 0 : (uint32_t{1} << rest) - 1;
        Trim(b);
    }
    return static_cast<uint32_t>(high);
}

int Big_Compare(const BigNum &a, const BigNum &b) {
    if (a.n != b.n) return a.n < b.n ? -1 : 1;
    for (uint32_t i = a.n; i-- > 0;) {
        if (a.w[i] != b.w[i]) return a.w[i] < b.w[i] ? -1 : 1;
    }
    return 0;
}

int Big_ComparePow2(const BigNum &a, uint32_t bits) {
    uint32_t word = bits / 32;
    uint32_t bit = uint32_t{1} << (bits % 32);
    if (a.n != word + 1) return a.n < word + 1 ? -1 : 1;
    uint32_t top = a.w[word];
    if (top != bit) return top < bit ? -1 : 1;
    for (uint32_t i = 0; i < word; ++i) {
        if (a.w[i] != 0) return 1;
    }
    return 0;
}

}  // namespace quillon
