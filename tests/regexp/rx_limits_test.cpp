// Sizes beyond 16 bits, deep nesting, long inputs, the break poll and
// allocation failures.
#include <string>

#include "regexp/rxprogram.h"
#include "rx_support.h"

using namespace rx_test;
using namespace quillon;
using V = std::vector<std::string>;

namespace {

std::string Repeat(const std::string &s, size_t n) {
    std::string out;
    out.reserve(s.size() * n);
    for (size_t i = 0; i < n; ++i) out += s;
    return out;
}

// A text of pseudo-random lower-case letters.
std::string Letters(size_t n, uint32_t seed) {
    std::string out(n, 'a');
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        out[i] = static_cast<char>('a' + (seed >> 16) % 26);
    }
    return out;
}

struct Compiled {
    explicit Compiled(const std::string &pattern, uint32_t flags = 0) {
        code = Rx_Compile(pattern.data(), static_cast<uint32_t>(pattern.size()), flags, false, &p);
    }
    ~Compiled() { Rx_Free(p); }
    uint32_t Match(const std::string &input, uint32_t start = 0, RxCapture *caps = nullptr,
                   RxBreakPoll poll = nullptr, void *arg = nullptr) {
        return Rx_Match(p, input.data(), static_cast<uint32_t>(input.size()), start, false, &s, &e, caps, poll, arg);
    }
    RxProgram *p = nullptr;
    uint32_t code = 0;
    uint32_t s = 0, e = 0;
};

}  // namespace

TEST_F(RxTest, CaptureLongerThan16Bits) {
    std::string input = "x" + std::string(70000, 'a') + "b";
    Compiled re("(a*)b");
    ASSERT_EQ(re.code, 0u);
    RxCapture caps[1];
    ASSERT_EQ(re.Match(input, 0, caps), 1u);
    EXPECT_EQ(re.s, 1u);
    EXPECT_EQ(caps[0].start, 1);
    EXPECT_EQ(caps[0].length, 70000u);

    Compiled any("(.+)\\1");
    std::string doubled = std::string(70000, 'q') + std::string(70000, 'q');
    RxCapture one[1];
    ASSERT_EQ(any.Match(doubled, 0, one), 1u);
    EXPECT_EQ(one[0].length, 70000u);
    EXPECT_EQ(any.e, 140000u);
}

TEST_F(RxTest, ProgramLargerThan16Bits) {
    const size_t n = 20000;
    Compiled groups(Repeat("(a)", n));
    ASSERT_EQ(groups.code, 0u);
    EXPECT_GT(groups.p->codeLength, 65535u);
    std::vector<RxCapture> caps(n);
    ASSERT_EQ(groups.Match("b" + std::string(n, 'a'), 0, caps.data()), 1u);
    EXPECT_EQ(groups.s, 1u);
    EXPECT_EQ(caps[n - 1].start, static_cast<int32_t>(n));
    EXPECT_EQ(caps[n - 1].length, 1u);
    EXPECT_EQ(groups.Match("aaaaaaaaaa"), 0u);

    // A literal run longer than 65535 characters stays one string operation.
    std::string lit = Letters(100000, 7);
    Compiled big(lit);
    ASSERT_EQ(big.code, 0u);
    EXPECT_LT(big.p->codeLength, 32u);
    ASSERT_EQ(big.Match("zz" + lit + "zz"), 1u);
    EXPECT_EQ(big.s, 2u);
    EXPECT_EQ(big.e, 100002u);
    std::string wrong = lit;
    wrong[99999] = wrong[99999] == 'a' ? 'b' : 'a';
    EXPECT_EQ(big.Match("zz" + wrong), 0u);

    std::string upper = lit;
    for (char &c : upper) c = static_cast<char>(c - 32);
    Compiled folded(lit, RX_IGNORECASE);
    ASSERT_EQ(folded.Match("-" + upper), 1u);
    EXPECT_EQ(folded.s, 1u);

    // Alternatives past the old offset range: the jump over them must land.
    std::string alts;
    for (int i = 0; i < 6000; ++i) alts += "k" + std::to_string(i) + "z|";
    alts += "end";
    Compiled alt("(?:" + alts + ")!");
    ASSERT_EQ(alt.code, 0u);
    EXPECT_GT(alt.p->codeLength, 65535u);
    ASSERT_EQ(alt.Match("..k5999z!"), 1u);
    EXPECT_EQ(alt.s, 2u);
    ASSERT_EQ(alt.Match("end!"), 1u);
    EXPECT_EQ(alt.Match("k6000z!"), 0u);
}

