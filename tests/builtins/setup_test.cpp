// What global setup leaves in a new program space: the prototype graph, the
// values and flags of the prototypes, the computed constants, names defined
// earlier, and a clean failure at every allocation.
#include <cmath>
#include <cstring>

#include "objects/natives.h"
#include "core_fixture.h"
#include "lexer/lexer.h"
#include "objects/object.h"
#include "objects/setup.h"
#include "platform/pool.h"

using namespace quillon;

namespace core_test {
namespace {

class SetupTest : public CoreTest {
protected:
    // The program-level slot of a global name.
    const JSAny *Global(const char *name) {
        uint32_t err = 0;
        uint32_t code = Lex_Name(Space()->store, name, &err);
        return code ? Lex_ConstOf(Space()->store, code) : nullptr;
    }
    Object *GlobalObject(const char *name) {
        const JSAny *v = Global(name);
        return v && v->type == JSANY_OBJECT ? v->obj : nullptr;
    }
    // An own property of a global object.
    const JSAny *Member(const char *global, const char *name) {
        Object *o = GlobalObject(global);
        return o ? Obj_FindOwnStr(o, name) : nullptr;
    }
    Object *ProtoOf(quillon::Proto which) { return Space()->protos[which]; }
};

uint64_t Bits(double d) {
    uint64_t b;
    std::memcpy(&b, &d, sizeof b);
    return b;
}

TEST_F(SetupTest, PrototypeGraph) {
    for (uint32_t i = 0; i < PROTO_COUNT; ++i) ASSERT_NE(Space()->protos[i], nullptr) << i;
    EXPECT_EQ(ProtoOf(PROTO_OBJECT)->prototype, nullptr);
    for (quillon::Proto p :
         {PROTO_ARRAY, PROTO_BOOLEAN, PROTO_DATE, PROTO_NUMBER, PROTO_STRING, PROTO_ERROR})
        EXPECT_EQ(ProtoOf(p)->prototype, ProtoOf(PROTO_OBJECT)) << p;
    for (uint32_t p = PROTO_EVALERROR; p <= PROTO_URIERROR; ++p)
        EXPECT_EQ(Space()->protos[p]->prototype, ProtoOf(PROTO_ERROR)) << p;
    // Function.prototype is a nameless native function linked to Object.prototype.
    Object *fp = ProtoOf(PROTO_FUNCTION);
    EXPECT_TRUE(fp->classFlags & CF_CALLABLE);
    EXPECT_EQ(fp->prototype, ProtoOf(PROTO_OBJECT));
    ASSERT_EQ(fp->kind, ObjKind::Native);
    EXPECT_STREQ(static_cast<Function *>(fp)->name, "");
    EXPECT_EQ(static_cast<Function *>(fp)->entry, &Bi_FunctionPrototype);
    // Math and Debug are plain objects.
    for (const char *name : {"Math", "Debug"}) {
        Object *o = GlobalObject(name);
        ASSERT_NE(o, nullptr) << name;
        EXPECT_EQ(o->kind, ObjKind::Plain) << name;
        EXPECT_EQ(o->prototype, ProtoOf(PROTO_OBJECT)) << name;
    }
    // Each constructor's prototype is the one recorded.
    for (uint32_t i = 0; i < 7; ++i) {
        static const char *const kCtors[] = {"Error",       "EvalError", "RangeError", "ReferenceError",
                                             "SyntaxError", "TypeError", "URIError"};
        Object *ctor = GlobalObject(kCtors[i]);
        ASSERT_NE(ctor, nullptr);
        EXPECT_EQ(static_cast<Function *>(ctor)->prototypeObject, Space()->protos[PROTO_ERROR + i]) << kCtors[i];
    }
}

TEST_F(SetupTest, PrototypeValuesAndFlags) {
    Object *array = ProtoOf(PROTO_ARRAY);
    EXPECT_EQ(array->classFlags & (CF_ARRAY | CF_HASLENGTH), CF_ARRAY | CF_HASLENGTH);
    EXPECT_EQ(array->elementLength, 0u);
    const JSAny *b = Obj_FindOwnStr(ProtoOf(PROTO_BOOLEAN), "__value");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->type, JSANY_BOOLEAN);
    EXPECT_EQ(b->flag, 0);
    EXPECT_TRUE(ProtoOf(PROTO_BOOLEAN)->classFlags & CF_BOOLEAN);
    const JSAny *n = Obj_FindOwnStr(ProtoOf(PROTO_NUMBER), "__value");
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->type, JSANY_NUMBER);
    EXPECT_EQ(n->num, 0);
    const JSAny *s = Obj_FindOwnStr(ProtoOf(PROTO_STRING), "__value");
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(JSAny_IsString(s));
    EXPECT_EQ(s->len, 0u);
    EXPECT_EQ(ProtoOf(PROTO_STRING)->classFlags & (CF_STRING | CF_HASLENGTH), CF_STRING | CF_HASLENGTH);
    static const char *const kNames[] = {"Error",       "EvalError", "RangeError", "ReferenceError",
                                         "SyntaxError", "TypeError", "URIError"};
    for (uint32_t i = 0; i < 7; ++i) {
        Object *e = Space()->protos[PROTO_ERROR + i];
        EXPECT_TRUE(e->classFlags & CF_ERROR) << kNames[i];
        const JSAny *name = Obj_FindOwnStr(e, "name");
        ASSERT_NE(name, nullptr) << kNames[i];
        ASSERT_TRUE(JSAny_IsString(name));
        EXPECT_STREQ(name->str, kNames[i]);
        // The shared constructor tells the class from its function's name.
        Object *ctor = GlobalObject(kNames[i]);
        ASSERT_NE(ctor, nullptr);
        EXPECT_EQ(static_cast<Function *>(ctor)->entry, &Bi_Error);
        EXPECT_STREQ(static_cast<Function *>(ctor)->name, kNames[i]);
    }
    EXPECT_EQ(Eval("String.prototype.length + ':' + Number.prototype.valueOf() + ':' + "
                   "Boolean.prototype.valueOf() + ':' + RangeError.prototype.name"),
              "0:0:false:RangeError");
}

