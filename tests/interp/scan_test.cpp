// Statement termination and the skip scanners, observed through runs: what
// a skipped branch swallows decides what runs next.
#include "support/fixture.h"
#include "support/testhost.h"

namespace quillon_test {
namespace {

class ScanTest : public LibraryTest {};

std::string RunResult(TestHost &h, const char *text) {
    uint32_t r = h.Run(text);
    if (r != 0) return "error " + std::to_string(r) + (h.reports.empty() ? "" : ": " + h.reports.back().message);
    return h.ResultString();
}

TEST_F(ScanTest, ReturnEndsAtALineBreak) {
    TestHost h;
    EXPECT_EQ(RunResult(h, "function f() { return\n 5; } typeof f()"), "undefined");
}

TEST_F(ScanTest, SkippedStatementsFollowTheLineBreakRules) {
    TestHost h;
    // The untaken branch is `a = b` continued by `+ c` on the next line.
    EXPECT_EQ(RunResult(h, "var r = 'kept'; if (false) r = 'b'\n+ 'c'\nelse r = 'else'; r"), "else");
    // Followed by `(c)` the statement ends at the line break, so the `(c)`
    // line runs.
    EXPECT_EQ(RunResult(h, "var s = 0; if (false) s = 1\n(s = 2); s"), "2");
    // After a call, an operator on the next line carries the statement on,
    // as it does when the statement runs.
    EXPECT_EQ(RunResult(h, "var t = 0; function f() {} if (false) f(t)\n+ (t = 3); t"), "0");
    EXPECT_EQ(RunResult(h, "var u = 0; function g() { return 1; } u = g(u)\n+ (u = 3); u"), "4");
}

TEST_F(ScanTest, TerminationRule) {
    TestHost h;
    EXPECT_EQ(RunResult(h, "var a = 1 var b = 2"), "error 4: End of line or semicolon expected");
    h.reports.clear();
    EXPECT_EQ(RunResult(h, "var a = 1\nvar b = 2; if (a) { b = 3 } b"), "3");
}

TEST_F(ScanTest, ShortCircuitSkipsWithoutRunning) {
    TestHost h;
    EXPECT_EQ(RunResult(h, "var n = 0; function f() { n++; return 1; } true || f() && f(); n"), "0");
    EXPECT_EQ(RunResult(h, "false && f() || 'z'"), "z");
    EXPECT_EQ(RunResult(h, "n"), "0");
    EXPECT_EQ(RunResult(h, "var q = false ? f() : (true ? 'y' : f()); q + n"), "y0");
}

TEST_F(ScanTest, PrepassDefinesDeclarationsButNotExpressions) {
    TestHost h;
    EXPECT_EQ(RunResult(h, "early(); function early() { return 1; } 'ok'"), "ok");
    EXPECT_EQ(RunResult(h, "late(); var late = function () {};"), "error 4: Function not defined");
    h.reports.clear();
    EXPECT_EQ(RunResult(h, "if (true) { inner(); function inner() {} } 'nested'"), "nested");
}

TEST_F(ScanTest, Labels) {
    TestHost h;
    EXPECT_EQ(RunResult(h, "var i = 0; outer: while (true) { while (true) { i++; if (i > 2) break outer; } } i"), "3");
    EXPECT_EQ(RunResult(h, "lab: { lab: ; }"), "error 4: Duplicate label");
    h.reports.clear();
    EXPECT_EQ(RunResult(h, "blk: { while (true) continue blk; }"), "error 4: Unexpected continue statement");
    h.reports.clear();
    EXPECT_EQ(RunResult(h, "function g() { x: ; return 1; } x: g()"), "1");
    EXPECT_EQ(RunResult(h, "break;"), "error 4: Unexpected break statement");
}

TEST_F(ScanTest, SwitchDefaults) {
    TestHost h;
    EXPECT_EQ(RunResult(h, "var s = ''; switch (9) { default: s += 'd'; case 1: s += '1'; break; case 2: s += '2'; } s"),
              "d1");
    EXPECT_EQ(RunResult(h, "switch (1) { default: ; default: ; }"), "error 4: Excessive default statements");
}

}  // namespace
}  // namespace quillon_test
