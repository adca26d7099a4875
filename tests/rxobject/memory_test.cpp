// Out of memory in RegExp objects and the pattern methods: each allocation
// a script makes is failed in turn. Every run either gives the right value
// or fails with "out of memory" (never a wrong value, never a crash), and
// every byte comes back.
#include "platform/pool.h"
#include "rxo_fixture.h"

namespace rxo_test {
namespace {

struct Case {
    const char *text;
    const char *value;
    int32_t compat;
};

class RxMemoryTest : public RxoTest, public ::testing::WithParamInterface<Case> {};

TEST_P(RxMemoryTest, EveryAllocationFailureIsCleanOutOfMemory) {
    const Case &c = GetParam();
    ASSERT_EQ(Eval(c.text, c.compat), c.value) << Debug();
    const int32_t before = GetJSMemUse();
    bool finished = false;
    for (uint64_t n = 1; n < 100000 && !finished; ++n) {
        JSProgramSpace *s = CreateJSProgramSpace(nullptr, nullptr, 0);
        ASSERT_NE(s, nullptr);
        quillon::Pool_FailNth(n);
        uint32_t status = RunJavaScript(s, c.text, JSRUN_RESULT, 0, 0, c.compat);
        uint64_t failed = quillon::Pool_FailedCount();
        quillon::Pool_FailOff();
        if (status == JSRESULT_OK) {
            EXPECT_EQ(Result(s), c.value) << "allocation " << n;
            finished = failed == 0;
        } else {
            EXPECT_EQ(status, static_cast<uint32_t>(JSRESULT_NOMEMORY)) << "allocation " << n << "\n" << Debug();
            EXPECT_EQ(failed, 1u) << "allocation " << n;
        }
        DeleteJSProgramSpace(s);
        ASSERT_EQ(GetJSMemUse(), before) << "after failing allocation " << n;
        if (HasFailure()) break;
    }
    EXPECT_TRUE(finished);
}

const Case kCases[] = {
    // Constructor, compile, literals, toString and the instance properties.
    {"var r = new RegExp('(a+)(b)?', 'gi'); var q = /x[0-9]/m; r.compile(q); var t = RegExp(q);"
     "String(r) + r.source + r.lastIndex + (t === q) + new RegExp(q) + RegExp()",
     "/x[0-9]/mx[0-9]0true/x[0-9]/m/(?:)/", 0},
    // exec with g stepping, test, and the exec array.
    {"var r = /(\\d)(x)?/g, s = 'a1b2c3', out = ''; var m;"
     "while ((m = r.exec(s)) != null) out += m[0] + m.index + m[2] + r.lastIndex + m.input.length + ',';"
     "out + /b/.test(s) + /q/.test(s) + /(?:)/.exec().index",
     "11undefined26,23undefined46,35undefined66,truefalse0", 0},
    // The statics, with more than nine groups and values outliving their input.
    {"/(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)/.exec('ab' + 'cdefghijkl'); /(x)/.exec('x' + 'y');"
     "RegExp.input = 'in' + 'put'; RegExp.multiline = 1;"
     "[RegExp.$1, RegExp.$2, RegExp.$9, RegExp.lastMatch, RegExp.leftContext, RegExp.rightContext,"
     " RegExp.lastParen, RegExp.input, RegExp['$*']].join()",
     "x,b,i,x,,y,x,input,true", 0},
    // match and search.
    {"var a = 'a1b22c333'.match(/\\d+/g); var b = 'xAy'.match('a', 'i'); var c = 'ab'.match(/x*/g);"
     "a.join('-') + b[0] + b.index + c.length + 'abc'.search(/c/) + 'abc'.search('q') + 'abc'.match(/(b)(z)?/)",
     "1-22-333A132-1b,b,", 0},
    // replace: text patterns, $ rules, functions, global with empty matches.
    {"'a.b.c'.replace('.', '$&$&') + 'abcd'.replace(/(b)(c)/g, \"[$2$1|$`|$'|$+|$$|$3]\") +"
     "'x1y2'.replace(/(\\d)/g, function (m, d, i, s) { return '<' + d + i + s.length + RegExp.$1 + '>'; }) +"
     "'abc'.replace(/x*/g, '-') + 'abc'.replace(/z/, 'q')",
     "a..b.ca[cb|a|d|c|$|$3]dx<1141>y<2342>-a-b-c-abc", 0},
    // Older $ rules.
    {"'abc'.replace(/(b)/, '[$10|\\\\$1|$1]')", "a[|\\$1|b]c", 1},
    // split: text, empty, patterns with groups, limits, and level-3 white space.
    {"'a,b,,c'.split(',').join('|') + 'ab'.split('').join('|') + 'a1b2c'.split(/(\\d)/).join('|') +"
     "'a1b2c'.split(/\\d/, 2).join('|') + 'abc'.split(/x*/).join('|') + ''.split(',').length",
     "a|b||ca|ba|1|b|2|ca|ba|b|c1", 0},
    {"'  a b\\t c '.split(' ').join('|') + 'abc'.split(/(x*)/).length + RegExp.leftContext", "a|b|c6", 3},
};

INSTANTIATE_TEST_SUITE_P(Patterns, RxMemoryTest, ::testing::ValuesIn(kCases));

}  // namespace
}  // namespace rxo_test
