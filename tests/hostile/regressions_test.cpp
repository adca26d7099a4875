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

}  // namespace
}  // namespace quillon_test
