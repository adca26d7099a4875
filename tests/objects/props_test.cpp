// The named-property store: insertion order, the hash index beyond a few
// properties, deletion and compaction, and exhausted memory at every
// allocation of adds and element growth (the object and MemUse come back
// exactly as they were).
#include <functional>

#include "objects/elements.h"
#include "objects/function.h"
#include "objects/props.h"
#include "objfixture.h"
#include "platform/pool.h"
#include "runtime/text.h"

namespace objects_test {
namespace {

using namespace quillon;

class PropsTest : public ObjTest {
protected:
    // Everything observable of an object: counts, lengths, and every own
    // property and element with its value, in order.
    std::string Snapshot(Object *o) {
        std::string s = "flags " + std::to_string(o->classFlags) + " props " + std::to_string(Props_Count(o)) +
                        " length " + std::to_string(o->elementLength) + " elements " +
                        std::to_string(Elems_Count(o)) + ":";
        for (uint32_t i = 0; i < Props_Used(o); ++i) {
            const PropRec &r = o->props[i];
            if (!Props_IsLive(&r)) continue;
            s += " " + std::string(r.key, Atom_Len(r.key)) + "=" +
                 (r.value.type == JSANY_UNDECLARED ? "hole" : TextOf(&r.value));
        }
        uint32_t n;
        uint32_t *idx = Obj_ElementIndexes(o, &n);
        for (uint32_t i = 0; i < n; ++i) {
            JSAny *slot = Obj_FindOwnIndex(o, idx[i]);
            s += " [" + std::to_string(idx[i]) + "]=" + (slot->type == JSANY_UNDECLARED ? "hole" : TextOf(slot));
        }
        Arr_Free(idx);
        return s;
    }

    // Runs op with the nth allocation failing, for n = 1, 2, ... until it
    // meets no failure. Every failed attempt must report 103 and leave the
    // object and MemUse as they were. Returns the number of failed attempts.
    int FailEach(Object *o, const std::function<uint32_t()> &op) {
        int failures = 0;
        for (uint64_t n = 1; n < 1000; ++n) {
            std::string before = Snapshot(o);
            int32_t mem = MemUse;
            Pool_FailNth(n);
            uint32_t st = op();
            bool failed = Pool_FailedCount() > 0;
            Pool_FailOff();
            if (!failed) {
                EXPECT_EQ(st, 0u);
                return failures;
            }
            ++failures;
            EXPECT_EQ(st, ERR_NOMEM) << "allocation " << n;
            EXPECT_EQ(MemUse, mem) << "allocation " << n;
            EXPECT_EQ(Snapshot(o), before) << "allocation " << n;
        }
        ADD_FAILURE() << "the operation never succeeded";
        return failures;
    }

