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
size_t Num_Format(double v, int kind, int count, char *buf, size_t size);

// The text of a finite number in radix 2..36: the integer part, and when the
// number has a fraction a `.` and the shortest fraction in that radix that
// reads back to the same number. Returns the length, or 0 when memory ran
// out.
size_t Num_ToRadix(double v, int radix, char *buf, size_t size);

// Scans a numeric literal at the start of text: "0x"/"0X" and hexadecimal
// digits; or decimal digits with an optional fraction and exponent; with
// `octal` a literal of a 0 followed by octal digits only is read as octal.
// Stores the correctly rounded value and returns the number of bytes that
// form the literal (0 when there is none).
size_t Num_ScanLiteral(const char *text, bool octal, double *value);

}  // namespace quillon
