// Out of memory inside the natives: each allocation a script makes is failed
// in turn. Every run either gives the right value or fails with "out of
// memory" (never a wrong value, never a crash), and every byte comes back.
#include "core_fixture.h"
#include "platform/pool.h"

using namespace quillon;

namespace core_test {
namespace {

struct Case {
    const char *text;
    const char *value;
};

class MemoryTest : public CoreTest, public ::testing::WithParamInterface<Case> {};

std::string ResultText(JSProgramSpace *s) {
    JSTagItem list[2] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    if (GetJSResult(s, list) != JSRESULT_OK || !list[0].ti_Data) return "<unreadable>";
    return reinterpret_cast<const char *>(list[0].ti_Data);
}

TEST_P(MemoryTest, EveryAllocationFailureIsCleanOutOfMemory) {
    const Case &c = GetParam();
    ASSERT_EQ(Eval(c.text), c.value) << Debug();
    const int32_t before = GetJSMemUse();
    bool finished = false;
    for (uint64_t n = 1; n < 100000 && !finished; ++n) {
        JSProgramSpace *s = CreateJSProgramSpace(nullptr, nullptr, 0);
        ASSERT_NE(s, nullptr);
        Pool_FailNth(n);
        uint32_t status = RunJavaScript(s, c.text, JSRUN_RESULT, 0, 0, 0);
        uint64_t failed = Pool_FailedCount();
        Pool_FailOff();
        if (status == JSRESULT_OK) {
            EXPECT_EQ(ResultText(s), c.value) << "allocation " << n;
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
    {"escape('a b\\xe9') + unescape('%41%zz') + encodeURI('a b\\xe9') + encodeURIComponent('/?') + "
     "decodeURI('%C3%A9%20') + decodeURI('%E2%82%AC')",
     "a%20b%E9A%zza%20b%C3%A9%2F%3F\xe9 ?"},
    {"parseInt('  -42abc') + ':' + parseFloat('3.5x') + ':' + isNaN('x') + ':' + isFinite('1') + ':' + "
     "eval('var e = 1; e + 2')",
     "-42:3.5:true:true:3"},
    {"var f = new Function('a', 'b', 'return a + b'); f(1, 2) + ':' + f + ':' + Function() + ':' + Math.sin",
     "3:function anonymous(a,b) { return a + b }:function anonymous() { }:\nfunction sin() {\n\t[native "
     "code]\n}\n"},
    {"function g(a, b) { return this.t + a + b; } var o = {t: 'T'};"
     "g.call(o, 1, 2) + g.apply(o, [3, 4]) + g.bind(o)(5, 6) + g.call(5, 1, 2)",
     "T12T34T56NaN"},
    {"(123.456).toFixed(2) + ' ' + (255).toString(16) + ' ' + (1.5).toExponential(3) + ' ' + "
     "(0.1).toPrecision(5) + ' ' + (0.5).toString(2) + ' ' + Number('7') + ' ' + (1e21).toLocaleString() + "
     "' ' + new Number(8).valueOf()",
     "123.46 ff 1.500e+0 0.10000 0.1 7 1e+21 8"},
    {"'' + new RangeError('x') + ',' + new Error() + ',' + Error.prototype.toString.call({name: 'N', message: "
     "'M'}) + ',' + Object.prototype.toString.call([]) + ',' + Boolean(1) + ',' + new Boolean(0).toString() + "
     "',' + typeof Object(1)",
     "RangeError: x,Error,N: M,[object Array],true,false,object"},
};

INSTANTIATE_TEST_SUITE_P(Natives, MemoryTest, ::testing::ValuesIn(kCases));

}  // namespace
}  // namespace core_test
