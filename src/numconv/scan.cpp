// Numeric literal scanner, shared by the lexer and by text-to-number
// conversion. It finds where the literal ends by the literal rules and then
// reads the whole delimited text with a correctly rounded conversion, so a
// literal always stands for the double nearest to it ("0.3" is exactly the
// double 0.3); a literal too large for a double is Infinity and one too
// small is 0.
#include <charconv>
#include <cmath>
#include <cstdint>

#include "numconv/numconv.h"

namespace quillon {

namespace {

inline bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
inline bool IsHexDigit(unsigned char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Octal digits (a run without 8 and 9), correctly rounded: up to 21
// significant digits (63 bits) are exact in 64 bits; beyond that, the
// remaining digits only matter as a sticky bit below the kept ones, and one
// rounding of the 64-bit integer to a double is then exact rounding.
double OctalValue(const unsigned char *p, size_t len) {
    size_t i = 0;
    while (i < len && p[i] == '0') ++i;
    uint64_t kept = 0;
    size_t keptEnd = i + 21 < len ? i + 21 : len;
    for (; i < keptEnd; ++i) kept = kept * 8 + (p[i] - '0');
    if (i == len) return static_cast<double>(kept);
    size_t dropped = len - i;
    bool sticky = false;
    for (; i < len; ++i) sticky |= p[i] != '0';
    if (dropped > 400) return HUGE_VAL;  // far beyond the largest double
    int exp2 = static_cast<int>(dropped * 3);
    if (sticky) return std::ldexp(static_cast<double>((kept << 1) | 1), exp2 - 1);
    return std::ldexp(static_cast<double>(kept), exp2);
}

// A decimal text out of a double's range: Infinity when its first non-zero
// digit lies far above the point, 0 when far below.
double OutOfRange(const unsigned char *p, const unsigned char *end) {
    long position = 0;  // of the first non-zero digit: 0 is the units
    bool seen = false, inFraction = false;
    const unsigned char *q = p;
    for (; q < end && (IsDigit(*q) || *q == '.'); ++q) {
        if (*q == '.') {
            inFraction = true;
        } else if (!seen) {
            if (*q != '0') {
                seen = true;
                if (inFraction) --position;
            } else if (inFraction) {
                --position;
            }
        } else if (!inFraction) {
            ++position;
        }
    }
    if (!seen) return 0;
    long exponent = 0;
    bool negExp = false;
    if (q < end) {
        ++q;  // 'e' or 'E'
        if (*q == '+' || *q == '-') negExp = *q++ == '-';
        for (; q < end; ++q) {
            if (exponent < 100000000) exponent = exponent * 10 + (*q - '0');
        }
    }
    return position + (negExp ? -exponent : exponent) > 0 ? HUGE_VAL : 0.0;
}

}  // namespace

size_t Num_ScanLiteral(const char *text, bool octal, double *value) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && IsHexDigit(p[2])) {
        const unsigned char *q = p + 2;
        while (IsHexDigit(*q)) ++q;
        double v = 0;
        auto r = std::from_chars(text + 2, reinterpret_cast<const char *>(q), v,
                                 std::chars_format::hex);
        *value = r.ec == std::errc::result_out_of_range ? HUGE_VAL : v;
        return static_cast<size_t>(q - p);
    }

    if (octal && p[0] == '0') {
        size_t intLen = 0;
        bool allOctal = true;
        for (; IsDigit(p[intLen]); ++intLen) allOctal &= p[intLen] <= '7';
        if (intLen >= 2 && allOctal) {
            *value = OctalValue(p, intLen);
            return intLen;
        }
    }
    return Num_ScanDecimal(text, value);
}

size_t Num_ScanDecimal(const char *text, double *value) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    const unsigned char *q = p;
    while (IsDigit(*q)) ++q;
    size_t intLen = static_cast<size_t>(q - p);
    if (*q == '.') {
        if (IsDigit(q[1])) {
            q += 2;
            while (IsDigit(*q)) ++q;
        } else if (intLen > 0) {
            ++q;  // "5." is 5
        }
    }
    if (q == p) return 0;  // neither digits nor a fraction
    if (*q == 'e' || *q == 'E') {
        const unsigned char *e = q + 1;
        if (*e == '+' || *e == '-') ++e;
        if (IsDigit(*e)) {
            while (IsDigit(*e)) ++e;
            q = e;
        }
    }
    double v = 0;
    auto r = std::from_chars(text, reinterpret_cast<const char *>(q), v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        v = OutOfRange(p, q);
    } else if (r.ec != std::errc() || r.ptr != reinterpret_cast<const char *>(q)) {
        return 0;  // the text is a literal by the rules above, so this does not happen
    }
    *value = v;
    return static_cast<size_t>(q - p);
}

}  // namespace quillon
