// Hostile scripts: nesting far past the limit, huge literals and lists,
// thousands of global names, recursion through the built-ins that call
// back into scripts, self-referencing arrays, the largest array length, and
// patterns that backtrack for ever. Each must end with its error or its
// normal result, quickly, and leave no memory behind.
#include <chrono>
#include <string>
#include <vector>

#include "support/fixture.h"
#include "support/testhost.h"

namespace quillon_test {
namespace {

constexpr uint32_t kBreakBit = 1u << 14;

class HostileScripts : public LibraryTest {
protected:
    void TearDown() override {
        SetJSSignal(0, kBreakBit);
        LibraryTest::TearDown();
    }

    // Runs with the break signal raised; the poll answers "stop" after
    // `polls` polls (every loop iteration and call polls).
    uint32_t RunBudgeted(TestHost &h, const std::string &text, int polls, uint32_t flags = JSRUN_RESULT) {
        int seen = 0;
        h.poll = [&seen, polls]() -> uint32_t { return ++seen > polls ? JSANSWER_STOP : 0; };
        SetJSSignal(kBreakBit, kBreakBit);
        uint32_t r = RunJavaScript(h.Space(), text.c_str(), flags, 1, kBreakBit, 0);
        SetJSSignal(0, kBreakBit);
        h.poll = nullptr;
        return r;
    }

    static std::string Repeat(const std::string &s, size_t n) {
        std::string out;
        out.reserve(s.size() * n);
        for (size_t i = 0; i < n; ++i) out += s;
        return out;
    }

