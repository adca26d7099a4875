// Reclamation: freeing at count zero without recursion (a list of a million
// objects), cycles through every kind of reference freed by the collector
// when a space is destroyed, and objects that the cycle's outside still
// holds surviving the collector with their counts restored.
#include <cstring>
#include <vector>

#include "host/valueslots.h"
#include "objects/children.h"
#include "objects/function.h"
#include "objfixture.h"
#include "support/testhost.h"

namespace objects_test {
namespace {

using namespace quillon;

constexpr uint32_t kLong = 1000000;

class ReclaimTest : public ObjTest {
protected:
    // Runs the text in a fresh space, which must leave its garbage cycles
    // for the collector; the collector frees them, and destroying the space
    // gives back every byte.
    void ExpectCollected(const char *text) {
        SCOPED_TRACE(text);
        int32_t base = MemUse;
        JSProgramSpace *s = CreateJSProgramSpace(nullptr, nullptr, 0);
        ASSERT_NE(s, nullptr);
        ASSERT_EQ(RunJavaScript(s, text, 0, 0, 0, 0), 0u) << Debug();
        int32_t afterRun = MemUse;
        Obj_CollectCycles();
        EXPECT_LT(MemUse, afterRun) << "nothing was waiting for the collector";
        DeleteJSProgramSpace(s);
        EXPECT_EQ(MemUse, base);
        EXPECT_EQ(Debug().find("MarkRoots disposing"), std::string::npos);
    }
    // A new plain object held by its creator (count 1).
    static Object *Make() { return Obj_New(nullptr); }
    static void Link(Object *from, const char *name, Object *to) {
        JSAny v = JSAny_Undef();
        v.type = JSANY_OBJECT;
        v.obj = to;
        ASSERT_EQ(Obj_PutStr(from, name, &v), 0u);
    }
};

TEST_F(ReclaimTest, DroppingTheHeadOfAMillionObjectListFreesThemAll) {
    Val key(Str("next"));  // shared by every property, so its bytes are not copied
    int32_t base = MemUse;
    long roots = Obj_RootCount();
    Object *head = Make();
    for (uint32_t i = 1; i < kLong; ++i) {
        Object *o = Make();
        JSAny v = JSAny_Undef();
        v.type = JSANY_OBJECT;
        v.obj = head;
        ASSERT_EQ(Obj_Put(o, &key.v, &v), 0u);
        Obj_Release(head);  // the list now holds it
        head = o;
    }
    EXPECT_GT(MemUse - base, static_cast<int32_t>(kLong * sizeof(Object)));
    Obj_Release(head);
    EXPECT_EQ(MemUse - base, 0);
    EXPECT_EQ(Obj_RootCount(), roots);
}

TEST_F(ReclaimTest, AMillionDeepPrototypeChainAndElementChainAreFreed) {
    int32_t base = MemUse;
    Object *o = Make();
    for (uint32_t i = 1; i < kLong; ++i) {
        Object *next = Obj_New(o);
        Obj_Release(o);
        o = next;
    }
    // Reading a name that no link has walks the whole chain without recursion.
    EXPECT_EQ(GetName(o, "absent"), "undefined");
    Obj_Release(o);
    EXPECT_EQ(MemUse, base);
    Object *a = Make();
    for (uint32_t i = 1; i < kLong / 2; ++i) {
        Object *next = Make();
        JSAny v = JSAny_Undef();
        v.type = JSANY_OBJECT;
        v.obj = a;
        ASSERT_EQ(Obj_PutIndex(next, 0, &v), 0u);
        Obj_Release(a);
        a = next;
    }
    Obj_Release(a);
    EXPECT_EQ(MemUse, base);
}

TEST_F(ReclaimTest, AScriptListOfAMillionObjects) {
    EXPECT_EQ(Text("var head = null; for (var i = 0; i < 1000000; i++) head = {next: head, n: i};"
                   "var n = head.n; head = null; n"),
              "999999");
}

TEST_F(ReclaimTest, AMillionObjectRingIsCollected) {
    int32_t base = MemUse;
    std::vector<Object *> ring(kLong);
    for (uint32_t i = 0; i < kLong; ++i) ring[i] = Make();
    for (uint32_t i = 0; i < kLong; ++i) {
        Link(ring[i], "n", ring[(i + 1) % kLong]);
        JSAny n = JSAny_Num(i);
        if (i % 7 == 0) {
            ASSERT_EQ(Obj_PutIndex(ring[i], 3, &n), 0u);
        }
    }
    // One object is also held from outside: the collector keeps the whole
    // ring and restores every count.
    Object *held = ring[kLong / 2];
    Obj_AddRef(held);
    for (Object *o : ring) Obj_Release(o);
    EXPECT_GT(Obj_RootCount(), 0);
    Obj_CollectCycles();
    EXPECT_EQ(Obj_RootCount(), 0);
    EXPECT_EQ(held->refs, 2u);
    for (uint32_t i = 0; i < kLong; ++i) {
        ASSERT_EQ(ring[i]->refs, ring[i] == held ? 2u : 1u) << i;
        ASSERT_EQ(ring[i]->colour, COL_BLACK);
        ASSERT_EQ(ring[i]->buffered, 0);
    }
    EXPECT_EQ(Obj_FindOwnStr(ring[3], "n")->obj, ring[4]);
    // Let go of it: now the whole ring is garbage.
    Obj_Release(held);
    EXPECT_EQ(Obj_RootCount(), 1);
    Obj_CollectCycles();
    EXPECT_EQ(MemUse, base);
}

TEST_F(ReclaimTest, ReleasingTwiceBuffersOnce) {
    Object *o = Make();
    Obj_AddRef(o);
    Obj_AddRef(o);
    long roots = Obj_RootCount();
    Obj_Release(o);
    Obj_Release(o);
    EXPECT_EQ(Obj_RootCount(), roots + 1);
    EXPECT_EQ(o->colour, COL_PURPLE);
    Obj_AddRef(o);  // taking a reference makes it black, still buffered
    EXPECT_EQ(o->colour, COL_BLACK);
    EXPECT_EQ(o->buffered, 1);
    Obj_Release(o);
    EXPECT_EQ(Obj_RootCount(), roots + 1);
    Obj_Release(o);  // freed at zero, off the list
    EXPECT_EQ(Obj_RootCount(), roots);
}

TEST_F(ReclaimTest, CyclesOfEveryKindOfReference) {
    // Property and element values, dense and sparse.
    ExpectCollected("var o = {}; o.self = o; var a = []; a[0] = a; var s = []; s[4000000000] = s;"
                    "var big = {}; for (var i = 0; i < 20; i++) big['k' + i] = big; o = a = s = big = null;");
    // A function's prototype object naming it as its constructor: set by
    // the script, or made for the function by new and by a read of it.
    ExpectCollected("function F() {} F.prototype.constructor = F; var x = new F(); F = x = null;");
    ExpectCollected("function F() {} var x = new F(); F = x = null;");
    ExpectCollected("var g = function () {}; var p = g.prototype; g = p = null;");
    ExpectCollected("var i = (function () { function L() {} return new L(); })(); i = null;");
    // An instance's prototype link back to it.
    ExpectCollected("function F() {} var f = new F(); F.prototype.back = f; F = f = null;");
    // Bound functions: their target and their bound this.
    ExpectCollected("function f() {} f.b = f.bind(null); var o = {}; o.m = function () {}.bind(o); f = o = null;");
    // A closure keeps the activation whose variable holds the closure.
    ExpectCollected("function mk() { var self = function () { return self; }; return self; }"
                    "var c = mk(); c = null; mk = null;");
    // Nested closures and an arguments object reachable from them.
    ExpectCollected("function outer(x) { var keep = arguments; return function () { return keep; }; }"
                    "var g = outer({}); g.g = g; g = outer = null;");
    // An arguments object holding itself through an argument.
    ExpectCollected("function f(x) { x.args = arguments; return 0; } f({}); f = null;");
    // A function that keeps its last activation, whose local names the function.
    ExpectCollected("function f() { var me = f; var inner = function () { return me; }; return inner; }"
                    "var i = f(); f = null; i = null;");
}

TEST_F(ReclaimTest, AFunctionAndItsPrototypeObjectStillHeldSurviveTheCollector) {
    ASSERT_EQ(Run("function F(v) { this.v = v; } var x = new F(1); var g = function () {}; var gp = g.prototype;"
                  "F = g = null; 0"),
              0u);
    Obj_CollectCycles();
    EXPECT_EQ(Text("[x.constructor(2) === undefined, new x.constructor(3).v, x instanceof x.constructor,"
                   " gp.constructor.prototype === gp, typeof gp.constructor].join()"),
              "true,3,true,true,function");
}

TEST_F(ReclaimTest, CyclesBuiltThroughTheInterfaces) {
    {
        Val warm;  // the first runs of the texts enter their names in the store
        Eval("(function t() {})", &warm.v);
    }
    ASSERT_EQ(Run("0"), 0u);
    Obj_CollectCycles();
    int32_t base = MemUse;
    // A prototype link in a cycle.
    Object *p = Make();
    Object *o = Obj_New(p);
    Link(p, "child", o);
    Obj_Release(o);
    Obj_Release(p);
    // A bound function whose bound this holds it, and whose target holds it.
    Val target;
    Eval("(function t() {})", &target.v);
    ASSERT_EQ(Run("0"), 0u);  // the last result lets go of it
    Object *self = Make();
    Val bound;
    Fn_NewBound(Space(), &bound.v, static_cast<Function *>(target.obj()), self);
    Link(self, "bound", bound.obj());
    Link(target.obj(), "bound", bound.obj());
    Obj_Release(self);
    // An arguments object whose invoked function holds it.
    Val args;
    JSAny argv[1] = {bound.v};
    Fn_NewArguments(Space(), &args.v, argv, 1, static_cast<Function *>(target.obj()), nullptr, 0);
    Link(target.obj(), "args", args.obj());
    JSAny_Clear(&args.v);
    JSAny_Clear(&bound.v);
    JSAny_Clear(&target.v);
    Obj_CollectCycles();
    EXPECT_EQ(MemUse, base);
}

// A host with a "keep" function that puts its argument in a value slot.
int32_t gHeld = -1;

void InstallKeep(quillon_test::TestHost &host) {
    host.getProperty = [](JSRunContext *ctx, void *data, const char *name, uint32_t flags) -> uint32_t {
        if (data || std::strcmp(name, "keep") != 0) return 2;
        if (flags & JSHOST_HAS) return 0;
        return SetJSResultObject(ctx, "keep", 4) == 0 ? 0 : 1;
    };
    host.invoke = [](JSRunContext *ctx, void *, uint32_t, uint32_t) -> uint32_t {
        gHeld = HoldJSArgument(ctx, 0);
        return 0;
    };
}

std::string ResultOf(JSProgramSpace *s) {
    JSTagItem tags[] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
    if (GetJSResult(s, tags) != 0 || !tags[0].ti_Data) return "<none>";
    return reinterpret_cast<const char *>(tags[0].ti_Data);
}

class SurvivorTest : public quillon_test::LibraryTest {};

TEST_F(SurvivorTest, AnObjectHeldInAValueSlotSurvivesTheCollector) {
    quillon_test::TestHost host;
    InstallKeep(host);
    JSProgramSpace *a = host.Space();
    ASSERT_EQ(host.Run("var o = {name: 'kept'}; o.self = o; var c = {back: o}; o.c = c;"
                       "var f = function () { return o; }; o.f = f; keep(o); o = c = f = null; 0"),
              0u);
    int32_t objectSlot = gHeld;
    ASSERT_GE(objectSlot, 0);
    Object *o = Slots_Get(static_cast<uint32_t>(objectSlot))->obj;
    EXPECT_EQ(o->refs, 3u);  // the slot, o.self and c.back
    // The space goes; the collector runs with the object held only from outside.
    DeleteJSProgramSpace(a);
    host.space = nullptr;
    EXPECT_EQ(o->refs, 3u);
    EXPECT_EQ(o->colour, COL_BLACK);
    EXPECT_EQ(o->buffered, 0);
    // Another space uses it afterwards, through and around the cycle.
    JSProgramSpace *b = CreateJSProgramSpace(nullptr, host.Hooks(), 1);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(RunJavaScript(b, "keep(function (x) { x.added = x.c.back.name + '!';"
                               " return [x.self === x, x.c.back === x, x.added, typeof x.f, x.f()].join(); }); 0",
                            JSRUN_RESULT, 1, 0, 0),
              0u);
    int32_t fnSlot = gHeld;
    JSTagItem call[] = {{JSTAG_OBJECT, static_cast<uintptr_t>(fnSlot)},
                        {JSTAG_ARGUMENT, static_cast<uintptr_t>(objectSlot)},
                        {JSTAG_END, 0}};
    // The script function of the dead space can no longer run: it was
    // disposed with its space.
    EXPECT_EQ(CallJavaScript(b, 0, 1, 0, call), 4u);
    ASSERT_FALSE(host.reports.empty());
    EXPECT_EQ(host.reports.back().message, "Function not implemented");
    EXPECT_EQ(ReleaseJSValue(static_cast<uint32_t>(fnSlot)), 0u);
    ASSERT_EQ(RunJavaScript(b, "keep(function (x) { x.added = x.c.back.name + '!';"
                               " return [x.self === x, x.c.back === x, x.added, typeof x.f].join(); }); 0",
                            JSRUN_RESULT, 1, 0, 0),
              0u);
    call[0].ti_Data = static_cast<uintptr_t>(gHeld);
    ASSERT_EQ(CallJavaScript(b, 0, 1, 0, call), 0u);
    EXPECT_EQ(ResultOf(b), "true,true,kept!,function");
    EXPECT_EQ(ReleaseJSValue(static_cast<uint32_t>(objectSlot)), 0u);
    EXPECT_EQ(ReleaseJSValue(static_cast<uint32_t>(gHeld)), 0u);
    DeleteJSProgramSpace(b);
}

TEST_F(SurvivorTest, AnObjectHeldByAnotherSpaceSurvivesTheCollector) {
    quillon_test::TestHost host;
    InstallKeep(host);
    JSProgramSpace *a = host.Space();
    JSProgramSpace *b = CreateJSProgramSpace(nullptr, host.Hooks(), 1);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(host.Run("var o = {name: 'shared', list: []}; o.list[0] = o; o.g = Math.sin.bind(o);"
                       " keep(o); o = null; 0"),
              0u);
    int32_t objectSlot = gHeld;
    ASSERT_EQ(RunJavaScript(b, "var g; keep(function (x) { g = x; return 0; }); 0", JSRUN_RESULT, 1, 0, 0), 0u);
    JSTagItem call[] = {{JSTAG_OBJECT, static_cast<uintptr_t>(gHeld)},
                        {JSTAG_ARGUMENT, static_cast<uintptr_t>(objectSlot)},
                        {JSTAG_END, 0}};
    ASSERT_EQ(CallJavaScript(b, 0, 1, 0, call), 0u);
    EXPECT_EQ(ReleaseJSValue(static_cast<uint32_t>(objectSlot)), 0u);
    EXPECT_EQ(ReleaseJSValue(static_cast<uint32_t>(gHeld)), 0u);
    DeleteJSProgramSpace(a);
    host.space = nullptr;
    // The bound function of the dead space no longer reaches into it.
    ASSERT_EQ(RunJavaScript(b, "[g.list[0] === g, g.name, typeof g.g, typeof g.g.call, g.g(0)].join()",
                            JSRUN_RESULT, 1, 0, 0),
              0u);
    EXPECT_EQ(ResultOf(b), "true,shared,function,undefined,0");
    DeleteJSProgramSpace(b);
}

TEST_F(SurvivorTest, ABoundScriptFunctionKeepsItsNameAfterItsSpace) {
    quillon_test::TestHost host;
    InstallKeep(host);
    ASSERT_EQ(host.Run("function named() {} keep(named.bind(null)); 0"), 0u);
    int32_t boundSlot = gHeld;
    DeleteJSProgramSpace(host.space);
    host.space = nullptr;
    JSProgramSpace *b = CreateJSProgramSpace(nullptr, host.Hooks(), 1);
    ASSERT_EQ(RunJavaScript(b, "keep(function (f) { return Function.prototype.toString.call(f); }); 0",
                            JSRUN_RESULT, 1, 0, 0),
              0u);
    JSTagItem call[] = {{JSTAG_OBJECT, static_cast<uintptr_t>(gHeld)},
                        {JSTAG_ARGUMENT, static_cast<uintptr_t>(boundSlot)},
                        {JSTAG_END, 0}};
    ASSERT_EQ(CallJavaScript(b, 0, 1, 0, call), 0u);
    EXPECT_NE(ResultOf(b).find("function named()"), std::string::npos) << ResultOf(b);
    EXPECT_EQ(ReleaseJSValue(static_cast<uint32_t>(boundSlot)), 0u);
    EXPECT_EQ(ReleaseJSValue(static_cast<uint32_t>(gHeld)), 0u);
    DeleteJSProgramSpace(b);
}

}  // namespace
}  // namespace objects_test
