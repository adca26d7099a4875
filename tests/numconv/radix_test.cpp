#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "numconv_support.h"

using namespace quillon;
using namespace numconv_test;

namespace {

class RadixTest : public NumconvTest {};

// Exact unsigned integers for checking radix texts: 32-bit words, least
// significant first.
using Big = std::vector<uint32_t>;

void Trim(Big &b) {
    while (!b.empty() && b.back() == 0) b.pop_back();
}

Big FromU64(uint64_t v) {
    Big b{static_cast<uint32_t>(v), static_cast<uint32_t>(v >> 32)};
    Trim(b);
    return b;
}

void MulAdd(Big &b, uint32_t m, uint32_t a) {
    uint64_t carry = a;
    for (uint32_t &w : b) {
        uint64_t x = static_cast<uint64_t>(w) * m + carry;
        w = static_cast<uint32_t>(x);
        carry = x >> 32;
    }
    if (carry) b.push_back(static_cast<uint32_t>(carry));
}

Big Shift(const Big &b, int bits) {  // left for bits > 0, right (floor) for bits < 0
    Big r;
    if (bits >= 0) {
        r.assign(bits / 32, 0);
        uint32_t carry = 0;
        int s = bits % 32;
        for (uint32_t w : b) {
            r.push_back(s ? (w << s) | carry : w);
            carry = s ? w >> (32 - s) : 0;
        }
        r.push_back(carry);
    } else {
        int words = -bits / 32, s = -bits % 32;
        for (size_t i = words; i < b.size(); ++i) {
            uint64_t hi = i + 1 < b.size() ? b[i + 1] : 0;
            r.push_back(static_cast<uint32_t>(((hi << 32) | b[i]) >> s));
        }
    }
    Trim(r);
    return r;
}

int Cmp(const Big &a, const Big &b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

Big Sub(const Big &a, const Big &b) {  // a >= b
    Big r(a);
    int64_t borrow = 0;
    for (size_t i = 0; i < r.size(); ++i) {
        int64_t x = static_cast<int64_t>(r[i]) - (i < b.size() ? b[i] : 0) - borrow;
        borrow = x < 0;
        r[i] = static_cast<uint32_t>(x + (borrow << 32));
    }
    Trim(r);
    return r;
}

Big Distance(const Big &a, const Big &b) { return Cmp(a, b) >= 0 ? Sub(a, b) : Sub(b, a); }

struct Parts {
    uint64_t mant;
    int exp2;
    bool narrowBelow;
};

Parts Split(double a) {
    uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    int biased = static_cast<int>(bits >> 52 & 0x7FF);
    uint64_t stored = bits & ((uint64_t{1} << 52) - 1);
    if (biased == 0) return {stored, -1074, false};
    return {stored | uint64_t{1} << 52, biased - 1075, stored == 0 && biased > 1};
}

// Whether num / radix^places lies within the rounding interval of a (a
// fraction is present, so a's exponent is negative).
bool WithinInterval(const Big &num, int places, int radix, const Parts &p) {
    Big x = Shift(num, 2 - p.exp2);  // in units of a quarter of a's gap above
    Big lo = FromU64(4 * p.mant - (p.narrowBelow ? 1 : 2));
    Big hi = FromU64(4 * p.mant + 2);
    for (int i = 0; i < places; ++i) {
        MulAdd(lo, radix, 0);
        MulAdd(hi, radix, 0);
    }
    bool inclusive = (p.mant & 1) == 0;
    int cl = Cmp(x, lo), ch = Cmp(x, hi);
    return (cl > 0 || (inclusive && cl == 0)) && (ch < 0 || (inclusive && ch == 0));
}

int DigitValue(char c) { return c <= '9' ? c - '0' : c - 'a' + 10; }

// Checks a radix text exactly: the integer part is exact, the whole text
// reads back to v, and no text with one fraction digit fewer does.
void CheckRadixText(double v, int radix) {
    std::string text = Radix(v, radix);
    SCOPED_TRACE(text);
    ASSERT_NE(text, "<none>");
    ASSERT_EQ(text[0] == '-', v < 0);
    std::string body = text.substr(v < 0);
    size_t point = body.find('.');
    std::string digits = body.substr(0, point);
    int places = 0;
    if (point != std::string::npos) {
        places = static_cast<int>(body.size() - point - 1);
        ASSERT_GT(places, 0);
        digits += body.substr(point + 1);
    }
    ASSERT_TRUE(digits.size() == 1 || digits[0] != '0' || point == 1);
    Big num;
    for (char c : digits) {
        int d = DigitValue(c);
        ASSERT_TRUE(d >= 0 && d < radix) << c;
        MulAdd(num, radix, d);
    }
    Parts p = Split(std::fabs(v));
    if (places == 0) {
        ASSERT_GE(p.exp2 + 52, 0);
        ASSERT_EQ(std::floor(v), v);
        ASSERT_EQ(Cmp(num, p.exp2 >= 0 ? Shift(FromU64(p.mant), p.exp2) : FromU64(p.mant >> -p.exp2)), 0);
        return;
    }
    ASSERT_TRUE(WithinInterval(num, places, radix, p));
    // Of the two texts of this length next to v, the nearer one was taken
    // when both read back to v.
    Big exact = FromU64(4 * p.mant);
    for (int i = 0; i < places; ++i) MulAdd(exact, radix, 0);
    Big x = Shift(num, 2 - p.exp2);
    Big other = num;
    if (Cmp(x, exact) < 0) {
        MulAdd(other, 1, 1);
    } else {
        other = Sub(other, Big{1});
    }
    if (WithinInterval(other, places, radix, p)) {
        EXPECT_LE(Cmp(Distance(x, exact), Distance(Shift(other, 2 - p.exp2), exact)), 0);
    }
    // One digit fewer: the two nearest candidates both fall outside.
    Big scaled = FromU64(p.mant);
    for (int i = 0; i < places - 1; ++i) MulAdd(scaled, radix, 0);
    Big below = Shift(scaled, p.exp2);
    Big above = below;
    MulAdd(above, 1, 1);
    EXPECT_FALSE(WithinInterval(below, places - 1, radix, p));
    EXPECT_FALSE(WithinInterval(above, places - 1, radix, p));
}

TEST_F(RadixTest, KnownTexts) {
    EXPECT_EQ(Radix(255, 16), "ff");
    EXPECT_EQ(Radix(-255, 2), "-11111111");
    EXPECT_EQ(Radix(0.5, 2), "0.1");
    EXPECT_EQ(Radix(0, 2), "0");
    EXPECT_EQ(Radix(-0.0, 36), "0");
    EXPECT_EQ(Radix(35, 36), "z");
    EXPECT_EQ(Radix(4294967295.0, 16), "ffffffff");
    EXPECT_EQ(Radix(4294967296.0, 16), "100000000");
    EXPECT_EQ(Radix(-4294967296.5, 2), "-100000000000000000000000000000000.1");
    EXPECT_EQ(Radix(9007199254740994.0, 2), "100000000000000000000000000000000000000000000000000010");
    EXPECT_EQ(Radix(0.1, 2), "0.0001100110011001100110011001100110011001100110011001101");
    EXPECT_EQ(Radix(1e21, 16), "3635c9adc5dea00000");
    EXPECT_EQ(Radix(0.1, 10), "0.1");
    EXPECT_EQ(Radix(1.0 / 3.0, 3), "0.1");
    std::string tiny = Radix(-5e-324, 2);
    EXPECT_EQ(tiny.size(), 1077u);
    EXPECT_EQ(tiny.substr(0, 3), "-0.");
    EXPECT_EQ(tiny.find_first_not_of('0', 3), 1076u);
    EXPECT_EQ(Radix(1.7976931348623157e308, 2), std::string(53, '1') + std::string(971, '0'));
    EXPECT_EQ(Radix(1.5, 37), "<none>");
    EXPECT_EQ(Radix(1.5, 1), "<none>");
    char small[4];
    EXPECT_EQ(Num_ToRadix(255, 2, small, sizeof small), 0u);
    EXPECT_EQ(Num_ToRadix(255, 16, small, 3), 2u);
}

TEST_F(RadixTest, TextsAreExactAndShortest) {
    const double fixed[] = {0.1, 0.3, 1.0 / 3, 2.0 / 3, 3.5, 1e308, 1e-308, 5e-324, 1e-320,
                            std::ldexp(1.0, -1022), std::ldexp(1.0, -1021), std::ldexp(1.5, -1022),
                            9007199254740993.0, 4503599627370495.5, 0.9999999999999999,
                            123456.789, -987.654321, 1.7976931348623157e308};
    for (int radix : {2, 3, 7, 10, 16, 36}) {
        for (double v : fixed) CheckRadixText(v, radix);
    }
    // Powers of two have a narrower gap below them.
    for (int e = -1074; e < 0; ++e) {
        for (int radix : {3, 10, 36}) CheckRadixText(std::ldexp(1.0, e), radix);
        CheckRadixText(std::ldexp(1.0, e) + 1, 7);
    }
    std::mt19937_64 rng(7);
    for (int i = 0; i < 3000; ++i) {
        uint64_t bits = rng();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (i % 3 == 1) v = std::ldexp(static_cast<double>(rng() >> 11), static_cast<int>(rng() % 120) - 100);
        if (!std::isfinite(v)) continue;
        int radix = 2 + static_cast<int>(rng() % 35);
        CheckRadixText(v, radix);
        if (HasFatalFailure()) return;
    }
}

TEST_F(RadixTest, NoTextWhenMemoryRunsOut) {
    const struct {
        double v;
        int radix;
    } cases[] = {{1e308, 36}, {0.1, 3}, {1099511627776.3, 7}, {-5e-324, 2}, {1e20, 10}};
    for (const auto &c : cases) {
        std::string whole = Radix(c.v, c.radix);
        bool failedOnce = false;
        for (uint64_t n = 1;; ++n) {
            int32_t before = MemUse;
            Pool_FailNth(n);
            std::string got = Radix(c.v, c.radix);
            bool failed = Pool_FailedCount() > 0;
            Pool_FailOff();
            EXPECT_EQ(MemUse, before);
            if (!failed) {
                EXPECT_EQ(got, whole);
                break;
            }
            failedOnce = true;
            EXPECT_EQ(got, "<none>") << "allocation " << n;
        }
        EXPECT_TRUE(failedOnce) << whole;
    }
}

}  // namespace