    // The message of the last report, or "" without one.
    static std::string LastMessage(const TestHost &h) { return h.reports.empty() ? "" : h.reports.back().message; }
};

constexpr size_t kDeep = 100000;

TEST_F(HostileScripts, NestingFarPastTheLimitIsAnErrorNotACrash) {
    const std::string deep[] = {
        Repeat("(", kDeep) + "1" + Repeat(")", kDeep),
        Repeat("[", kDeep) + Repeat("]", kDeep),
        Repeat("{", kDeep) + Repeat("}", kDeep),
        Repeat("if (1) ", kDeep) + "x = 1;",
        Repeat("(", kDeep),  // never closed
        "x = " + Repeat("{a: ", kDeep) + "1" + Repeat("}", kDeep),
        "x = " + Repeat("- ", kDeep) + "1",
        "x = " + Repeat("!", kDeep) + "1",
        "x = " + Repeat("typeof ", kDeep) + "1",
        "x = " + Repeat("void ", kDeep) + "1",
        "x = " + Repeat("delete ", kDeep) + "x",
        "x = " + Repeat("1 ? ", kDeep) + "1" + Repeat(" : 0", kDeep),
        "x = " + Repeat("0 ? 0 : ", kDeep) + "9",
        "var a; x = " + Repeat("a = ", kDeep) + "1",
        "var a = 1; x = " + Repeat("a += ", kDeep) + "1",
        "var o = {}; x = " + Repeat("o.p = ", kDeep) + "1",
        "var a = [0]; x = " + Repeat("a[", kDeep) + "0" + Repeat("]", kDeep),
        "function f(v) { return v; } x = " + Repeat("f(", kDeep) + "1" + Repeat(")", kDeep),
        Repeat("while (1) ", kDeep) + "break;",
        Repeat("for (;;) ", kDeep) + "break;",
        "var o = {}; " + Repeat("with (o) ", kDeep) + "x = 1;",
        Repeat("try { ", kDeep) + Repeat("} finally {}", kDeep),
        "if (0) 1; " + Repeat("else if (0) 1; ", kDeep) + "else x = 6;",
        "x = eval('" + Repeat("(", kDeep) + "1" + Repeat(")", kDeep) + "')",
        "function g() { " + Repeat("{", kDeep) + "function h() {}" + Repeat("}", kDeep) + " } g()",
    };
    TestHost h;
    for (const std::string &text : deep) {
        h.reports.clear();
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(h.Run(text.c_str()), 4u) << text.substr(0, 40);
        EXPECT_EQ(LastMessage(h), "Program nested too deeply") << text.substr(0, 40);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << text.substr(0, 40);
    }
    // Inside try the failure is an ordinary RangeError.
    std::string caught = "try { x = " + Repeat("(", kDeep) + "1" + Repeat(")", kDeep) + "; } catch (e) { e.name }";
    EXPECT_EQ(h.Run(caught.c_str()), 0u);
    EXPECT_EQ(h.ResultString(), "RangeError");
}

TEST_F(HostileScripts, DeepNestingThatNeverRunsIsSkippedWithoutLimit) {
    const std::string skipped[] = {
        "if (0) { " + Repeat("(", kDeep) + Repeat(")", kDeep) + " } 'done'",
        "if (0) " + Repeat("{", kDeep) + Repeat("}", kDeep) + " 'done'",
        Repeat("while (0) ", kDeep) + "; 'done'",
        "function never() { " + Repeat("[", kDeep) + Repeat("]", kDeep) + " } 'done'",
        "var f = " + Repeat("function () { return ", kDeep) + "1" + Repeat("}", kDeep) + "; 'done'",
    };
    TestHost h;
    for (const std::string &text : skipped) {
        EXPECT_EQ(h.Run(text.c_str()), 0u) << text.substr(0, 40);
        EXPECT_EQ(h.ResultString(), "done");
    }
}

TEST_F(HostileScripts, LongFlatChainsRunToTheirValue) {
    std::vector<std::string> ones(kDeep, "1");
    std::string sum = "1", commas = "(1";
    for (size_t i = 1; i < kDeep; ++i) {
        sum += "+1";
        commas += ",2";
    }
    TestHost h;
    ASSERT_EQ(h.Run(sum.c_str()), 0u);
    EXPECT_EQ(h.ResultNumber(), 100000);
    ASSERT_EQ(h.Run((commas + ")").c_str()), 0u);
    EXPECT_EQ(h.ResultNumber(), 2);
    std::string members = "var o = {}; o.o = o; o" + Repeat(".o", kDeep) + " === o";
    ASSERT_EQ(h.Run(members.c_str()), 0u);
    EXPECT_EQ(h.ResultString(), "true");
    std::string calls = "function f() { return f; } f" + Repeat("()", kDeep) + " === f";
    ASSERT_EQ(h.Run(calls.c_str()), 0u);
    EXPECT_EQ(h.ResultString(), "true");
}

TEST_F(HostileScripts, TenMegabyteStringLiteral) {
    const size_t n = 10u << 20;
    std::string text = "var s = \"" + std::string(n, 'q') + "\"; s.length + ':' + s.charAt(n = 10485759)";
    TestHost h;
    ASSERT_EQ(h.Run(text.c_str()), 0u);
    EXPECT_EQ(h.ResultString(), "10485760:q");
    // The same literal left open reports the unterminated string.
    std::string open = "var s = \"" + std::string(n, 'q');
    h.reports.clear();
    EXPECT_EQ(h.Run(open.c_str()), 4u);
}

TEST_F(HostileScripts, MillionElementListDroppedAtOnce) {
    TestHost h;
    ASSERT_EQ(h.Run("var head = null; for (var i = 0; i < 1000000; i++) head = {next: head, i: i};"
                    "var n = 0; for (var q = head; q; q = q.next) n++; head = q = null; n"),
              0u);
    EXPECT_EQ(h.ResultNumber(), 1000000);
    // Nested arrays, and a ring the collector must take when the space goes.
    ASSERT_EQ(h.Run("var a = []; for (var i = 0; i < 1000000; i++) a = [a]; a = null;"
                    "var first = {}, last = first; for (var i = 0; i < 1000000; i++) last = last.next = {};"
                    "last.next = first; first = last = null; 'kept'"),
              0u);
    EXPECT_EQ(h.ResultString(), "kept");
}

TEST_F(HostileScripts, TenThousandDistinctGlobalNames) {
    std::string declare, sum = "0";
    for (int i = 0; i < 10000; ++i) {
        declare += "var g" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
        if (i % 100 == 0) sum += "+g" + std::to_string(i);
    }
    TestHost h;
    ASSERT_EQ(h.Run(declare.c_str()), 0u);
    ASSERT_EQ(h.Run(sum.c_str()), 0u);  // a later run sees them all
    EXPECT_EQ(h.ResultNumber(), 495000);
    // Names made at run time, by assignment and through eval.
    ASSERT_EQ(h.Run("for (var i = 0; i < 10000; i++) eval('h' + i + ' = ' + i);"
                    "var t = 0; for (var i = 0; i < 10000; i += 1000) t += eval('h' + i); t"),
              0u);
    EXPECT_EQ(h.ResultNumber(), 45000);
}

TEST_F(HostileScripts, RecursionThroughBuiltinsStopsAtTheCallDepth) {
    const char *const scripts[] = {
        "function c(a, b) { [3, 1, 2].sort(c); return a - b; } [2, 1].sort(c)",
        "var o = {toString: function () { return 'x' + o; }}; String(o)",
        "var o = {valueOf: function () { return o * 2; }}; o + 1",
        "var o = {valueOf: function () { return o < 1; }}; o < 2",
        "function r(m) { return 'aa'.replace(/a/g, r); } 'a'.replace(/a/, r)",
        "function r(m) { return 'x'.split(/x/).join(r()); } r()",
        "var o = {}; var k = {toString: function () { return o[k]; }}; o[k]",
        "var k = {toString: function () { return [k, k].sort().join(); }}; [k, k].sort().join()",
        "function f() { [1].forEach(f); } f()",
        "function f() { return f.apply(null, [1]); } f()",
        "function F() { new F(); } new F()",
        "var a = [0]; a.toString = function () { return '[' + a + ']'; }; a + ''",
        "var o = {valueOf: function () { return new Date(o).getTime(); }}; new Date(o)",
    };
    TestHost h;
    for (const char *s : scripts) {
        h.reports.clear();
        EXPECT_EQ(h.Run(s), 4u) << s;
        EXPECT_EQ(LastMessage(h), "Function called itself too many times") << s;
        // Caught, the run goes on.
        std::string wrapped = std::string("try { ") + s + "; 'no error' } catch (e) { 'caught' }";
        EXPECT_EQ(h.Run(wrapped.c_str()), 0u) << s;
        EXPECT_EQ(h.ResultString(), "caught") << s;
    }
}

TEST_F(HostileScripts, RecursionThroughNativesAloneStopsAtTheNestingLimit) {
    // No script function is called, so the call depth never grows: the
    // natives' own nesting ends it.
    const char *const scripts[] = {
        "var o = {}; o.toString = Object.prototype.toLocaleString; o.toLocaleString()",
        "var o = {}; o.toString = Object.prototype.toLocaleString; '' + o",
        "var o = {}; o.toString = Object.prototype.toLocaleString.bind(o); String(o)",
        "var o = {toLocaleString: Array.prototype.toLocaleString, length: 1};"
        " o[0] = {toLocaleString: Object.prototype.toLocaleString, toString: Array.prototype.toLocaleString,"
        " length: 1}; o[0][0] = o[0]; o.toLocaleString()",
    };
    TestHost h;
    for (const char *s : scripts) {
        h.reports.clear();
        uint32_t r = h.Run(s);
        if (r == 0) {
            EXPECT_EQ(h.ResultString(), "") << s;  // a join that met its array again
            continue;
        }
        EXPECT_EQ(r, 4u) << s;
        EXPECT_EQ(LastMessage(h), "Program nested too deeply") << s;
        std::string wrapped = std::string("try { ") + s + "; 'no error' } catch (e) { e.name }";
        EXPECT_EQ(h.Run(wrapped.c_str()), 0u) << s;
        EXPECT_EQ(h.ResultString(), "RangeError") << s;
    }
    // An array-like that holds itself gives the empty text where it meets
    // itself again.
    ASSERT_EQ(h.Run("var a = {length: 2, 1: 'x'}; a[0] = a; a.toLocaleString = Array.prototype.toLocaleString;"
                    "a.toLocaleString()"),
              0u);
    EXPECT_EQ(h.ResultString(), ",x");
}

TEST_F(HostileScripts, EvalNestedThroughItself) {
    TestHost h;
    EXPECT_EQ(h.Run("var t = 'eval(t)'; eval(t)"), 4u);
    EXPECT_EQ(LastMessage(h), "Program nested too deeply");
    EXPECT_EQ(h.Run("var t = 'eval(t)'; try { eval(t); } catch (e) { e.name }"), 0u);
    EXPECT_EQ(h.ResultString(), "RangeError");
    // eval inside functions inside eval: the call depth ends it.
    EXPECT_EQ(h.Run("function f() { return eval('f()'); } try { f(); } catch (e) { e.message }"), 0u);
    EXPECT_NE(h.ResultString().find("Function called itself too many times"), std::string::npos);
}

TEST_F(HostileScripts, SelfReferencingArraysJoined) {
    TestHost h;
    ASSERT_EQ(h.Run("var a = [1, 2]; a.push(a); a[3] = [a, [a]];"
                    "[a.join('-'), String(a), a.toString(), [a, a].join('|'), a.concat(a).length].join(' ')"),
              0u);
    EXPECT_EQ(h.ResultString(), "1-2--, 1,2,,, 1,2,,, 1,2,,,|1,2,,, 8");
    // An element whose toString joins the array it is in.
    ASSERT_EQ(h.Run("var b = [1]; b[1] = {toString: function () { return b.join('+'); }}; b.join()"), 0u);
    EXPECT_EQ(h.ResultString(), "1,");  // the inner join meets b again: empty
    // Sorting an array that holds itself compares its text.
    ASSERT_EQ(h.Run("var c = ['b', 'a']; c.push(c); c.sort(); typeof c[0] + c[1] + c[2]"), 0u);
    EXPECT_EQ(h.ResultString(), "stringba,b,");
}

TEST_F(HostileScripts, LargestArrayLengthWithEveryMethod) {
    struct Case {
        const char *call;
        uint32_t result;  // 0 normal, 1 out of memory, 3 stopped by the break, 4 an error
        const char *message;
    };
    // The iteration methods read every index below the length, as they
    // must; over 2^32 - 1 indexes only the break signal ends them. A result
    // string over 1 GiB is out of memory; a length past 2^32 - 1 is an error.
    const Case cases[] = {
        {"a.concat([5]).length", 4, "Subscript out of range"},
        {"a.concat().length", 0, nullptr},
        {"a.join('')", 0, nullptr},
        {"a.join()", 1, nullptr},
        {"a.toString()", 1, nullptr},
        {"String(a.pop()) + a.length", 0, nullptr},
        {"a.push('p')", 4, "Subscript out of range"},
        {"a.reverse()[0] + a[4294967294] + a.length", 0, nullptr},
        {"a.shift() + ':' + a.length + ':' + a[4294967293]", 0, nullptr},
        {"a.slice(-3).join('|')", 0, nullptr},
        {"a.slice(0, 5).length", 0, nullptr},
        {"a.sort()[0] + a[3] + a.length", 0, nullptr},
        {"a.sort(function (x, y) { return x < y ? 1 : -1; })[0]", 0, nullptr},
        {"a.splice(1, 1).join() + a.length", 0, nullptr},
        {"a.splice(1, 1, 'x', 'y')", 4, "Subscript out of range"},
        {"a.unshift('u')", 4, "Subscript out of range"},
        {"a.indexOf('last')", 0, nullptr},
        {"a.lastIndexOf(1)", 0, nullptr},
        {"a.every(function (v) { return v == 1; })", 0, nullptr},
        {"a.some(function (v) { return v == 3; })", 0, nullptr},
        {"a.forEach(function (v) {})", 3, nullptr},
        {"a.map(function (v) { return v; })", 3, nullptr},
        {"a.filter(function (v) { return true; })", 3, nullptr},
        {"a.length = 0; a.length", 0, nullptr},
    };
    for (const Case &c : cases) {
        TestHost h;
        std::string text = std::string("var a = [1, 2, 3]; a.length = 4294967295; a[4294967294] = 'last'; ") + c.call;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(RunBudgeted(h, text, 20000), c.result) << c.call;
        if (c.message) {
            EXPECT_EQ(LastMessage(h), c.message) << c.call;
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << c.call;
    }
}

// The calls the built-ins make do the user-break check, so long loops of
// callbacks stop; the scripts below make no loop of their own.
TEST_F(HostileScripts, CallbacksOfBuiltinsStopAtTheBreak) {
    const char *const scripts[] = {
        "var a = Array(100001).join('x,').split(','); a.sort(function (x, y) { return 0; })",
        "Array(100001).join('x').replace(/x/g, function () { return 'y'; })",
        "Array(100001).join('x,').split(',').map(function (v) { return v; })",
        "var o = {valueOf: function () { return 1; }}; Array(100001).join('x,').split(',').sort(function () { return o - o; })",
    };
    for (const char *text : scripts) {
        TestHost h;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(RunBudgeted(h, text, 100), 3u) << text;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << text;
    }
}

TEST_F(HostileScripts, CatastrophicPatternsStopAtTheBreak) {
    const std::string as(30, 'a');
    const std::string patterns[] = {
        "/(a+)+b/.test(s)",      "/(a|aa)*c/.exec(s)",       "/(a*)*(b|c)/.test(s)",
        "s.replace(/(a?){30}a{30}$/, 'x')", "s.split(/(a+)+$x/)", "s.match(/((a+)(a+))+b/g)",
        "/(?=(a+)+b)/.test(s)",  "/(a+)+\\1b/.test(s)",      "s.search(/(.*)*d/)",
    };
    for (const std::string &p : patterns) {
        TestHost h;
        std::string text = "var s = '" + as + "'; " + p;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(RunBudgeted(h, text, 50), 3u) << p;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << p;
    }
}

}  // namespace
}  // namespace quillon_test
