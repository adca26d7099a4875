// Keys and the element store: which keys are array indexes, dense and
// sparse elements, holes, deletion, and the length of arrays and arguments
// objects as it grows and shrinks.
#include <cmath>

#include "objects/elements.h"
#include "objects/function.h"
#include "objfixture.h"
#include "platform/pool.h"

namespace objects_test {
namespace {

using namespace quillon;

class ElementsTest : public ObjTest {
protected:
    // A new array held by the returned value.
    void NewArray(Val *out) {
        Obj_NewArray(&out->v, Space());
        ASSERT_EQ(out->v.type, JSANY_OBJECT);
    }
    uint32_t PutIndex(Object *o, double index, const JSAny &value) {
        JSAny key = JSAny_Num(index);
        return Obj_Put(o, &key, &value);
    }
    // The own elements as "i=value" in ascending order.
    std::string Elements(Object *o) {
        uint32_t n;
        uint32_t *idx = Obj_ElementIndexes(o, &n);
        std::string s;
        for (uint32_t i = 0; i < n; ++i) {
            if (!s.empty()) s += ' ';
            JSAny *slot = Obj_FindOwnIndex(o, idx[i]);
            s += std::to_string(idx[i]) + "=" + (slot->type == JSANY_UNDECLARED ? "hole" : TextOf(slot));
        }
        Arr_Free(idx);
        return s;
    }
};

TEST_F(ElementsTest, NumbersBelowTheLimitAreIndexesTruncated) {
    uint32_t i = 99;
    JSAny k = JSAny_Num(1.5);
    EXPECT_TRUE(Obj_ArrayIndex(&k, &i));
    EXPECT_EQ(i, 1u);
    k = JSAny_Num(-0.0);
    EXPECT_TRUE(Obj_ArrayIndex(&k, &i));
    EXPECT_EQ(i, 0u);
    k = JSAny_Num(4294967294.5);
    EXPECT_TRUE(Obj_ArrayIndex(&k, &i));
    EXPECT_EQ(i, 4294967294u);
    for (double d : {4294967295.0, -1.0, -0.5, double(NAN), double(INFINITY), 1e300}) {
        k = JSAny_Num(d);
        EXPECT_FALSE(Obj_ArrayIndex(&k, &i)) << d;
    }
    JSAny b = JSAny_Bool(true);
    EXPECT_FALSE(Obj_ArrayIndex(&b, &i));
}

TEST_F(ElementsTest, StringsAreIndexesOnlyInCanonicalForm) {
    uint32_t i;
    for (const char *s : {"0", "7", "10", "4294967294", "1234567890"}) {
        JSAny k = JSAny_Borrow(s, static_cast<uint32_t>(std::strlen(s)));
        EXPECT_TRUE(Obj_ArrayIndex(&k, &i)) << s;
    }
    for (const char *s : {"", "01", "00", "1.5", "4294967295", "9999999999", "12345678901", "+1", " 1",
                          "1 ", "-1", "1e3", "0x1", "a"}) {
        JSAny k = JSAny_Borrow(s, static_cast<uint32_t>(std::strlen(s)));
        EXPECT_FALSE(Obj_ArrayIndex(&k, &i)) << s;
    }
    // The length counts, not a terminating zero: "12" followed by a zero byte is not "12".
    JSAny k = JSAny_Borrow("12\0", 3);
    EXPECT_FALSE(Obj_ArrayIndex(&k, &i));
}

TEST_F(ElementsTest, KeysChooseBetweenElementsAndNamedProperties) {
    Val a;
    NewArray(&a);
    Object *o = a.obj();
    Val n(Str("number key"));
    Val s(Str("string key"));
    EXPECT_EQ(PutIndex(o, 1.5, n.v), 0u);
    Val k15(Str("1.5"));
    EXPECT_EQ(Obj_Put(o, &k15.v, &s.v), 0u);
    EXPECT_EQ(o->elementLength, 2u);
    EXPECT_EQ(Elements(o), "1=number key");
    EXPECT_EQ(GetName(o, "1.5"), "string key");
    EXPECT_EQ(GetName(o, "1"), "number key");

    Val k01(Str("01")), kMax(Str("4294967295")), kLast(Str("4294967294"));
    EXPECT_EQ(Obj_Put(o, &k01.v, &s.v), 0u);
    EXPECT_EQ(Obj_Put(o, &kMax.v, &s.v), 0u);
    EXPECT_EQ(o->elementLength, 2u);  // names do not touch the length
    EXPECT_EQ(Obj_Put(o, &kLast.v, &n.v), 0u);
    EXPECT_EQ(o->elementLength, 4294967295u);
    EXPECT_EQ(Elements(o), "1=number key 4294967294=number key");
    EXPECT_EQ(Props_Count(o), 3u);  // "1.5", "01", "4294967295"
    EXPECT_EQ(GetName(o, "01"), "string key");
    EXPECT_EQ(Get(o, JSAny_Num(4294967294.0)), "number key");
    EXPECT_EQ(Get(o, JSAny_Num(4294967295.0)), "string key");  // the number names the property
}

TEST_F(ElementsTest, ObjectKeysConvertThroughTheirMethods) {
    EXPECT_EQ(Text("var o = {}; var k = {toString: function () { return '7'; }};"
                   "o[k] = 'x'; var a = []; a[k] = 'y'; [o[7], a.length, a[7]].join()"),
              "x,8,y");
    EXPECT_EQ(Text("var o = {}; o[true] = 1; o[null] = 2; o[undefined] = 3;"
                   "[o['true'], o['null'], o['undefined']].join()"),
              "1,2,3");
}

TEST_F(ElementsTest, KeysThatCannotBecomeNames) {
    Val obj;
    Obj_NewInto(&obj.v, Proto(PROTO_OBJECT));
    Object *o = obj.obj();
    JSAny v = JSAny_Num(1);
    // An object key with no string form is no name.
    Val bare;
    Obj_NewInto(&bare.v, nullptr);
    EXPECT_EQ(Obj_Put(o, &bare.v, &v), ERR_NOPROP);
    EXPECT_EQ(Obj_Add(o, &bare.v, &v), ERR_NOPROP);
    EXPECT_FALSE(Obj_Has(o, &bare.v));
    // An error key gives its own code.
    JSAny err = JSAny_Err(0x8016);
    EXPECT_EQ(Obj_Put(o, &err, &v), 0x8016u);
    Val out;
    Obj_Get(o, &err, &out.v);
    EXPECT_EQ(out.v.type, JSANY_ERROR);
    EXPECT_EQ(out.v.code, 0x8016u);
    // A conversion that runs out of memory says so.
    JSAny big = JSAny_Num(1e21);
    int32_t before = MemUse;
    Pool_FailNth(1);
    EXPECT_EQ(Obj_Put(o, &big, &v), ERR_NOMEM);
    Pool_FailOff();
    EXPECT_EQ(MemUse, before);
    EXPECT_EQ(Props_Count(o), 0u);
    EXPECT_EQ(Obj_Put(o, &big, &v), 0u);
    EXPECT_EQ(GetName(o, "1e+21"), "1");
    // In scripts, a key whose conversion throws passes the throw on.
    EXPECT_EQ(Text("var o = {}; var k = {toString: function () { throw 'from key'; }};"
                   "var r; try { o[k] = 1; r = 'stored'; } catch (e) { r = e; } r"),
              "from key");
}

TEST_F(ElementsTest, ArraysFilledUpwardStayDense) {
    Val a;
    NewArray(&a);
    Object *o = a.obj();
    for (uint32_t i = 0; i < 20000; ++i) ASSERT_EQ(PutIndex(o, i, JSAny_Num(i * 2)), 0u);
    EXPECT_EQ(Elems_DenseLen(o), 20000u);
    EXPECT_EQ(Elems_SparseCount(o), 0u);
    EXPECT_EQ(o->elementLength, 20000u);
    JSAny *slot = Obj_FindOwnIndex(o, 12345);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->num, 24690);
    // Small gaps keep it dense; the gap reads as absent.
    ASSERT_EQ(PutIndex(o, 20010, JSAny_Num(1)), 0u);
    EXPECT_EQ(Elems_DenseLen(o), 20011u);
    EXPECT_EQ(Obj_FindOwnIndex(o, 20005), nullptr);
    EXPECT_EQ(o->elementLength, 20011u);
}

TEST_F(ElementsTest, SparseElementsCostMemoryByTheElementsPresent) {
    Val a;
    NewArray(&a);
    Object *o = a.obj();
    int32_t before = MemUse;
    ASSERT_EQ(PutIndex(o, 4000000000.0 - 1, JSAny_Num(1)), 0u);
    EXPECT_EQ(o->elementLength, 4000000000u);
    EXPECT_LT(MemUse - before, 1024);
    EXPECT_EQ(Get(o, JSAny_Num(3999999999.0)), "1");
    EXPECT_EQ(Get(o, JSAny_Num(3999999998.0)), "undefined");

    // Indexes each a little more than twice the one before: a vector that
    // grew to cover them would need gigabytes.
    Val b;
    NewArray(&b);
    Object *p = b.obj();
    before = MemUse;
    double index = 1;
    int count = 0;
    while (index < 4294967294.0) {
        ASSERT_EQ(PutIndex(p, index, JSAny_Num(count)), 0u) << index;
        index = index * 2 + 15;
        ++count;
    }
    EXPECT_LT(MemUse - before, 64 * 1024) << count << " elements";
    EXPECT_EQ(Elems_Count(p), static_cast<uint32_t>(count));
    EXPECT_EQ(Get(p, JSAny_Num(1)), "0");
    EXPECT_EQ(Get(p, JSAny_Num(17)), "1");
}

TEST_F(ElementsTest, ElementsWrittenDownwardAreAllFound) {
    Val a;
    NewArray(&a);
    Object *o = a.obj();
    for (int i = 30000; i >= 0; --i) ASSERT_EQ(PutIndex(o, i, JSAny_Num(i)), 0u);
    EXPECT_EQ(o->elementLength, 30001u);
    EXPECT_EQ(Elems_Count(o), 30001u);
    for (uint32_t i = 0; i <= 30000; i += 997) {
        JSAny *slot = Obj_FindOwnIndex(o, i);
        ASSERT_NE(slot, nullptr) << i;
        EXPECT_EQ(slot->num, i);
    }
    // Filling upward from the dense end takes in what the map held.
    Val b;
    NewArray(&b);
    Object *p = b.obj();
    ASSERT_EQ(PutIndex(p, 40, JSAny_Num(40)), 0u);
    ASSERT_EQ(PutIndex(p, 20, JSAny_Num(20)), 0u);
    for (uint32_t i = 0; i < 60; ++i)
        if (i != 20 && i != 40) {
            ASSERT_EQ(PutIndex(p, i, JSAny_Num(i)), 0u);
        }
    EXPECT_EQ(Elems_SparseCount(p), 0u);
    EXPECT_EQ(Elems_DenseLen(p), 60u);
    for (uint32_t i = 0; i < 60; ++i) EXPECT_EQ(Obj_FindOwnIndex(p, i)->num, i);
    uint32_t n;
    uint32_t *idx = Obj_ElementIndexes(p, &n);
    ASSERT_EQ(n, 60u);
    for (uint32_t i = 0; i < 60; ++i) EXPECT_EQ(idx[i], i);
    Arr_Free(idx);
}

TEST_F(ElementsTest, IndexesComeOutAscendingAcrossBothStores) {
    Val a;
    NewArray(&a);
    Object *o = a.obj();
    for (double i : {900000.0, 3.0, 4294967294.0, 0.0, 77777.0, 1.0, 5000.0})
        ASSERT_EQ(PutIndex(o, i, JSAny_Num(i)), 0u);
    EXPECT_EQ(Elements(o), "0=0 1=1 3=3 5000=5000 77777=77777 900000=900000 4294967294=4294967294");
}

TEST_F(ElementsTest, ShorteningAnArrayDropsTheElementsAtAndAbove) {
    Val a;
    NewArray(&a);
    Object *o = a.obj();
    int32_t empty = MemUse;
    for (uint32_t i = 0; i < 10; ++i) {
        Val s(Str(("v" + std::to_string(i)).c_str()));
        ASSERT_EQ(PutIndex(o, i, s.v), 0u);
    }
    Val s(Str("far"));
    ASSERT_EQ(PutIndex(o, 100000, s.v), 0u);
    ASSERT_EQ(PutIndex(o, 200000, s.v), 0u);
    Val len = Val(JSAny_Num(5));
    Val lengthKey(Str("length"));
    ASSERT_EQ(Obj_Put(o, &lengthKey.v, &len.v), 0u);
    EXPECT_EQ(o->elementLength, 5u);
    EXPECT_EQ(Elements(o), "0=v0 1=v1 2=v2 3=v3 4=v4");
    // Growing through length adds nothing but the length.
    int32_t before = MemUse;
    len.v.num = 4000000000.0;
    ASSERT_EQ(Obj_Put(o, &lengthKey.v, &len.v), 0u);
    EXPECT_EQ(o->elementLength, 4000000000u);
    EXPECT_EQ(MemUse, before);
    EXPECT_EQ(Get(o, JSAny_Num(7)), "undefined");
    len.v.num = 0;
    ASSERT_EQ(Obj_Put(o, &lengthKey.v, &len.v), 0u);
    EXPECT_EQ(Elements(o), "");
    EXPECT_EQ(o->elementLength, 0u);
    EXPECT_LE(MemUse - empty, 1024);  // the store keeps its room, the values are gone
    // The length assignment converts its value: strings, objects, wrapping.
    EXPECT_EQ(Text("var a = [1,2,3,4]; a.length = '2'; a.length + ':' + a"), "2:1,2");
    EXPECT_EQ(Text("var a = [1,2,3]; a.length = {valueOf: function () { return 1; }}; a.join()"), "1");
    EXPECT_EQ(Text("var a = [1]; a.length = -1; a.length"), "4294967295");
}

TEST_F(ElementsTest, ShorteningASparseArrayByOneKeepsTheRest) {
    Val a;
    NewArray(&a);
    Object *o = a.obj();
    for (uint32_t i = 0; i < 2000; ++i) ASSERT_EQ(PutIndex(o, 1000000.0 + i * 37, JSAny_Num(i)), 0u);
    uint32_t last = 1000000 + 1999 * 37;
    ASSERT_EQ(o->elementLength, last + 1);
    for (uint32_t k = 0; k < 30; ++k) {
        uint32_t len = o->elementLength;
        ASSERT_EQ(Obj_SetLength(o, len - 1), 0u);
        if (k == 0) {
            EXPECT_EQ(Obj_FindOwnIndex(o, last), nullptr);
        }
    }
    EXPECT_EQ(Elems_Count(o), 1999u);
    EXPECT_NE(Obj_FindOwnIndex(o, last - 37), nullptr);
    ASSERT_EQ(Obj_SetLength(o, last - 37), 0u);
    EXPECT_EQ(Obj_FindOwnIndex(o, last - 37), nullptr);
    EXPECT_EQ(Elems_Count(o), 1998u);
    EXPECT_NE(Obj_FindOwnIndex(o, 1000000), nullptr);
}

TEST_F(ElementsTest, HolesReadUndefinedAndHideThePrototypeAbsentElementsDoNot) {
    EXPECT_EQ(Text("Array.prototype[1] = 'P'; Array.prototype[5] = 'Q'; var a = [0]; a[3] = 3;"
                   "var r = [a[1], a[2], a[5]]; delete Array.prototype[1]; delete Array.prototype[5]; r.join()"),
              "P,,Q");
    Val a;
    NewArray(&a);
    Object *o = a.obj();
    Val proto;
    Obj_NewInto(&proto.v, nullptr);
    Val pv(Str("from prototype"));
    ASSERT_EQ(PutIndex(proto.obj(), 2, pv.v), 0u);
    ASSERT_EQ(PutIndex(proto.obj(), 70000, pv.v), 0u);
    Obj_SetPrototype(o, proto.obj());
    EXPECT_EQ(Get(o, JSAny_Num(2)), "from prototype");
    EXPECT_EQ(Get(o, JSAny_Num(70000)), "from prototype");
    // A slot holding the never-assigned value reads undefined and hides the prototype's.
    JSAny hole = JSAny_Undeclared();
    ASSERT_EQ(PutIndex(o, 2, hole), 0u);
    ASSERT_EQ(PutIndex(o, 70000, hole), 0u);
    EXPECT_EQ(Get(o, JSAny_Num(2)), "undefined");
    EXPECT_EQ(Get(o, JSAny_Num(70000)), "undefined");
    JSAny k2 = JSAny_Num(2);
    EXPECT_TRUE(Obj_Has(o, &k2));
    // Deleting the hole uncovers the prototype again.
    Obj_Delete(o, &k2);
    EXPECT_EQ(Get(o, JSAny_Num(2)), "from prototype");
    // The same for named properties.
    Val name(Str("n"));
    ASSERT_EQ(Obj_Put(proto.obj(), &name.v, &pv.v), 0u);
    EXPECT_EQ(GetName(o, "n"), "from prototype");
    ASSERT_EQ(Obj_Put(o, &name.v, &hole), 0u);
    EXPECT_EQ(GetName(o, "n"), "undefined");
    Obj_SetPrototype(o, Proto(PROTO_ARRAY));
}

TEST_F(ElementsTest, DeletingAnElementKeepsTheLength) {
    EXPECT_EQ(Text("var a = [1,2,3]; delete a[2]; delete a[0]; delete a[7];"
                   "[a.length, 0 in a, 1 in a, 2 in a, a[2]].join()"),
              "3,false,true,false,");
    EXPECT_EQ(Text("var a = []; a[4000000000] = 1; a[5] = 2; delete a[4000000000];"
                   "[a.length, a[4000000000], a[5]].join()"),
              "4000000001,,2");
    // Only own properties go.
    EXPECT_EQ(Text("function F() {} F.prototype.x = 1; var f = new F(); f.x = 2; delete f.x;"
                   "var r = f.x; delete f.x; [r, f.x, F.prototype.x].join()"),
              "1,1,1");
    EXPECT_EQ(Text("var o = {a: 1}; delete o.nothing; delete o['a']; typeof o.a"), "undefined");
}

TEST_F(ElementsTest, ArgumentsObjectsGrowWithHolesAndShrink) {
    Val args;
    JSAny in[2] = {JSAny_Num(10), JSAny_Num(20)};
    Fn_NewArguments(Space(), &args.v, in, 2, nullptr, nullptr, 3);
    ASSERT_EQ(args.v.type, JSANY_OBJECT);
    Object *o = args.obj();
    EXPECT_EQ(GetName(o, "length"), "2");  // the count of arguments, a stored property
    EXPECT_EQ(o->elementLength, 3u);       // one slot per formal parameter
    EXPECT_EQ(Get(o, JSAny_Num(2)), "undefined");
    // Growth fills with holes that hide the prototype.
    Val pv(Str("proto"));
    ASSERT_EQ(PutIndex(Proto(PROTO_OBJECT), 6, pv.v), 0u);
    ASSERT_EQ(PutIndex(Proto(PROTO_OBJECT), 20, pv.v), 0u);
    ASSERT_EQ(Obj_SetLength(o, 8), 0u);
    EXPECT_EQ(Elems_DenseLen(o), 8u);
    EXPECT_EQ(o->elementLength, 8u);
    EXPECT_EQ(Get(o, JSAny_Num(6)), "undefined");
    EXPECT_EQ(Get(o, JSAny_Num(20)), "proto");
    // A far index also lands in the vector.
    ASSERT_EQ(PutIndex(o, 30, JSAny_Num(30)), 0u);
    EXPECT_EQ(Elems_DenseLen(o), 31u);
    EXPECT_EQ(Elems_SparseCount(o), 0u);
    EXPECT_EQ(Get(o, JSAny_Num(20)), "undefined");
    // Deleting makes a hole, not an absence.
    JSAny k0 = JSAny_Num(0);
    Obj_Delete(o, &k0);
    EXPECT_EQ(o->elementLength, 31u);
    EXPECT_TRUE(Obj_Has(o, &k0));
    EXPECT_EQ(Get(o, JSAny_Num(0)), "undefined");
    ASSERT_EQ(Obj_SetLength(o, 1), 0u);
    EXPECT_EQ(Elems_DenseLen(o), 1u);
    EXPECT_EQ(Get(o, JSAny_Num(1)), "undefined");
    EXPECT_EQ(Obj_SetLength(o, 0x10000000u), ERR_NOMEM);
    EXPECT_EQ(Elems_DenseLen(o), 1u);
    JSAny k6 = JSAny_Num(6), k20 = JSAny_Num(20);
    Obj_Delete(Proto(PROTO_OBJECT), &k6);
    Obj_Delete(Proto(PROTO_OBJECT), &k20);
}

TEST_F(ElementsTest, ArgumentsInScripts) {
    EXPECT_EQ(Text("function f(a, b) { arguments[5] = 'x'; return [arguments.length, arguments[4], arguments[5], a, b].join(); }"
                   " f(1)"),
              "1,,x,1,");
    EXPECT_EQ(Text("function f(a) { delete arguments[0]; return [a, arguments[0], 0 in arguments].join(); } f(7)"),
              ",,true");
    EXPECT_EQ(Text("function f() { return Array.prototype.join.call(arguments, '-'); } f(1, 'b', 3)"), "1-b-3");
}

}  // namespace
}  // namespace objects_test
