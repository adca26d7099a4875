// Arrays, strings and Math through whole runs: the random generator with a
// fixed seed, and running out of memory at every allocation of scripts that
// grow arrays and build strings.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "builtins/mathrandom.h"
#include "platform/pool.h"
#include "support/fixture.h"

namespace {

using quillon::Pool_FailAfter;
using quillon::Pool_FailNth;
using quillon::Pool_FailedCount;
using quillon::Pool_FailOff;
using quillon_test::DebugText;

class ArraysTest : public quillon_test::LibraryTest {
protected:
    JSHostLibrary hooks_{};

    JSProgramSpace *NewSpace() { return CreateJSProgramSpace(nullptr, &hooks_, 0); }

    static std::string ResultOf(JSProgramSpace *space) {
        JSTagItem tags[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
        if (GetJSResult(space, tags) != 0 || !tags[0].ti_Data) return "<none>";
        return reinterpret_cast<const char *>(tags[0].ti_Data);
    }

    // Runs the text in a space of its own; the run's result code and value.
    uint32_t RunFresh(const char *text, std::string *value, int32_t compat = 0) {
        JSProgramSpace *space = NewSpace();
        EXPECT_NE(space, nullptr);
        if (!space) return 99;
        uint32_t r = RunJavaScript(space, text, JSRUN_RESULT, 0, 0, compat);
        if (value) *value = r == 0 ? ResultOf(space) : "";
        DeleteJSProgramSpace(space);
        return r;
    }

    // Fails the nth allocation of each run in turn (or, with every, every
    // allocation from the nth on) until a run meets no failure. A run that
    // met one must end with out of memory or, where the failure was absorbed,
    // with the right value; nothing may leak.
    void FailEachAllocation(const char *text, bool every) {
        std::string expected;
        ASSERT_EQ(RunFresh(text, &expected), 0u);
        int failedRuns = 0;
        for (uint64_t n = 1; n < 200000; ++n) {
            JSProgramSpace *space = NewSpace();
            ASSERT_NE(space, nullptr);
            if (every) Pool_FailAfter(n - 1);
            else Pool_FailNth(n);
            uint32_t r = RunJavaScript(space, text, JSRUN_RESULT, 0, 0, 0);
            uint64_t failed = Pool_FailedCount();
            Pool_FailOff();
            std::string value = r == 0 ? ResultOf(space) : "";
            DeleteJSProgramSpace(space);
            EXPECT_EQ(DebugText().find("UFO"), std::string::npos) << "at allocation " << n;
            if (failed == 0) {
                EXPECT_EQ(r, 0u);
                EXPECT_EQ(value, expected);
                break;
            }
            ++failedRuns;
            if (r == 0) {
                EXPECT_EQ(value, expected) << "failure absorbed at allocation " << n << " changed the result";
            } else {
                EXPECT_EQ(r, 1u) << "at allocation " << n;
            }
            if (HasFailure()) break;
        }
        EXPECT_GT(failedRuns, 10);
    }
};

// The state update of POSIX drand48: X = (0x5DEECE66D * X + 0xB) mod 2^48.
uint32_t NextBits(uint64_t *x) {
    *x = (0x5DEECE66Dull * *x + 0xB) & ((uint64_t{1} << 48) - 1);
    return static_cast<uint32_t>(*x >> 16);
}

TEST_F(ArraysTest, RandomFollowsTheDrand48StepFromItsSeed) {
    for (uint32_t seed : {0u, 1u, 2999u, 1234u}) {
        quillon::Math_SeedRandom(seed);
        uint64_t x = (static_cast<uint64_t>(seed) << 16) | 0x330E;
        // The C library's jrand48 makes the same step and hands back the same bits.
        unsigned short libc[3] = {0x330E, static_cast<unsigned short>(seed & 0xFFFF),
                                  static_cast<unsigned short>(seed >> 16)};
        for (int i = 0; i < 20; ++i) {
            uint32_t bits = NextBits(&x);
            EXPECT_EQ(static_cast<uint32_t>(jrand48(libc)), bits);
            double r = quillon::Math_NextRandom();
            EXPECT_EQ(r, bits / 4294967295.000001) << "seed " << seed << " step " << i;
            EXPECT_LT(r, 1.0);
            EXPECT_GE(r, 0.0);
        }
    }
}

TEST_F(ArraysTest, ScriptsSeeTheSameSequenceAfterTheSameSeed) {
    const char *text =
        "var s = []; for (var i = 0; i < 8; i++) s.push(Math.round(Math.random() * 4294967295.000001)); s.join()";
    quillon::Math_SeedRandom(77);
    std::string first, second, other;
    ASSERT_EQ(RunFresh(text, &first), 0u);
    quillon::Math_SeedRandom(77);
    ASSERT_EQ(RunFresh(text, &second), 0u);
    quillon::Math_SeedRandom(78);
    ASSERT_EQ(RunFresh(text, &other), 0u);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, other);
    uint64_t x = (uint64_t{77} << 16) | 0x330E;
    std::string expected;
    for (int i = 0; i < 8; ++i) expected += (i ? "," : "") + std::to_string(NextBits(&x));
    EXPECT_EQ(first, expected);
}

TEST_F(ArraysTest, SeedZeroStartsFromTheFixedLowWord) {
    quillon::Math_SeedRandom(0);
    std::string value;
    ASSERT_EQ(RunFresh("String(Math.round(Math.random() * 4294967295.000001))", &value), 0u);
    uint64_t x = 0x330E;
    EXPECT_EQ(value, std::to_string(NextBits(&x)));
}

const char *const kGrowArrays =
    "var a = [];\n"
    "for (var i = 0; i < 60; i++) a.push(i % 3 ? i : 's' + i);\n"
    "a.unshift('u', 'v');\n"
    "var removed = a.splice(5, 3, 'x', 'y', 'z', 'w');\n"
    "var b = a.concat(removed, [1, 2], 'tail').slice(2, -1);\n"
    "b.sort(); b.reverse();\n"
    "var m = b.map(function (v) { return typeof v; }).filter(function (t) { return t == 'number'; });\n"
    "var h = []; h[100000] = 'far'; h[5] = 'near';\n"
    "var parts = [b.join('-'), m.length, a.indexOf(59), h.join('').length, h.slice(4, 7).length];\n"
    "while (a.length > 40) a.shift();\n"
    "parts.push(a.join());\n"
    "parts.join('|')";

TEST_F(ArraysTest, GrowingArraysSurviveEveryFailedAllocation) { FailEachAllocation(kGrowArrays, false); }

TEST_F(ArraysTest, GrowingArraysSurviveMemoryRunningOutForGood) { FailEachAllocation(kGrowArrays, true); }

const char *const kBuildStrings =
    "var s = 'Hello';\n"
    "var t = s.concat(' ', 'World', 42).toUpperCase() + s.toLowerCase().substring(1, 4);\n"
    "var u = t.slice(-5) + t.substr(2, 3) + t.charAt(1) + String.fromCharCode(65, 66, 67);\n"
    "var w = u.bold() + u.link('x') + String(123) + u.indexOf('L') + u.lastIndexOf('L');\n"
    "w + [1, 2, 3].toString() + Math.max(1, 2)";

TEST_F(ArraysTest, StringBuildingSurvivesEveryFailedAllocation) { FailEachAllocation(kBuildStrings, false); }

TEST_F(ArraysTest, ATextTooLongForAStringIsOutOfMemory) {
    std::string value;
    EXPECT_EQ(RunFresh("var a = []; a[4000000000] = 1; a.join(',').length", &value), 1u);
    EXPECT_EQ(RunFresh("var a = []; a[4000000000] = 1; String(a.join('').length)", &value), 0u);
    EXPECT_EQ(value, "1");
}

TEST_F(ArraysTest, OlderFormsFollowTheCompatibilityLevel) {
    std::string value;
    ASSERT_EQ(RunFresh("[Array(3).length, [1].push(2, 'last'), [1, 'a'].toString()].join(';')", &value, 3), 0u);
    EXPECT_EQ(value, "1;last;[1, \"a\"]");
    ASSERT_EQ(RunFresh("[Array(3).length, [1].push(2, 'last'), [1, 'a'].toString()].join(';')", &value, 0), 0u);
    EXPECT_EQ(value, "3;3;1,a");
}

}  // namespace
