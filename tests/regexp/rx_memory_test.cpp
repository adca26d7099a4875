// Allocation failures: every allocation of a compile or a match may fail;
// the call then answers 103, leaves nothing allocated and no half-built
// program, and the program stays usable.
#include <string>

#include "rx_support.h"

using namespace rx_test;
using namespace quillon;

namespace {

std::string Repeat(const std::string &s, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) out += s;
    return out;
}

struct Case {
    std::string pattern;
    uint32_t flags;
    bool plain;
};

std::vector<Case> CompileCases() {
    std::string manyClasses;
    for (int i = 0; i < 40; ++i) manyClasses += "[" + std::string(1, static_cast<char>('a' + i % 26)) + "-z" + std::to_string(i) + "]";
    return {
        {"(a|b)*[c-e]+\\1(?=x)(?!y)z{2,5}?", 0, false},
        {"ab|ac|[xy]d|\\w+e", 0, false},
        {"\\2(a)(b)", RX_IGNORECASE, false},
        {Repeat("(", 300) + "a" + Repeat(")", 300), 0, false},
        {Repeat("a.|", 200) + "b", 0, false},
        {manyClasses, RX_IGNORECASE, false},
        {"a.b(c", 0, true},
        {"", 0, false},
        {"(a", 0, false},  // a syntax error found after allocations
        {Repeat("(?:x", 150) + ")", 0, false},
    };
}

}  // namespace

TEST_F(RxTest, CompileFailsCleanlyAtEveryAllocation) {
    for (const Case &c : CompileCases()) {
        RxProgram *good = nullptr;
        uint32_t expected = Rx_Compile(c.pattern.data(), static_cast<uint32_t>(c.pattern.size()), c.flags, c.plain, &good);
        Rx_Free(good);
        int failures = 0;
        for (uint64_t n = 1;; ++n) {
            int32_t before = MemUse;
            Pool_FailNth(n);
            RxProgram *p = nullptr;
            uint32_t err = Rx_Compile(c.pattern.data(), static_cast<uint32_t>(c.pattern.size()), c.flags, c.plain, &p);
            bool failed = Pool_FailedCount() > 0;
            Pool_FailOff();
            if (!failed) {
                EXPECT_EQ(err, expected) << c.pattern;
                Rx_Free(p);
                EXPECT_EQ(MemUse, before);
                break;
            }
            ++failures;
            EXPECT_EQ(err, uint32_t{ERR_NOMEM}) << c.pattern << " failing allocation " << n;
            EXPECT_EQ(p, nullptr);
            EXPECT_EQ(MemUse, before) << c.pattern << " failing allocation " << n;
        }
        EXPECT_GT(failures, 0) << c.pattern;
    }
}

TEST_F(RxTest, MatchFailsCleanlyAtEveryAllocation) {
    struct MatchCase {
        std::string pattern, input;
        uint32_t flags;
        bool withCaps;
    };
    const std::vector<MatchCase> cases = {
        {"(a|b)*c", Repeat("ab", 300) + "c", 0, true},
        {"(a|b)*c", Repeat("ab", 300) + "c", 0, false},  // captures kept by the matcher itself
        {"[x-z]+(\\d)", "..yz7", RX_IGNORECASE, true},
        {Repeat("(?:", 80) + "a" + Repeat(")?", 80), "a", 0, true},
        {"(?=(a|b)*c)(?!x)a", Repeat("ab", 200) + "c", 0, true},
        {"(a)\\1|b", "xb", 0, true},
    };
    for (const MatchCase &c : cases) {
        const auto len = static_cast<uint32_t>(c.input.size());
        uint32_t s0 = 0, e0 = 0, s = 0, e = 0;
        // The expected result, from a copy that never fails.
        RxProgram *ref = nullptr;
        ASSERT_EQ(Rx_Compile(c.pattern.data(), static_cast<uint32_t>(c.pattern.size()), c.flags, false, &ref), 0u);
        ASSERT_EQ(Rx_Match(ref, c.input.data(), len, 0, false, &s0, &e0, nullptr, nullptr, nullptr), 1u);
        Rx_Free(ref);
        int failures = 0;
        for (uint64_t n = 1;; ++n) {
            // A fresh program each time, so that every allocation of a
            // first match (class bitmaps, stacks) is reached.
            int32_t before = MemUse;
            RxProgram *p = nullptr;
            ASSERT_EQ(Rx_Compile(c.pattern.data(), static_cast<uint32_t>(c.pattern.size()), c.flags, false, &p), 0u);
            std::vector<RxCapture> caps(Rx_GroupCount(p) + 1);
            RxCapture *cp = c.withCaps ? caps.data() : nullptr;
            Pool_FailNth(n);
            uint32_t r = Rx_Match(p, c.input.data(), len, 0, false, &s, &e, cp, nullptr, nullptr);
            bool failed = Pool_FailedCount() > 0;
            Pool_FailOff();
            if (failed) {
                ++failures;
                EXPECT_EQ(r, uint32_t{ERR_NOMEM}) << c.pattern << " failing allocation " << n;
                // The same program matches normally afterwards.
                s = e = 0;
                r = Rx_Match(p, c.input.data(), len, 0, false, &s, &e, cp, nullptr, nullptr);
            }
            EXPECT_EQ(r, 1u);
            EXPECT_EQ(s, s0);
            EXPECT_EQ(e, e0);
            Rx_Free(p);
            EXPECT_EQ(MemUse, before) << c.pattern << " failing allocation " << n;
            if (!failed) break;
        }
        EXPECT_GT(failures, 0) << c.pattern;
    }
}
