// Decimal digit generator: correctly rounded digits of a finite double in
// three modes, as a digit string without leading or trailing zeros and the
// position of the decimal point (the value is 0.d1d2d3... * 10^decpt).
#pragma once

namespace quillon {

enum : int {
    NUM_MODE_SHORTEST = 0,  // the shortest digits that read back to the same double
    NUM_MODE_DIGITS = 2,    // n significant digits (1..kNumMaxSignificant)
    NUM_MODE_PLACES = 3,    // digits down to n places after the point (n may be negative)
};

constexpr int kNumMaxSignificant = 400;
constexpr int kNumMinPlaces = -400;
constexpr int kNumMaxPlaces = 100;
// Longest digit string any mode produces (309 integer digits and 100 places),
// with room for zero padding by the formatter.
constexpr int kNumMaxDigits = 440;

struct NumDigits {
    char digits[kNumMaxDigits + 1];  // zero-terminated; "0" for zero
    int count;                       // number of digits
    int decpt;                       // 1 for zero
    bool negative;                   // the sign bit of the number
};

// Fills *out; false when the mode or n is out of range or v is not finite.
// Exact halves in modes 2 and 3 round away from zero.
bool Num_Digits(double v, int mode, int n, NumDigits *out);

}  // namespace quillon
