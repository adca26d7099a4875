#include <cmath>
#include <cstring>

#include "numconv_support.h"

using namespace quillon;
using namespace numconv_test;

namespace {

class FormatTest : public NumconvTest {};

TEST_F(FormatTest, DefaultTextPicksLayoutAtThresholds) {
    EXPECT_EQ(Fmt(1e21, NUM_SHORTEST), "1e+21");
    EXPECT_EQ(Fmt(-1e21, NUM_SHORTEST), "-1e+21");
    EXPECT_EQ(Fmt(1e20, NUM_SHORTEST), "100000000000000000000");
    EXPECT_EQ(Fmt(123456789012345680000.0, NUM_SHORTEST), "123456789012345680000");
    EXPECT_EQ(Fmt(std::nextafter(1e21, 0), NUM_SHORTEST), "999999999999999900000");
    EXPECT_EQ(Fmt(0.000001, NUM_SHORTEST), "0.000001");
    EXPECT_EQ(Fmt(0.0000012, NUM_SHORTEST), "0.0000012");
    EXPECT_EQ(Fmt(0.0000001, NUM_SHORTEST), "1e-7");
    EXPECT_EQ(Fmt(1.5e-7, NUM_SHORTEST), "1.5e-7");
    EXPECT_EQ(Fmt(123e-20, NUM_SHORTEST), "1.23e-18");
    EXPECT_EQ(Fmt(0.1 + 0.2, NUM_SHORTEST), "0.30000000000000004");
    EXPECT_EQ(Fmt(0.3, NUM_SHORTEST), "0.3");
    EXPECT_EQ(Fmt(100, NUM_SHORTEST), "100");
    EXPECT_EQ(Fmt(-1.5, NUM_SHORTEST), "-1.5");
    EXPECT_EQ(Fmt(0.0, NUM_SHORTEST), "0");
    EXPECT_EQ(Fmt(-0.0, NUM_SHORTEST), "0");
    EXPECT_EQ(Fmt(9007199254740993.0, NUM_SHORTEST), "9007199254740992");
    EXPECT_EQ(Fmt(5e-324, NUM_SHORTEST), "5e-324");
    EXPECT_EQ(Fmt(-1.7976931348623157e308, NUM_SHORTEST), "-1.7976931348623157e+308");
    EXPECT_EQ(Fmt(1e23, NUM_SHORTEST), "1e+23");
}

TEST_F(FormatTest, ExponentialWithoutCount) {
    EXPECT_EQ(Fmt(12345, NUM_EXP_SHORTEST, 1), "1.2345e+4");
    EXPECT_EQ(Fmt(0, NUM_EXP_SHORTEST, 1), "0e+0");
    EXPECT_EQ(Fmt(-0.00015, NUM_EXP_SHORTEST, 1), "-1.5e-4");
    EXPECT_EQ(Fmt(1e21, NUM_EXP_SHORTEST, 1), "1e+21");
    EXPECT_EQ(Fmt(5e-324, NUM_EXP_SHORTEST, 1), "5e-324");
}

TEST_F(FormatTest, FixedPlaces) {
    EXPECT_EQ(Fmt(123.456, NUM_FIXED, 1), "123.5");
    EXPECT_EQ(Fmt(1e21, NUM_FIXED, 2), "1e+21");
    EXPECT_EQ(Fmt(-1e21, NUM_FIXED, 2), "-1e+21");
    EXPECT_EQ(Fmt(1e20, NUM_FIXED, 2), "100000000000000000000.00");
    EXPECT_EQ(Fmt(0, NUM_FIXED, 2), "0.00");
    EXPECT_EQ(Fmt(-0.0, NUM_FIXED, 2), "0.00");
    EXPECT_EQ(Fmt(-0.0001, NUM_FIXED, 2), "-0.00");  // the sign of a negative number stays
    EXPECT_EQ(Fmt(1000, NUM_FIXED, 3), "1000.000");
    EXPECT_EQ(Fmt(0.000001, NUM_FIXED, 7), "0.0000010");
    EXPECT_EQ(Fmt(1e-10, NUM_FIXED, 3), "0.000");
    EXPECT_EQ(Fmt(0.0004, NUM_FIXED, 3), "0.000");
    EXPECT_EQ(Fmt(0.0006, NUM_FIXED, 3), "0.001");
    EXPECT_EQ(Fmt(999.9996, NUM_FIXED, 3), "1000.000");
    EXPECT_EQ(Fmt(0.9996, NUM_FIXED, 3), "1.000");
    EXPECT_EQ(Fmt(0.96, NUM_FIXED, 0), "1");
    EXPECT_EQ(Fmt(std::nextafter(1e21, 0), NUM_FIXED, 1), "999999999999999868928.0");
    // Not exact halves: the binary value decides.
    EXPECT_EQ(Fmt(1.005, NUM_FIXED, 2), "1.00");
    EXPECT_EQ(Fmt(1.45, NUM_FIXED, 1), "1.4");    // 1.4499999999999999556
    EXPECT_EQ(Fmt(8.345, NUM_FIXED, 2), "8.35");   // 8.3450000000000006395
    EXPECT_EQ(Fmt(1.0000000000000002, NUM_FIXED, 15), "1.000000000000000");
    std::string tenth = Fmt(0.1, NUM_FIXED, 100);
    EXPECT_EQ(tenth.size(), 102u);
    EXPECT_EQ(tenth.substr(0, 57), "0.1000000000000000055511151231257827021181583404541015625");
    EXPECT_EQ(tenth.find_first_not_of('0', 57), std::string::npos);
}

TEST_F(FormatTest, ExactHalvesRoundAwayFromZeroAndNearHalvesByValue) {
    // Within a hair of a half: the first digits past the place read 500.
    EXPECT_EQ(Fmt(0.2500001, NUM_FIXED, 1), "0.3");
    EXPECT_EQ(Fmt(0.2499999, NUM_FIXED, 1), "0.2");
    EXPECT_EQ(Fmt(-1.2500001, NUM_PRECISION, 2), "-1.3");
    EXPECT_EQ(Fmt(1.2499999, NUM_PRECISION, 2), "1.2");
    EXPECT_EQ(Fmt(1249.99999, NUM_FIXED, -2), "1200");
    EXPECT_EQ(Fmt(0.5, NUM_FIXED, 0), "1");
    EXPECT_EQ(Fmt(1.5, NUM_FIXED, 0), "2");
    EXPECT_EQ(Fmt(2.5, NUM_FIXED, 0), "3");
    EXPECT_EQ(Fmt(-2.5, NUM_FIXED, 0), "-3");
    EXPECT_EQ(Fmt(0.125, NUM_FIXED, 2), "0.13");
    EXPECT_EQ(Fmt(1.25, NUM_EXPONENTIAL, 2), "1.3e+0");
    EXPECT_EQ(Fmt(2.5, NUM_PRECISION, 1), "3");
    EXPECT_EQ(Fmt(-1.5, NUM_PRECISION, 1), "-2");
    EXPECT_EQ(Fmt(9.5, NUM_PRECISION, 1), "1e+1");
    EXPECT_EQ(Fmt(1125899906842624.5, NUM_PRECISION, 16), "1125899906842625");
    EXPECT_EQ(Fmt(1.125, NUM_EXPONENTIAL, 3), "1.13e+0");
    EXPECT_EQ(Fmt(-0.375, NUM_EXPONENTIAL, 2), "-3.8e-1");
}

TEST_F(FormatTest, FixedWithNegativePlacesRoundsToTensAndAbove) {
    EXPECT_EQ(Fmt(1234.5, NUM_FIXED, -2), "1200");
    EXPECT_EQ(Fmt(1250, NUM_FIXED, -2), "1300");
    EXPECT_EQ(Fmt(1249.9999, NUM_FIXED, -2), "1200");
    EXPECT_EQ(Fmt(1250.0001, NUM_FIXED, -2), "1300");
    EXPECT_EQ(Fmt(5, NUM_FIXED, -1), "10");
    EXPECT_EQ(Fmt(4.9, NUM_FIXED, -1), "0");
    EXPECT_EQ(Fmt(15, NUM_FIXED, -1), "20");
    EXPECT_EQ(Fmt(25, NUM_FIXED, -1), "30");
    EXPECT_EQ(Fmt(-5, NUM_FIXED, -1), "-10");
    EXPECT_EQ(Fmt(-0.4, NUM_FIXED, -1), "-0");
    EXPECT_EQ(Fmt(0, NUM_FIXED, -5), "0");
    EXPECT_EQ(Fmt(12345678, NUM_FIXED, -3), "12346000");
    EXPECT_EQ(Fmt(99999, NUM_FIXED, -5), "100000");
    EXPECT_EQ(Fmt(5e19, NUM_FIXED, -20), "100000000000000000000");
    EXPECT_EQ(Fmt(4.9e19, NUM_FIXED, -20), "0");
    EXPECT_EQ(Fmt(std::nextafter(1e21, 0), NUM_FIXED, -20), "1000000000000000000000");
    // Counts beyond the accepted range are clamped to it.
    EXPECT_EQ(Fmt(1234.5, NUM_FIXED, -50), Fmt(1234.5, NUM_FIXED, -20));
    EXPECT_EQ(Fmt(1.5, NUM_FIXED, 500), Fmt(1.5, NUM_FIXED, 100));
}

TEST_F(FormatTest, ExponentialWithDigits) {
    EXPECT_EQ(Fmt(1.5, NUM_EXPONENTIAL, 3), "1.50e+0");
    EXPECT_EQ(Fmt(0, NUM_EXPONENTIAL, 3), "0.00e+0");
    EXPECT_EQ(Fmt(123456, NUM_EXPONENTIAL, 2), "1.2e+5");
    EXPECT_EQ(Fmt(9.99, NUM_EXPONENTIAL, 2), "1.0e+1");
    EXPECT_EQ(Fmt(0.00015, NUM_EXPONENTIAL, 1), "1e-4");
    EXPECT_EQ(Fmt(5e-324, NUM_EXPONENTIAL, 3), "4.94e-324");
    EXPECT_EQ(Fmt(1.7976931348623157e308, NUM_EXPONENTIAL, 21), "1.79769313486231570815e+308");
    EXPECT_EQ(Fmt(-1e-300, NUM_EXPONENTIAL, 1), "-1e-300");
}

TEST_F(FormatTest, PrecisionChoosesLayoutByExponent) {
    EXPECT_EQ(Fmt(123456, NUM_PRECISION, 2), "1.2e+5");
    EXPECT_EQ(Fmt(123456, NUM_PRECISION, 6), "123456");
    EXPECT_EQ(Fmt(123456, NUM_PRECISION, 7), "123456.0");
    EXPECT_EQ(Fmt(0.00001, NUM_PRECISION, 1), "0.00001");
    EXPECT_EQ(Fmt(0.000001, NUM_PRECISION, 1), "0.000001");
    EXPECT_EQ(Fmt(0.0000001, NUM_PRECISION, 1), "1e-7");
    EXPECT_EQ(Fmt(0.000123, NUM_PRECISION, 2), "0.00012");
    EXPECT_EQ(Fmt(0, NUM_PRECISION, 3), "0.00");
    EXPECT_EQ(Fmt(123.456, NUM_PRECISION, 4), "123.5");
    EXPECT_EQ(Fmt(100, NUM_PRECISION, 3), "100");
    EXPECT_EQ(Fmt(100, NUM_PRECISION, 2), "1.0e+2");
    EXPECT_EQ(Fmt(99.99, NUM_PRECISION, 3), "100");
    EXPECT_EQ(Fmt(99.99, NUM_PRECISION, 2), "1.0e+2");
    EXPECT_EQ(Fmt(1e21, NUM_PRECISION, 3), "1.00e+21");
    EXPECT_EQ(Fmt(-0.5, NUM_PRECISION, 1), "-0.5");
}

TEST_F(FormatTest, LongestTextsFitAndSmallBuffersGiveNoText) {
    EXPECT_EQ(Fmt(-std::nextafter(1e21, 0), NUM_FIXED, 100).size(), 123u);
    EXPECT_EQ(Fmt(-1.2345e-6, NUM_PRECISION, 100).size(), 108u);
    EXPECT_EQ(Fmt(-1.2345e-300, NUM_EXPONENTIAL, 101).size(), 108u);
    char buf[8];
    EXPECT_EQ(Num_Format(-1.5, NUM_SHORTEST, 0, buf, 5), 4u);
    EXPECT_STREQ(buf, "-1.5");
    EXPECT_EQ(Num_Format(-1.5, NUM_SHORTEST, 0, buf, 4), 0u);
}

}  // namespace
