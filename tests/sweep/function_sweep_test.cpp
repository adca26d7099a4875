// Out-of-memory sweep over function creation and the prototype objects made
// for functions: each run fails its 1st, 2nd, 3rd ... allocation while
// functions are defined (declarations, expressions, the Function
// constructor, closures) and their prototype objects are made (a read of
// "prototype", `new`) or replaced. With memory back, the same space is then
// asked whether every function that exists has a complete prototype object
// (an object of Object.prototype whose own "constructor" is the function):
// a failure never leaves one half made. Destroying the space and closing the
// library gives every byte back.
#include <cstring>
#include <string>

#include "platform/pool.h"
#include "support/fixture.h"

namespace quillon_test {
namespace {

const char kDefine[] =
    "function Decl(a) { this.a = a; }\n"
    "var expr = function (b) { return b; };\n"
    "var made = Function('c', 'this.c = c');\n"
    "function outer() { return function Inner() { this.i = 1; }; }\n"
    "var inner = outer();\n"
    "var read = Decl.prototype;\n"
    "var obj = new made(1);\n"
    "var isA = obj instanceof made;\n"
    "var innerObj = new inner();\n"
    "function Replaced() {}\n"
    "Replaced.prototype = {kind: 'replaced'};\n"
    "var replacedObj = new Replaced();\n"
    "var last = [Decl.prototype.constructor === Decl, read === Decl.prototype, isA].join();\n";

const char kCheck[] =
    "function complete(f) {\n"
    "    if (typeof f != 'function') return true;\n"
    "    var p = f.prototype;\n"
    "    return typeof p == 'object' && p.constructor === f && p.hasOwnProperty('constructor') &&\n"
    "           Object.prototype.isPrototypeOf(p) && (f === outer || new f() instanceof f);\n"
    "}\n"
    "[complete(Decl), complete(expr), complete(made), complete(inner), complete(outer),\n"
    " typeof obj != 'object' || obj.constructor === made,\n"
    " typeof innerObj != 'object' || innerObj.constructor === inner,\n"
    " typeof Replaced != 'function' || (Replaced.prototype.kind == 'replaced'\n"
    "     ? !Replaced.prototype.hasOwnProperty('constructor') : complete(Replaced)),\n"
    " typeof last != 'string' || last == 'true,true,true'].join()";

const char kAllTrue[] = "true,true,true,true,true,true,true,true,true";

std::string ResultText(JSProgramSpace *space) {
    JSTagItem list[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    if (GetJSResult(space, list) != 0 || !list[0].ti_Data) return "<no result>";
    return reinterpret_cast<const char *>(list[0].ti_Data);
}

TEST(FunctionSweep, EveryAllocationFailureLeavesWholeFunctionsAndPrototypes) {
    uint64_t points = 0;
    for (uint64_t n = 1;; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n));
        StartDebugCapture();
        ASSERT_TRUE(OpenJSLibrary());
        JSProgramSpace *space = CreateJSProgramSpace(nullptr, nullptr, 0);
        ASSERT_NE(space, nullptr);
        quillon::Pool_FailNth(n);
        uint32_t result = RunJavaScript(space, kDefine, JSRUN_RESULT, 0, 0, 0);
        bool hit = quillon::Pool_FailedCount() > 0;
        quillon::Pool_FailOff();
        EXPECT_TRUE(result == 0 || (hit && result == 1)) << "result " << result;
        EXPECT_EQ(RunJavaScript(space, kCheck, JSRUN_RESULT, 0, 0, 0), 0u) << DebugText();
        EXPECT_EQ(ResultText(space), kAllTrue);
        DeleteJSProgramSpace(space);
        CloseJSLibrary();
        EXPECT_EQ(GetJSMemUse(), 0);
        EXPECT_EQ(DebugText().find("Warning:"), std::string::npos) << DebugText();
        StopDebugCapture();
        if (HasFailure() || !hit) break;
        ++points;
    }
    EXPECT_GT(points, 50u);
    std::printf("[ sweep    ] function creation: %llu failure points\n", static_cast<unsigned long long>(points));
}

}  // namespace
}  // namespace quillon_test
