// The expected texts of the digit-count layouts, from the C library's
// correctly rounded printf. printf breaks an exact half to even where this
// system rounds it away from zero, so exact halves are found in the exact
// decimal expansion and printed in the rounding direction away from zero.
// Shared by the number-conversion tests and the number-conversion fuzzer.
#pragma once
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace printf_reference {

inline std::string Printf(const char *format, int precision, double v) {
    char buf[1600];
    std::snprintf(buf, sizeof buf, format, precision, v);
    return buf;
}

// Every digit after the first `keep` significant ones of the exact value is
// "5" followed by zeros: an exact half at that place.
inline bool ExactHalfAfterSignificant(double v, int keep) {
    std::string e = Printf("%.*e", 800, std::fabs(v));
    std::string digits = e.substr(0, 1) + e.substr(2, e.find('e') - 2);
    if (digits[keep] != '5') return false;
    return digits.find_first_not_of('0', keep + 1) == std::string::npos;
}

inline bool ExactHalfAfterPlaces(double v, int places) {
    std::string f = Printf("%.*f", 1100, std::fabs(v));
    size_t at = f.find('.') + 1 + places;
    if (f[at] != '5') return false;
    return f.find_first_not_of('0', at + 1) == std::string::npos;
}

// printf in the rounding direction away from zero: for an exact half that
// is the rounding this system uses.
inline std::string PrintfAway(const char *format, int precision, double v) {
    std::fesetround(v > 0 ? FE_UPWARD : FE_DOWNWARD);
    std::string s = Printf(format, precision, v);
    std::fesetround(FE_TONEAREST);
    return s;
}

// printf's exponent "e+05" written as "e+5".
inline std::string ShortExponent(std::string s) {
    size_t digits = s.find('e') + 2;
    while (digits + 1 < s.size() && s[digits] == '0') s.erase(digits, 1);
    return s;
}

inline std::string ExpectedFixed(double v, int places) {
    if (ExactHalfAfterPlaces(v, places)) return PrintfAway("%.*f", places, v);
    return Printf("%.*f", places, v);
}

inline std::string ExpectedExponential(double v, int digits) {
    if (ExactHalfAfterSignificant(v, digits)) return ShortExponent(PrintfAway("%.*e", digits - 1, v));
    return ShortExponent(Printf("%.*e", digits - 1, v));
}

inline std::string ExpectedPrecision(double v, int p) {
    bool half = ExactHalfAfterSignificant(v, p);
    std::string e = half ? PrintfAway("%.*e", p - 1, v) : Printf("%.*e", p - 1, v);
    int exponent = std::atoi(e.c_str() + e.find('e') + 1);
    if (exponent < -6 || exponent >= p) return ShortExponent(e);
    return half ? PrintfAway("%.*f", p - 1 - exponent, v) : Printf("%.*f", p - 1 - exponent, v);
}

}  // namespace printf_reference
