// Fuzz target: number to text and text to number. The first eight bytes
// (padded with zeros) are the bits of a double and the ninth a digit count:
// the shortest text must read back to the same double and be the nearest
// of the shortest texts that do, and the fixed, exponential and precision
// layouts must agree with the C library's correctly rounded printf (which
// breaks exact halves to even, where this system rounds them away from
// zero). The whole input is also scanned as a numeric literal, whose value
// must agree with strtod, and that value must survive the round trip.
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_common.h"
#include "numconv/numconv.h"
#include "runtime/memory.h"
#include "support/printf_reference.h"

namespace {

using namespace quillon;
using namespace printf_reference;

constexpr size_t kMaxInput = 512;

std::string Fmt(double v, int kind, int count) {
    char buf[kNumBufSize];
    size_t n = Num_Format(v, kind, count, buf, sizeof buf);
    if (n == 0 || n != std::strlen(buf)) quillon_fuzz::Fault("Num_Format gave no text", Printf("%.*g", 17, v));
    return std::string(buf, n);
}

double ReadBack(const std::string &text) {
    const char *digits = text.c_str() + (text[0] == '-');
    double back = -1;
    size_t used = Num_ScanLiteral(digits, false, &back);
    if (used != std::strlen(digits)) quillon_fuzz::Fault("a formatted number does not scan whole", text);
    return text[0] == '-' ? -back : back;
}

// The layout of the default text, from the digits and the exponent n (the
// value is 0.d1d2... × 10^n).
std::string Layout(bool negative, const std::string &d, int n) {
    int k = static_cast<int>(d.size());
    std::string s = negative ? "-" : "";
    if (k <= n && n <= 21) return s + d + std::string(n - k, '0');
    if (0 < n && n <= 21) return s + d.substr(0, n) + "." + d.substr(n);
    if (-6 < n && n <= 0) return s + "0." + std::string(-n, '0') + d;
    int e = n - 1;
    s += d.substr(0, 1);
    if (k > 1) s += "." + d.substr(1);
    return s + "e" + (e < 0 ? "-" : "+") + std::to_string(e < 0 ? -e : e);
}

void CheckShortest(double v) {
    std::string got = Fmt(v, NUM_SHORTEST, 0);
    if (ReadBack(got) != v) quillon_fuzz::Fault("the shortest text does not read back", got);
    if (v == 0) {
        if (got != "0") quillon_fuzz::Fault("zero formats as something else", got);
        return;
    }
    std::string e;
    int p = 1;
    for (; p <= 17; ++p) {
        e = Printf("%.*e", p - 1, std::fabs(v));
        if (std::strtod(e.c_str(), nullptr) == std::fabs(v)) break;
    }
    std::string d = e.substr(0, 1) + (p > 1 ? e.substr(2, p - 1) : "");
    while (d.size() > 1 && d.back() == '0') d.pop_back();
    int n = std::atoi(e.c_str() + e.find('e') + 1) + 1;
    std::string want = Layout(v < 0, d, n);
    if (got == want) return;
    int exponent;
    bool powerOfTwo = std::frexp(std::fabs(v), &exponent) == 0.5;
    // The narrower gap below a power of two may admit a shorter text, and a
    // tie between two nearest texts may go either way.
    auto significant = [](const std::string &s) {
        size_t count = 0;
        bool lead = true;
        for (char c : s) {
            if (c == 'e') break;
            if (c < '0' || c > '9') continue;
            if (lead && c == '0') continue;
            lead = false;
            ++count;
        }
        return count;
    };
    if (powerOfTwo && significant(got) <= significant(want)) return;
    if (ExactHalfAfterSignificant(v, p) && significant(got) == significant(want)) return;
    quillon_fuzz::Fault("the shortest text is not the nearest shortest one",
                        got + " instead of " + want + " for " + Printf("%.*g", 17, v));
}

void CheckLayouts(double v, int count) {
    if (v == 0) v = 0;  // a negative zero formats as zero
    if (std::fabs(v) < 1e21) {
        int places = count % 101;
        std::string want = ExpectedFixed(v, places);
        std::string got = Fmt(v, NUM_FIXED, places);
        if (got != want) quillon_fuzz::Fault("fixed layout differs", got + " instead of " + want);
    }
    int digits = 1 + count % 101;
    std::string want = ExpectedExponential(v, digits);
    std::string got = Fmt(v, NUM_EXPONENTIAL, digits);
    if (got != want) quillon_fuzz::Fault("exponential layout differs", got + " instead of " + want);
    int p = digits > 100 ? 100 : digits;
    want = ExpectedPrecision(v, p);
    got = Fmt(v, NUM_PRECISION, p);
    if (got != want) quillon_fuzz::Fault("precision layout differs", got + " instead of " + want);
}

void CheckRadix(double v, int radix) {
    char buf[kNumBufSize];
    size_t n = Num_ToRadix(v, radix, buf, sizeof buf);
    if (n == 0 || n != std::strlen(buf)) quillon_fuzz::Fault("Num_ToRadix gave no text");
    const char *p = buf + (buf[0] == '-');
    bool dot = false;
    for (; *p; ++p) {
        if (*p == '.' && !dot) {
            dot = true;
            continue;
        }
        int d = *p >= '0' && *p <= '9' ? *p - '0' : *p >= 'a' && *p <= 'z' ? *p - 'a' + 10 : 99;
        if (d >= radix) quillon_fuzz::Fault("a digit outside the radix", buf);
    }
    // Whole numbers below 2^53 read back exactly.
    if (std::fabs(v) < 9007199254740992.0 && v == std::trunc(v)) {
        if (dot) quillon_fuzz::Fault("a whole number with a fraction", buf);
        double back = static_cast<double>(std::strtoull(buf + (buf[0] == '-'), nullptr, radix));
        if ((buf[0] == '-' ? -back : back) != v) quillon_fuzz::Fault("a whole number does not read back", buf);
    }
}

// The literal at the start of text, against strtod (and an octal reading).
void CheckScan(const std::string &text) {
    for (bool octal : {false, true}) {
        double v = 0;
        size_t used = Num_ScanLiteral(text.c_str(), octal, &v);
        if (used > text.size()) quillon_fuzz::Fault("a literal longer than the text");
        if (used == 0) continue;
        std::string lit = text.substr(0, used);
        bool hex = lit.size() > 1 && lit[0] == '0' && (lit[1] == 'x' || lit[1] == 'X');
        bool isOctal = octal && lit.size() > 1 && lit[0] == '0' && !hex &&
                       lit.find_first_not_of("01234567") == std::string::npos;
        double want;
        if (isOctal) {
            if (lit.size() > 17) continue;  // beyond 51 bits the sum below would round
            want = 0;
            for (char c : lit) want = want * 8 + (c - '0');
        } else {
            want = std::strtod(lit.c_str(), nullptr);
        }
        if (v != want) quillon_fuzz::Fault("a literal scans to another value than strtod's", lit);
        if (std::isfinite(v)) CheckShortest(v);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > kMaxInput) return 0;
    quillon_fuzz::OpenOnce();
    int64_t before = MemUse;
    uint8_t bytes[9] = {0};
    std::memcpy(bytes, data, size < 9 ? size : 9);
    double v;
    std::memcpy(&v, bytes, sizeof v);
    if (std::isfinite(v)) {
        CheckShortest(v);
        CheckLayouts(v, bytes[8]);
        CheckRadix(v, 2 + bytes[8] % 35);
    }
    std::string text(reinterpret_cast<const char *>(data), size);
    text = text.substr(0, text.find('\0'));
    CheckScan(text);
    if (MemUse != before) quillon_fuzz::Fault("number conversion changed MemUse");
    return 0;
}