TEST_F(SetupTest, ComputedConstants) {
    const JSAny *nan = Global("NaN");
    ASSERT_NE(nan, nullptr);
    EXPECT_EQ(Bits(nan->num), 0x7FF0000100000001ull);
    const JSAny *inf = Global("Infinity");
    ASSERT_NE(inf, nullptr);
    EXPECT_EQ(Bits(inf->num), 0x7FF0000000000000ull);
    const JSAny *minValue = Member("Number", "MIN_VALUE");
    ASSERT_NE(minValue, nullptr);
    EXPECT_EQ(Bits(minValue->num), 1ull);
    const JSAny *maxValue = Member("Number", "MAX_VALUE");
    ASSERT_NE(maxValue, nullptr);
    EXPECT_EQ(Bits(maxValue->num), 0x7FEFFFFFFFFFFFFFull);
    const JSAny *negInf = Member("Number", "NEGATIVE_INFINITY");
    ASSERT_NE(negInf, nullptr);
    EXPECT_EQ(Bits(negInf->num), 0xFFF0000000000000ull);
    EXPECT_EQ(Bits(Member("Number", "NaN")->num), 0x7FF0000100000001ull);
    EXPECT_EQ(Eval("Number.MIN_VALUE + ' ' + (Number.MIN_VALUE / 2) + ' ' + Number.MAX_VALUE"),
              "5e-324 0 1.7976931348623157e+308");
}

TEST_F(SetupTest, NamesDefinedEarlierAreKept) {
    ASSERT_EQ(Run("Object = 5; escape = 'mine'; var parseInt;"), JSRESULT_OK);
    ASSERT_EQ(Setup_Globals(Space()), 0u);
    EXPECT_EQ(Eval("typeof Object + ' ' + escape + ' ' + typeof parseInt + ' ' + isNaN('x')"),
              "number mine function true");
}

TEST_F(SetupTest, EveryAllocationFailureLeavesNothingBehind) {
    const int32_t before = GetJSMemUse();
    const uint64_t start = Pool_AllocCount();
    JSProgramSpace *probe = CreateJSProgramSpace(nullptr, nullptr, 0);
    ASSERT_NE(probe, nullptr);
    const uint64_t allocations = Pool_AllocCount() - start;
    DeleteJSProgramSpace(probe);
    ASSERT_EQ(GetJSMemUse(), before);
    ASSERT_GT(allocations, 250u);
    uint64_t tolerated = 0;
    for (uint64_t n = 1; n <= allocations; ++n) {
        Pool_FailNth(n);
        JSProgramSpace *s = CreateJSProgramSpace(nullptr, nullptr, 0);
        uint64_t failed = Pool_FailedCount();
        Pool_FailOff();
        ASSERT_EQ(failed, 1u) << "allocation " << n;
        if (s) {
            // Only an optional block may fail unnoticed (the hash index of a
            // big property table): the space must then work all the same.
            JSTagItem list[2] = {{JSTAG_STRING, 0}, {JSTAG_END, 0}};
            EXPECT_EQ(RunJavaScript(s, "'' + Array.prototype.pop.length + Math.PI + escape(' ')", JSRUN_RESULT, 0, 0, 0),
                      static_cast<uint32_t>(JSRESULT_OK))
                << "allocation " << n;
            EXPECT_EQ(GetJSResult(s, list), static_cast<uint32_t>(JSRESULT_OK));
            EXPECT_STREQ(reinterpret_cast<const char *>(list[0].ti_Data), "03.141592653589793%20")
                << "allocation " << n;
            DeleteJSProgramSpace(s);
            ++tolerated;
        }
        ASSERT_EQ(GetJSMemUse(), before) << "after failing allocation " << n;
    }
    EXPECT_LT(tolerated, allocations / 10);
    // The space made afterwards works.
    EXPECT_EQ(Eval("parseInt('0x1F') + Number('2')"), "33");
}

}  // namespace
}  // namespace core_test
