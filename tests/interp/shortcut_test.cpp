// The interpreter's shortcuts against their general paths on the failure
// paths: when memory runs out in the middle of an assignment, an update or
// a call, the variables involved are left exactly as the general path
// leaves them (unchanged), never emptied or half-written. Checking builds
// run every case with the shortcuts on and off.
#include "support/fixture.h"
#include "support/testhost.h"

#include "platform/pool.h"
#include "runtime/checks.h"

namespace quillon_test {
namespace {

class ShortcutTest : public LibraryTest {
protected:
    void TearDown() override {
#ifdef QUILLON_CHECKS
        quillon::Chk_SetShortcuts(true);
#endif
        LibraryTest::TearDown();
    }
};

// The modes a checking build can run in: shortcuts on, and off.
std::vector<bool> Modes() {
#ifdef QUILLON_CHECKS
    return {true, false};
#else
    return {true};
#endif
}

void SetMode([[maybe_unused]] bool shortcuts) {
#ifdef QUILLON_CHECKS
    quillon::Chk_SetShortcuts(shortcuts);
#endif
}

// Each update runs with the Nth allocation failing, for every N until it
// succeeds; after a failure `probe` must read as before the update, after
// success as `after`.
struct Update {
    const char *setup;   // makes the variables (run once per attempt)
    const char *update;  // the statement that may fail
    const char *probe;   // an expression reading what the update changes
    const char *before;  // the probe's text before the update
    const char *after;   // and after it
};

const Update kUpdates[] = {
    {"var s = 'abcdefgh'", "s += s", "s", "abcdefgh", "abcdefghabcdefgh"},
    {"var s = 'abcdefgh'", "s = s + s", "s", "abcdefgh", "abcdefghabcdefgh"},
    {"var s = 'abcdefgh'", "s += 'ij'", "s", "abcdefgh", "abcdefghij"},
    {"function f() { var s = 'abcd'; try { s += s; } finally { g = s; } } var g", "f()", "g", "undefined",
     "abcdabcd"},
    {"var o = {s: 'abcd'}", "o.s += o.s", "o.s", "abcd", "abcdabcd"},
    {"var a = ['abcd']", "a[0] += a[0]", "a[0]", "abcd", "abcdabcd"},
    {"var n = 1", "n += 'x'", "n", "1", "1x"},
    {"var o = {n: 1}", "o.n++", "o.n", "1", "2"},
    {"var a = [1]", "a[0] *= 10", "a[0]", "1", "10"},
    {"var s = 'ab', t", "t = s + s + s", "t", "undefined", "ababab"},
};

TEST_F(ShortcutTest, FailedUpdatesLeaveTheirVariablesAsTheGeneralPathDoes) {
    for (bool mode : Modes()) {
        SetMode(mode);
        for (const Update &u : kUpdates) {
            SCOPED_TRACE(std::string(u.update) + (mode ? " (shortcuts on)" : " (shortcuts off)"));
            bool succeeded = false;
            for (uint64_t n = 1; n < 200 && !succeeded; ++n) {
                TestHost h;
                ASSERT_EQ(h.Run(u.setup), 0u);
                quillon::Pool_FailNth(n);
                uint32_t r = h.Run(u.update);
                bool failed = quillon::Pool_FailedCount() > 0;
                quillon::Pool_FailOff();
                ASSERT_TRUE(r == 0 || r == 1) << "result " << r << " at allocation " << n;
                succeeded = r == 0 && !failed;
                ASSERT_EQ(h.Run((std::string("String(") + u.probe + ")").c_str()), 0u);
                EXPECT_EQ(h.ResultString(), r == 0 ? u.after : u.before) << "allocation " << n;
            }
            EXPECT_TRUE(succeeded);
        }
    }
}

// The same programs give the same output and reports with the shortcuts
// on and off; what differs between the two is only how fast they run.
TEST_F(ShortcutTest, ResultsAndReportsDoNotDependOnTheShortcuts) {
    const char *programs[] = {
        "var s = 0; for (var i = 0; i < 10; i++) s += i * 2; s",
        "var o = {a: 1}; o.a += 2; o.b = o.a++; [o.a, o.b].join()",
        "var a = [1, 2, 3]; a[1] = a[0] + a[2]; a[3] = 'x'; a.join('-')",
        "function f(x) { var y = x; y++; return y + x; } f(3) + f(4)",
        "var t = 'a'; for (var i = 0; i < 5; i++) t += t.length; t",
        "var u; u.x",
        "var n = null; n.x = 1",
        "undefinedName + 1",
        "var k = 0; k += undefinedName",
        "var q = {}; q.f()",
    };
    std::vector<std::string> first;
    for (bool mode : Modes()) {
        SetMode(mode);
        std::vector<std::string> seen;
        for (const char *p : programs) {
            TestHost h;
            uint32_t r = h.Run(p);
            std::string line = std::to_string(r) + ":" + (r == 0 ? h.ResultString() : "");
            for (const Report &rep : h.reports) line += "|" + rep.heading + ": " + rep.message + " @" + rep.token;
            seen.push_back(line);
        }
        if (first.empty()) first = seen;
        else EXPECT_EQ(seen, first);
    }
    EXPECT_EQ(first[0], "0:90");
    EXPECT_EQ(first[9].substr(0, 2), "4:");
}

}  // namespace
}  // namespace quillon_test
