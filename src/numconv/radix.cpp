// Number text in radix 2..36. The integer part is exact: repeated division
// by the radix, in 32-bit arithmetic below 2^32 and on a big integer above.
// The fraction is the shortest one in the radix that reads back to the same
// number (free-format digit generation in exact big-integer arithmetic):
// the remaining fraction and the two rounding margins of the number are
// scaled by the radix for each digit, and generation stops as soon as the
// digits so far, with the last one possibly raised by one, lie within the
// margins.
#include <bit>
#include <cmath>
#include <cstring>

#include "numconv/bignum.h"
#include "numconv/numconv.h"

namespace quillon {

namespace {

constexpr char kDigitChars[] = "0123456789abcdefghijklmnopqrstuvwxyz";

// Writes the digits of an integer, least significant first.
size_t SmallIntegerDigits(uint32_t x, uint32_t radix, char *rev) {
    size_t n = 0;
    do {
        rev[n++] = kDigitChars[x % radix];
        x /= radix;
    } while (x != 0);
    return n;
}

bool BigIntegerDigits(uint64_t mant, int exp2, uint32_t radix, char *rev, size_t *count) {
    BigNum b;
    if (!Big_SetU64(&b, mant) || !Big_ShiftLeft(&b, static_cast<uint32_t>(exp2))) return false;
    size_t n = 0;
    while (!Big_IsZero(b)) rev[n++] = kDigitChars[Big_DivSmall(&b, radix)];
    *count = n;
    return true;
}

// The fraction digits of a number mant * 2^exp2 (exp2 < 0) whose fraction
// part is frac * 2^exp2. `narrowBelow` says the gap to the next smaller
// number is half the gap to the next larger one.
bool FractionDigits(uint64_t mant, int exp2, uint64_t frac, bool narrowBelow, uint32_t radix,
                    char *out, size_t room, size_t *count) {
    // Units of a quarter or half of the gap above: the margins become 1 and
    // 1 (or 1 below and 2 above), and the fraction is b / 2^scale.
    uint32_t extra = narrowBelow ? 2 : 1;
    uint32_t scale = static_cast<uint32_t>(-exp2) + extra;
    BigNum b, low, high, sum;
    uint32_t words = scale / 32 + 3;
    if (!Big_Reserve(&b, words) || !Big_Reserve(&low, words) || !Big_Reserve(&high, words) ||
        !Big_Reserve(&sum, words + 1)) {
        return false;
    }
    if (!Big_SetU64(&b, frac << extra) || !Big_SetU64(&low, 1) ||
        !Big_SetU64(&high, narrowBelow ? 2 : 1)) {
        return false;
    }
    // A number with an even significand owns the halfway points (reading
    // text back rounds halves to even), so the margins are then inclusive.
    bool inclusive = (mant & 1) == 0;
    size_t n = 0;
    for (;;) {
        if (!Big_MulAdd(&b, radix, 0) || !Big_MulAdd(&low, radix, 0) ||
            !Big_MulAdd(&high, radix, 0)) {
            return false;
        }
        uint32_t digit = Big_SplitAt(&b, scale);
        if (!Big_Add(&sum, b, high)) return false;
        int lowCmp = Big_Compare(b, low);
        int highCmp = Big_ComparePow2(sum, scale);
        bool truncateFits = lowCmp < 0 || (inclusive && lowCmp == 0);
        bool raiseFits = highCmp > 0 || (inclusive && highCmp == 0);
        bool done = truncateFits || raiseFits;
        if (truncateFits && raiseFits) {
            // Either digit reads back right: take the nearer one, and the
            // smaller one when the rest is exactly half a digit.
            if (Big_ComparePow2(b, scale - 1) > 0) ++digit;
        } else if (raiseFits) {
            ++digit;
        }
        if (digit >= radix || n == room) return false;  // cannot happen: the margins end it first
        out[n++] = kDigitChars[digit];
        if (done) break;
    }
    *count = n;
    return true;
}

}  // namespace

size_t Num_ToRadix(double v, int radix, char *buf, size_t size) {
    if (radix < 2 || radix > 36 || !std::isfinite(v) || buf == nullptr) return 0;
    uint32_t base = static_cast<uint32_t>(radix);

    uint64_t bits = std::bit_cast<uint64_t>(v);
    int biased = static_cast<int>((bits >> 52) & 0x7FF);
    uint64_t stored = bits & ((uint64_t{1} << 52) - 1);
    uint64_t mant;
    int exp2;  // the magnitude is mant * 2^exp2
    if (biased == 0) {
        mant = stored;
        exp2 = -1074;
    } else {
        mant = stored | (uint64_t{1} << 52);
        exp2 = biased - 1075;
    }

    char text[kNumBufSize];
    size_t n = 0;
    if (v < 0) text[n++] = '-';

    // Integer part, written reversed and then turned around.
    char rev[kNumBufSize];
    size_t intDigits;
    uint64_t frac = 0;
    if (exp2 >= 0) {
        if (!BigIntegerDigits(mant, exp2, base, rev, &intDigits)) return 0;
    } else {
        uint32_t shift = static_cast<uint32_t>(-exp2);
        uint64_t whole = shift >= 64 ? 0 : mant >> shift;
        frac = shift >= 64 ? mant : mant & ((uint64_t{1} << shift) - 1);
        if (whole <= 0xFFFFFFFFu) {
            intDigits = SmallIntegerDigits(static_cast<uint32_t>(whole), base, rev);
        } else if (!BigIntegerDigits(whole, 0, base, rev, &intDigits)) {
            return 0;
        }
    }
    while (intDigits > 0) text[n++] = rev[--intDigits];

    if (frac != 0) {
        text[n++] = '.';
        // The smallest normal binade has a subnormal below it, at the same spacing.
        bool narrowBelow = stored == 0 && biased > 1;
        size_t fracDigits;
        if (!FractionDigits(mant, exp2, frac, narrowBelow, base, text + n,
                            sizeof text - n - 1, &fracDigits)) return 0;
        n += fracDigits;
    }

    if (n + 1 > size) return 0;
    std::memcpy(buf, text, n);
    buf[n] = 0;
    return n;
}

}  // namespace quillon
