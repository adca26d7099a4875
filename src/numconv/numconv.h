// Number text conversion: correctly rounded number-to-text in five layouts
// and in any radix, and the numeric-literal scanner shared by the lexer and
// string-to-number conversion.
#pragma once
#include <cstddef>
#include <cstdint>

namespace quillon {

// Formatter kinds; the meaning of `count` depends on the kind.
enum : int {
    NUM_SHORTEST = 0,     // String(number); toPrecision() and toLocaleString()
    NUM_EXP_SHORTEST = 1, // toExponential() without argument (count 1)
    NUM_FIXED = 2,        // toFixed(count), count -20..100
    NUM_EXPONENTIAL = 3,  // toExponential(f): count f + 1 significant digits
    NUM_PRECISION = 4,    // toPrecision(count)
};

// Size of a buffer that holds any text Num_Format or Num_ToRadix writes.
constexpr size_t kNumBufSize = 1100;

// Formats a finite number (callers turn NaN and the infinities into text
// first; a negative zero formats as zero). Writes a zero-terminated text into
// buf and returns its length, or 0 when memory ran out.
// Digits are correctly rounded; a number lying exactly half-way between two
// outputs rounds away from zero ((2.5).toFixed(0) is "3"). Counts outside the
// callers' ranges (-20..100, 1..101, 1..100) are clamped to them; an unknown
// kind formats as NUM_SHORTEST. A buffer of kNumBufSize always suffices; a
// smaller one that cannot hold the text also gives 0.
size_t Num_Format(double v, int kind, int count, char *buf, size_t size);

// The text of a finite number in radix 2..36: the integer part, and when the
// number has a fraction a `.` and the shortest fraction in that radix that
// reads back to the same number. Returns the length, or 0 when memory ran
// out (also for a radix outside 2..36 or a buffer too small for the text).
// When two last digits both read back, the nearer is taken, and the smaller
// one when the rest is exactly half a digit.
size_t Num_ToRadix(double v, int radix, char *buf, size_t size);

// Scans a numeric literal at the start of text: "0x"/"0X" and hexadecimal
// digits; or decimal digits with an optional fraction and exponent; with
// `octal` a literal of a 0 followed by octal digits only is read as octal.
// Stores the correctly rounded value and returns the number of bytes that
// form the literal (0 when there is none). A "." needs a digit on one side
// ("5." and ".5" are numbers); an "e" needs a digit, or a sign and a digit,
// after it, else it is not part of the number. The octal reading applies to
// a 0 and then a run of digits none of which is 8 or 9, and the literal ends
// with that run ("010.5" scans as "010"). Values beyond the double range are
// Infinity, values below it 0. No sign and no white space are taken.
size_t Num_ScanLiteral(const char *text, bool octal, double *value);
// The decimal form alone: digits, an optional fraction and exponent, by the
// same rules ("0x10" scans as "0").
size_t Num_ScanDecimal(const char *text, double *value);

}  // namespace quillon
