// Value records and conversions: string sharing up to the share limit,
// finishing, text to number, the integer reductions, strings of numbers and
// objects, primitives, wrappers and typeof.
#include <cmath>
#include <vector>

#include "objects/function.h"
#include "objects/objfixture.h"
#include "platform/pool.h"

namespace objects_test {
namespace {

using namespace quillon;

class ConvertTest : public ObjTest {
protected:
    double Number(const char *text) {
        double d = -12345;
        JSAny_StringToNumber(text, &d);
        return d;
    }
    double Convert(void (*conv)(RunContext *, JSAny *), double d) {
        JSAny a = JSAny_Num(d);
        conv(ctx_, &a);
        EXPECT_EQ(a.type, JSANY_NUMBER);
        return a.num;
    }
    std::string StringOf(const JSAny &value) {
        JSAny a;
        JSAny_InitFrom(&a, &value);
        JSAny_ToString(ctx_, &a);
        std::string s = a.type == JSANY_ERROR ? "<error " + std::to_string(a.code) + ">"
                                              : std::string(a.str, a.len);
        JSAny_Clear(&a);
        return s;
    }
};

TEST_F(ConvertTest, ThreeHundredCopiesShareAtMost255Holders) {
    int32_t empty = MemUse;
    Val original(Str("shared text"));
    int32_t one = MemUse - empty;
    std::vector<JSAny> copies(300);
    for (JSAny &c : copies) JSAny_InitFrom(&c, &original.v);
    // The original and the first 254 copies share one block; the other 46
    // have a block each.
    EXPECT_EQ(Text_RefCount(original.v.str), 255u);
    for (int i = 0; i < 254; ++i) ASSERT_EQ(copies[i].str, original.v.str) << i;
    for (int i = 254; i < 300; ++i) {
        ASSERT_NE(copies[i].str, original.v.str) << i;
        EXPECT_EQ(Text_RefCount(copies[i].str), 1u);
        EXPECT_EQ(std::string(copies[i].str, copies[i].len), "shared text");
    }
    EXPECT_EQ(MemUse - empty, one * 47);
    // A copy of a duplicate shares the duplicate.
    JSAny again;
    JSAny_InitFrom(&again, &copies[299]);
    EXPECT_EQ(again.str, copies[299].str);
    JSAny_Finish(&again);
    for (JSAny &c : copies) JSAny_Finish(&c);
    EXPECT_EQ(Text_RefCount(original.v.str), 1u);
    EXPECT_EQ(MemUse - empty, one);
}

TEST_F(ConvertTest, FinishingTwiceOnlyReportsAndCopyingBorrowedTextOwnsIt) {
    char text[] = "borrowed";
    JSAny b = JSAny_Borrow(text, 8);
    JSAny copy;
    int32_t before = MemUse;
    JSAny_InitFrom(&copy, &b);
    EXPECT_EQ(copy.type, JSANY_STRING);
    EXPECT_NE(copy.str, text);
    EXPECT_EQ(copy.len, 8u);
    text[0] = 'X';
    EXPECT_EQ(std::string(copy.str), "borrowed");
    JSAny_Finish(&copy);
    EXPECT_EQ(copy.type, JSANY_DEAD_STRING);
    EXPECT_EQ(MemUse, before);
    ClearDebug();
    JSAny_Finish(&copy);
    EXPECT_EQ(Debug(), "UFO JSAny finish!!! Type = fffffff9\n");
    EXPECT_EQ(MemUse, before);
    // Finishing a finished object reference releases nothing either.
    JSAny o = JSAny_Undef();
    Obj_NewInto(&o, nullptr);
    JSAny_Finish(&o);
    EXPECT_EQ(MemUse, before);
    ClearDebug();
    JSAny_Finish(&o);
    EXPECT_EQ(Debug(), "UFO JSAny finish!!! Type = fffffff8\n");
    // Copying a finished record copies nothing: the copy is undefined.
    ClearDebug();
    JSAny stale;
    stale.type = JSANY_OBJECT;
    stale.obj = reinterpret_cast<Object *>(uintptr_t{0x10});
    JSAny_InitFrom(&stale, &o);
    EXPECT_EQ(Debug(), "UFO JSAny InitFrom!!! Type = fffffff8\n");
    EXPECT_EQ(stale.type, JSANY_UNDEFINED);
    ClearDebug();
}

TEST_F(ConvertTest, StringCopyUnderExhaustedMemoryLeavesAnErrorValue) {
    JSAny a = JSAny_Num(1);
    int32_t before = MemUse;
    Pool_FailNth(1);
    JSAny_SetStringCopy(&a, "text");
    Pool_FailOff();
    EXPECT_EQ(a.type, JSANY_ERROR);
    EXPECT_EQ(a.code, ERR_NOMEM);
    EXPECT_EQ(MemUse, before);
    // A copy at the share limit that cannot get its own block.
    Val s(Str("limit"));
    std::vector<JSAny> copies(254);
    for (JSAny &c : copies) JSAny_InitFrom(&c, &s.v);
    JSAny extra;
    Pool_FailNth(1);
    JSAny_InitFrom(&extra, &s.v);
    Pool_FailOff();
    EXPECT_EQ(extra.type, JSANY_ERROR);
    EXPECT_EQ(extra.code, ERR_NOMEM);
    for (JSAny &c : copies) JSAny_Clear(&c);
}

TEST_F(ConvertTest, TextToNumber) {
    EXPECT_EQ(Number("  -Infinity"), -INFINITY);
    EXPECT_EQ(Number("+Infinity and more"), INFINITY);
    EXPECT_EQ(Number("0x1A"), 26);
    EXPECT_EQ(Number("0X1a"), 26);
    EXPECT_EQ(Number("-0x10"), -16);
    EXPECT_EQ(Number("12abc"), 12);
    EXPECT_EQ(Number(""), 0);
    EXPECT_TRUE(std::isnan(Number(" ")));
    EXPECT_TRUE(std::isnan(Number("-")));
    EXPECT_TRUE(std::isnan(Number("abc")));
    EXPECT_TRUE(std::isnan(Number("infinity")));
    EXPECT_TRUE(std::isnan(Number("- 5")));
    EXPECT_EQ(Number("\t\n\v\f\r 42"), 42);
    EXPECT_EQ(Number("1.5e3x"), 1500);
    EXPECT_EQ(Number(".5"), 0.5);
    EXPECT_EQ(Number("-0"), 0);
    EXPECT_TRUE(std::signbit(Number("-0")));
    double d;
    EXPECT_EQ(JSAny_StringToNumber(" 12px", &d), 3u);
    EXPECT_EQ(JSAny_StringToNumber("  -Infinity!", &d), 11u);
    EXPECT_EQ(JSAny_StringToNumber("px", &d), 0u);
    EXPECT_EQ(JSAny_StringToNumber("", &d), 0u);
    // The same through the conversion of values.
    EXPECT_EQ(Text("[Number('  -Infinity'), Number('0x1A'), Number('12abc'), Number(''), Number(' '),"
                   " +true, +null, +undefined, +[], +[7], +'1e21'].join()"),
              "-Infinity,26,12,0,NaN,1,0,NaN,0,7,1e+21");
}

TEST_F(ConvertTest, IntegersRoundAwayFromZero) {
    EXPECT_EQ(Convert(JSAny_ToInteger, 0.5), 1);
    EXPECT_EQ(Convert(JSAny_ToInteger, -0.5), -1);
    EXPECT_EQ(Convert(JSAny_ToInteger, 2.5), 3);
    EXPECT_EQ(Convert(JSAny_ToInteger, -2.5), -3);
    EXPECT_EQ(Convert(JSAny_ToInteger, 7), 7);
    EXPECT_EQ(Convert(JSAny_ToInteger, NAN), 0);
    EXPECT_EQ(Convert(JSAny_ToInteger, -INFINITY), -INFINITY);
    EXPECT_EQ(Convert(JSAny_ToInteger, 1e300), 1e300);
}

TEST_F(ConvertTest, ThirtyTwoAndSixteenBitReductionsWrap) {
    EXPECT_EQ(Convert(JSAny_ToInt32, 4294967295.0), -1);
    EXPECT_EQ(Convert(JSAny_ToInt32, 2147483648.0), -2147483648.0);
    EXPECT_EQ(Convert(JSAny_ToInt32, 2147483647.0), 2147483647.0);
    EXPECT_EQ(Convert(JSAny_ToInt32, 4294967296.0 + 5), 5);
    EXPECT_EQ(Convert(JSAny_ToInt32, -4294967297.0), -1);
    EXPECT_EQ(Convert(JSAny_ToInt32, -2147483649.0), 2147483647.0);
    EXPECT_EQ(Convert(JSAny_ToInt32, 1e20), Num_ToInt32(1e20));
    EXPECT_EQ(Convert(JSAny_ToInt32, 1.5), 2);  // the integer step rounds away from zero first
    EXPECT_EQ(Convert(JSAny_ToUint32, -1), 4294967295.0);
    EXPECT_EQ(Convert(JSAny_ToUint32, 4294967296.0), 0);
    EXPECT_EQ(Convert(JSAny_ToUint32, -4294967296.0 * 3 - 2), 4294967294.0);
    EXPECT_EQ(Convert(JSAny_ToUint16, 65537), 1);
    EXPECT_EQ(Convert(JSAny_ToUint16, -1), 65535);
    EXPECT_TRUE(std::isnan(Convert(JSAny_ToInt32, INFINITY)));
    EXPECT_TRUE(std::isnan(Convert(JSAny_ToUint32, -INFINITY)));
    EXPECT_TRUE(std::isnan(Convert(JSAny_ToUint16, INFINITY)));
    EXPECT_EQ(Convert(JSAny_ToUint32, NAN), 0);
    // The argument truncation of the natives clamps instead.
    EXPECT_EQ(Num_TruncArg(NAN), INT32_MIN);
    EXPECT_EQ(Num_TruncArg(-1e10), INT32_MIN);
    EXPECT_EQ(Num_TruncArg(1e10), INT32_MAX);
    EXPECT_EQ(Num_TruncArg(-2.9), -2);
}

TEST_F(ConvertTest, StringsOfValues) {
    EXPECT_EQ(StringOf(JSAny_Num(-0.0)), "0");
    EXPECT_EQ(StringOf(JSAny_Num(1e21)), "1e+21");
    EXPECT_EQ(StringOf(JSAny_Num(1e20)), "100000000000000000000");
    EXPECT_EQ(StringOf(JSAny_Num(-1.5)), "-1.5");
    EXPECT_EQ(StringOf(JSAny_Num(NAN)), "NaN");
    EXPECT_EQ(StringOf(JSAny_Num(-INFINITY)), "-Infinity");
    EXPECT_EQ(StringOf(JSAny_Num(-2147483648.0)), "-2147483648");
    EXPECT_EQ(StringOf(JSAny_Null()), "null");
    EXPECT_EQ(StringOf(JSAny_Undef()), "undefined");
    EXPECT_EQ(StringOf(JSAny_Undeclared()), "<undeclared>");
    EXPECT_EQ(StringOf(JSAny_Bool(false)), "false");
    EXPECT_EQ(StringOf(JSAny_Err(0x8015)), "<error 32789>");
    // A boolean reads only its 16-bit flag.
    JSAny b = JSAny_Bool(true);
    b.ptr = reinterpret_cast<void *>(uintptr_t{0xFFFF0001u});
    b.flag = 0;
    EXPECT_EQ(StringOf(b), "false");
    EXPECT_FALSE(JSAny_Truth(&b));
    // A borrowed string stays as it is.
    JSAny s = JSAny_Borrow("as is", 5);
    JSAny_ToString(ctx_, &s);
    EXPECT_EQ(s.type, JSANY_CSTRING);
}

TEST_F(ConvertTest, ObjectsToStringsAndPrimitives) {
    // Both methods giving objects: error 212.
    Val o;
    Eval("({valueOf: function () { return {}; }, toString: function () { return []; }})", &o.v);
    ASSERT_EQ(o.v.type, JSANY_OBJECT);
    EXPECT_EQ(StringOf(o.v), "<error 212>");
    JSAny n;
    JSAny_InitFrom(&n, &o.v);
    JSAny_ToNumber(ctx_, &n);
    EXPECT_EQ(n.type, JSANY_ERROR);
    EXPECT_EQ(n.code, ERR_WRONGTYPE);
    // No method at all.
    Val bare;
    Obj_NewInto(&bare.v, nullptr);
    EXPECT_EQ(StringOf(bare.v), "<error 212>");
    // The hints choose the order.
    Val both;
    Eval("({valueOf: function () { return 1; }, toString: function () { return 's'; }})", &both.v);
    JSAny p;
    JSAny_InitFrom(&p, &both.v);
    JSAny_ToPrimitive(ctx_, &p, HINT_STRING);
    EXPECT_EQ(StringOf(p), "s");
    JSAny_Clear(&p);
    JSAny_InitFrom(&p, &both.v);
    JSAny_ToPrimitive(ctx_, &p, HINT_DEFAULT);
    EXPECT_EQ(p.type, JSANY_NUMBER);
    EXPECT_EQ(Text("var o = {valueOf: function () { return 1; }, toString: function () { return 's'; }};"
                   "var d = new Date(0); d.valueOf = o.valueOf; d.toString = o.toString;"
                   "[o + '', String(o), o * 2, d + '', d * 2, o < 2, '0' < o, 'r' < o].join()"),
              "1,s,2,s,2,true,true,false");
    // A method that throws ends the conversion with its throw.
    EXPECT_EQ(Text("var o = {toString: function () { throw 'thrown'; }};"
                   "var r; try { r = 'x' + String(o); } catch (e) { r = 'caught ' + e; } r"),
              "caught thrown");
    EXPECT_EQ(Text("var o = {valueOf: function () { return {}; }, toString: function () { return {}; }};"
                   "var r; try { r = o + 1; } catch (e) { r = e.message; } r"),
              "Type error on line 1: Wrong type of object for operation");
}

TEST_F(ConvertTest, WrappersAndTypeNames) {
    for (JSAny prim : {JSAny_Num(5), JSAny_Bool(false), JSAny_Borrow("ab", 2)}) {
        Val w(prim);
        JSAny_ToObject(ctx_, &w.v);
        ASSERT_EQ(w.v.type, JSANY_OBJECT);
        Object *o = w.obj();
        JSAny *v = Obj_FindOwnStr(o, "__value");
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(TextOf(v), TextOf(&prim));
        if (prim.type == JSANY_NUMBER) {
            EXPECT_EQ(o->classFlags, CF_NUMBER);
            EXPECT_EQ(o->prototype, Proto(PROTO_NUMBER));
        } else if (prim.type == JSANY_BOOLEAN) {
            EXPECT_EQ(o->classFlags, CF_BOOLEAN);
            EXPECT_TRUE(JSAny_Truth(&w.v));  // the wrapper of false is true
        } else {
            EXPECT_EQ(o->classFlags, CF_STRING | CF_HASLENGTH);
            EXPECT_EQ(v->type, JSANY_STRING);  // the borrowed text was copied
            EXPECT_EQ(GetName(o, "length"), "2");
        }
    }
    Val plain(JSAny_Null());
    JSAny_ToObject(ctx_, &plain.v);
    ASSERT_EQ(plain.v.type, JSANY_OBJECT);
    EXPECT_EQ(plain.obj()->prototype, Proto(PROTO_OBJECT));
    // A wrapper that cannot be built leaves 103.
    for (uint64_t n = 1; n < 10; ++n) {
        Val w(JSAny_Borrow("text", 4));
        int32_t before = MemUse;
        Pool_FailNth(n);
        JSAny_ToObject(ctx_, &w.v);
        bool failed = Pool_FailedCount() > 0;
        Pool_FailOff();
        if (!failed) break;
        EXPECT_EQ(w.v.type, JSANY_ERROR);
        EXPECT_EQ(w.v.code, ERR_NOMEM);
        EXPECT_EQ(MemUse, before);
    }
    EXPECT_EQ(Text("[typeof Math.sin, typeof new String('s'), typeof null, typeof undefined, typeof nothing,"
                   " typeof function () {}, typeof Math.sin.bind(null), typeof 1, typeof 's', typeof true].join()"),
              "function,object,object,undefined,undefined,function,function,number,string,boolean");
}

TEST_F(ConvertTest, DiagnosticForms) {
    uint32_t err = 0;
    JSAny s = JSAny_Borrow("q", 1);
    char *t = JSAny_DisplayText(ctx_, &s, &err);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(std::string(t), "\"q\"");
    Text_Release(t);
    JSAny n = JSAny_Num(2.5);
    t = JSAny_DisplayText(ctx_, &n, &err);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(std::string(t), "2.5");
    Text_Release(t);
    JSAny e = JSAny_Err(0);
    EXPECT_EQ(JSAny_DisplayText(ctx_, &e, &err), nullptr);
    EXPECT_EQ(err, ERR_WRONGTYPE);
    ClearDebug();
    JSAny_DebugPrint(ctx_, &s);
    JSAny_DebugPrint(ctx_, &n);
    Val bare;
    Obj_NewInto(&bare.v, nullptr);
    JSAny_DebugPrint(ctx_, &bare.v);
    EXPECT_EQ(Debug(), "\"q\"2.5<error>");
    ClearDebug();
}

}  // namespace
}  // namespace objects_test
