// Faults found by fuzzing and by the out-of-memory sweep, each kept as a
// test of the behaviour that replaced it.
#include <cstring>
#include <string>

#include "platform/pool.h"
#include "support/fixture.h"
#include "support/testhost.h"

namespace quillon_test {
namespace {

class Regressions : public LibraryTest {};

// Runs `script` failing its 1st, 2nd, 3rd ... allocation until a run meets
// no failure: each run must fail as out of memory or give `expected`.
void ExpectEveryFailureStops(const char *script, const std::string &expected) {
    for (uint64_t n = 1;; ++n) {
        TestHost h;
        ASSERT_NE(h.Space(), nullptr);
        quillon::Pool_FailNth(n);
        uint32_t r = h.Run(script);
        bool hit = quillon::Pool_FailedCount() > 0;
        quillon::Pool_FailOff();
        if (r == 0) {
            EXPECT_EQ(h.ResultString(), expected) << "allocation " << n;
        } else {
            EXPECT_EQ(r, 1u) << "allocation " << n;
        }
        if (!hit) break;
        ASSERT_LT(n, 100000u);
    }
}

// Memory running out while the report of an error inside `try` is made
// (its heading or message) fails the run; the catch once received an Error
// whose message had lost its heading or its text.
TEST_F(Regressions, ACaughtErrorNeverCarriesAMessageCutShort) {
    ExpectEveryFailureStops("var m; try { nosuch(); } catch (e) { m = e.message; } m",
                            "Reference error on line 1: Function not defined");
    ExpectEveryFailureStops("function f() { try { null.x.y; } catch (e) { return e.name + ': ' + e.message; } } f()",
                            "ReferenceError: Reference error on line 1 of function f: Property not found");
}

// A run whose first use of the `arguments` identifier meets exhausted
// memory fails; it once went on without one, so no function could reach
// its arguments object.
TEST_F(Regressions, ArgumentsStayReachableWhenMemoryRunsOutEarly) {
    ExpectEveryFailureStops("function f() { return arguments.length + arguments[1]; } f(1, 2, 3)", "5");
}

// Integer operators on numbers outside the 32-bit range wrap them modulo
// 2^32 (the fast path once cast such numbers straight to int); fractions
// round away from zero first.
TEST_F(Regressions, IntegerOperatorsWrapNumbersOutsideTheIntRange) {
    TestHost h;
    ASSERT_EQ(h.Run("[4294967295 | 0, 4294967296 | 1, -2147483649 | 0, 1e10 >> 0, 2147483648 ^ 0,"
                    " ~4294967295, NaN | 0, Infinity & 7, -Infinity >>> 0, 1e300 | 0, -0.5 | 0].join()"),
              0u);
    EXPECT_EQ(h.ResultString(), "-1,1,2147483647,1410065408,-2147483648,0,0,0,0,0,-1");
}

// ++ and -- on a variable that does not hold a number once copied the
// unused base field of the variable's reference, whatever an earlier
// reference had left there, taking a share of a string or object that
// might be gone ("UFO" records, leaks at close).
TEST_F(Regressions, IncrementOfAVariableTakesNoStaleBase) {
    TestHost h;
    EXPECT_EQ(h.Run("label: for (var i = 0; i < 3; i++) { var z = 's'; { z++; } }"
                    " var t = {}; t.k = 'x' + i; var u = 'u'; u--; [z, u, i].join()"),
              0u);
    EXPECT_EQ(h.ResultString(), "NaN,NaN,3");
    EXPECT_EQ(h.Run("function f(a) { var o = {p: [a]}; var w = o.p[0]; w++; ++w; return w; } f('1') + f({})"),
              0u);
    EXPECT_EQ(h.ResultString(), "NaN");
}

// A text that ends where an operand is expected once had the evaluator
// look at the tokens after the end of the token program (found by fuzzing
// with "(\n" and eighteen more parentheses); token arrays of every length
// are tried so that one of them ends exactly at its allocation.
TEST_F(Regressions, TextsEndingWhereAnOperandIsExpected) {
    TestHost h;
    for (int n = 0; n < 200; ++n) {
        std::string text = "(\n" + std::string(n, '(');
        EXPECT_EQ(h.Run(text.c_str()), 4u) << n;
        text = "x = this" + std::string(n % 3, '.');
        EXPECT_NE(h.Run(text.c_str()), 1u) << n;
    }
}

// A lenient run goes on after a failed statement from where the failure
// left off; a group left open at the end of the text once made it resume
// past the end of the token program. Every prefix of a program, run
// strictly and leniently, must end with a report at worst (a lenient run
// still fails on a faulty function declaration, met before any statement).
TEST_F(Regressions, EveryPrefixOfAProgramRunsCleanly) {
    const std::string program =
        "var a = [1, (2 + 3) * 4, {k: 'v', n: [5]}];\n"
        "function f(x, y) { if (x) { return (y || 0) + x; } else return f(1, x); }\n"
        "for (var i = 0; i < 3; i++) { a[i] = f(i, a[i]); }\n"
        "switch (a.length) { case 3: a.push(typeof f); break; default: }\n"
        "try { throw new Error('e'); } catch (e) { a.push(e.message); } finally { a.pop(); }\n"
        "var o = {get: function () { return this; }}; o.get().get;\n"
        "do { i--; } while (i > 0); with (Math) a.push(max(1, 2));\n"
        "'s'.replace(/(s)/g, function (m) { return m + m; }) + a.join(',')\n";
    TestHost h;
    for (size_t n = 0; n <= program.size(); ++n) {
        std::string prefix = program.substr(0, n);
        for (uint32_t flags : {JSRUN_RESULT, JSRUN_RESULT | JSRUN_LENIENT}) {
            uint32_t r = h.Run(prefix.c_str(), flags);
            EXPECT_TRUE(r == 0 || r == 4) << "result " << r << " for: " << prefix;
        }
    }
}

}  // namespace
}  // namespace quillon_test
