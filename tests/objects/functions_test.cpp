// Functions: the arity check before a native is entered, bound functions
// (which pass the call on, however long their chain), construction, and
// the computed properties of functions and arguments objects.
#include "values/context.h"
#include "objects/function.h"
#include "objfixture.h"
#include "platform/pool.h"

namespace objects_test {
namespace {

using namespace quillon;

int gEntered = 0;
uint32_t gLastArgc = 0;

void CountingEntry(RunContext *ctx, Function *) {
    ++gEntered;
    gLastArgc = ctx->argc;
    JSAny_SetNumber(&ctx->ret, ctx->argc);
}

class FunctionsTest : public ObjTest {
protected:
    void SetUp() override {
        ObjTest::SetUp();
        gEntered = 0;
    }
    // Calls the value with n number arguments; the result's text.
    std::string Call(const JSAny &fn, uint32_t n) {
        JSAny args[4] = {JSAny_Num(1), JSAny_Num(2), JSAny_Num(3), JSAny_Num(4)};
        Val result;
        Fn_Call(ctx_, &fn, nullptr, args, n, &result.v);
        if (result.v.type == JSANY_ERROR) return "<error " + std::to_string(result.v.code) + ">";
        return TextOf(&result.v);
    }
};

TEST_F(FunctionsTest, ANativeWithFixedArityIsNotEnteredWithTooFewArguments) {
    Val fn;
    JSAny_AdoptObject(&fn.v, Fn_NewNative(2, CountingEntry, 0, "counting"));
    EXPECT_EQ(Call(fn.v, 1), "<error 32788>");
    EXPECT_EQ(Call(fn.v, 0), "<error 32788>");
    EXPECT_EQ(gEntered, 0);
    EXPECT_EQ(Call(fn.v, 2), "2");
    EXPECT_EQ(Call(fn.v, 4), "4");
    EXPECT_EQ(gEntered, 2);
    // Any number, none included, for a variable count.
    Val any;
    JSAny_AdoptObject(&any.v, Fn_NewNative(-1, CountingEntry, 0, "any"));
    EXPECT_EQ(Call(any.v, 0), "0");
    EXPECT_EQ(gEntered, 3);
    // Construction applies the same check; a primitive result is wrapped.
    EvalSlot slot;
    JSAny_InitFrom(&slot.v, &fn.v);
    JSAny one = JSAny_Num(1);
    Fn_Construct(ctx_, &slot, &one, 1);
    EXPECT_EQ(slot.v.type, JSANY_ERROR);
    EXPECT_EQ(slot.v.code, ERR_BADARGS);
    EXPECT_EQ(gEntered, 3);
    JSAny two[2] = {JSAny_Num(1), JSAny_Num(2)};
    JSAny_InitFrom(&slot.v, &fn.v);
    Fn_Construct(ctx_, &slot, two, 2);
    ASSERT_EQ(slot.v.type, JSANY_OBJECT);
    EXPECT_EQ(slot.v.obj->classFlags, CF_NUMBER);
    Slot_Clear(&slot);
    EXPECT_EQ(Text("var r = []; try { Math.pow(2); } catch (e) { r.push(e.message); }"
                   "try { Math.max(); } catch (e) { r.push(e.name); } r.push(Math.pow(2, 3), [].push()); r.join('|')"),
              "Type error on line 1: Bad arguments for function|TypeError|8|0");
}

TEST_F(FunctionsTest, CallingWhatIsNotAFunction) {
    EXPECT_EQ(Call(JSAny_Num(1), 0), "<error 212>");
    Val plain;
    Obj_NewInto(&plain.v, nullptr);
    EXPECT_EQ(Call(plain.v, 0), "<error 212>");
    EXPECT_EQ(Call(JSAny_Err(0), 0), "<error 212>");
    EXPECT_EQ(Call(JSAny_Err(0x8015), 0), "<error 32789>");
    EXPECT_EQ(Text("var o = {n: 1}; var r; try { o.n(); } catch (e) { r = e.message; } r"),
              "Type error on line 1: Object is not a function");
}

TEST_F(FunctionsTest, BoundFunctionsPassTheCallOn) {
    Val fn;
    JSAny_AdoptObject(&fn.v, Fn_NewNative(2, CountingEntry, 0, "counting"));
    Val bound;
    Fn_NewBound(Space(), &bound.v, static_cast<Function *>(fn.obj()), nullptr);
    ASSERT_EQ(bound.v.type, JSANY_OBJECT);
    EXPECT_EQ(GetName(bound.obj(), "length"), "2");
    EXPECT_EQ(GetName(bound.obj(), "prototype"), "undefined");
    // The bound function itself is always entered; the target's rule decides.
    EXPECT_EQ(Call(bound.v, 1), "<error 32788>");
    EXPECT_EQ(gEntered, 0);
    EXPECT_EQ(Call(bound.v, 3), "3");
    EXPECT_EQ(gEntered, 1);
    EXPECT_EQ(Text("function f(a, b, c) { return [this.name, a, b, c].join(); }"
                   "var g = f.bind({name: 'bound'}); [g(), g(1), g(1, 2, 3, 4), g.length, typeof g.prototype].join('|')"),
              "bound,,,|bound,1,,|bound,1,2,3|3|undefined");
    EXPECT_EQ(Text("var r; try { Math.pow.bind(null)(2); } catch (e) { r = e.message; } r"),
              "Type error on line 1: Bad arguments for function");
    EXPECT_EQ(Text("function P(x) { this.x = x; } var B = P.bind({}); var p = new B(5);"
                   "[p.x, p instanceof P, new (Number.bind(null))(3) + 1].join()"),
              "5,true,4");
}

TEST_F(FunctionsTest, BindingUnderExhaustedMemory) {
    Val target;
    Eval("(function named(a) { return a; })", &target.v);
    ASSERT_EQ(target.v.type, JSANY_OBJECT);
    int failures = 0;
    for (uint64_t n = 1; n < 20; ++n) {
        Val bound;
        int32_t before = MemUse;
        Pool_FailNth(n);
        Fn_NewBound(Space(), &bound.v, static_cast<Function *>(target.obj()), nullptr);
        bool failed = Pool_FailedCount() > 0;
        Pool_FailOff();
        if (!failed) {
            ASSERT_EQ(bound.v.type, JSANY_OBJECT);
            EXPECT_STREQ(static_cast<Function *>(bound.obj())->name, "named");
            EXPECT_EQ(Call(bound.v, 1), "1");
            break;
        }
        ++failures;
        EXPECT_EQ(bound.v.type, JSANY_ERROR);
        EXPECT_EQ(bound.v.code, ERR_NOMEM);
        EXPECT_EQ(MemUse, before);
        EXPECT_EQ(target.obj()->refs, 2u);  // the value and the last result
    }
    EXPECT_EQ(failures, 2);  // the copy of the name, the record
}

TEST_F(FunctionsTest, ALongChainOfBoundFunctionsCostsNoMachineStack) {
    // The innermost bound this is the one the target sees.
    EXPECT_EQ(Text("var f = function (a) { return this.v + ':' + a; }.bind({v: 'inner'});"
                   "for (var i = 0; i < 200000; i++) f = f.bind({v: i});"
                   "var r = [f('x'), f.length, typeof f.call]; f = null; r.join()"),
              "inner:x,1,function");
    EXPECT_EQ(Text("function K(a) { this.a = a; } var C = K;"
                   "for (var i = 0; i < 100000; i++) C = C.bind(null); new C(7).a"),
              "7");
}

TEST_F(FunctionsTest, ComputedPropertiesOfFunctions) {
    EXPECT_EQ(Text("function f(a, b) {} [f.length, f.arity, Math.pow.length, Math.pow.arity, [].push.length].join()"),
              "2,2,2,2,-1");
    // A native gets a prototype object of its own on first read.
    Val sin;
    Eval("Math.sin", &sin.v);
    auto *f = static_cast<Function *>(sin.obj());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->prototypeObject, nullptr);
    Val p;
    Val key(Str("prototype"));
    Obj_Get(f, &key.v, &p.v);
    ASSERT_EQ(p.v.type, JSANY_OBJECT);
    EXPECT_EQ(f->prototypeObject, p.obj());
    EXPECT_EQ(p.obj()->prototype, nullptr);
    // ... and keeps it against assignments; one without takes the value.
    Val other;
    Obj_NewInto(&other.v, nullptr);
    EXPECT_EQ(Obj_Put(f, &key.v, &other.v), 0u);
    EXPECT_EQ(f->prototypeObject, p.obj());
    Val cos;
    Eval("Math.cos", &cos.v);
    auto *g = static_cast<Function *>(cos.obj());
    EXPECT_EQ(Obj_Put(g, &key.v, &other.v), 0u);
    EXPECT_EQ(g->prototypeObject, other.obj());
    // A script function's is replaced by an object and dropped for anything else.
    EXPECT_EQ(Text("function F() {} var o = {}; F.prototype = o; var a = F.prototype === o;"
                   "F.prototype = 1; var b = new F() instanceof F; [a, b, F.prototype === o].join()"),
              "true,false,false");
    EXPECT_EQ(Text("function F() {} var p = F.prototype; [typeof p, p.constructor === F, new F().constructor === F,"
                   " new F() instanceof F, 'prototype' in F, 'arity' in F].join()"),
              "object,true,true,true,true,true");
}

TEST_F(FunctionsTest, AScriptFunctionsPrototypeObjectIsMadeWhenFirstNeeded) {
    Val fn;
    Eval("(function F() {})", &fn.v);
    ASSERT_EQ(Run("0"), 0u);  // the last result lets go of it
    ASSERT_NE(fn.obj(), nullptr);
    ASSERT_EQ(fn.obj()->kind, ObjKind::Script);
    auto *f = static_cast<ScriptFunction *>(fn.obj());
    EXPECT_EQ(f->prototypeObject, nullptr);
    EXPECT_TRUE(f->prototypePending);
    const uint32_t refs = f->refs;
    // Every allocation of the making fails in turn: the function stays as it
    // was, and nothing half-made is left.
    int failures = 0;
    for (uint64_t n = 1; n < 10; ++n) {
        int32_t before = MemUse;
        Pool_FailNth(n);
        uint32_t st = Fn_MakePrototype(f);
        bool failed = Pool_FailedCount() > 0;
        Pool_FailOff();
        if (!failed) {
            ASSERT_EQ(st, 0u);
            break;
        }
        ++failures;
        EXPECT_EQ(st, ERR_NOMEM);
        EXPECT_EQ(MemUse, before);
        EXPECT_TRUE(f->prototypePending);
        EXPECT_EQ(f->prototypeObject, nullptr);
        EXPECT_EQ(f->refs, refs);
    }
    EXPECT_EQ(failures, 2);  // the object and its property store (the name's key text is shared)
    Object *p = f->prototypeObject;
    ASSERT_NE(p, nullptr);
    EXPECT_FALSE(f->prototypePending);
    EXPECT_EQ(p->prototype, Proto(PROTO_OBJECT));
    EXPECT_EQ(Props_Count(p), 1u);
    const JSAny *c = Obj_FindOwnStr(p, "constructor");
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->type, JSANY_OBJECT);
    EXPECT_EQ(c->obj, f);
    EXPECT_EQ(f->refs, refs + 1);  // the cycle
    EXPECT_EQ(Fn_MakePrototype(f), 0u);
    EXPECT_EQ(f->prototypeObject, p);  // made once
    // A read of "prototype" or `new` makes it too; an assignment first means
    // it is never made.
    EXPECT_EQ(Text("function A() {} var a = A.prototype; function B() {} var b = new B;"
                   "function C() {} C.prototype = 5; [a.constructor === A, b.constructor === B,"
                   " typeof C.prototype, C.prototype.constructor === C, new C().constructor].join()"),
              "true,true,object,false,");
}