TEST_F(RxTest, DeepNesting) {
    const size_t depth = 5000;
    Compiled groups(Repeat("(", depth) + "a" + Repeat(")", depth));
    ASSERT_EQ(groups.code, 0u);
    std::vector<RxCapture> caps(depth);
    ASSERT_EQ(groups.Match("xa", 0, caps.data()), 1u);
    EXPECT_EQ(caps[0].start, 1);
    EXPECT_EQ(caps[depth - 1].length, 1u);

    // Far deeper than any machine stack would allow for a recursive walk.
    const size_t deep = 100000;
    Compiled opts(Repeat("(?:", deep) + "a" + Repeat(")?", deep));
    ASSERT_EQ(opts.code, 0u);
    ASSERT_EQ(opts.Match("a"), 1u);
    EXPECT_EQ(opts.e, 1u);
    ASSERT_EQ(opts.Match("b"), 1u);
    EXPECT_EQ(opts.e, 0u);

    Compiled looks(Repeat("(?=", deep) + "a" + Repeat(")", deep) + "a");
    ASSERT_EQ(looks.code, 0u);
    ASSERT_EQ(looks.Match("ba"), 1u);
    EXPECT_EQ(looks.s, 1u);

    Compiled chain(Repeat("a|", deep) + "b");
    ASSERT_EQ(chain.code, 0u);
    ASSERT_EQ(chain.Match("cb"), 1u);
    EXPECT_EQ(chain.s, 1u);

    EXPECT_EQ(CompileCode(Repeat("(?:", deep) + "a" + Repeat(")", deep - 1)), ERR_RX_PARENEXPECTED);
}

namespace {

struct PollCount {
    uint32_t calls = 0;
    uint32_t stopAfter = 0;
};

uint32_t CountingPoll(void *arg) {
    auto *pc = static_cast<PollCount *>(arg);
    return ++pc->calls >= pc->stopAfter ? ERR_BREAK : 0;
}

}  // namespace

TEST_F(RxTest, PollStopsRunawayMatch) {
    Compiled re("(a*)*b");
    ASSERT_EQ(re.code, 0u);
    PollCount pc;
    pc.stopAfter = 5;
    RxCapture caps[1];
    EXPECT_EQ(re.Match(std::string(30, 'a'), 0, caps, CountingPoll, &pc), uint32_t{ERR_BREAK});
    EXPECT_EQ(pc.calls, 5u);
    // The program stays usable after a stopped match.
    pc = PollCount{0, 1000000};
    ASSERT_EQ(re.Match("aab", 0, caps, CountingPoll, &pc), 1u);
    EXPECT_EQ(caps[0].length, 2u);
}

TEST_F(RxTest, LongInputsStayLinear) {
    // Simple patterns over a megabyte: each of these would take hours if
    // the work per position were not constant.
    std::string hay = Letters(1 << 20, 3);
    for (char &c : hay)
        if (c == 'q') c = 'r';
    Compiled lit("quick");
    EXPECT_EQ(lit.Match(hay), 0u);
    EXPECT_EQ(lit.Match(hay + "quick"), 1u);
    EXPECT_EQ(lit.s, hay.size());

    Compiled cls("[q0-9]+!");
    EXPECT_EQ(cls.Match(hay + "q9!"), 1u);
    EXPECT_EQ(cls.s, hay.size());

    Compiled anchored("^.*$");
    EXPECT_EQ(anchored.Match(hay), 1u);
    EXPECT_EQ(anchored.e, hay.size());

    std::string pairs = Repeat("ab", 1 << 19);
    Compiled rep("(?:ab)+");
    ASSERT_EQ(rep.Match(pairs), 1u);
    EXPECT_EQ(rep.e, pairs.size());

    std::string mixed = Repeat("ab", 100000) + "c";
    Compiled loop("(a|b)+c");
    RxCapture caps[1];
    ASSERT_EQ(loop.Match(mixed, 0, caps), 1u);
    EXPECT_EQ(loop.e, mixed.size());
    EXPECT_EQ(caps[0].start, static_cast<int32_t>(mixed.size() - 2));

    Compiled lines("x$", RX_MULTILINE);
    std::string text = Repeat(Letters(79, 5) + "\n", 12000) + "x\n";
    ASSERT_EQ(lines.Match(text), 1u);
    EXPECT_EQ(lines.s, text.size() - 2);
}
