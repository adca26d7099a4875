#include <cmath>
#include <string>

#include "numconv_support.h"

using namespace quillon;
using namespace numconv_test;

namespace {

class ScanTest : public NumconvTest {};

struct Scan {
    size_t used;
    double value;
};

Scan Read(const std::string &text, bool octal = false) {
    double v = -12345;
    size_t n = Num_ScanLiteral(text.c_str(), octal, &v);
    return {n, v};
}

#define EXPECT_SCAN(text, octal, len, val)             \
    do {                                               \
        Scan s_ = Read(text, octal);                   \
        EXPECT_EQ(s_.used, static_cast<size_t>(len)) << (text); \
        EXPECT_EQ(s_.value, (val)) << (text);          \
    } while (0)

TEST_F(ScanTest, HexadecimalNeedsADigitAfterThePrefix) {
    EXPECT_SCAN("0x1F", false, 4, 31.0);
    EXPECT_SCAN("0XfF+1", false, 4, 255.0);
    EXPECT_SCAN("0x10", true, 4, 16.0);
    EXPECT_SCAN("0x", false, 1, 0.0);
    EXPECT_SCAN("0xg", false, 1, 0.0);
    EXPECT_SCAN("0x1p3", false, 3, 1.0);
    EXPECT_SCAN("0x20000000000001", false, 16, 9007199254740992.0);  // half: to even
    EXPECT_SCAN("0x20000000000003", false, 16, 9007199254740996.0);
    EXPECT_SCAN("0x" + std::string(20, 'f'), false, 22, std::ldexp(1.0, 80));
    EXPECT_SCAN("0x" + std::string(300, 'f'), false, 302, HUGE_VAL);
}

TEST_F(ScanTest, DecimalDelimiting) {
    EXPECT_SCAN("123", false, 3, 123.0);
    EXPECT_SCAN("123abc", false, 3, 123.0);
    EXPECT_SCAN("5.", false, 2, 5.0);
    EXPECT_SCAN("5.e3", false, 4, 5000.0);
    EXPECT_SCAN(".5", false, 2, 0.5);
    EXPECT_SCAN("1e", false, 1, 1.0);
    EXPECT_SCAN("1e+", false, 1, 1.0);
    EXPECT_SCAN("1ex", false, 1, 1.0);
    EXPECT_SCAN("1e+5", false, 4, 1e5);
    EXPECT_SCAN("1E-2;", false, 4, 0.01);
    EXPECT_SCAN("1.5e3x", false, 5, 1500.0);
    EXPECT_SCAN("2.5.1", false, 3, 2.5);
    for (const char *none : {"", ".", ".e5", "e5", "-1", "+1", " 1", "x1"}) {
        EXPECT_EQ(Read(none).used, 0u) << none;
    }
}

TEST_F(ScanTest, ValueIsTheNearestDouble) {
    EXPECT_SCAN("0.3", false, 3, 0.3);
    EXPECT_NE(Read("0.3").value, 0.1 * 3);
    EXPECT_SCAN("9007199254740993", false, 16, 9007199254740992.0);
    EXPECT_SCAN("9007199254740993.0000000001", false, 27, 9007199254740994.0);
    EXPECT_SCAN("1.7976931348623157e308", false, 22, 1.7976931348623157e308);
    EXPECT_SCAN("1.7976931348623159e308", false, 22, HUGE_VAL);
    EXPECT_SCAN("3e-324", false, 6, 5e-324);
    EXPECT_SCAN("2.4703282292062328e-324", false, 23, 5e-324);
    EXPECT_SCAN("2.4703282292062327e-324", false, 23, 0.0);
    EXPECT_SCAN("1e400", false, 5, HUGE_VAL);
    EXPECT_SCAN("1e-400", false, 6, 0.0);
    EXPECT_SCAN("0e99999999999999999999", false, 22, 0.0);
    EXPECT_SCAN("1e99999999999999999999", false, 22, HUGE_VAL);
    std::string tiny = "0." + std::string(400, '0') + "1";
    EXPECT_SCAN(tiny, false, tiny.size(), 0.0);
    EXPECT_SCAN(tiny + "e402", false, tiny.size() + 4, 10.0);
    std::string huge = "1" + std::string(400, '0');
    EXPECT_SCAN(huge, false, huge.size(), HUGE_VAL);
    EXPECT_SCAN(huge + "e-399", false, huge.size() + 5, 10.0);
    std::string longThird = "0." + std::string(2000, '3');
    EXPECT_SCAN(longThird, false, longThird.size(), 1.0 / 3.0);
}

TEST_F(ScanTest, OctalOnlyForZeroLedOctalDigits) {
    EXPECT_SCAN("017", true, 3, 15.0);
    EXPECT_SCAN("017", false, 3, 17.0);
    EXPECT_SCAN("019", true, 3, 19.0);
    EXPECT_SCAN("08", true, 2, 8.0);
    EXPECT_SCAN("010", true, 3, 8.0);
    EXPECT_SCAN("0", true, 1, 0.0);
    EXPECT_SCAN("00", true, 2, 0.0);
    EXPECT_SCAN("0.5", true, 3, 0.5);
    EXPECT_SCAN("010.5", true, 3, 8.0);
    EXPECT_SCAN("07e1", true, 2, 7.0);
    EXPECT_SCAN("019.5", true, 5, 19.5);
    EXPECT_SCAN("0777", true, 4, 511.0);
    // 2^53 + 1: a half, to even.
    EXPECT_SCAN("0400000000000000001", true, 19, 9007199254740992.0);
    // Beyond 21 digits the dropped digits still decide a half: 2^66 + 2^13
    // is a half (to even), one more is above it.
    EXPECT_SCAN("010000000000000000020000", true, 24, std::ldexp(1.0, 66));
    EXPECT_SCAN("010000000000000000020001", true, 24, std::ldexp(1.0, 66) + std::ldexp(1.0, 14));
    std::string sevens = "0" + std::string(30, '7');
    EXPECT_SCAN(sevens, true, 31, std::ldexp(1.0, 90));
    std::string many = "01" + std::string(400, '0');
    EXPECT_SCAN(many, true, many.size(), HUGE_VAL);
}

}  // namespace
