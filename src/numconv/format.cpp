// Number formatting in five kinds: the default text of a number, and the
// layouts behind toExponential, toFixed and toPrecision. Each kind asks the
// digit generator for its digits, pads them with zeros to the length its
// layout shows, and writes either the fixed layout (digits with a point) or
// the exponent layout (one digit, the rest after a point, e+N or e-N).
#include <cmath>
#include <cstring>

#include "numconv/digits.h"
#include "numconv/numconv.h"

namespace quillon {

namespace {

// Longest text any kind writes: a sign, 21 integer digits, a point and 100
// places (fixed), or a sign, 101 digits, a point and "e-324" (exponent).
constexpr size_t kFormatTextSize = 160;

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

void PadZeros(NumDigits *d, int upTo) {
    if (upTo > kNumMaxDigits) upTo = kNumMaxDigits;
    while (d->count < upTo) d->digits[d->count++] = '0';
    d->digits[d->count] = 0;
}

size_t ExponentLayout(const NumDigits &d, char *t) {
    size_t n = 0;
    t[n++] = d.digits[0];
    if (d.count > 1) {
        t[n++] = '.';
        std::memcpy(t + n, d.digits + 1, static_cast<size_t>(d.count - 1));
        n += static_cast<size_t>(d.count - 1);
    }
    int exponent = d.decpt - 1;
    t[n++] = 'e';
    t[n++] = exponent < 0 ? '-' : '+';
    unsigned mag = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
    char rev[12];
    int k = 0;
    do {
        rev[k++] = static_cast<char>('0' + mag % 10);
        mag /= 10;
    } while (mag != 0);
    while (k > 0) t[n++] = rev[--k];
    return n;
}

size_t FixedLayout(const NumDigits &d, char *t) {
    size_t n = 0;
    if (d.decpt <= 0) {
        t[n++] = '0';
        t[n++] = '.';
        for (int i = d.decpt; i < 0; ++i) t[n++] = '0';
        std::memcpy(t + n, d.digits, static_cast<size_t>(d.count));
        return n + static_cast<size_t>(d.count);
    }
    if (d.decpt >= d.count) {
        // The padding normally covers every integer digit; this also keeps
        // the text right when it does not.
        std::memcpy(t + n, d.digits, static_cast<size_t>(d.count));
        n += static_cast<size_t>(d.count);
        for (int i = d.count; i < d.decpt; ++i) t[n++] = '0';
        return n;
    }
    std::memcpy(t + n, d.digits, static_cast<size_t>(d.decpt));
    n += static_cast<size_t>(d.decpt);
    t[n++] = '.';
    std::memcpy(t + n, d.digits + d.decpt, static_cast<size_t>(d.count - d.decpt));
    return n + static_cast<size_t>(d.count - d.decpt);
}

}  // namespace

size_t Num_Format(double v, int kind, int count, char *buf, size_t size) {
    if (!std::isfinite(v) || buf == nullptr) return 0;
    if (v == 0) v = 0.0;  // a negative zero shows no sign
    if (kind == NUM_FIXED && std::fabs(v) >= 1e21) kind = NUM_SHORTEST;

    NumDigits d;
    bool exponent = true;
    switch (kind) {
    case NUM_EXP_SHORTEST:
        if (!Num_Digits(v, NUM_MODE_SHORTEST, 0, &d)) return 0;
        PadZeros(&d, Clamp(count, 0, 101));
        break;
    case NUM_FIXED:
        count = Clamp(count, -20, 100);
        if (!Num_Digits(v, NUM_MODE_PLACES, count, &d)) return 0;
        PadZeros(&d, count >= 0 ? count + d.decpt : d.decpt);
        exponent = false;
        break;
    case NUM_EXPONENTIAL:
        count = Clamp(count, 1, 101);
        if (!Num_Digits(v, NUM_MODE_DIGITS, count, &d)) return 0;
        PadZeros(&d, count);
        break;
    case NUM_PRECISION:
        count = Clamp(count, 1, 100);
        if (!Num_Digits(v, NUM_MODE_DIGITS, count, &d)) return 0;
        PadZeros(&d, count);
        exponent = d.decpt < -5 || d.decpt > count;
        break;
    default:  // NUM_SHORTEST, and any unknown kind
        if (!Num_Digits(v, NUM_MODE_SHORTEST, 0, &d)) return 0;
        exponent = d.decpt > 21 || d.decpt < -5;
        if (!exponent) PadZeros(&d, d.decpt);
        break;
    }

    char text[kFormatTextSize];
    size_t n = 0;
    if (d.negative) text[n++] = '-';
    n += exponent ? ExponentLayout(d, text + n) : FixedLayout(d, text + n);
    if (n + 1 > size) return 0;
    std::memcpy(buf, text, n);
    buf[n] = 0;
    return n;
}

}  // namespace quillon
