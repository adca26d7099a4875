// Decimal digit generator. The standard library's conversions are correctly
// rounded: the shortest form comes straight from std::to_chars; n digits or
// n places are taken from a to_chars text carrying three guard digits more
// than needed, and rounded here. Rounding the guarded text again gives the
// same result as rounding the number itself unless the guard digits read
// exactly 500; only then is the exact decimal expansion of the number
// consulted, which also decides exact halves (they round away from zero).
#include "numconv/digits.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace quillon {

namespace {

constexpr int kGuardDigits = 3;
// Holds any to_chars text used here: the exact expansion of a double has at
// most 309 integer digits or "0." and 1074 places.
constexpr int kRawSize = 1400;

// A run of decimal digits (leading zeros removed, trailing zeros allowed)
// with the position of the decimal point; len 0 stands for zero.
struct DigitRun {
    char d[kRawSize];
    int len;
    int decpt;
};

// Turns a to_chars text "iii.fff" (already in run->d) into its digit run.
void CollapseFixed(DigitRun *run, int textLen) {
    char *t = run->d;
    int intDigits = textLen;
    int len = 0;
    for (int i = 0; i < textLen; ++i) {
        if (t[i] == '.') {
            intDigits = i;
            continue;
        }
        t[len++] = t[i];
    }
    int lead = 0;
    while (lead < len && t[lead] == '0') ++lead;
    if (lead == len) {
        run->len = 0;
        run->decpt = 1;
        return;
    }
    std::memmove(t, t + lead, static_cast<size_t>(len - lead));
    run->len = len - lead;
    run->decpt = intDigits - lead;
}

// Turns a to_chars text "d.ddde+XX" (already in run->d) into its digit run.
void CollapseScientific(DigitRun *run, int textLen) {
    char *t = run->d;
    int len = 0;
    int i = 0;
    for (; i < textLen && t[i] != 'e'; ++i) {
        if (t[i] != '.') t[len++] = t[i];
    }
    int exponent = 0;
    bool negExp = false;
    if (i < textLen) {
        ++i;  // 'e'
        if (t[i] == '-' || t[i] == '+') negExp = t[i++] == '-';
        for (; i < textLen; ++i) exponent = exponent * 10 + (t[i] - '0');
    }
    run->len = len;
    run->decpt = (negExp ? -exponent : exponent) + 1;
}

// The exact decimal expansion of a positive finite a. Its binary form is an
// odd integer times 2^e; for e < 0 the expansion ends exactly -e places after
// the point, so that many places lose nothing.
bool ExactRun(double a, DigitRun *run) {
    uint64_t bits = std::bit_cast<uint64_t>(a);
    int biased = static_cast<int>((bits >> 52) & 0x7FF);
    uint64_t mant = bits & ((uint64_t{1} << 52) - 1);
    int e;
    if (biased == 0) {
        e = -1074;
    } else {
        mant |= uint64_t{1} << 52;
        e = biased - 1075;
    }
    e += std::countr_zero(mant);
    int places = e < 0 ? -e : 0;
    auto r = std::to_chars(run->d, run->d + kRawSize, a, std::chars_format::fixed, places);
    if (r.ec != std::errc()) return false;
    CollapseFixed(run, static_cast<int>(r.ptr - run->d));
    return true;
}

enum class Rounding { Down, Up, Unsure };

// How keeping the first `keep` digits of the run rounds. An exact run
// resolves a half to Up; a guarded run reports it as Unsure.
Rounding Decide(const DigitRun &run, int keep, bool exact) {
    if (keep < 0 || keep >= run.len) return Rounding::Down;
    char first = run.d[keep];
    if (first < '5') return Rounding::Down;
    if (first > '5') return Rounding::Up;
    for (int i = keep + 1; i < run.len; ++i) {
        if (run.d[i] != '0') return Rounding::Up;
    }
    return exact ? Rounding::Up : Rounding::Unsure;
}

void SetZero(NumDigits *out) {
    out->digits[0] = '0';
    out->digits[1] = 0;
    out->count = 1;
    out->decpt = 1;
}

void StripTrailingZeros(NumDigits *out) {
    while (out->count > 1 && out->digits[out->count - 1] == '0') --out->count;
    out->digits[out->count] = 0;
}

// Keeps the first `keep` digits of the run, rounded as decided.
bool Keep(const DigitRun &run, int keep, Rounding how, NumDigits *out) {
    if (keep > kNumMaxDigits) return false;
    if (keep <= 0) {
        if (how == Rounding::Up) {
            // One unit in the last kept place, which lies -keep places
            // above the run's first digit.
            out->digits[0] = '1';
            out->digits[1] = 0;
            out->count = 1;
            out->decpt = run.decpt - keep + 1;
        } else {
            SetZero(out);
        }
        return true;
    }
    int have = keep < run.len ? keep : run.len;
    std::memcpy(out->digits, run.d, static_cast<size_t>(have));
    out->count = have;
    out->decpt = run.decpt;
    if (how == Rounding::Up) {
        int i = have - 1;
        while (i >= 0 && out->digits[i] == '9') out->digits[i--] = '0';
        if (i >= 0) {
            ++out->digits[i];
        } else {
            out->digits[0] = '1';
            out->count = 1;
            ++out->decpt;
        }
    }
    StripTrailingZeros(out);
    return true;
}

// Rounds to n significant digits (mode 2) or to n places (mode 3).
bool Rounded(double a, int mode, int n, NumDigits *out) {
    DigitRun run;
    std::to_chars_result r;
    if (mode == NUM_MODE_DIGITS) {
        r = std::to_chars(run.d, run.d + kRawSize, a, std::chars_format::scientific,
                          n - 1 + kGuardDigits);
    } else {
        int places = n + kGuardDigits > 0 ? n + kGuardDigits : 0;
        r = std::to_chars(run.d, run.d + kRawSize, a, std::chars_format::fixed, places);
    }
    if (r.ec != std::errc()) return false;
    int textLen = static_cast<int>(r.ptr - run.d);
    if (mode == NUM_MODE_DIGITS) {
        CollapseScientific(&run, textLen);
    } else {
        CollapseFixed(&run, textLen);
        // Nothing shows even with the guard digits: far below half a unit.
        if (run.len == 0) {
            SetZero(out);
            return true;
        }
    }
    int keep = mode == NUM_MODE_DIGITS ? n : run.decpt + n;
    Rounding how = Decide(run, keep, false);
    if (how == Rounding::Unsure) {
        if (!ExactRun(a, &run)) return false;
        keep = mode == NUM_MODE_DIGITS ? n : run.decpt + n;
        how = Decide(run, keep, true);
    }
    return Keep(run, keep, how, out);
}

}  // namespace

bool Num_Digits(double v, int mode, int n, NumDigits *out) {
    if (!std::isfinite(v)) return false;
    if (mode == NUM_MODE_DIGITS && (n < 1 || n > kNumMaxSignificant)) return false;
    if (mode == NUM_MODE_PLACES && (n < kNumMinPlaces || n > kNumMaxPlaces)) return false;
    if (mode != NUM_MODE_SHORTEST && mode != NUM_MODE_DIGITS && mode != NUM_MODE_PLACES) {
        return false;
    }
    out->negative = std::signbit(v);
    double a = std::fabs(v);
    if (a == 0) {
        SetZero(out);
        return true;
    }
    if (mode != NUM_MODE_SHORTEST) return Rounded(a, mode, n, out);

    DigitRun run;
    auto r = std::to_chars(run.d, run.d + kRawSize, a, std::chars_format::scientific);
    if (r.ec != std::errc()) return false;
    CollapseScientific(&run, static_cast<int>(r.ptr - run.d));
    std::memcpy(out->digits, run.d, static_cast<size_t>(run.len));
    out->count = run.len;
    out->decpt = run.decpt;
    StripTrailingZeros(out);
    return true;
}

}  // namespace quillon