TEST_F(FunctionsTest, AFunctionOnlyEverCalledIsFreedWhenDropped) {
    const char *text = "function each(f) { return f(); } var n = 0;"
                       "for (var i = 0; i < 1000; i++) n += each(function () { return 1; }); n";
    ASSERT_EQ(Text(text), "1000");  // the names and caches of the text are made
    Obj_CollectCycles();
    int32_t base = MemUse;
    ASSERT_EQ(Text(text), "1000");
    EXPECT_EQ(MemUse, base);  // no function waits for the collector
    // Constructors hold their prototype objects in a cycle, freed by the
    // collector.
    const char *making = "var m = 0; for (var j = 0; j < 1000; j++) m += new (function () { this.k = 1; })().k; m";
    ASSERT_EQ(Text(making), "1000");
    Obj_CollectCycles();
    base = MemUse;
    ASSERT_EQ(Text(making), "1000");
    EXPECT_GT(MemUse, base);
    Obj_CollectCycles();
    EXPECT_EQ(MemUse, base);
}

TEST_F(FunctionsTest, ComputedPropertiesOfInvocations) {
    EXPECT_EQ(Text("function g(a, b) { return [arguments.length, typeof arguments.callee,"
                   " arguments.callee.indexOf('function g') == 0, arguments.caller].join(); } g(1)"),
              "1,string,true,");
    EXPECT_EQ(Text("function inner() { return arguments.caller; } function outer() { return inner(); } outer()"),
              "outer");
    EXPECT_EQ(Text("function g() { return g.arguments; } var a = g(1, 2); [a.length, a[1], g.arguments].join()"),
              "2,2,");
    EXPECT_EQ(Text("function g() { return g.caller; } function f() { return g(); }"
                   "[f() === f, g(), g.caller].join()"),
              "true,,");
    EXPECT_EQ(Text("function g() {} var r; try { g.arguments = 1; } catch (e) { r = e.message; } r"),
              "Type error on line 1: Wrong type of object for operation");
    EXPECT_EQ(Text("[typeof Math.sin.caller, Math.sin.arguments === undefined].join()"), "undefined,true");
}

TEST_F(FunctionsTest, ConstructingNativeWrappers) {
    EXPECT_EQ(Text("var b = new Boolean(false); [typeof b, b.valueOf(), b ? 'true' : 'false',"
                   " Object.prototype.toString.call(b)].join()"),
              "object,false,true,[object Boolean]");
    EXPECT_EQ(Text("function R() { return {made: 'inside'}; } function N() { this.x = 1; return 5; }"
                   "[new R().made, new N().x].join()"),
              "inside,1");
}

}  // namespace
}  // namespace objects_test