    static uint32_t AddNamed(Object *o, const std::string &name, const JSAny &value) {
        JSAny key = JSAny_Borrow(name.c_str(), static_cast<uint32_t>(name.size()));
        return Obj_Put(o, &key, &value);
    }
};

TEST_F(PropsTest, RecordSizes) {
    // A plain empty object is one 64-byte block of the pool with its 8-byte
    // header; a property record is 24 bytes; three properties whose names
    // are already keys take a 16-byte store head and three records.
    static_assert(sizeof(Object) + 8 <= 64);
    static_assert(sizeof(PropRec) <= 24);
    int32_t before = MemUse;
    Object *o = Obj_New(nullptr);
    EXPECT_EQ(MemUse - before, 56);
    ASSERT_EQ(Props_Reserve(o, 3), 0u);
    for (const char *name : {"toString", "valueOf", "constructor"}) {
        JSAny n = JSAny_Num(1);
        ASSERT_EQ(Obj_AddName(o, name, static_cast<uint32_t>(std::strlen(name)),
                              Str_Hash(name, std::strlen(name)), &n), 0u);
    }
    EXPECT_EQ(MemUse - before, 56 + 16 + 3 * 24);
    Obj_Release(o);
    EXPECT_EQ(MemUse, before);
}

TEST_F(PropsTest, PropertiesKeepInsertionOrderThroughDeletes) {
    EXPECT_EQ(Text("var o = {}; for (var i = 0; i < 30; i++) o['p' + i] = i;"
                   "for (var i = 0; i < 30; i += 3) delete o['p' + i]; o.p0 = 'again';"
                   "var s = ''; for (var k in o) s += k + ' '; s"),
              "p1 p2 p4 p5 p7 p8 p10 p11 p13 p14 p16 p17 p19 p20 p22 p23 p25 p26 p28 p29 p0 ");
    // Deleting most of them compacts the store; what is left still reads.
    EXPECT_EQ(Text("var o = {}; for (var i = 0; i < 100; i++) o['q' + i] = i;"
                   "for (var i = 0; i < 95; i++) delete o['q' + i];"
                   "var s = ''; for (var k in o) s += k + '=' + o[k] + ' '; s + o.q3"),
              "q95=95 q96=96 q97=97 q98=98 q99=99 undefined");
}

TEST_F(PropsTest, ManyPropertiesAreFoundThroughTheIndex) {
    Val obj;
    Obj_NewInto(&obj.v, Proto(PROTO_OBJECT));
    Object *o = obj.obj();
    for (int i = 0; i < 8; ++i) ASSERT_EQ(AddNamed(o, "k" + std::to_string(i), JSAny_Num(i)), 0u);
    EXPECT_FALSE(Props_HasIndex(o));
    ASSERT_EQ(AddNamed(o, "k8", JSAny_Num(8)), 0u);
    EXPECT_TRUE(Props_HasIndex(o));
    for (int i = 9; i < 5000; ++i) ASSERT_EQ(AddNamed(o, "k" + std::to_string(i), JSAny_Num(i)), 0u);
    for (int i = 0; i < 5000; i += 7) {
        std::string name = "k" + std::to_string(i);
        JSAny *slot = Obj_FindOwnStr(o, name.c_str());
        ASSERT_NE(slot, nullptr) << name;
        EXPECT_EQ(slot->num, i);
    }
    EXPECT_EQ(Obj_FindOwnStr(o, "k5000"), nullptr);
    // Index load stays at most one half, removed marks included.
    for (int i = 0; i < 5000; i += 2) {
        std::string name = "k" + std::to_string(i);
        JSAny key = JSAny_Borrow(name.c_str(), static_cast<uint32_t>(name.size()));
        Obj_Delete(o, &key);
    }
    for (int i = 0; i < 3000; ++i) ASSERT_EQ(AddNamed(o, "n" + std::to_string(i), JSAny_Num(i)), 0u);
    EXPECT_TRUE(Props_IndexHalfFull(o));
    EXPECT_EQ(Props_Count(o), 5500u);
    EXPECT_EQ(Obj_FindOwnStr(o, "k2"), nullptr);
    ASSERT_NE(Obj_FindOwnStr(o, "k4999"), nullptr);
    ASSERT_NE(Obj_FindOwnStr(o, "n2999"), nullptr);
    // Deleting every property leaves a working, empty index.
    for (int i = 1; i < 5000; i += 2) {
        std::string name = "k" + std::to_string(i);
        JSAny key = JSAny_Borrow(name.c_str(), static_cast<uint32_t>(name.size()));
        Obj_Delete(o, &key);
    }
    for (int i = 0; i < 3000; ++i) {
        std::string name = "n" + std::to_string(i);
        JSAny key = JSAny_Borrow(name.c_str(), static_cast<uint32_t>(name.size()));
        Obj_Delete(o, &key);
    }
    EXPECT_EQ(Props_Count(o), 0u);
    EXPECT_EQ(Obj_FindOwnStr(o, "n5"), nullptr);
    ASSERT_EQ(AddNamed(o, "last", JSAny_Num(1)), 0u);
    EXPECT_NE(Obj_FindOwnStr(o, "last"), nullptr);
}

TEST_F(PropsTest, AnOwnLengthReplacesTheComputedOne) {
    Val obj;
    Obj_NewInto(&obj.v, Proto(PROTO_OBJECT));
    Object *o = obj.obj();
    o->classFlags |= CF_HASLENGTH;
    ASSERT_EQ(AddNamed(o, "a", JSAny_Num(1)), 0u);
    EXPECT_EQ(GetName(o, "length"), "1");  // elements + properties
    JSAny key = JSAny_Borrow("length", 6);
    JSAny three = JSAny_Num(3);
    EXPECT_EQ(Obj_Put(o, &key, &three), 0u);  // ignored on a computed length
    EXPECT_EQ(GetName(o, "length"), "1");
    EXPECT_EQ(Obj_Add(o, &key, &three), 0u);
    EXPECT_EQ(o->classFlags & CF_HASLENGTH, 0u);
    EXPECT_EQ(GetName(o, "length"), "3");
    EXPECT_EQ(Text("var o = {}; o.length = 3; o.length"), "3");
    EXPECT_EQ(Text("var s = new String('abc'); s.length = 7; s.length"), "3");
    EXPECT_EQ(Text("function f(a, b) {} f.length = 7; f.length"), "2");
}

TEST_F(PropsTest, AddingPropertiesUnderExhaustedMemory) {
    Val obj;
    Obj_NewInto(&obj.v, Proto(PROTO_OBJECT));
    Object *o = obj.obj();
    // A borrowed value is always copied, so every add allocates a key, a
    // value and sometimes room or an index.
    JSAny value = JSAny_Borrow("a value that is copied", 22);
    int failures = 0;
    for (int i = 0; i < 40; ++i) {
        std::string name = "name" + std::to_string(i);
        failures += FailEach(o, [&] { return AddNamed(o, name, value); });
        if (i == 8) {
            EXPECT_TRUE(Props_HasIndex(o)) << "the index came with the ninth property";
        }
    }
    EXPECT_GE(failures, 80);
    EXPECT_EQ(Props_Count(o), 40u);
    // Overwriting: only the value copy can fail.
    failures = FailEach(o, [&] { return AddNamed(o, "name3", value); });
    EXPECT_EQ(failures, 1);
    // A shared counted key is taken over without a copy of its bytes.
    Val key(Str("shared key"));
    failures = FailEach(o, [&] { return Obj_Put(o, &key.v, &value); });
    EXPECT_GE(failures, 1);
    EXPECT_EQ(GetName(o, "shared key"), "a value that is copied");
}

TEST_F(PropsTest, ElementGrowthUnderExhaustedMemory) {
    Val arr;
    Obj_NewArray(&arr.v, Space());
    Object *o = arr.obj();
    JSAny value = JSAny_Borrow("element", 7);
    int failures = 0;
    // Dense growth, a small gap, then scattered indexes through the map
    // (whose rehashes allocate too).
    for (uint32_t i = 0; i < 40; ++i) failures += FailEach(o, [&] {
            JSAny k = JSAny_Num(i);
            return Obj_Put(o, &k, &value);
        });
    failures += FailEach(o, [&] {
        JSAny k = JSAny_Num(50);
        return Obj_Put(o, &k, &value);
    });
    for (uint32_t i = 0; i < 40; ++i) failures += FailEach(o, [&] {
            JSAny k = JSAny_Num(1000000.0 + i * 1000);
            return Obj_Put(o, &k, &value);
        });
    EXPECT_GE(failures, 81);
    EXPECT_EQ(Elems_Count(o), 81u);
    EXPECT_GT(Elems_SparseCount(o), 0u);
    // Growth by length alone allocates nothing for an array.
    EXPECT_EQ(FailEach(o, [&] { return Obj_SetLength(o, 4000000000u); }), 0);
}

TEST_F(PropsTest, ArgumentsObjectsUnderExhaustedMemory) {
    JSAny in[3] = {JSAny_Borrow("one", 3), JSAny_Num(2), JSAny_Borrow("three", 5)};
    // Building one: every allocation may fail; a failure leaves error 103 and nothing behind.
    int32_t mem = MemUse;
    for (uint64_t n = 1; n < 100; ++n) {
        Val args;
        Pool_FailNth(n);
        Fn_NewArguments(Space(), &args.v, in, 3, nullptr, nullptr, 5);
        bool failed = Pool_FailedCount() > 0;
        Pool_FailOff();
        if (!failed) {
            ASSERT_EQ(args.v.type, JSANY_OBJECT);
            EXPECT_EQ(args.obj()->elementLength, 5u);
            break;
        }
        ASSERT_EQ(args.v.type, JSANY_ERROR);
        EXPECT_EQ(args.v.code, ERR_NOMEM);
        EXPECT_EQ(MemUse, mem);
    }
    EXPECT_EQ(MemUse, mem);
    // Growing one: through an element far out and through its length.
    Val args;
    Fn_NewArguments(Space(), &args.v, in, 3, nullptr, nullptr, 0);
    Object *o = args.obj();
    int failures = FailEach(o, [&] {
        JSAny k = JSAny_Num(40);
        return Obj_Put(o, &k, &in[0]);
    });
    EXPECT_GE(failures, 2);  // the vector and the value copy
    EXPECT_EQ(Elems_DenseLen(o), 41u);
    failures = FailEach(o, [&] { return Obj_SetLength(o, 200); });
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(o->elementLength, 200u);
}

TEST_F(PropsTest, ScriptsThatBuildObjectsUnderExhaustedMemory) {
    // Every allocation of the run fails in turn; the run fails with out of
    // memory or succeeds, and the space's destruction gives everything back
    // (checked at the close).
    const char *text =
        "var o = {}; for (var i = 0; i < 12; i++) o['p' + i] = 's' + i;"
        "var a = []; for (var i = 0; i < 20; i++) a[i] = i; a[100000] = 'far'; a.length = 10;"
        "(function (x) { arguments[6] = 'six'; return arguments.length; })(1, 2);"
        "o.p11 + a.length";
    for (uint64_t n = 1; n < 5000; ++n) {
        JSProgramSpace *space = CreateJSProgramSpace(nullptr, nullptr, 0);
        ASSERT_NE(space, nullptr);
        Pool_FailNth(n);
        uint32_t r = RunJavaScript(space, text, JSRUN_RESULT, 0, 0, 0);
        bool failed = Pool_FailedCount() > 0;
        Pool_FailOff();
        if (failed) {
            EXPECT_TRUE(r == JSRESULT_NOMEMORY || r == JSRESULT_OK) << "allocation " << n << " result " << r;
        } else {
            EXPECT_EQ(r, JSRESULT_OK);
        }
        DeleteJSProgramSpace(space);
        if (!failed) break;
    }
}

}  // namespace
}  // namespace objects_test
